#include "TopicClipboard.h"

#include "Finestre.h"
#include "Session.h"
#include "TopicList.h"
#include "Utility.h"

TopicClipboard::TopicClipboard(Session &session, TopicList &list, QWidget *window)
    : QObject(window), m_session(session), m_list(list), m_window(window)
{
}

void TopicClipboard::clear()
{
    m_full = false;
    m_cutFrom = -1;
}

bool TopicClipboard::readClip(int key)
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
        ShowDatabaseErrors(m_session, m_window);
        return false;
    }
    m_title = copy.title;
    m_body = copy.body;
    m_plainText = copy.plainText;
    m_updated = copy.updated;
    return true;
}

void TopicClipboard::copyOrCut(bool cut)
{
    if (!m_list.isTopicMode())
        return;
    const int key = m_list.SelectedKey();
    if (key == -1 || (cut && RefusedReadOnly(m_session, m_window)))
        return;
    if (!readClip(key))
        return;
    m_full = true;
    m_cutFrom = cut ? key : -1;
    emit filled();
}

void TopicClipboard::paste()
{
    if (!m_list.isTopicMode() || !m_full || RefusedReadOnly(m_session, m_window))
        return;
    // A cut topic is not pasted back into its own category.
    if (m_cutFrom != -1 && m_list.contains(m_cutFrom))
        return;
    // A cut topic saved since it was cut is pasted as it is now: the paste
    // deletes it, and must not take the newer text with it. One deleted
    // since is pasted as it was cut.
    if (m_cutFrom != -1) {
        notes::TopicCopy now;
        switch (m_session.topics.readCopy(m_cutFrom, &now)) {
        case notes::Topics::Read::Ok:
            m_title = now.title;
            m_body = now.body;
            m_plainText = now.plainText;
            m_updated = now.updated;
            break;
        case notes::Topics::Read::Missing:
            break;
        case notes::Topics::Read::Failed:
            ShowDatabaseErrors(m_session, m_window);
            return;  // nothing is pasted, nothing deleted
        }
    }
    // Not while the cut topic is open in an editor: the cut waits.
    const bool sourceOpen = m_cutFrom != -1 && m_session.finestre.editorOfTopic(m_cutFrom);
    bool removed = false;
    const int key = m_session.topics.paste({m_title, m_body, m_plainText, m_updated}, m_list.ShownCategoryId(),
                                           sourceOpen ? -1 : m_cutFrom, &removed);
    if (key == -1) {
        // A failed paste must not look done.
        ShowDatabaseErrors(m_session, m_window);
        return;
    }
    // The list has taken the new entry and selected it.
    if (removed)
        m_cutFrom = -1;
    if (sourceOpen) {
        m_session.finestre.ActivateTopicWindow(m_cutFrom, QString());
        // The list takes the focus back, and with it its window.
        m_session.desktop().focusWindow(m_window);
        m_list.takeFocus();
    }
}
