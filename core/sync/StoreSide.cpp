#include "sync/StoreSide.h"

#include "notes/Keeping.h"
#include "notes/NoteStore.h"
#include "notes/Reading.h"
#include "db/Sqlite.h"
#include "db/WallTime.h"

#include <QCryptographicHash>
#include <QStringList>

#include <map>
#include <memory>

namespace gitsync {

namespace {

const QString kMergedCommit = QStringLiteral("Commit");
const QString kMergedRemote = QStringLiteral("RemotoCommit");

// ids as one bound value, for "IN (SELECT value FROM json_each(?1))".
QString listed(const QSet<QString> &ids)
{
    QStringList quoted;
    quoted.reserve(ids.size());
    for (const QString &id : ids)
        quoted << QLatin1Char('"') + id + QLatin1Char('"');
    return QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']');
}

QVariant timeOrNull(const QString &time)
{
    return time.isEmpty() ? QVariant() : QVariant(time);
}

bool setMergedCommit(store::NoteStore &store, const QString &commit)
{
    store::Statement st(store.dbNotes, QStringLiteral("INSERT OR REPLACE INTO Sincronia (Chiave, Valore) VALUES (?1, ?2)"));
    st.bind(1, kMergedCommit);
    st.bind(2, commit);
    return st.run();
}

// Writes the outcome of a merge into the store, inside its transaction.
class Writer final {
public:
    Writer(store::NoteStore &store, Arrived *arrived) : m_store(store), m_arrived(arrived) {}

    bool category(const CategoryRecord &c, const std::optional<CategoryRecord> &here);
    bool topic(const TopicRecord &t, const std::optional<TopicRecord> &here);
    bool conflict(const TopicRecord &theirs, const QString &title);
    bool removeCategory(const QString &id);

    QList<notes::TopicChange> topicChanges;
    QList<notes::CategoryChange> categoryChanges;

private:
    // A statement prepared once for the whole merge, reset for its next use:
    // a first sync writes tens of thousands of topics with the same few.
    store::Statement &sql(const QString &text);
    qint64 keyOf(const QString &text, const QString &id, bool *ok);
    qint64 categoryKey(const QString &id);
    // A topic added with t's fields and id, under key (-1: a new one); its
    // key, or -1.
    qint64 insertTopic(qint64 key, qint64 category, const TopicRecord &t);
    bool setFields(const QString &table, qint64 key, qint64 category, const TopicRecord &t);
    bool keepDeletedState(qint64 key);

