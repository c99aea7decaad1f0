// Insert, delete and rename, on categories or topics by the list's mode.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "Session.h"
#include "Utility.h"
#include "frmNuovoArg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

void frmPrincipale::cmdInserisci_Click()
{
    if (RefusedReadOnly(m_session, this))
        return;
    if (isTopicMode()) {
        // Every request opens another empty editor; the topic exists only
        // once that editor saves it.
        OpenEditor(-1, ShownCategoryId(), false);
    } else {
        InsertCategory();
        txtCerca->setFocus();
    }
}

void frmPrincipale::InsertCategory()
{
    Session &s = m_session;
    const auto answer = s.dialogs().InputBox(this, s.GetString(227), s.GetString(228), QString());
    // Cancel and an emptied field are alike.
    if (!answer || answer->isEmpty())
        return;
    if (m_session.categories.insert(*answer) == -1)
        ShowDatabaseErrors(s, this);
}

void frmPrincipale::cmdCancella_Click()
{
    Session &s = m_session;
    const int key = SelectedKey();
    if (key == -1 || RefusedReadOnly(s, this))
        return;
    if (s.dialogs().MsgBox(this, s.GetString(225), platform::vbYesNo | platform::vbQuestion, s.GetString(725))
        == platform::vbYes) {
        bool deleted = true;
        if (isTopicMode()) {
            if (s.finestre.ActivateTopicWindow(key, QString())) {
                s.dialogs().MsgBox(this, s.GetString(224), platform::vbCritical, s.GetString(507));
                return;
            }
            // Gone already: only its entry is left to take out.
            deleted = m_session.topics.remove(key) != notes::Found::Failed;
        } else {
            const notes::Found full = m_session.categories.hasTopics(key);
            if (full == notes::Found::Yes) {
                s.dialogs().MsgBox(this, s.GetString(226), platform::vbCritical, s.GetString(507));
                return;
            }
            if (full == notes::Found::Failed) {
                ShowDatabaseErrors(s, this);
                return;
            }
            // A new topic being written in the category would be saved into
            // a category that no longer exists, and be listed nowhere.
            for (frmNuovoArg *e : s.finestre.editors())
                if (e->idCategoria == key) {
                    e->BringForward();
                    s.dialogs().MsgBox(this, s.GetString(224), platform::vbCritical, s.GetString(507));
                    return;
                }
            deleted = m_session.categories.remove(key) != notes::Found::Failed;
        }
        // The entry stays listed when its record is still there.
        if (!deleted)
            ShowDatabaseErrors(s, this);
    }
    txtCerca->setFocus();
}

void frmPrincipale::mnuRinomina_Click()
{
    Session &s = m_session;
    QListWidgetItem *item = lstArgomenti->currentItem();
    const int key = SelectedKey();
    if (key == -1 || !item || RefusedReadOnly(s, this))
        return;
    const bool topics = isTopicMode();
    const auto answer = s.dialogs().InputBox(this, s.GetString(239), s.GetString(topics ? 240 : 241), item->text());
    if (!answer || answer->isEmpty())
        return;
    // Stored cut to the width the store gives it, as insertion does; the list
    // shows the text typed.
    switch (topics ? m_session.topics.rename(key, *answer) : m_session.categories.rename(key, *answer)) {
    case notes::Found::Yes:  // the list shows the new name itself
    case notes::Found::No:
        break;
    case notes::Found::Failed:
        ShowDatabaseErrors(s, this);
        break;
    }
}
