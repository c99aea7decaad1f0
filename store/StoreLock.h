#pragma once
// An advisory lock on a small file beside the database (its name with
// ".lock"). The command-line tool holds it shared while it has the store
// open; packing, which puts another file under the database's name, holds it
// exclusive. So the file is never renamed under a reader in another process.
// The system lets go of the lock when its holder ends in any way.

#include <QString>

namespace store {

class StoreLock final {
public:
    enum class Kind { Shared, Exclusive };

    StoreLock() = default;
    ~StoreLock() { release(); }
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

    // Takes the lock of databasePath, trying for at most waitMs. False when
    // another holder kept it for that long. True as well when the lock file
    // can be neither made nor opened (a folder nobody can write, where
    // nothing can be packed either); isHeld() then says false.
    bool acquire(const QString &databasePath, Kind kind, int waitMs);
    void release();
    bool isHeld() const { return m_fd >= 0; }

    static QString lockPath(const QString &databasePath) { return databasePath + QStringLiteral(".lock"); }

private:
    int m_fd = -1;
};

} // namespace store
