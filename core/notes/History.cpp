#include "notes/History.h"

#include "notes/Keeping.h"
#include "notes/NoteStore.h"
#include "db/Like.h"
#include "db/Sqlite.h"

#include <QStringList>

namespace notes {

namespace {

QString stamp(const QDateTime &when)
{
    return store::WallTime::of(when).text();
}

QDateTime readTime(const store::Statement &st, int col)
{
    return st.isNull(col) ? QDateTime() : store::WallTime::fromText(st.columnText(col)).moment();
}

// The kept columns, each named as a column of table alias.
QString columnsOf(const QString &alias)
{
    QStringList out;
    for (const QString &c : kKeptColumns.split(QStringLiteral(", ")))
        out << alias + QLatin1Char('.') + c;
    return out.join(QStringLiteral(", "));
}

// A column of the text (contenuto, ContenutoTxt) of version v as it was:
// its own, or, where the change left the text as it was, the next state's.
QString textOf(const QString &column)
{
    return QStringLiteral("CASE WHEN v.TestoUguale = 0 THEN v.%1 ELSE coalesce("
                          "(SELECT ifnull(w.%1, '') FROM Versioni w WHERE w.idArgomento = v.idArgomento "
                          "AND w.idVersione > v.idVersione AND w.TestoUguale = 0 ORDER BY w.idVersione LIMIT 1), "
                          "(SELECT ifnull(a.%1, '') FROM Argomenti a WHERE a.idArgomento = v.idArgomento), "
                          "(SELECT ifnull(e.%1, '') FROM Eliminati e WHERE e.idArgomento = v.idArgomento)) END")
        .arg(column);
}

// How many rows the last statement changed, added to *count.
void countChanges(store::NoteStore &store, qint64 *count)
{
    *count += store.dbNotes.lastChanges();
}

} // namespace

namespace {

// Keeps the records of Argomenti that which selects (with ?1) as versions of
// the topic asKey names (?2 or a column), as keepVersion does for one.
bool insertVersions(store::NoteStore &store, const QString &which, const QVariant &selected, const QString &asKey,
                    qint64 asKeyValue, const QString &changed, const QString &textKept,
                    std::initializer_list<QVariant> values)
{
    if (!store.hasHistory())
        return true;
    store::Statement st(store.dbNotes,
                        QStringLiteral("INSERT INTO Versioni (idArgomento, DataOraVersione, Macchina, TestoUguale, %1) "
                                       "SELECT %4, ?3, ?4, (%3), idCategoria, argomento, CASE WHEN (%3) THEN NULL ELSE "
                                       "contenuto END, CASE WHEN (%3) THEN NULL ELSE ContenutoTxt END, "
                                       "ultimoaggiornamento, TipoAllarme, DataOraAllarme "
                                       "FROM Argomenti WHERE %5 AND (%2)")
                            .arg(kKeptColumns, changed, textKept, asKey, which));
    st.bind(1, selected);
    if (asKey == QLatin1String("?2"))
        st.bind(2, asKeyValue);
    st.bind(3, stamp(store.now()));
    st.bind(4, store.machineName);
    int index = 4;
    for (const QVariant &value : values)
        st.bind(++index, value);
    return st.run();
}

} // namespace

bool keepVersion(store::NoteStore &store, int key, int asKey, const QString &changed, const QString &textKept,
                 std::initializer_list<QVariant> values)
{
    return insertVersions(store, QStringLiteral("idArgomento = ?1"), qint64(key), QStringLiteral("?2"), asKey, changed,
                          textKept, values);
}

bool keepVersions(store::NoteStore &store, const QList<int> &keys, const QString &changed, const QString &textKept,
                  std::initializer_list<QVariant> values)
{
    QStringList listed;
    for (const int key : keys)
        listed << QString::number(key);
    // One statement for any number of topics: a move of thousands keeps
    // them all at the cost of one.
    return insertVersions(store, QStringLiteral("idArgomento IN (SELECT value FROM json_each(?1))"),
                          QString(QLatin1Char('[') + listed.join(QLatin1Char(',')) + QLatin1Char(']')),
                          QStringLiteral("idArgomento"), -1, changed, textKept, values);
}

QVariant topicGuid(store::NoteStore &store, int key)
{
    if (!store.hasGlobalIds())
        return QVariant();
    store::Statement st(store.dbNotes, QStringLiteral("SELECT Guid FROM ArgomentiId WHERE idArgomento = ?1"));
    st.bind(1, qint64(key));
    return st.step() ? st.column(0) : QVariant();
}

bool setTopicGuid(store::NoteStore &store, int key, const QVariant &guid)
{
    if (!store.hasGlobalIds() || guid.isNull())
        return true;
    store::Statement st(store.dbNotes, QStringLiteral("UPDATE ArgomentiId SET Guid = ?2 WHERE idArgomento = ?1"));
    st.bind(1, qint64(key));
    st.bind(2, guid);
    return st.run();
}

bool keepDeleted(store::NoteStore &store, int key)
{
    if (!store.hasHistory())
        return true;
    // The topic's global id goes with it, to come back with it.
    const bool ids = store.hasGlobalIds();
    store::Statement st(store.dbNotes,
                        QStringLiteral("INSERT OR REPLACE INTO Eliminati (idArgomento, %1, Categoria, DataOraEliminazione, "
                                       "Macchina%3) SELECT a.idArgomento, %2, coalesce(c.Categoria, ''), ?2, ?3%4 "
                                       "FROM Argomenti a LEFT JOIN Categorie c ON c.idCategoria = a.idCategoria "
                                       "WHERE a.idArgomento = ?1")
                            .arg(kKeptColumns, columnsOf(QStringLiteral("a")),
                                 ids ? QStringLiteral(", Guid") : QString(),
                                 ids ? QStringLiteral(", (SELECT Guid FROM ArgomentiId WHERE idArgomento = a.idArgomento)")
                                     : QString()));
    st.bind(1, qint64(key));
    st.bind(2, stamp(store.now()));
    st.bind(3, store.machineName);
    return st.run();
}

QList<VersionEntry> History::versionsOf(int topic, bool *ok)
{
    m_store.dbNotes.clearErrors();
    *ok = true;
    QList<VersionEntry> out;
    if (!m_store.hasHistory())
        return out;
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT idVersione, DataOraVersione, ultimoaggiornamento, Macchina, "
                                                        "argomento, substr(%1, 1, 300) FROM Versioni v "
                                                        "WHERE idArgomento = ?1 ORDER BY idVersione DESC")
                                             .arg(textOf(QStringLiteral("ContenutoTxt"))));
    st.bind(1, qint64(topic));
    while (st.step())
        out.append({st.columnInt(0), readTime(st, 1), readTime(st, 2), st.columnText(3), st.columnText(4), st.columnText(5)});
    *ok = !st.failed();
    return *ok ? out : QList<VersionEntry>();
}

