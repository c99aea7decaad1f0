#pragma once
// What every command of quorvel-cli is given: its words after the common
// options are taken out, the data folder, and where to write.

#include "NoteStore.h"
#include "StoreLock.h"

#include <QStringList>
#include <QTextStream>

namespace cli {

struct Command {
    QString name;
    QStringList words;     // arguments and options of the command itself
    QString folder;        // --folder, or empty for the program's own
    QTextStream &out;
    QTextStream &err;
    bool terminal = false;

    // Tells on err, prefixed with the tool's name; returns kError.
    int fail(const QString &message) const;
    // Bad usage: the message and where to read more; returns kError.
    int usage(const QString &message) const;
    // Takes "--name" out of words; true when it was there.
    bool takeFlag(const QString &name);
    // Takes "--name VALUE" or "--name=VALUE" out of words. False, with
    // usage already told, when the value is missing.
    bool takeValue(const QString &name, QString *value);
    // A word left that looks like an option: told as unknown; true then.
    bool unknownOption() const;

    // The data folder: --folder, else where the program finds its database.
    // Empty, with the reason told, when there is none.
    QString dataFolder() const;
    // Opens the store for reading (or writing) under a shared store lock,
    // waiting a while for the program's packing to end. False, with the
    // reason told, on failure.
    bool openStore(store::NoteStore &ns, store::StoreLock &lock, bool forWriting) const;
};

// One state of the file for every read until it ends, however others
// write meanwhile.
class Snapshot final {
public:
    explicit Snapshot(store::Connection &db) : m_db(db) { m_db.exec(QStringLiteral("BEGIN")); }
    ~Snapshot() { m_db.exec(QStringLiteral("ROLLBACK")); }
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;

private:
    store::Connection &m_db;
};

int find(Command &c);
int exportTopics(Command &c);
int importFiles(Command &c);
int backup(Command &c);
int check(Command &c);

// Gives a file its final name in a folder, never over one that is there:
// false, with errno set, when something has that name or the rename fails.
// File systems that refuse the atomic form (network and user-space ones)
// get a link and an unlink, or a rename after a look where links are
// refused too.
bool renameNoReplace(int fromFolder, const char *from, int toFolder, const char *to);

// Copies the open store's file as it stands now (one state, taken through
// SQLite's online backup while others may write) to target, a new file,
// synced to the disk. False with a reason; nothing is left at target then.
bool copyStore(store::NoteStore &ns, const QString &target, QString *error);

} // namespace cli
