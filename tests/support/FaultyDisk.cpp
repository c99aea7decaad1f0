#include "FaultyDisk.h"

#include <sqlite3.h>

#include <cstring>

namespace {

struct State {
    sqlite3_vfs vfs;
    sqlite3_vfs *real = nullptr;
    int failFrom = 0;  // 0: never
    FaultyDisk::Fault fault = FaultyDisk::Fault::Full;
    int calls = 0;
    int refused = 0;
    bool healed = true;
};
State g;

// Our file: the real one follows it in the same allocation.
struct File {
    sqlite3_file base;
    sqlite3_file *real;
};

sqlite3_file *real(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }

// The result of the next counted call: SQLITE_OK to let it through.
int verdict(int ioError)
{
    ++g.calls;
    if (g.healed || g.failFrom == 0 || g.calls < g.failFrom)
        return SQLITE_OK;
    ++g.refused;
    return g.fault == FaultyDisk::Fault::Full ? SQLITE_FULL : ioError;
}

int xClose(sqlite3_file *f) { return real(f)->pMethods->xClose(real(f)); }
int xRead(sqlite3_file *f, void *b, int n, sqlite3_int64 o) { return real(f)->pMethods->xRead(real(f), b, n, o); }
int xWrite(sqlite3_file *f, const void *b, int n, sqlite3_int64 o)
{
    const int rc = verdict(SQLITE_IOERR_WRITE);
    return rc != SQLITE_OK ? rc : real(f)->pMethods->xWrite(real(f), b, n, o);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    const int rc = verdict(SQLITE_IOERR_TRUNCATE);
    return rc != SQLITE_OK ? rc : real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file *f, int flags)
{
    const int rc = verdict(SQLITE_IOERR_FSYNC);
    return rc != SQLITE_OK ? rc : real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *s) { return real(f)->pMethods->xFileSize(real(f), s); }
int xLock(sqlite3_file *f, int l) { return real(f)->pMethods->xLock(real(f), l); }
int xUnlock(sqlite3_file *f, int l) { return real(f)->pMethods->xUnlock(real(f), l); }
int xCheckReservedLock(sqlite3_file *f, int *r) { return real(f)->pMethods->xCheckReservedLock(real(f), r); }
int xFileControl(sqlite3_file *f, int op, void *a) { return real(f)->pMethods->xFileControl(real(f), op, a); }
int xSectorSize(sqlite3_file *f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file *f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file *f, int i, int sz, int e, void volatile **p) { return real(f)->pMethods->xShmMap(real(f), i, sz, e, p); }
int xShmLock(sqlite3_file *f, int o, int n, int fl) { return real(f)->pMethods->xShmLock(real(f), o, n, fl); }
void xShmBarrier(sqlite3_file *f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file *f, int d) { return real(f)->pMethods->xShmUnmap(real(f), d); }
int xFetch(sqlite3_file *f, sqlite3_int64 o, int n, void **p) { return real(f)->pMethods->xFetch(real(f), o, n, p); }
int xUnfetch(sqlite3_file *f, sqlite3_int64 o, void *p) { return real(f)->pMethods->xUnfetch(real(f), o, p); }

const sqlite3_io_methods kMethods = {3, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock,
                                     xCheckReservedLock, xFileControl, xSectorSize, xDeviceCharacteristics,
                                     xShmMap, xShmLock, xShmBarrier, xShmUnmap, xFetch, xUnfetch};

int xOpen(sqlite3_vfs *, const char *name, sqlite3_file *f, int flags, int *outFlags)
{
    auto *file = reinterpret_cast<File *>(f);
    file->real = reinterpret_cast<sqlite3_file *>(file + 1);
    const int rc = g.real->xOpen(g.real, name, file->real, flags, outFlags);
    // A file the real layer did not open must not be closed through us.
    file->base.pMethods = (rc == SQLITE_OK && file->real->pMethods) ? &kMethods : nullptr;
    return rc;
}

} // namespace

FaultyDisk::FaultyDisk()
{
    g = State();
    g.real = sqlite3_vfs_find(nullptr);
    g.vfs = *g.real;
    g.vfs.iVersion = 1;  // no system-call overrides: those stay the real layer's
    g.vfs.zName = "faulty";
    g.vfs.szOsFile = int(sizeof(File)) + g.real->szOsFile;
    g.vfs.xOpen = xOpen;
    g.vfs.pAppData = nullptr;
    sqlite3_vfs_register(&g.vfs, 1);
}

FaultyDisk::~FaultyDisk()
{
    sqlite3_vfs_unregister(&g.vfs);
    sqlite3_vfs_register(g.real, 1);
}

void FaultyDisk::failFrom(int n, Fault fault)
{
    g.failFrom = n;
    g.fault = fault;
    g.calls = g.refused = 0;
    g.healed = false;
}

void FaultyDisk::heal() { g.healed = true; }
int FaultyDisk::calls() const { return g.calls; }
int FaultyDisk::refused() const { return g.refused; }