Found History::version(qint64 id, Version *version)
{
    m_store.dbNotes.clearErrors();
    if (!m_store.hasHistory())
        return Found::No;
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT idArgomento, DataOraVersione, Macchina, idCategoria, argomento, "
                                                        "%1, %2, ultimoaggiornamento, TipoAllarme, DataOraAllarme "
                                                        "FROM Versioni v WHERE idVersione = ?1")
                                             .arg(textOf(QStringLiteral("contenuto")), textOf(QStringLiteral("ContenutoTxt"))));
    st.bind(1, id);
    if (!st.step())
        return st.failed() ? Found::Failed : Found::No;
    version->id = id;
    version->topic = int(st.columnInt(0));
    version->replaced = readTime(st, 1);
    version->machine = st.columnText(2);
    version->category = int(st.columnInt(3));
    version->title = st.columnText(4);
    version->body = st.columnText(5);
    version->plainText = st.columnText(6);
    version->updated = readTime(st, 7);
    version->alarmType = int(st.columnInt(8));
    version->alarmTime = st.isNull(9) ? store::WallTime() : store::WallTime::fromText(st.columnText(9));
    return Found::Yes;
}

Found History::restore(qint64 id)
{
    Version v;
    const Found found = version(id, &v);
    if (found != Found::Yes)
        return found;
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return Found::Failed;
    // A version whose category is gone comes back in the topic's own.
    store::Statement where(m_store.dbNotes, QStringLiteral("SELECT coalesce((SELECT idCategoria FROM Categorie WHERE "
                                                           "idCategoria = ?2), idCategoria) FROM Argomenti "
                                                           "WHERE idArgomento = ?1"));
    where.bind(1, qint64(v.topic));
    where.bind(2, qint64(v.category));
    if (!where.step())
        return where.failed() ? Found::Failed : Found::No;
    const int category = int(where.columnInt(0));
    where.reset();
    const QVariant alarm = v.alarmTime.isValid() ? QVariant(v.alarmTime.text()) : QVariant();
    if (!keepVersion(m_store, v.topic, v.topic,
                     QStringLiteral("argomento IS NOT ?5 OR idCategoria IS NOT ?6 OR TipoAllarme IS NOT ?7 OR "
                                    "DataOraAllarme IS NOT ?8 OR contenuto IS NOT ?9 OR ContenutoTxt IS NOT ?10"),
                     QStringLiteral("contenuto IS ?9 AND ContenutoTxt IS ?10"),
                     {v.title, qint64(category), qint64(v.alarmType), alarm, v.body, v.plainText}))
        return Found::Failed;
    store::Statement update(m_store.dbNotes, QStringLiteral("UPDATE Argomenti SET (%1) = (?1, ?2, ?3, ?4, ?5, ?6, ?7) "
                                                            "WHERE idArgomento = ?8").arg(kKeptColumns));
    update.bind(1, qint64(category));
    update.bind(2, v.title);
    update.bind(3, v.body);
    update.bind(4, v.plainText);
    update.bind(5, stamp(m_store.now()));
    update.bind(6, qint64(v.alarmType));
    update.bind(7, alarm);
    update.bind(8, qint64(v.topic));
    if (!update.run() || !tx.commit())
        return Found::Failed;
    emit m_store.changes.topicsChanged({TopicChange::Kind::Saved, {v.topic}, category, v.title, true});
    return Found::Yes;
}