    store::NoteStore &m_store;
    Arrived *m_arrived;
    std::map<QString, std::unique_ptr<store::Statement>> m_prepared;
};

store::Statement &Writer::sql(const QString &text)
{
    auto &st = m_prepared[text];
    if (!st)
        st = std::make_unique<store::Statement>(m_store.dbNotes, text);
    st->reset();
    return *st;
}

qint64 Writer::keyOf(const QString &text, const QString &id, bool *ok)
{
    store::Statement &st = sql(text);
    st.bind(1, id);
    const bool found = st.step();
    *ok = !st.failed();
    const qint64 key = found ? st.columnInt(0) : -1;
    st.reset();
    return key;
}

bool Writer::category(const CategoryRecord &c, const std::optional<CategoryRecord> &here)
{
    bool ok = true;
    qint64 key = keyOf(QStringLiteral("SELECT idCategoria FROM CategorieId WHERE Guid = ?1"), c.guid, &ok);
    if (!ok)
        return false;
    if (key < 0) {
        store::Statement &add = sql(QStringLiteral("INSERT INTO Categorie (Categoria) VALUES (?1)"));
        add.bind(1, c.name);
        if (!add.run())
            return false;
        key = m_store.dbNotes.lastInsertRowId();
        categoryChanges.append({notes::CategoryChange::Kind::Added, int(key), c.name});
    } else {
        store::Statement &name = sql(QStringLiteral("UPDATE Categorie SET Categoria = ?2 WHERE idCategoria = ?1"));
        name.bind(1, key);
        name.bind(2, c.name);
        if (!name.run())
            return false;
        if (!here || here->name != c.name)
            categoryChanges.append({notes::CategoryChange::Kind::Renamed, int(key), c.name});
    }
    store::Statement &id = sql(QStringLiteral("UPDATE CategorieId SET Guid = ?2, Rinominata = ?3 WHERE idCategoria = ?1"));
    id.bind(1, key);
    id.bind(2, c.guid);
    id.bind(3, timeOrNull(c.renamed));
    ++m_arrived->changed;
    return id.run();
}

qint64 Writer::categoryKey(const QString &id)
{
    if (!isGuid(id)) {
        // A deleted topic whose category had gone when it was deleted: the
        // first category holds it, as any other would.
        store::Statement &first = sql(QStringLiteral("SELECT min(idCategoria) FROM Categorie"));
        const qint64 key = first.step() && !first.isNull(0) ? first.columnInt(0) : (first.failed() ? -1 : 0);
        first.reset();
        return key;
    }
    bool ok = true;
    const qint64 key = keyOf(QStringLiteral("SELECT idCategoria FROM CategorieId WHERE Guid = ?1"), id, &ok);
    if (!ok || key >= 0)
        return ok ? key : -1;
    // A category the remote names but does not hold: one without a name
    // keeps its topics until its record comes.
    return category({id, QString(), QString()}, std::nullopt) ? categoryKey(id) : -1;
}

// Binds a topic's key (?1), category (?2) and fields (?3 to ?8).
void bindFields(store::Statement &st, const QVariant &key, qint64 category, const TopicRecord &t)
{
    st.bind(1, key);
    st.bind(2, category);
    st.bind(3, t.title);
    st.bind(4, t.body);
    st.bind(5, t.text);
    st.bind(6, timeOrNull(t.updated));
    st.bind(7, qint64(t.alarmType));
    st.bind(8, timeOrNull(t.alarmTime));
}

bool Writer::setFields(const QString &table, qint64 key, qint64 category, const TopicRecord &t)
{
    store::Statement &st = sql(QStringLiteral("UPDATE %1 SET idCategoria = ?2, argomento = ?3, contenuto = ?4, ContenutoTxt = ?5, "
                                       "ultimoaggiornamento = ?6, TipoAllarme = ?7, DataOraAllarme = ?8 WHERE idArgomento = ?1")
                            .arg(table));
    bindFields(st, key, category, t);
    return st.run();
}

// The state of a deleted topic, kept as a version of it before it changes.
bool Writer::keepDeletedState(qint64 key)
{
    store::Statement &st = sql(QStringLiteral("INSERT INTO Versioni (idArgomento, DataOraVersione, Macchina, %1) "
                                       "SELECT idArgomento, ?2, ?3, %1 FROM Eliminati WHERE idArgomento = ?1")
                            .arg(notes::kKeptColumns));
    st.bind(1, key);
    st.bind(2, store::WallTime::of(m_store.now()).text());
    st.bind(3, m_store.machineName);
    return st.run();
}

qint64 Writer::insertTopic(qint64 key, qint64 category, const TopicRecord &t)
{
    store::Statement &add = sql(QStringLiteral("INSERT INTO Argomenti (idArgomento, idCategoria, argomento, contenuto, "
                                               "ContenutoTxt, ultimoaggiornamento, TipoAllarme, DataOraAllarme) "
                                               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));
    bindFields(add, key >= 0 ? QVariant(key) : QVariant(), category, t);
    if (!add.run())
        return -1;
    const qint64 made = m_store.dbNotes.lastInsertRowId();
    // Its own id, in place of the one made for the new row (no change to send).
    store::Statement &unmark = sql(QStringLiteral("DELETE FROM DaSincronizzare WHERE Guid = "
                                                  "(SELECT Guid FROM ArgomentiId WHERE idArgomento = ?1)"));
    unmark.bind(1, made);
    store::Statement &id = sql(QStringLiteral("UPDATE ArgomentiId SET Guid = ?2 WHERE idArgomento = ?1"));
    id.bind(1, made);
    id.bind(2, t.guid);
    return unmark.run() && id.run() ? made : -1;
}

bool Writer::topic(const TopicRecord &t, const std::optional<TopicRecord> &here)
{
    const bool deleted = !t.deleted.isEmpty();
    if (!here && deleted)
        return true;  // never here, or let go of: nothing to delete
    const qint64 category = categoryKey(t.category);
    bool ok = true;
    qint64 live = keyOf(QStringLiteral("SELECT idArgomento FROM ArgomentiId WHERE Guid = ?1"), t.guid, &ok);
    const qint64 gone = ok && live < 0
        ? keyOf(QStringLiteral("SELECT idArgomento FROM Eliminati WHERE Guid = ?1"), t.guid, &ok) : -1;
    if (!ok || category < 0)
        return false;
    ++m_arrived->changed;
    const auto names = [&](qint64 key) {
        store::Statement &st = sql(QStringLiteral("UPDATE Eliminati SET DataOraEliminazione = ?2, Macchina = ?3, "
                                                            "Categoria = coalesce((SELECT Categoria FROM Categorie WHERE "
                                                            "idCategoria = Eliminati.idCategoria), Categoria, '') "
                                                            "WHERE idArgomento = ?1"));
        st.bind(1, key);
        st.bind(2, t.deleted);
        st.bind(3, t.machine);
        return st.run();
    };
    if (live >= 0) {
        // What this machine held stays as a version.
        if (!notes::keepVersion(m_store, int(live), int(live), QStringLiteral("1"),
                                QStringLiteral("contenuto IS ?5 AND ContenutoTxt IS ?6"), {t.body, t.text}))
            return false;
        if (!deleted) {
            m_arrived->from.insert(int(live), t.machine);
            topicChanges.append({notes::TopicChange::Kind::Saved, {int(live)}, int(category), t.title, true});
            return setFields(QStringLiteral("Argomenti"), live, category, t);
        }
        topicChanges.append({notes::TopicChange::Kind::Removed, {int(live)}, -1, QString()});
        return notes::keepDeleted(m_store, int(live)) && setFields(QStringLiteral("Eliminati"), live, category, t)
            && names(live) && m_store.dbNotes.exec(QStringLiteral("DELETE FROM Argomenti WHERE idArgomento = %1").arg(live));
    }
    if (gone >= 0 && !keepDeletedState(gone))
        return false;
    if (deleted)
        return setFields(QStringLiteral("Eliminati"), gone, category, t) && names(gone);
    // Back under the key it had, or new here.
    live = insertTopic(gone, category, t);
    if (live < 0 || (gone >= 0 && !m_store.dbNotes.exec(QStringLiteral("DELETE FROM Eliminati WHERE idArgomento = %1").arg(gone))))
        return false;
    m_arrived->from.insert(int(live), t.machine);
    topicChanges.append({notes::TopicChange::Kind::Added, {int(live)}, int(category), t.title, true});
    return true;
}

bool Writer::conflict(const TopicRecord &theirs, const QString &title)
{
    // The id of a kept state is made from it: the same state kept again (a
    // merge done twice, or on two machines) is one topic.
    const QString guid = QString::fromLatin1(
        QCryptographicHash::hash((theirs.guid + QLatin1Char('\n') + theirs.updated + QLatin1Char('\n') + theirs.title
                                  + QLatin1Char('\n') + theirs.body)
                                     .toUtf8(),
                                 QCryptographicHash::Md5)
            .toHex());
    bool ok = true;
    if (keyOf(QStringLiteral("SELECT idArgomento FROM ArgomentiId WHERE Guid = ?1"), guid, &ok) >= 0
        || keyOf(QStringLiteral("SELECT idArgomento FROM Eliminati WHERE Guid = ?1"), guid, &ok) >= 0 || !ok)
        return ok;
    const qint64 category = categoryKey(theirs.category);
    // Its own topic, not a second alarm for the same moment.
    TopicRecord copy = theirs;
    copy.guid = guid;
    copy.title = title;
    copy.alarmType = 0;
    const qint64 key = category < 0 ? -1 : insertTopic(-1, category, copy);
    if (key < 0)
        return false;
    // Made here: it is this machine's change to send.
    store::Statement &send = sql(QStringLiteral("INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (?1)"));
    send.bind(1, guid);
    if (!send.run())
        return false;
    m_arrived->conflicts.append(title);
    topicChanges.append({notes::TopicChange::Kind::Added, {int(key)}, int(category), title, true});
    return true;
}

bool Writer::removeCategory(const QString &id)
{
    bool ok = true;
    const qint64 key = keyOf(QStringLiteral("SELECT idCategoria FROM CategorieId WHERE Guid = ?1"), id, &ok);
    if (!ok || key < 0)
        return ok;
    // One that still has topics here stays, and goes back to the remote.
    const qint64 used = keyOf(QStringLiteral("SELECT 1 FROM Argomenti WHERE idCategoria = "
                                                      "(SELECT idCategoria FROM CategorieId WHERE Guid = ?1) LIMIT 1"),
                              id, &ok);
    if (!ok || used >= 0)
        return ok;
    ++m_arrived->changed;
    categoryChanges.append({notes::CategoryChange::Kind::Removed, int(key), QString()});
    return m_store.dbNotes.exec(QStringLiteral("DELETE FROM Categorie WHERE idCategoria = %1").arg(key));
}

template <typename T>
std::optional<T> find(const QHash<QString, T> &records, const QString &id)
{
    const auto it = records.constFind(id);
    return it == records.constEnd() ? std::nullopt : std::optional<T>(*it);
}

} // namespace

