#pragma once
// A small file system of its own (tmpfs) for as long as the object lives, to
// meet a full or read-only disk for real. Mounting needs root: elsewhere
// mounted() is false and why() says so, for the test to skip with.

#include "TempDir.h"

#include <QString>

class SmallDisk final {
public:
    explicit SmallDisk(int megabytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString why() const { return m_why; }
    QString path() const { return m_dir.path(); }
    // Makes the whole file system read-only; false if it cannot be.
    bool remountReadOnly();
    // Makes one file on it read-only (bound read-only over itself), its
    // folder staying writable; false if it cannot be.
    bool makeFileReadOnly(const QString &file);

private:
    TempDir m_dir;
    bool m_mounted = false;
    QString m_why;
};
