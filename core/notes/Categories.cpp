#include "notes/Categories.h"

#include "notes/NoteStore.h"
#include "notes/ByKey.h"
#include "db/Fields.h"
#include "db/Sqlite.h"
#include "db/WallTime.h"

namespace notes {

QString Categories::cut(const QString &name) const
{
    return store::CutToWidth(name, m_store.fieldSize(QStringLiteral("Categorie"), QStringLiteral("Categoria")));
}

QList<ListEntry> Categories::inListOrder(bool *ok)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT Categoria, idCategoria FROM Categorie "
                                                        "ORDER BY Categoria COLLATE LISTORDER, idCategoria"));
    QList<ListEntry> entries;
    while (st.step())
        entries.append({st.columnText(0), int(st.columnInt(1))});
    *ok = !st.failed();
    return *ok ? entries : QList<ListEntry>();
}

Found Categories::name(int key, QString *name)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT Categoria FROM Categorie WHERE idCategoria = ?1"));
    st.bind(1, qint64(key));
    if (!st.step())
        return st.failed() ? Found::Failed : Found::No;
    *name = st.columnText(0);
    return Found::Yes;
}

int Categories::insert(const QString &name)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("INSERT INTO Categorie (Categoria) VALUES (?1)"));
    st.bind(1, cut(name));
    if (!st.run())
        return -1;
    const int key = int(m_store.dbNotes.lastInsertRowId());
    emit m_store.changes.categoriesChanged({CategoryChange::Kind::Added, key, name});
    return key;
}

Found Categories::rename(int key, const QString &name)
{
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return Found::Failed;
    Found found = writeByKey(m_store, QStringLiteral("UPDATE Categorie SET Categoria = ?1 WHERE idCategoria = ?2"),
                             {cut(name), qint64(key)});
    // When it was named travels with the name: of two names given on two
    // machines, the later one stays.
    if (found == Found::Yes && m_store.hasSyncState()
        && writeByKey(m_store, QStringLiteral("UPDATE CategorieId SET Rinominata = ?1 WHERE idCategoria = ?2"),
                      {store::WallTime::of(m_store.now()).text(), qint64(key)}) == Found::Failed)
        found = Found::Failed;
    if (found == Found::Yes && !tx.commit())
        found = Found::Failed;
    if (found == Found::Yes)
        emit m_store.changes.categoriesChanged({CategoryChange::Kind::Renamed, key, name});
    return found;
}

Found Categories::hasTopics(int key)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT 1 FROM Argomenti WHERE idCategoria = ?1 LIMIT 1"));
    st.bind(1, qint64(key));
    if (st.step())
        return Found::Yes;
    return st.failed() ? Found::Failed : Found::No;
}

Found Categories::remove(int key)
{
    const Found found = writeByKey(m_store, QStringLiteral("DELETE FROM Categorie WHERE idCategoria = ?1"), {qint64(key)});
    if (found != Found::Failed)
        emit m_store.changes.categoriesChanged({CategoryChange::Kind::Removed, key, QString()});
    return found;
}

} // namespace notes
