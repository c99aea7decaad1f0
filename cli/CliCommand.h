#pragma once
// What every command of quorvel-cli is given: its words after the common
// options are taken out, the data folder, and where to write.

#include "notes/NoteStore.h"
#include "db/StoreLock.h"

#include <QStringList>
#include <QTextStream>

namespace cli {

// The store of a command that writes, and the locks it is held under.
struct WritingStore {
    store::StoreLock running;  // the program's own: kept off meanwhile
    store::StoreLock lock;     // the store's: packing waits
    store::NoteStore ns;       // closed first, before the locks go
};

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
    // Takes the program's own lock for the command's length, so that it
    // neither runs now nor starts meanwhile; sets folder. False, with the
    // reason and what to do instead told, when it runs.
    bool keepProgramOff(store::StoreLock &running, const char *instead);
    // Keeps the program off and opens the store for writing; instead says
    // what to do while it runs. False, with the reason told, on failure.
    bool openStoreAlone(WritingStore &store, const char *instead);
    // Opens the store for reading (or writing) under a shared store lock,
    // waiting a while for the program's packing to end. False, with the
    // reason told, on failure.
    bool openStore(store::NoteStore &ns, store::StoreLock &lock, bool forWriting) const;
};

// A title or category on one line of tab-separated output, its control
// characters escaped.
QString oneLine(const QString &text);

int find(Command &c);
int exportTopics(Command &c);
int importFiles(Command &c);
int backup(Command &c);
int check(Command &c);
int history(Command &c);
int restoreVersion(Command &c);
int deleted(Command &c);
int undelete(Command &c);
int sync(Command &c);

} // namespace cli