bool mergedCommit(store::NoteStore &store, QString *commit)
{
    store.dbNotes.clearErrors();
    store::Statement st(store.dbNotes, QStringLiteral("SELECT Valore FROM Sincronia WHERE Chiave = ?1"));
    st.bind(1, kMergedCommit);
    *commit = st.step() ? st.columnText(0) : QString();
    return !st.failed();
}

bool changedHere(store::NoteStore &store, Changed *changed)
{
    store.dbNotes.clearErrors();
    *changed = {};
    store::Statement st(store.dbNotes, QStringLiteral("SELECT Guid, Cambio FROM DaSincronizzare"));
    while (st.step()) {
        changed->ids.insert(st.columnText(0));
        changed->upTo = std::max(changed->upTo, qint64(st.columnInt(1)));
    }
    return !st.failed();
}

bool readHere(store::NoteStore &store, const QSet<QString> &ids, Records *records)
{
    *records = {};
    if (ids.isEmpty())
        return true;
    const QString which = listed(ids);
    store::Statement categories(store.dbNotes, QStringLiteral("SELECT i.Guid, c.Categoria, i.Rinominata FROM CategorieId i "
                                                              "JOIN Categorie c USING (idCategoria) "
                                                              "WHERE i.Guid IN (SELECT value FROM json_each(?1))"));
    categories.bind(1, which);
    while (categories.step())
        records->categories.insert(categories.columnText(0),
                                   {categories.columnText(0), categories.columnText(1), categories.columnText(2)});
    if (categories.failed())
        return false;
    // Deleted topics first: one that is here again is the topic it is now.
    const QString columns = QStringLiteral("(SELECT Guid FROM CategorieId WHERE idCategoria = a.idCategoria), a.argomento, "
                                           "a.ultimoaggiornamento, a.TipoAllarme, a.DataOraAllarme, %1, a.contenuto, "
                                           "a.ContenutoTxt");
    for (const QString &sql :
         {QStringLiteral("SELECT a.Guid, %1 FROM Eliminati a WHERE a.Guid IN (SELECT value FROM json_each(?1))")
              .arg(columns.arg(QStringLiteral("a.DataOraEliminazione"))),
          QStringLiteral("SELECT i.Guid, %1 FROM ArgomentiId i JOIN Argomenti a USING (idArgomento) "
                         "WHERE i.Guid IN (SELECT value FROM json_each(?1))")
              .arg(columns.arg(QStringLiteral("NULL")))}) {
        store::Statement topics(store.dbNotes, sql);
        topics.bind(1, which);
        while (topics.step())
            records->topics.insert(topics.columnText(0),
                                   {topics.columnText(0), topics.columnText(1), topics.columnText(2), topics.columnText(3),
                                    int(topics.columnInt(4)), topics.columnText(5), topics.columnText(6),
                                    topics.columnText(7), topics.columnText(8), store.machineName});
        if (topics.failed())
            return false;
    }
    return true;
}

