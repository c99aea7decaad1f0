#include "FaultyDisk.h"

#include <sqlite3.h>

#include <atomic>
#include <deque>

namespace {

// The real layer's methods for a kind of file, with the writes, syncs and
// truncates sent through us first. A file opened through us is the real
// layer's own file; only its methods are these.
struct Methods {
    sqlite3_io_methods ours;
    const sqlite3_io_methods *real;
};

struct State {
    sqlite3_vfs vfs;
    sqlite3_vfs *real = nullptr;
    // Atomic: a connection of a worker thread (a sync) writes too.
    std::atomic<int> failFrom = 0;  // 0: never
    std::atomic<FaultyDisk::Fault> fault = FaultyDisk::Fault::Full;
    std::atomic<int> calls = 0;
    std::atomic<bool> healed = true;
    std::deque<Methods> methods;  // never moved: files point into it
};
State g;

const sqlite3_io_methods *real(sqlite3_file *f) { return reinterpret_cast<const Methods *>(f->pMethods)->real; }

// A write, sync or truncate: refused from the chosen call on, else passed
// on to the real layer.
template <int ioError, auto method, typename... Args>
int counted(sqlite3_file *f, Args... args)
{
    ++g.calls;
    if (g.healed || g.failFrom == 0 || g.calls < g.failFrom)
        return (real(f)->*method)(f, args...);
    return g.fault == FaultyDisk::Fault::Full ? SQLITE_FULL : ioError;
}

int xOpen(sqlite3_vfs *, const char *name, sqlite3_file *f, int flags, int *outFlags)
{
    const int rc = g.real->xOpen(g.real, name, f, flags, outFlags);
    if (rc != SQLITE_OK || !f->pMethods)
        return rc;
    auto known = g.methods.begin();
    while (known != g.methods.end() && known->real != f->pMethods)
        ++known;
    if (known == g.methods.end()) {
        Methods m{*f->pMethods, f->pMethods};
        m.ours.xWrite = counted<SQLITE_IOERR_WRITE, &sqlite3_io_methods::xWrite>;
        m.ours.xTruncate = counted<SQLITE_IOERR_TRUNCATE, &sqlite3_io_methods::xTruncate>;
        m.ours.xSync = counted<SQLITE_IOERR_FSYNC, &sqlite3_io_methods::xSync>;
        known = g.methods.insert(g.methods.end(), m);
    }
    f->pMethods = &known->ours;
    return rc;
}

} // namespace

FaultyDisk::FaultyDisk()
{
    g.failFrom = g.calls = 0;
    g.healed = true;
    g.real = sqlite3_vfs_find(nullptr);
    g.vfs = *g.real;
    g.vfs.iVersion = 1;  // no system-call overrides: those stay the real layer's
    g.vfs.zName = "faulty";
    g.vfs.xOpen = xOpen;
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
    g.calls = 0;
    g.healed = false;
}

void FaultyDisk::heal() { g.healed = true; }
int FaultyDisk::calls() const { return g.calls; }
