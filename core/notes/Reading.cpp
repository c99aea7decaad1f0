#include "notes/Reading.h"

#include "notes/NoteStore.h"
#include "db/Sqlite.h"

namespace notes {

ReadSnapshot::ReadSnapshot(store::NoteStore &store) : m_store(store)
{
    m_store.dbNotes.exec(QStringLiteral("BEGIN"));
}

ReadSnapshot::~ReadSnapshot()
{
    m_store.dbNotes.exec(QStringLiteral("ROLLBACK"));
}

bool categoryNames(store::NoteStore &store, QHash<qint64, QString> *names)
{
    store::Statement st(store.dbNotes, QStringLiteral("SELECT idCategoria, Categoria FROM Categorie"));
    while (st.step())
        names->insert(st.columnInt(0), st.columnText(1));
    return !st.failed();
}

bool topicCount(store::NoteStore &store, qint64 *count)
{
    store::Statement st(store.dbNotes, QStringLiteral("SELECT count(*) FROM Argomenti"));
    if (!st.step())
        return false;
    *count = st.columnInt(0);
    return true;
}

bool forEachTopic(store::NoteStore &store, const std::function<bool(const TopicRecord &)> &visit)
{
    store::Statement st(store.dbNotes, QStringLiteral("SELECT idArgomento, idCategoria, argomento, contenuto, ContenutoTxt, "
                                                      "ultimoaggiornamento, TipoAllarme, DataOraAllarme "
                                                      "FROM Argomenti ORDER BY idCategoria, idArgomento"));
    TopicRecord topic;
    while (st.step()) {
        topic.key = st.columnInt(0);
        topic.category = st.columnInt(1);
        topic.title = st.columnText(2);
        topic.body = st.columnText(3);
        topic.plainText = st.columnText(4);
        topic.updated = st.columnText(5);
        topic.alarmType = st.isNull(6) ? 0 : int(st.columnInt(6));
        topic.alarm = st.columnText(7);
        if (!visit(topic))
            return true;
    }
    return !st.failed();
}

TopicLines::TopicLines(store::NoteStore &store)
    : m_statement(std::make_unique<store::Statement>(
          store.dbNotes, QStringLiteral("SELECT Categoria, argomento, ultimoaggiornamento FROM Argomenti "
                                        "LEFT JOIN Categorie USING (idCategoria) WHERE idArgomento = ?1")))
{
}

TopicLines::~TopicLines() = default;

bool TopicLines::read(qint64 key, TopicLine *line)
{
    m_statement->reset();
    m_statement->bind(1, key);
    if (!m_statement->step())
        return false;
    line->category = m_statement->columnText(0);
    line->title = m_statement->columnText(1);
    line->updated = m_statement->columnText(2);
    return true;
}

} // namespace notes
