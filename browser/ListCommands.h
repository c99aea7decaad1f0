#pragma once
// Insert, delete and rename on the main window's list: on categories or on
// topics, by what the list shows.

class QWidget;
class Session;
class TopicList;

class ListCommands final {
public:
    ListCommands(Session &session, TopicList &list, QWidget *window)
        : m_session(session), m_list(list), m_window(window) {}

    // A new topic in a new editor, or a new category asked by name; false
    // when the store cannot be written.
    bool insert();
    // The selected entry, once confirmed; never one an editor holds. True
    // when the question was answered and nothing refused it.
    bool remove();
    void rename();

private:
    void insertCategory();
    // False, with the reason told, while an editor holds the topic or a new
    // topic of the category.
    bool refusedWhileOpen(int key, bool topic);

    Session &m_session;
    TopicList &m_list;
    QWidget *m_window;
};
