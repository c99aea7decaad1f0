#include "sync/Sync.h"

#include "sync/StoreSide.h"
#include "notes/NoteStore.h"
#include "notes/Reading.h"
#include "db/Sqlite.h"
#include "db/StoreLock.h"
#include "db/WallTime.h"

#include <algorithm>

namespace gitsync {

namespace {

// This machine's changes as a commit on theirs, read in one state of the
// store, a slice of records at a time: *made is empty when none differs
// from the remote's; *upTo the last change it holds; *sent the records.
bool commitChanges(store::NoteStore &store, const Repository &repo, const QString &theirs, QString *made, qint64 *upTo,
                   int *sent, QString *error)
{
    notes::ReadSnapshot oneState(store);
    Changed changed;
    if (!changedHere(store, &changed)) {
        *error = store.errorText();
        return false;
    }
    *upTo = changed.upTo;
    QList<QString> ids(changed.ids.begin(), changed.ids.end());
    std::sort(ids.begin(), ids.end());
    constexpr qsizetype kSlice = 2000;
    qsizetype at = 0;
    QString why;
    const auto files = [&](QList<FileChange> *part, bool *failed) {
        if (at >= ids.size())
            return false;
        const QList<QString> slice = ids.mid(at, kSlice);
        at += kSlice;
        const QSet<QString> some(slice.begin(), slice.end());
        Records here, remote;
        if (!readHere(store, some, &here)) {
            why = store.errorText();
            *failed = true;
            return false;
        }
        if (!repo.read(theirs, some, &remote, &why)) {
            *failed = true;
            return false;
        }
        *part = filesToPublish(slice, here, remote);
        *sent += int(std::count_if(part->begin(), part->end(),
                                   [](const FileChange &f) { return f.path.endsWith(QLatin1String(".json")); }));
        return true;
    };
    if (!repo.commit(theirs, files, store.machineName, made, error)) {
        if (!why.isEmpty())
            *error = why;
        return false;
    }
    return true;
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
    // One sync of a repository at a time; what a killed one left locked is
    // let go once this one holds it.
    store::StoreLock alone;
    switch (alone.acquire(settings.repository + QStringLiteral("/quorvel.lock"), store::StoreLock::Kind::Exclusive, 10000)) {
    case store::StoreLock::Outcome::Taken:
        break;
    case store::StoreLock::Outcome::Busy:
        *error = QStringLiteral("Another sync of these notes is under way.");
        return false;
    case store::StoreLock::Outcome::Unusable:
        *error = alone.error();
        return false;
    }
    repo.removeStaleLocks();
    if (!startOverIfMoved(store, settings.remote)) {
        *error = store.errorText();
        return false;
    }
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
        QSet<QString> topics, categories;
        Changed here;
        if (!repo.changedIds(base, theirs, &topics, &categories, error))
            return false;
        if (!changedHere(store, &here)) {
            *error = store.errorText();
            return false;
        }
        if (topics.isEmpty() && categories.isEmpty() && here.ids.isEmpty() && base == theirs) {
            outcome->commit = theirs;
            return true;  // nothing changed on either side
        }
        QSet<QString> categoriesHere;
        if (!categoriesAmong(store, here.ids, &categoriesHere)) {
            *error = store.errorText();
            return false;
        }
        for (const QString &id : std::as_const(here.ids))
            if (!topics.contains(id) && categoriesHere.contains(id))
                categories.insert(id);
            else if (!categories.contains(id))
                topics.insert(id);
        const Fetch fetch = [&](const QSet<QString> &ids, Records *baseRecords, Records *theirRecords, QString *why) {
            return repo.read(base, ids, baseRecords, why) && repo.read(theirs, ids, theirRecords, why);
        };
        Arrived arrived;
        if (!mergeIntoStore(store, topics, categories, fetch, theirs, settings.conflictTitle, &arrived, error))
            return false;
        outcome->arrived.changed += arrived.changed;
        outcome->arrived.conflicts += arrived.conflicts;
        outcome->arrived.namesLost += arrived.namesLost;
        outcome->arrived.from.insert(arrived.from);
        outcome->commit = theirs;
        if (settings.merged)
            settings.merged();
        // Then what is left of this machine's changes goes out.
        QString made;
        qint64 upTo = 0;
        int sent = 0;
        if (!commitChanges(store, repo, theirs, &made, &upTo, &sent, error))
            return false;
        if (!made.isEmpty()) {
            const Repository::Push pushed = repo.push(made, error);
            if (pushed == Repository::Push::Refused)
                continue;  // the remote moved on: merge with it first
            if (pushed == Repository::Push::Failed)
                return false;
        } else {
            made = theirs;
        }
        if (!published(store, made, upTo, settings.remote)) {
            *error = store.errorText();
            return false;
        }
        outcome->sent = sent;
        outcome->commit = made;
        return true;
    }
    *error = QStringLiteral("The remote kept changing; the notes will be synced later.");
    return false;
}

namespace {

const QString kRemote = QStringLiteral("Remoto");
const QString kMachine = QStringLiteral("Macchina");
const QString kAutomatic = QStringLiteral("Automatica");
const QString kLastSynced = QStringLiteral("UltimaSincronia");
const QString kLastError = QStringLiteral("UltimoErrore");

bool writeValues(store::NoteStore &store, const QList<std::pair<QString, QString>> &values)
{
    store.dbNotes.clearErrors();
    store::Transaction tx(store.dbNotes);
    if (!tx.isActive())
        return false;
    store::Statement st(store.dbNotes, QStringLiteral("INSERT OR REPLACE INTO Sincronia (Chiave, Valore) VALUES (?1, ?2)"));
    for (const auto &[key, value] : values) {
        st.reset();
        st.bind(1, key);
        st.bind(2, value);
        if (!st.run())
            return false;
    }
    return tx.commit();
}

} // namespace

bool readConfig(store::NoteStore &store, SyncConfig *config)
{
    *config = {};
    store.dbNotes.clearErrors();
    if (!store.hasSyncState())
        return true;
    store::Statement st(store.dbNotes, QStringLiteral("SELECT Chiave, Valore FROM Sincronia"));
    while (st.step()) {
        const QString key = st.columnText(0), value = st.columnText(1);
        if (key == kRemote)
            config->remote = value;
        else if (key == kMachine)
            config->machine = value;
        else if (key == kAutomatic)
            config->automatic = value != QLatin1String("0");
        else if (key == kLastSynced)
            config->lastSynced = value;
        else if (key == kLastError)
            config->lastError = value;
    }
    store::Statement waiting(store.dbNotes, QStringLiteral("SELECT count(*) FROM DaSincronizzare"));
    if (waiting.step())
        config->waiting = int(waiting.columnInt(0));
    return !st.failed() && !waiting.failed();
}

bool writeConfig(store::NoteStore &store, const SyncConfig &config)
{
    return writeValues(store, {{kRemote, config.remote.trimmed()},
                               {kMachine, config.machine.trimmed()},
                               {kAutomatic, config.automatic ? QStringLiteral("1") : QStringLiteral("0")}});
}

QString repositoryPath(const QString &dataFolder)
{
    return store::JoinPath(dataFolder, QStringLiteral("sync"));
}

bool syncConfigured(store::NoteStore &store, SyncOutcome *outcome, QString *error, const ConflictTitle &title)
{
    *outcome = {};
    SyncConfig config;
    if (!readConfig(store, &config)) {
        *error = store.errorText();
        return false;
    }
    if (config.remote.isEmpty()) {
        *error = QStringLiteral("No remote is set up for sync.");
        return false;
    }
    if (!config.machine.isEmpty())
        store.machineName = config.machine;
    SyncSettings settings;
    settings.remote = config.remote;
    settings.repository = repositoryPath(store.DataFolder);
    settings.conflictTitle = title;
    const bool ok = syncStore(store, settings, outcome, error);
    // How it went is kept even when the notes could not be written.
    const QString now = store::WallTime::of(store.now()).text();
    if (!writeValues(store, ok ? QList<std::pair<QString, QString>>{{kLastSynced, now}, {kLastError, QString()}}
                               : QList<std::pair<QString, QString>>{{kLastError, *error}})
        && ok) {
        *error = store.errorText();
        return false;
    }
    return ok;
}

} // namespace gitsync
