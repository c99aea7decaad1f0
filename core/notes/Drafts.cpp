// Drafts of open editors: written while the user types, read back at the
// next start when the program ended without saving.

#include "notes/Drafts.h"

#include "db/Fields.h"
#include "db/Sqlite.h"
#include "notes/NoteStore.h"

namespace notes {

using store::Statement;
using store::fromStoredDateTime;
using store::toStoredDateTime;

bool Drafts::available() const
{
    return m_store.hasDrafts();
}

bool Drafts::otherWriteUnderWay() const
{
    return m_store.isWriting();
}

bool Drafts::write(Draft &draft)
{
    // Inside another operation's transaction the draft would share its
    // fate (a rollback would take it too): it waits for the next turn.
    if (!available() || otherWriteUnderWay())
        return false;
    // A draft is kept against a crash or a kill, which the log survives
    // without a sync; waiting for the disk at every pause in typing would
    // be felt. The next save syncs it along with itself.
    m_store.dbNotes.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    const bool written = writeRow(draft);
    m_store.dbNotes.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    return written;
}

bool Drafts::writeRow(Draft &draft)
{
    const auto bindAll = [&](Statement &st) {
        st.bind(1, qint64(draft.topicId));
        st.bind(2, qint64(draft.categoryId));
        st.bind(3, draft.title);
        st.bind(4, draft.body);
        st.bind(5, qint64(draft.alarmType));
        if (draft.alarmTime.isValid())
            st.bind(6, draft.alarmTime.text());
        else
            st.bindNull(6);
        if (draft.topicUpdated.isValid())
            st.bind(7, toStoredDateTime(draft.topicUpdated));
        else
            st.bindNull(7);
        st.bind(8, toStoredDateTime(draft.taken));
    };
    if (draft.id != -1) {
        Statement st(m_store.dbNotes, QStringLiteral(
            "UPDATE Bozze SET idArgomento = ?1, idCategoria = ?2, argomento = ?3, contenuto = ?4, TipoAllarme = ?5, "
            "DataOraAllarme = ?6, ultimoaggiornamento = ?7, DataOraBozza = ?8 WHERE idBozza = ?9"));
        bindAll(st);
        st.bind(9, draft.id);
        if (!st.run())
            return false;
        if (m_store.dbNotes.lastChanges() == 1)
            return true;
        // Gone meanwhile (removed by hand): written afresh.
    }
    Statement st(m_store.dbNotes, QStringLiteral(
        "INSERT INTO Bozze (idArgomento, idCategoria, argomento, contenuto, TipoAllarme, DataOraAllarme, "
        "ultimoaggiornamento, DataOraBozza) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));
    bindAll(st);
    if (!st.run())
        return false;
    draft.id = m_store.dbNotes.lastInsertRowId();
    return true;
}

bool Drafts::remove(qint64 id)
{
    if (id == -1 || !available())
        return true;
    Statement st(m_store.dbNotes, QStringLiteral("DELETE FROM Bozze WHERE idBozza = ?1"));
    st.bind(1, id);
    return st.run();
}

QList<Draft> Drafts::all(bool *ok)
{
    QList<Draft> out;
    if (ok)
        *ok = true;
    if (!m_store.hasDraftTable())
        return out;
    Statement st(m_store.dbNotes, QStringLiteral(
        "SELECT idBozza, idArgomento, idCategoria, argomento, contenuto, TipoAllarme, DataOraAllarme, "
        "ultimoaggiornamento, DataOraBozza FROM Bozze ORDER BY idBozza"));
    while (st.step()) {
        Draft d;
        d.id = st.columnInt(0);
        d.topicId = int(st.columnInt(1));
        d.categoryId = int(st.columnInt(2));
        d.title = st.columnText(3);
        d.body = st.columnText(4);
        d.alarmType = int(st.columnInt(5));
        d.alarmTime = store::WallTime::fromText(st.columnText(6));
        d.topicUpdated = fromStoredDateTime(st.columnText(7));
        d.taken = fromStoredDateTime(st.columnText(8));
        out.append(d);
    }
    if (ok)
        *ok = !st.failed();
    return out;
}

} // namespace notes
