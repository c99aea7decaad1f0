#pragma once
// A test-only SQLite file layer over the default one that refuses a chosen
// write, sync or truncate, and every one after it, as a full or failing
// disk would. It is the default layer while the object lives, so the
// program's own connections go through it unchanged. One at a time.

class FaultyDisk final {
public:
    enum class Fault { Full, IoError };

    FaultyDisk();
    ~FaultyDisk();
    FaultyDisk(const FaultyDisk &) = delete;
    FaultyDisk &operator=(const FaultyDisk &) = delete;

    // Counts writes, syncs and truncates from now on; from the n-th (1-based)
    // on, each fails with fault until heal(). n = 0 only counts.
    void failFrom(int n, Fault fault = Fault::Full);
    void heal();
    // Writes, syncs and truncates since failFrom(), refused ones included.
    int calls() const;
};
