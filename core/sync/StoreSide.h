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

#include <functional>

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

// Reads the base's and the remote's records of ids.
using Fetch = std::function<bool(const QSet<QString> &ids, Records *base, Records *theirs, QString *error)>;

// Which of ids, changed here, are categories (or gone from here, as a
// deleted category is); the rest are topics.
[[nodiscard]] bool categoriesAmong(store::NoteStore &store, const QSet<QString> &ids, QSet<QString> *categories);

// In one transaction: merges the store's states of the ids of topics and
// categories with the base's and the remote's (at commit), fetched a slice
// at a time, writes the outcome, and records commit as the one the store is
// merged with. An id whose outcome is the remote's state is no longer
// changed here; one whose outcome differs from it is. False, with the
// reason, on a failure: the store is then as it was.
[[nodiscard]] bool mergeIntoStore(store::NoteStore &store, QSet<QString> topicIds, const QSet<QString> &categoryIds,
                                  const Fetch &fetch, const QString &commit, const ConflictTitle &title,
                                  Arrived *arrived, QString *error);

// The files that make the remote's records (theirs) of ids the store's
// (here). A topic this machine let go of is left as it is there.
QList<FileChange> filesToPublish(const QList<QString> &ids, const Records &here, const Records &theirs);

// After commit of remote holds what was published: the store is merged
// with it and the changes published are forgotten.
[[nodiscard]] bool published(store::NoteStore &store, const QString &commit, qint64 upTo, const QString &remote);

// Whether the store was last merged with another remote than remote (one
// the user pointed it at since): then it starts over with this one, every
// record a change to send, nothing taken as already there.
[[nodiscard]] bool startOverIfMoved(store::NoteStore &store, const QString &remote);

} // namespace gitsync