QString defaultConflictTitle(const TopicRecord &theirs)
{
    return QStringLiteral("%1 (conflict, %2, %3)")
        .arg(theirs.title, theirs.machine.isEmpty() ? QStringLiteral("?") : theirs.machine, theirs.updated.left(16));
}

bool startOverIfMoved(store::NoteStore &store, const QString &remote)
{
    store.dbNotes.clearErrors();
    QString commit;
    if (!mergedCommit(store, &commit))
        return false;
    store::Statement where(store.dbNotes, QStringLiteral("SELECT Valore FROM Sincronia WHERE Chiave = ?1"));
    where.bind(1, kMergedRemote);
    const QString merged = where.step() ? where.columnText(0) : QString();
    if (where.failed())
        return false;
    where.reset();
    if (commit.isEmpty() || merged == remote)
        return true;
    store::Transaction tx(store.dbNotes);
    return tx.isActive() && setMergedCommit(store, QString())
        && store.dbNotes.exec(QStringLiteral("INSERT OR IGNORE INTO DaSincronizzare (Guid) SELECT Guid FROM CategorieId; "
                                             "INSERT OR IGNORE INTO DaSincronizzare (Guid) SELECT Guid FROM ArgomentiId; "
                                             "INSERT OR IGNORE INTO DaSincronizzare (Guid) SELECT Guid FROM Eliminati "
                                             "WHERE Guid IS NOT NULL"))
        && tx.commit();
}

