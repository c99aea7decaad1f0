#include "notes/Categories.h"

#include "NoteStore.h"
#include "notes/ByKey.h"
#include "Recordset.h"
#include "Sqlite.h"

namespace notes {

QString Categories::cut(const QString &name) const
{
    return store::CutToWidth(name, m_store.rsCategorie->fieldSize(QStringLiteral("Categoria")));
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
    return st.run() ? int(m_store.dbNotes.lastInsertRowId()) : -1;
}

Found Categories::rename(int key, const QString &name)
{
    return writeByKey(m_store, QStringLiteral("UPDATE Categorie SET Categoria = ?1 WHERE idCategoria = ?2"),
                      {cut(name), qint64(key)});
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
    return writeByKey(m_store, QStringLiteral("DELETE FROM Categorie WHERE idCategoria = ?1"), {qint64(key)});
}

} // namespace notes
