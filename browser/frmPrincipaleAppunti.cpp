// The topic clipboard (copy, cut, paste) and the two move commands.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "db/Like.h"
#include "notes/Search.h"
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
    // Read whole or not at all: a body that could not be read must not be
    // pasted as an empty one.
    notes::TopicCopy copy;
    switch (m_session.topics.readCopy(key, &copy)) {
    case notes::Topics::Read::Ok:
        break;
    case notes::Topics::Read::Missing:
        return false;
    case notes::Topics::Read::Failed:
        ShowDatabaseErrors(m_session, this);
        return false;
    }
    ClipTitle = copy.title;
    ClipContent = copy.body;
    ClipPlainText = copy.plainText;
    ClipUpdated = copy.updated;
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
    // deletes it, and must not take the newer text with it. One deleted
    // since is pasted as it was cut.
    if (ClipSourceId != -1) {
        notes::TopicCopy now;
        switch (m_session.topics.readCopy(ClipSourceId, &now)) {
        case notes::Topics::Read::Ok:
            ClipTitle = now.title;
            ClipContent = now.body;
            ClipPlainText = now.plainText;
            ClipUpdated = now.updated;
            break;
        case notes::Topics::Read::Missing:
            break;
        case notes::Topics::Read::Failed:
            ShowDatabaseErrors(m_session, this);
            return;  // nothing is pasted, nothing deleted
        }
    }
    // Not while the cut topic is open in an editor: the cut waits.
    const bool sourceOpen = ClipSourceId != -1 && m_session.finestre.editorOfTopic(ClipSourceId);
    bool removed = false;
    const int key = m_session.topics.paste({ClipTitle, ClipContent, ClipPlainText, ClipUpdated}, ShownCategoryId(),
                                   sourceOpen ? -1 : ClipSourceId, &removed);
    if (key == -1) {
        // A failed paste must not look done.
        ShowDatabaseErrors(m_session, this);
        return;
    }
    // The list has taken the new entry and selected it.
    if (removed)
        ClipSourceId = -1;
    if (sourceOpen) {
        m_session.finestre.ActivateTopicWindow(ClipSourceId, QString());
        // The list takes the focus back, and with it its window.
        m_session.desktop().focusWindow(this);
        lstArgomenti->setFocus();
    }
}

int frmPrincipale::chooseDestination()
{
    // At first the category of the topics listed is preselected; then the
    // last one chosen.
    if (m_lastMoveTarget == -1 && lstArgomenti->count() > 0) {
        int category = -1;
        if (m_session.topics.categoryOf(lstArgomenti->item(0)->data(Qt::UserRole).toInt(), &category)
            == notes::Found::Yes)
            m_lastMoveTarget = category;
    }
    frmCategorie chooser(m_session, this, m_lastMoveTarget);
    if (chooser.exec() != QDialog::Accepted)
        return -1;
    m_lastMoveTarget = chooser.chosen();
    // Moving into the category the topics are in would change nothing.
    return m_lastMoveTarget != ShownCategoryId() ? m_lastMoveTarget : -1;
}

bool frmPrincipale::moveTopic(int topicId, int target)
{
    if (!m_session.topics.move(topicId, target)) {
        ShowDatabaseErrors(m_session, this);
        return false;
    }
    return true;
}

void frmPrincipale::mnuSposta_Click()
{
    const int key = SelectedKey();
    if (key == -1 || RefusedReadOnly(m_session, this))
        return;
    const int target = chooseDestination();
    if (target == -1)
        return;
    static_cast<void>(moveTopic(key, target));
}

void frmPrincipale::mnuSpostaTutti_Click()
{
    if (lstArgomenti->count() == 0 || RefusedReadOnly(m_session, this))
        return;
    const int target = chooseDestination();
    if (target == -1)
        return;
    QList<int> keys;
    for (int i = 0; i < lstArgomenti->count(); ++i)
        keys << lstArgomenti->item(i)->data(Qt::UserRole).toInt();
    // One write for the whole list: thousands of topics move at once, and
    // an error leaves them all where they were.
    if (!m_session.topics.moveAll(keys, target))
        ShowDatabaseErrors(m_session, this);
}

void frmPrincipale::mnuTrovaArgomenti_Click()
{
    Session &s = m_session;
    const auto answer = s.dialogs().InputBox(this, s.GetString(242), s.GetString(243), QString());
    if (!answer || answer->isEmpty())
        return;
    // The pattern travels as a bound value, so a quote in it is only a
    // character; the result is what the quoted statement gave.
    const QString pattern = store::LikePattern::anywhere(*answer);
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