int History::restoreAsNew(qint64 id, int category)
{
    Version v;
    if (version(id, &v) != Found::Yes)
        return -1;
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return -1;
    if (category == -1) {
        store::Statement where(m_store.dbNotes,
                               QStringLiteral("SELECT coalesce((SELECT idCategoria FROM Argomenti WHERE idArgomento = ?1), "
                                              "(SELECT idCategoria FROM Categorie WHERE idCategoria = ?2))"));
        where.bind(1, qint64(v.topic));
        where.bind(2, qint64(v.category));
        if (!where.step())
            return -1;
        if (where.isNull(0)) {
            m_store.dbNotes.addError(QStringLiteral("The version's category is gone."));
            return -1;
        }
        category = int(where.columnInt(0));
    }
    store::Statement add(m_store.dbNotes, QStringLiteral("INSERT INTO Argomenti (%1) VALUES (?1, ?2, ?3, ?4, ?5, 0, NULL)")
                                              .arg(kKeptColumns));
    add.bind(1, qint64(category));
    add.bind(2, v.title);
    add.bind(3, v.body);
    add.bind(4, v.plainText);
    add.bind(5, stamp(m_store.now()));
    if (!add.run())
        return -1;
    const int key = int(m_store.dbNotes.lastInsertRowId());
    if (!tx.commit())
        return -1;
    emit m_store.changes.topicsChanged({TopicChange::Kind::Added, {key}, category, v.title});
    return key;
}

QList<DeletedTopic> History::deleted(const QString &pattern, bool *ok)
{
    m_store.dbNotes.clearErrors();
    *ok = true;
    QList<DeletedTopic> out;
    if (!m_store.hasHistory())
        return out;
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT idArgomento, idCategoria, Categoria, argomento, "
                                                        "DataOraEliminazione, Macchina FROM Eliminati WHERE %1 "
                                                        "ORDER BY DataOraEliminazione DESC, idArgomento DESC")
                                             .arg(pattern.isEmpty() ? QStringLiteral("1")
                                                                    : QStringLiteral("argomento LIKE ?1 OR ContenutoTxt LIKE ?1")));
    if (!pattern.isEmpty())
        st.bind(1, store::LikePattern::anywhere(pattern));
    while (st.step())
        out.append({int(st.columnInt(0)), int(st.columnInt(1)), st.columnText(2), st.columnText(3), readTime(st, 4),
                    st.columnText(5)});
    *ok = !st.failed();
    return *ok ? out : QList<DeletedTopic>();
}

bool History::undelete(const QList<int> &keys, int category, QList<int> *restored)
{
    m_store.dbNotes.clearErrors();
    restored->clear();
    if (!m_store.hasHistory())
        return true;
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return false;
    store::Statement where(m_store.dbNotes, QStringLiteral("SELECT coalesce((SELECT idCategoria FROM Categorie WHERE "
                                                           "idCategoria = e.idCategoria), (SELECT min(idCategoria) FROM "
                                                           "Categorie WHERE Categoria = e.Categoria)), Categoria, argomento "
                                                           "FROM Eliminati e WHERE idArgomento = ?1"));
    store::Statement make(m_store.dbNotes, QStringLiteral("INSERT INTO Categorie (Categoria) VALUES (?1)"));
    store::Statement add(m_store.dbNotes, QStringLiteral("INSERT INTO Argomenti (idArgomento, %1) SELECT idArgomento, ?2, "
                                                         "argomento, contenuto, ContenutoTxt, ultimoaggiornamento, "
                                                         "TipoAllarme, DataOraAllarme FROM Eliminati WHERE idArgomento = ?1")
                                              .arg(kKeptColumns));
    store::Statement drop(m_store.dbNotes, QStringLiteral("DELETE FROM Eliminati WHERE idArgomento = ?1"));
    QList<CategoryChange> made;
    QList<TopicChange> added;
    for (const int key : keys) {
        where.reset();
        where.bind(1, qint64(key));
        if (!where.step()) {
            if (where.failed())
                return false;
            continue;  // not deleted (any more)
        }
        int into = category;
        if (into == -1 && !where.isNull(0))
            into = int(where.columnInt(0));
        const QString name = where.columnText(1);
        const QString title = where.columnText(2);
        where.reset();
        if (into == -1) {
            make.reset();
            make.bind(1, name);
            if (!make.run())
                return false;
            into = int(m_store.dbNotes.lastInsertRowId());
            made.append({CategoryChange::Kind::Added, into, name});
        }
        add.reset();
        add.bind(1, qint64(key));
        add.bind(2, qint64(into));
        drop.reset();
        drop.bind(1, qint64(key));
        if (!add.run())
            return false;
        // Back as the same topic: the id the delete kept, not the new one.
        if (m_store.hasGlobalIds()) {
            store::Statement id(m_store.dbNotes, QStringLiteral("UPDATE ArgomentiId SET Guid = (SELECT Guid FROM Eliminati "
                                                                "WHERE idArgomento = ?1) WHERE idArgomento = ?1 AND "
                                                                "(SELECT Guid FROM Eliminati WHERE idArgomento = ?1) IS NOT NULL"));
            id.bind(1, qint64(key));
            if (!id.run())
                return false;
        }
        if (!drop.run())
            return false;
        restored->append(key);
        added.append({TopicChange::Kind::Added, {key}, into, title});
    }
    if (!tx.commit()) {
        restored->clear();
        return false;
    }
    for (const CategoryChange &change : made)
        emit m_store.changes.categoriesChanged(change);
    for (const TopicChange &change : added)
        emit m_store.changes.topicsChanged(change);
    return true;
}

