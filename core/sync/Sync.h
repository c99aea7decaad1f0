#pragma once
// One sync of a store with the user's remote: what the remote has is merged
// into the store, then what changed here is published to it. Any step can
// stop (no network, a refused push, the program killed): the store is
// always at one merge or the next, and the next sync goes on from there.

#include "sync/Layout.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace store {
class NoteStore;
}

namespace gitsync {

struct Arrived {
    int changed = 0;               // topics and categories the merge wrote here
    QStringList conflicts;         // titles of the topics made of remote states
    QStringList namesLost;         // category names a later one replaced
    QHash<int, QString> from;      // the topics written here, each with the machine of its state
};
// The title of a topic kept from the remote's state beside this machine's.
using ConflictTitle = std::function<QString(const TopicRecord &theirs)>;
QString defaultConflictTitle(const TopicRecord &theirs);

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

// What the user chose for this machine's sync, kept in its store (it does
// not travel), and how the last sync went.
struct SyncConfig {
    QString remote;        // empty: never set up
    QString machine;       // the name this machine's changes carry; empty: the host's
    bool automatic = true; // the program syncs by itself
    QString lastSynced;    // when a sync last succeeded ("yyyy-MM-dd HH:mm:ss")
    QString lastError;     // why the last one failed; empty when it did not
    int waiting = 0;       // records changed here since
};
[[nodiscard]] bool readConfig(store::NoteStore &store, SyncConfig *config);
// Keeps remote, machine and automatic.
[[nodiscard]] bool writeConfig(store::NoteStore &store, const SyncConfig &config);
// The data folder's own repository.
QString repositoryPath(const QString &dataFolder);

// A sync as the user set it up, its outcome kept: false, with the reason,
// when there is no remote yet too. The store's machine name becomes the
// one chosen.
[[nodiscard]] bool syncConfigured(store::NoteStore &store, SyncOutcome *outcome, QString *error,
                                  const ConflictTitle &title = defaultConflictTitle);

} // namespace gitsync
