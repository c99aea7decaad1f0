#pragma once
// An advisory lock on a small file beside the database. The store lock
// (the database's name with ".lock"): the command-line tool holds it shared
// while it has the store open; packing, which puts another file under the
// database's name, holds it exclusive. So the file is never renamed under a
// reader in another process. The run lock (".run"): the program holds it
// exclusive for its whole run, an import shared. The system lets go of a
// lock when its holder ends in any way.

#include <QString>

namespace store {

class StoreLock final {
public:
    enum class Kind { Shared, Exclusive };
    enum class Outcome {
        Taken,     // held now; or no lock file can be made where nothing can be written
        Busy,      // another holder kept it for the whole wait
        Unusable,  // the lock file is someone else's, not a file, or cannot be opened: see error()
    };

    StoreLock() = default;
    ~StoreLock() { release(); }
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

    // Takes the lock on lockFile (made when missing, never through a link),
    // trying for at most waitMs. In a folder nobody can write, where no lock
    // file can be made and nothing can be written or packed either, the
    // outcome is Taken and isHeld() says false.
    [[nodiscard]] Outcome acquire(const QString &lockFile, Kind kind, int waitMs);
    void release();
    bool isHeld() const { return m_fd >= 0; }
    // Why the last acquire was Unusable, naming the file.
    const QString &error() const { return m_error; }

    static QString lockPath(const QString &databasePath) { return databasePath + QStringLiteral(".lock"); }
    static QString runPath(const QString &databasePath) { return databasePath + QStringLiteral(".run"); }

private:
    int m_fd = -1;
    QString m_error;
};

} // namespace store
