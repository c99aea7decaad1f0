// The topic clipboard (copy, cut, paste) and the two move commands.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "Search.h"
#include "Session.h"
#include "Utility.h"
#include "frmCategorie.h"
#include "frmListaArgomenti.h"
#include "frmNuovoArg.h"

#include <QAction>
#include <QListWidget>
#include <QSignalBlocker>

void frmPrincipale::mnuTaglia_Click()
{
    lstArgomenti_KeyPress(24);
}

void frmPrincipale::mnuCopia_Click()
{
    lstArgomenti_KeyPress(3);
}

void frmPrincipale::mnuIncolla_Click()
{
    lstArgomenti_KeyPress(22);
}

bool frmPrincipale::readClip(int key)
{
    store::TableRecordset &rs = *m_session.store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    if (!rs.seek(key))
        return false;
    // Read whole or not at all: a body that could not be read must not be
    // pasted as an empty one.
    bool failed = false;
    const auto read = [&](const char *name) {
        const QVariant v = rs.field(QString::fromLatin1(name));
        failed = failed || rs.lastFieldFailed();
        return v;
    };
    const auto nullToEmpty = [](const QVariant &v) { return v.isNull() ? QVariant(QString()) : v; };
    const QString title = read("argomento").toString();
    const QVariant content = nullToEmpty(read("contenuto"));
    const QString plain = nullToEmpty(read("ContenutoTxt")).toString();
    const QDateTime updated = read("ultimoaggiornamento").toDateTime();
    if (failed) {
        ShowDatabaseErrors(m_session, this);
        return false;
    }
    ClipTitle = title;
    ClipContent = content;
    ClipPlainText = plain;
    ClipUpdated = updated;
    return true;
}

void frmPrincipale::copyOrCut(bool cut)
{
    if (!mnuSposta->isEnabled())
        return;
    const int key = SelectedKey();
    if (key == -1 || (cut && RefusedReadOnly(m_session, this)))
        return;
    if (!readClip(key))
        return;
    ClipboardState = 1;
    ToolbarButtons[8]->setEnabled(true);
    ClipSourceId = cut ? key : -1;
}

void frmPrincipale::paste()
{
    if (!mnuSposta->isEnabled() || ClipboardState != 1 || RefusedReadOnly(m_session, this))
        return;
    // A cut topic is not pasted back into its own category.
    if (ClipSourceId != -1)
        for (int i = 0; i < lstArgomenti->count(); ++i)
            if (lstArgomenti->item(i)->data(Qt::UserRole).toInt() == ClipSourceId)
                return;
    // A cut topic saved since it was cut is pasted as it is now: the paste
    // deletes it, and must not take the newer text with it.
    if (ClipSourceId != -1 && !readClip(ClipSourceId) && !m_session.store.rsArgomenti->noMatch())
        return;  // it could not be read: nothing is pasted, nothing deleted
    store::NoteStore &st = m_session.store;
    store::TableRecordset &rs = *st.rsArgomenti;
    const int category = st.rsCategorie->field(QStringLiteral("idCategoria")).toInt();
    // Completing a cut is one write with the paste: the topic is in one
    // category or the other, never in both or in neither.
    store::Transaction tx(st.dbNotes);
    if (!tx.isActive()) {
        ShowDatabaseErrors(m_session, this);
        return;
    }
    if (!rs.addNew() || !rs.setField(QStringLiteral("argomento"), ClipTitle)
        || !rs.setField(QStringLiteral("idCategoria"), category) || !rs.setField(QStringLiteral("contenuto"), ClipContent)
        || !rs.setField(QStringLiteral("ContenutoTxt"), ClipPlainText)
        // A topic never saved has no date: it is pasted without one.
        || !rs.setField(QStringLiteral("ultimoaggiornamento"), ClipUpdated.isValid() ? QVariant(ClipUpdated) : QVariant())
        || !rs.update()
        || !rs.setBookmark(rs.lastModified())) {
        // A failed paste must not look done.
        rs.cancelUpdate();
        ShowDatabaseErrors(m_session, this);
        return;
    }
    const int key = rs.field(QStringLiteral("idArgomento")).toInt();
    // Not while the cut topic is open in an editor: the cut waits.
    const bool sourceOpen = ClipSourceId != -1 && m_session.finestre.editorOfTopic(ClipSourceId);
    bool removed = false;
    if (ClipSourceId != -1 && !sourceOpen) {
        rs.setIndex(QStringLiteral("PrimaryKey"));
        if (rs.seek(ClipSourceId)) {
            if (!rs.remove()) {
                ShowDatabaseErrors(m_session, this);
                return;
            }
            removed = true;
        }
    }
    if (!tx.commit()) {
        ShowDatabaseErrors(m_session, this);
        return;
    }
    lstArgomenti->setCurrentRow(AddListEntry(ClipTitle, key));
    if (removed)
        ClipSourceId = -1;
    if (sourceOpen) {
        m_session.finestre.ActivateTopicWindow(ClipSourceId, QString());
        // The list takes the focus back, and with it its window.
        m_session.desktop().focusWindow(this);
        lstArgomenti->setFocus();
    }
}

