#include "ListCommands.h"
#include "Str.h"

#include "Finestre.h"
#include "Session.h"
#include "TopicList.h"
#include "Utility.h"
#include "frmNuovoArg.h"

#include <QListWidgetItem>

bool ListCommands::insert()
{
    if (RefusedReadOnly(m_session, m_window))
        return false;
    // Every request opens another empty editor; the topic exists only once
    // that editor saves it.
    if (m_list.isTopicMode())
        frmNuovoArg::Open(m_session, -1, m_list.ShownCategoryId());
    else
        insertCategory();
    return true;
}

void ListCommands::insertCategory()
{
    Session &s = m_session;
    const auto answer = s.dialogs().InputBox(m_window, s.GetString(Str::NewCategoryPrompt), s.GetString(Str::NewCategoryTitle), QString());
    // Cancel and an emptied field are alike.
    if (!answer || answer->isEmpty())
        return;
    if (s.categories.insert(*answer) == -1)
        ShowDatabaseErrors(s, m_window);
}

bool ListCommands::refusedWhileOpen(int key, bool topic)
{
    Session &s = m_session;
    bool open = false;
    if (topic) {
        open = s.finestre.ActivateTopicWindow(key, QString());
    } else {
        // A new topic being written in the category would be saved into a
        // category that no longer exists, and be listed nowhere.
        for (TopicWindow *e : s.finestre.editors())
            if (!open && e->categoryId() == key) {
                e->BringForward();
                open = true;
            }
    }
    if (open)
        s.dialogs().MsgBox(m_window, s.GetString(Str::CloseTopicWindowFirst), platform::vbCritical, s.GetString(Str::ErrorTitle));
    return open;
}

bool ListCommands::remove()
{
    Session &s = m_session;
    const int key = m_list.SelectedKey();
    if (key == -1 || RefusedReadOnly(s, m_window))
        return false;
    if (s.dialogs().MsgBox(m_window, s.GetString(Str::ConfirmDeletion), platform::vbYesNo | platform::vbQuestion, s.GetString(Str::RequestTitle))
        != platform::vbYes)
        return true;
    const bool topic = m_list.isTopicMode();
    if (!topic) {
        const notes::Found full = s.categories.hasTopics(key);
        if (full == notes::Found::Yes) {
            s.dialogs().MsgBox(m_window, s.GetString(Str::CategoryNotEmpty), platform::vbCritical, s.GetString(Str::ErrorTitle));
            return false;
        }
        if (full == notes::Found::Failed) {
            ShowDatabaseErrors(s, m_window);
            return false;
        }
    }
    if (refusedWhileOpen(key, topic))
        return false;
    // Gone already: only its entry is left to take out. The entry stays
    // listed when its record is still there.
    const notes::Found deleted = topic ? s.topics.remove(key) : s.categories.remove(key);
    if (deleted == notes::Found::Failed)
        ShowDatabaseErrors(s, m_window);
    return true;
}

void ListCommands::rename()
{
    Session &s = m_session;
    const int key = m_list.SelectedKey();
    if (key == -1 || RefusedReadOnly(s, m_window))
        return;
    const bool topics = m_list.isTopicMode();
    const QString now = m_list.ListItemOf(key)->text();
    const auto answer = s.dialogs().InputBox(m_window, s.GetString(Str::RenamePrompt), s.GetString(topics ? 240 : 241), now);
    if (!answer || answer->isEmpty())
        return;
    // Stored cut to the width the store gives it, as insertion does; the
    // list shows the new name itself.
    if ((topics ? s.topics.rename(key, *answer) : s.categories.rename(key, *answer)) == notes::Found::Failed)
        ShowDatabaseErrors(s, m_window);
}
