#pragma once
// The data folder's own repository, a bare one (no copy of every note as a
// file is ever checked out): fetched from the user's remote, read by path
// for the records a sync needs, given a commit of the records that changed,
// and pushed to the remote's branch "notes". Each of these costs what was
// changed, not what is there: a commit rewrites the trees of the changed
// records' folders only.

#include "sync/Git.h"
#include "sync/Layout.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

namespace gitsync {

// A file a commit writes (bytes) or removes (remove).
struct FileChange {
    QString path;
    QByteArray bytes;
    bool remove = false;
};

// The records of some ids as a commit holds them; an id that is neither is
// not there.
struct Records {
    QHash<QString, TopicRecord> topics;
    QHash<QString, CategoryRecord> categories;
};

class Repository final {
public:
    // gitDir: the bare repository's folder; remote: the user's URL.
    Repository(QString gitDir, QString remote);

    // Makes the repository when it is missing (only the user can read it)
    // and points it at the remote.
    [[nodiscard]] bool prepare(QString *error);
    // Removes the lock files a git command killed midway left behind. Only
    // while nothing else can run git in the repository.
    void removeStaleLocks() const;
    // What the remote holds now; false when it cannot be reached.
    [[nodiscard]] bool fetch(QString *error);
    // The commit of the remote's branch as last fetched: empty when the
    // remote has none yet.
    [[nodiscard]] bool remoteHead(QString *commit, QString *error) const;
    // Whether commit is one this repository has.
    bool hasCommit(const QString &commit) const;

    // The ids of the topics and of the categories that differ between two
    // commits (from empty: every record of to).
    [[nodiscard]] bool changedIds(const QString &from, const QString &to, QSet<QString> *topics,
                                  QSet<QString> *categories, QString *error) const;
    // The records of ids at commit (nothing for an empty commit).
    [[nodiscard]] bool read(const QString &commit, const QSet<QString> &ids, Records *records, QString *error) const;

    // The files of a commit, given in parts: next fills its argument and
    // says false when there are no more (*failed: it could not, and no
    // commit is made).
    using Files = std::function<bool(QList<FileChange> *part, bool *failed)>;
    // A commit of the files changed on parent (none: a first commit), made
    // by machine; its id in *commit, empty when there was no file at all.
    [[nodiscard]] bool commit(const QString &parent, const Files &files, const QString &machine, QString *commit,
                              QString *error) const;
    enum class Push { Done, Refused, Failed };
    // Makes commit the remote's branch when it follows what the remote has:
    // Refused when the remote has moved on meanwhile.
    Push push(const QString &commit, QString *error) const;

private:
    bool run(const QStringList &args, QString *error, QByteArray *out = nullptr, int deadlineMs = 60000,
             const QByteArray &input = {}) const;
    QString m_gitDir;
    QString m_remote;
    Git m_git;
};

} // namespace gitsync