bool categoriesAmong(store::NoteStore &store, const QSet<QString> &ids, QSet<QString> *categories)
{
    categories->clear();
    store::Statement st(store.dbNotes,
                        QStringLiteral("SELECT value FROM json_each(?1) WHERE value IN (SELECT Guid FROM CategorieId) "
                                       "OR (value NOT IN (SELECT Guid FROM ArgomentiId) "
                                       "AND value NOT IN (SELECT Guid FROM Eliminati WHERE Guid IS NOT NULL))"));
    st.bind(1, listed(ids));
    while (st.step())
        categories->insert(st.columnText(0));
    return !st.failed();
}

namespace {

// Topics are merged and published this many at a time: what is held in
// memory is one slice's texts, whatever the number of topics.
constexpr qsizetype kSlice = 2000;

QList<QList<QString>> slices(const QSet<QString> &ids)
{
    QList<QString> sorted(ids.begin(), ids.end());
    std::sort(sorted.begin(), sorted.end());
    QList<QList<QString>> out;
    for (qsizetype at = 0; at < sorted.size(); at += kSlice)
        out.append(sorted.mid(at, kSlice));
    return out;
}

} // namespace

bool mergeIntoStore(store::NoteStore &store, QSet<QString> topicIds, const QSet<QString> &categoryIds,
                    const Fetch &fetch, const QString &commit, const ConflictTitle &title, Arrived *arrived,
                    QString *error)
{
    store.dbNotes.clearErrors();
    *arrived = {};
    const auto failed = [&] {
        if (error->isEmpty())
            *error = store.errorText();
        return false;
    };
    // A merge of one slice is one write: the store is as it was or merged.
    // A larger one writes each part in a transaction of its own, so that a
    // save in the window waits for one slice at most; a part merged again
    // (the sync ended before the last) comes out the same, and the commit
    // merged with is recorded by the last part only.
    const bool whole = topicIds.size() <= kSlice;
    std::optional<store::Transaction> all;
    if (whole && !all.emplace(store.dbNotes).isActive())
        return failed();
    const auto inOneWrite = [&](const std::function<bool()> &work) {
        if (whole)
            return work();
        store::Transaction tx(store.dbNotes);
        return tx.isActive() && work() && tx.commit();
    };
    Writer write(store, arrived);
    store::Statement agreed(store.dbNotes, QStringLiteral("DELETE FROM DaSincronizzare WHERE Guid = ?1"));
    store::Statement differs(store.dbNotes, QStringLiteral("INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (?1)"));
    // What now stands as on the remote is no longer a change of this
    // machine; what the merge made otherwise (a category brought back or
    // joined, a topic moved into it) is one, to be published.
    const auto mark = [&](const QString &id, bool same) {
        store::Statement &st = same ? agreed : differs;
        st.reset();
        st.bind(1, id);
        return st.run();
    };

    // Categories first: those of one name made apart become one, and every
    // topic written after finds its category.
    Records cBase, cTheirs, cHere;
    if (!fetch(categoryIds, &cBase, &cTheirs, error) || !readHere(store, categoryIds, &cHere))
        return failed();
    // An id taken for a deleted category here may be a topic there.
    for (const Records *side : {&cBase, &cTheirs})
        for (auto it = side->topics.cbegin(); it != side->topics.cend(); ++it)
            topicIds.insert(it.key());
    CategoriesMerged cats = mergeCategories(categoryIds, cBase, cHere, cTheirs);
    if (!inOneWrite([&] {
            for (const CategoryRecord &c : std::as_const(cats.result)) {
                const auto mine = find(cHere.categories, c.guid);
                if ((!mine || *mine != c) && !write.category(c, mine))
                    return false;
            }
            return true;
        }))
        return failed();

    // Topics, a slice at a time.
    QSet<QString> inUse;
    for (const QList<QString> &slice : slices(topicIds)) {
        const QSet<QString> ids(slice.begin(), slice.end());
        Records base, theirs;
        if (!fetch(ids, &base, &theirs, error))
            return failed();
        const bool merged = inOneWrite([&] {
            Records here;
            if (!readHere(store, ids, &here))
                return false;
            for (const QString &id : slice) {
                TopicMerge m = mergeTopic(find(base.topics, id), find(here.topics, id), find(theirs.topics, id));
                for (std::optional<TopicRecord> *t : {&m.result, &m.conflict})
                    if (*t) {
                        (*t)->category = cats.joined.value((*t)->category, (*t)->category);
                        if ((*t)->deleted.isEmpty())
                            inUse.insert((*t)->category);
                    }
                const auto mine = find(here.topics, id);
                if (m.result && (!mine || *mine != *m.result) && !write.topic(*m.result, mine))
                    return false;
                if (m.conflict && !write.conflict(*m.conflict, title(*m.conflict)))
                    return false;
                if (!mark(id, m.result == find(theirs.topics, id) || (!mine && !m.result)))
                    return false;
            }
            return true;
        });
        if (!merged)
            return failed();
    }

    const bool done = inOneWrite([&] {
        // A category deleted on one side while a topic went into it on the
        // other comes back.
        for (const QString &id : std::as_const(inUse)) {
            if (!categoryIds.contains(id) || cats.result.contains(id))
                continue;
            for (const Records *side : {&cHere, &cTheirs, &cBase})
                if (side->categories.contains(id)) {
                    const CategoryRecord c = side->categories.value(id);
                    if (!write.category(c, find(cHere.categories, id)))
                        return false;
                    cats.result.insert(id, c);
                    break;
                }
        }
        for (const CategoryRecord &c : std::as_const(cHere.categories))
            if (!cats.result.contains(c.guid) && !write.removeCategory(c.guid))
                return false;
        for (const QString &id : categoryIds)
            if (!mark(id, find(cats.result, id) == find(cTheirs.categories, id)))
                return false;
        return setMergedCommit(store, commit);
    }) && (!whole || all->commit());
    if (!done && whole)
        return failed();  // nothing was written
    // What was written is told, whether or not the last part was.
    arrived->namesLost = cats.namesLost;
    for (const notes::CategoryChange &change : write.categoryChanges)
        emit store.changes.categoriesChanged(change);
    for (const notes::TopicChange &change : write.topicChanges)
        emit store.changes.topicsChanged(change);
    return done || failed();
}

