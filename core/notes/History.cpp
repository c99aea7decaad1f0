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

// How many rows the last statement changed, added to *count.
void countChanges(store::NoteStore &store, qint64 *count)
{
    *count += store.dbNotes.lastChanges();
}

} // namespace

bool keepVersion(store::NoteStore &store, int key, int asKey, const QString &condition,
                 std::initializer_list<QVariant> values)
{
    if (!store.hasHistory())
        return true;
    store::Statement st(store.dbNotes, QStringLiteral("INSERT INTO Versioni (idArgomento, DataOraVersione, Macchina, %1) "
                                                      "SELECT ?2, ?3, ?4, %1 FROM Argomenti WHERE idArgomento = ?1 AND (%2)")
                                           .arg(kKeptColumns, condition));
    st.bind(1, qint64(key));
    st.bind(2, qint64(asKey));
    st.bind(3, stamp(store.now()));
    st.bind(4, store.machineName);
    int index = 4;
    for (const QVariant &value : values)
        st.bind(++index, value);
    return st.run();
}

bool keepDeleted(store::NoteStore &store, int key)
{
    if (!store.hasHistory())
        return true;
    store::Statement st(store.dbNotes,
                        QStringLiteral("INSERT OR REPLACE INTO Eliminati (idArgomento, %1, Categoria, DataOraEliminazione, "
                                       "Macchina) SELECT a.idArgomento, %2, coalesce(c.Categoria, ''), ?2, ?3 "
                                       "FROM Argomenti a LEFT JOIN Categorie c ON c.idCategoria = a.idCategoria "
                                       "WHERE a.idArgomento = ?1")
                            .arg(kKeptColumns, columnsOf(QStringLiteral("a"))));
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
                                                        "argomento, substr(ContenutoTxt, 1, 300) FROM Versioni "
                                                        "WHERE idArgomento = ?1 ORDER BY idVersione DESC"));
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
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT idArgomento, DataOraVersione, Macchina, %1 FROM Versioni "
                                                        "WHERE idVersione = ?1").arg(kKeptColumns));
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
    store::Statement update(m_store.dbNotes,
                            QStringLiteral("UPDATE Argomenti SET (%1) = (SELECT coalesce((SELECT idCategoria FROM Categorie "
                                           "WHERE idCategoria = v.idCategoria), Argomenti.idCategoria), v.argomento, "
                                           "v.contenuto, v.ContenutoTxt, ?2, v.TipoAllarme, v.DataOraAllarme "
                                           "FROM Versioni v WHERE v.idVersione = ?1) WHERE idArgomento = ?3")
                                .arg(kKeptColumns));
    if (!keepVersion(m_store, v.topic, v.topic,
                     QStringLiteral("EXISTS (SELECT 1 FROM Versioni v WHERE v.idVersione = ?5 AND (v.argomento IS NOT "
                                    "Argomenti.argomento OR v.contenuto IS NOT Argomenti.contenuto OR v.idCategoria IS NOT "
                                    "Argomenti.idCategoria OR v.TipoAllarme IS NOT Argomenti.TipoAllarme OR "
                                    "v.DataOraAllarme IS NOT Argomenti.DataOraAllarme))"),
                     {id}))
        return Found::Failed;
    update.bind(1, id);
    update.bind(2, stamp(m_store.now()));
    update.bind(3, qint64(v.topic));
    if (!update.run())
        return Found::Failed;
    if (m_store.dbNotes.lastChanges() == 0)
        return Found::No;
    store::Statement now(m_store.dbNotes, QStringLiteral("SELECT idCategoria FROM Argomenti WHERE idArgomento = ?1"));
    now.bind(1, qint64(v.topic));
    if (!now.step())
        return Found::Failed;
    const int category = int(now.columnInt(0));
    now.reset();
    if (!tx.commit())
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
    store::Statement add(m_store.dbNotes, QStringLiteral("INSERT INTO Argomenti (%1) SELECT ?2, argomento, contenuto, "
                                                         "ContenutoTxt, ?3, 0, NULL FROM Versioni WHERE idVersione = ?1")
                                              .arg(kKeptColumns));
    add.bind(1, id);
    add.bind(2, qint64(category));
    add.bind(3, stamp(m_store.now()));
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
        if (!add.run() || !drop.run())
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
    // Within a span, the last version of each topic's day (or month) stays.
    const auto keepLastOf = [&](const QString &from, const QString &to, int periodLength) {
        store::Statement st(m_store.dbNotes,
                            QStringLiteral("DELETE FROM Versioni WHERE DataOraVersione >= ?1 AND DataOraVersione < ?2 "
                                           "AND idVersione NOT IN (SELECT max(idVersione) FROM Versioni WHERE "
                                           "DataOraVersione >= ?1 AND DataOraVersione < ?2 "
                                           "GROUP BY idArgomento, substr(DataOraVersione, 1, ?3))"));
        st.bind(1, from);
        st.bind(2, to);
        st.bind(3, qint64(periodLength));
        if (!st.run())
            return false;
        countChanges(m_store, &pruned->versions);
        return true;
    };
    if (!keepLastOf(dailyFrom, everyFrom, 10) || !keepLastOf(QStringLiteral("0"), dailyFrom, 7))
        return false;
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
