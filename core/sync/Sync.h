#pragma once
// One sync of a store with the user's remote: what the remote has is merged
// into the store, then what changed here is published to it. Any step can
// stop (no network, a refused push, the program killed): the store is
// always at one merge or the next, and the next sync goes on from there.

#include "sync/StoreSide.h"

#include <QString>

namespace store {
class NoteStore;
}

namespace gitsync {

struct SyncSettings {
    QString remote;        // any URL the user's git reaches
    QString repository;    // the data folder's own repository
    ConflictTitle conflictTitle = defaultConflictTitle;
    int attempts = 5;      // merges again when the remote moved meanwhile
    // Told when the remote's changes are in the store, before this
    // machine's go out.
    std::function<void()> merged;
};

struct SyncOutcome {
    Arrived arrived;       // what the remote's changes did here
    int sent = 0;          // records published
    QString commit;        // the commit the store is merged with now
};

// False, with the reason, when the remote cannot be reached, refused every
// attempt, or the store could not be written: nothing is then half done.
[[nodiscard]] bool syncStore(store::NoteStore &store, const SyncSettings &settings, SyncOutcome *outcome, QString *error);

} // namespace gitsync