bool frmPrincipale::chooseDestination()
{
    frmCategorie chooser(m_session, this);
    chooser.exec();
    // Moving into the category the topics are in would change nothing.
    return m_session.MoveTargetCategory != -1 && m_session.MoveTargetCategory != ShownCategoryId();
}

bool frmPrincipale::moveTopic(int topicId, int target)
{
    store::TableRecordset &rs = *m_session.store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    rs.seek(topicId);
    if (!rs.edit() || !rs.setField(QStringLiteral("idCategoria"), target) || !rs.update()) {
        rs.cancelUpdate();
        ShowDatabaseErrors(m_session, this);
        return false;
    }
    // An open editor of the topic saves into its new category.
    if (frmNuovoArg *e = m_session.finestre.editorOfTopic(topicId))
        e->idCategoria = target;
    return true;
}

void frmPrincipale::mnuSposta_Click()
{
    const int key = SelectedKey();
    if (key == -1 || RefusedReadOnly(m_session, this))
        return;
    if (!chooseDestination())
        return;
    const int row = lstArgomenti->currentRow();
    if (!moveTopic(key, m_session.MoveTargetCategory))
        return;
    const QSignalBlocker quiet(lstArgomenti);
    delete lstArgomenti->takeItem(row);
    lstArgomenti->setCurrentRow(-1);
    lstArgomenti->clearSelection();
}

void frmPrincipale::mnuSpostaTutti_Click()
{
    if (lstArgomenti->count() == 0 || RefusedReadOnly(m_session, this))
        return;
    if (!chooseDestination())
        return;
    const int target = m_session.MoveTargetCategory;
    const int source = ShownCategoryId();
    // One transaction for the whole list: thousands of topics move in one
    // write, and an error leaves the moved ones moved as before.
    store::Transaction tx(m_session.store.dbNotes);
    if (!tx.isActive()) {
        ShowDatabaseErrors(m_session, this);
        return;
    }
    QList<int> moved;
    {
        const QSignalBlocker quiet(lstArgomenti);
        lstArgomenti->setUpdatesEnabled(false);
        while (lstArgomenti->count() > 0) {
            const int key = lstArgomenti->item(0)->data(Qt::UserRole).toInt();
            if (!moveTopic(key, target))
                break;
            moved << key;
            delete lstArgomenti->takeItem(0);
        }
        lstArgomenti->setUpdatesEnabled(true);
    }
    if (tx.commit())
        return;
    // Nothing was written after all: the list and the open editors go back
    // to the category the topics are still in.
    ShowDatabaseErrors(m_session, this);
    for (const int key : std::as_const(moved))
        if (frmNuovoArg *e = m_session.finestre.editorOfTopic(key))
            e->idCategoria = source;
    FillTopicList();
}

void frmPrincipale::mnuTrovaArgomenti_Click()
{
    Session &s = m_session;
    const auto answer = s.dialogs().InputBox(this, s.GetString(242), s.GetString(243), QString());
    if (!answer || answer->isEmpty())
        return;
    // The pattern travels as a bound value, so a quote in it is only a
    // character; the result is what the quoted statement gave.
    const QString pattern = QLatin1Char('*') + *answer + QLatin1Char('*');
    // The lines go into the results list batch by batch as they are found;
    // the list shown so far stays until the first of them.
    QPointer<frmListaArgomenti> results = qobject_cast<frmListaArgomenti *>(m_results.data());
    bool any = false;
    const bool ok = store::FindTopicsInBatches(s.store, pattern, [&](store::FoundTopics &&found) {
        if (!any) {
            any = true;
            if (!results) {
                results = new frmListaArgomenti(s);
                m_results = results.data();
            }
            results->lstArgomenti->lines()->clear();
        }
        results->lstArgomenti->lines()->append(std::move(found));
    });
    if (!ok) {
        ShowDatabaseErrors(s, this);
        return;
    }
    if (!any) {
        s.dialogs().MsgBox(this, s.GetString(244), platform::vbOKOnly | platform::vbInformation, s.GetString(245));
        return;
    }
    // Each topic shown from the list shows what was looked for.
    results->Pattern = *answer;
    if (results->lstArgomenti->count() > 0)
        results->lstArgomenti->setCurrentRow(0);
    results->show();
    results->raise();
    results->activateWindow();
}