QList<FileChange> filesToPublish(const QList<QString> &ids, const Records &here, const Records &theirs)
{
    QList<FileChange> files;
    for (const QString &id : ids) {
        if (const auto t = find(here.topics, id)) {
            if (find(theirs.topics, id) != t)
                files << FileChange{topicMetaPath(id), encodeTopic(*t)} << FileChange{topicBodyPath(id), t->body.toUtf8()};
        } else if (const auto c = find(here.categories, id)) {
            if (find(theirs.categories, id) != c)
                files << FileChange{categoryPath(id), encodeCategory(*c)};
        } else if (theirs.categories.contains(id)) {
            files << FileChange{categoryPath(id), {}, true};  // deleted here
        }
    }
    return files;
}

bool published(store::NoteStore &store, const QString &commit, qint64 upTo, const QString &remote)
{
    store.dbNotes.clearErrors();
    store::Transaction tx(store.dbNotes);
    if (!tx.isActive() || !setMergedCommit(store, commit))
        return false;
    store::Statement where(store.dbNotes, QStringLiteral("INSERT OR REPLACE INTO Sincronia (Chiave, Valore) VALUES (?1, ?2)"));
    where.bind(1, kMergedRemote);
    where.bind(2, remote);
    if (!where.run())
        return false;
    store::Statement forget(store.dbNotes, QStringLiteral("DELETE FROM DaSincronizzare WHERE Cambio <= ?1"));
    forget.bind(1, upTo);
    return forget.run() && tx.commit();
}

} // namespace gitsync
