#pragma once
// The store's side of a sync: which records changed since the last one,
// their states, and the merge of the remote's states into the store, each
// in one transaction. A state the merge replaces stays as a version of its
// topic, and a state that arrives is announced as any change is.

#include "sync/Merge.h"
#include "sync/Repository.h"
#include "sync/Sync.h"

#include <QSet>
#include <QString>

namespace store {
class NoteStore;
}

namespace gitsync {

// The ids changed since the last sync, and the number of the last change
// among them: a publish of those forgets the changes up to it, no later.
struct Changed {
    QSet<QString> ids;
    qint64 upTo = 0;
};

// The commit the store was last merged with (empty before a first sync).
[[nodiscard]] bool mergedCommit(store::NoteStore &store, QString *commit);
// The ids changed since the store was last merged with the remote.
[[nodiscard]] bool changedHere(store::NoteStore &store, Changed *changed);
// The store's records of ids: topics, deleted topics and categories, each
// stamped with this machine's name.
[[nodiscard]] bool readHere(store::NoteStore &store, const QSet<QString> &ids, Records *records);

// In one transaction: reads the store's states of ids, merges them with the
// base and the remote's (at commit), writes the outcome, and records commit
// as the one the store is merged with. An id whose outcome is the remote's
// state is no longer changed here.
[[nodiscard]] bool mergeIntoStore(store::NoteStore &store, const QSet<QString> &ids, const Records &base,
                                  const Records &theirs, const QString &commit, const ConflictTitle &title,
                                  Arrived *arrived);

// The files that make the remote's records (theirs, of changed's ids) the
// store's. A topic this machine let go of is left as it is there.
QList<FileChange> filesToPublish(const Changed &changed, const Records &here, const Records &theirs);

// After commit holds what was published: the store is merged with it and
// the changes published are forgotten.
[[nodiscard]] bool published(store::NoteStore &store, const QString &commit, qint64 upTo);

} // namespace gitsync
