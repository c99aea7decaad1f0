#include "sync/Sync.h"

#include "notes/NoteStore.h"
#include "notes/Reading.h"

#include <algorithm>

namespace gitsync {

namespace {

// The store's records and the remote's of the ids changed here since the
// last sync, read in one state of the store.
bool readChanged(store::NoteStore &store, const Repository &repo, const QString &commit, Changed *changed, Records *here,
                 Records *theirs, QString *error)
{
    {
        notes::ReadSnapshot oneState(store);
        if (!changedHere(store, changed) || !readHere(store, changed->ids, here)) {
            *error = store.errorText();
            return false;
        }
    }
    return repo.read(commit, changed->ids, theirs, error);
}

} // namespace

bool syncStore(store::NoteStore &store, const SyncSettings &settings, SyncOutcome *outcome, QString *error)
{
    *outcome = {};
    if (!store.hasSyncState()) {
        *error = QStringLiteral("The file cannot be synced: it is read-only or of an older format.");
        return false;
    }
    Repository repo(settings.repository, settings.remote);
    if (!repo.prepare(error))
        return false;
    for (int attempt = 0; attempt < settings.attempts; ++attempt) {
        QString theirs, base;
        if (!repo.fetch(error) || !repo.remoteHead(&theirs, error))
            return false;
        if (!mergedCommit(store, &base)) {
            *error = store.errorText();
            return false;
        }
        // A commit the remote no longer has (its history was rewritten):
        // every record is compared as if made apart on both sides.
        if (!repo.hasCommit(base))
            base.clear();
        // The records either side changed since the last merge.
        QSet<QString> ids;
        Changed here;
        if (!repo.changedIds(base, theirs, &ids, error))
            return false;
        if (!changedHere(store, &here)) {
            *error = store.errorText();
            return false;
        }
        ids.unite(here.ids);
        Records baseRecords, theirRecords;
        if (!repo.read(base, ids, &baseRecords, error) || !repo.read(theirs, ids, &theirRecords, error))
            return false;
        Arrived arrived;
        if (!mergeIntoStore(store, ids, baseRecords, theirRecords, theirs, settings.conflictTitle, &arrived)) {
            *error = store.errorText();
            return false;
        }
        outcome->arrived.changed += arrived.changed;
        outcome->arrived.conflicts += arrived.conflicts;
        outcome->arrived.namesLost += arrived.namesLost;
        outcome->commit = theirs;
        if (settings.merged)
            settings.merged();
        // Then what is left of this machine's changes goes out.
        Changed changed;
        Records mine, remote;
        if (!readChanged(store, repo, theirs, &changed, &mine, &remote, error))
            return false;
        const QList<FileChange> files = filesToPublish(changed, mine, remote);
        QString made = theirs;
        if (!files.isEmpty()) {
            if (!repo.commit(theirs, files, store.machineName, &made, error))
                return false;
            const Repository::Push pushed = repo.push(made, error);
            if (pushed == Repository::Push::Refused)
                continue;  // the remote moved on: merge with it first
            if (pushed == Repository::Push::Failed)
                return false;
        }
        if (!published(store, made, changed.upTo)) {
            *error = store.errorText();
            return false;
        }
        outcome->sent = int(std::count_if(files.begin(), files.end(),
                                          [](const FileChange &f) { return f.path.endsWith(QLatin1String(".json")); }));
        outcome->commit = made;
        return true;
    }
    *error = QStringLiteral("The remote kept changing; the notes will be synced later.");
    return false;
}

} // namespace gitsync