bool History::prune(const QDateTime &now, const Retention &rule, Pruned *pruned)
{
    m_store.dbNotes.clearErrors();
    *pruned = {};
    if (!m_store.hasHistory())
        return true;
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return false;
    const QString everyFrom = stamp(now.addDays(-rule.everyVersionDays));
    const QString dailyFrom = stamp(now.addDays(-rule.dailyVersionDays));
    if (!m_store.dbNotes.exec(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS Scartate (idVersione INTEGER PRIMARY KEY); "
                                             "DELETE FROM temp.Scartate")))
        return false;
    // Within a span, the last version of each topic's day (or month) stays.
    const auto letGoWithin = [&](const QString &from, const QString &to, int periodLength) {
        store::Statement st(m_store.dbNotes,
                            QStringLiteral("INSERT INTO temp.Scartate SELECT idVersione FROM Versioni WHERE "
                                           "DataOraVersione >= ?1 AND DataOraVersione < ?2 AND idVersione NOT IN "
                                           "(SELECT max(idVersione) FROM Versioni WHERE DataOraVersione >= ?1 AND "
                                           "DataOraVersione < ?2 GROUP BY idArgomento, substr(DataOraVersione, 1, ?3))"));
        st.bind(1, from);
        st.bind(2, to);
        st.bind(3, qint64(periodLength));
        return st.run();
    };
    if (!letGoWithin(dailyFrom, everyFrom, 10) || !letGoWithin(QStringLiteral("0"), dailyFrom, 7))
        return false;
    // A version that stays and takes its text from one that goes gets its
    // own copy first.
    const QString next = QStringLiteral("(SELECT w.idVersione FROM Versioni w WHERE w.idArgomento = v.idArgomento AND "
                                        "w.idVersione > v.idVersione AND w.TestoUguale = 0 ORDER BY w.idVersione LIMIT 1)");
    if (!m_store.dbNotes.exec(QStringLiteral("UPDATE Versioni AS v SET contenuto = %1, ContenutoTxt = %2, TestoUguale = 0 "
                                             "WHERE TestoUguale = 1 AND idVersione NOT IN temp.Scartate "
                                             "AND %3 IN temp.Scartate")
                                  .arg(textOf(QStringLiteral("contenuto")), textOf(QStringLiteral("ContenutoTxt")), next))
        || !m_store.dbNotes.exec(QStringLiteral("DELETE FROM Versioni WHERE idVersione IN temp.Scartate")))
        return false;
    countChanges(m_store, &pruned->versions);
    store::Statement old(m_store.dbNotes, QStringLiteral("DELETE FROM Eliminati WHERE DataOraEliminazione < ?1"));
    old.bind(1, stamp(now.addDays(-rule.deletedDays)));
    if (!old.run())
        return false;
    countChanges(m_store, &pruned->deletedTopics);
    // Versions of topics that are neither here nor deleted go with them.
    store::Statement orphans(m_store.dbNotes, QStringLiteral("DELETE FROM Versioni WHERE idArgomento NOT IN (SELECT "
                                                             "idArgomento FROM Argomenti) AND idArgomento NOT IN "
                                                             "(SELECT idArgomento FROM Eliminati)"));
    if (!orphans.run())
        return false;
    countChanges(m_store, &pruned->versions);
    if (!tx.commit()) {
        *pruned = {};
        return false;
    }
    return true;
}

} // namespace notes
