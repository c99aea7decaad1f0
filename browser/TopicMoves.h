#pragma once
// Moving the selected topic, or every topic listed, into another category.

class QWidget;
class Session;
class TopicList;

class TopicMoves final {
public:
    TopicMoves(Session &session, TopicList &list, QWidget *window)
        : m_session(session), m_list(list), m_window(window) {}

    void moveSelected();
    void moveAll();
    // Forgets the category chosen last (start-up).
    void clear() { m_lastTarget = -1; }

private:
    // The category chosen to move into, -1 when none (or the one listed).
    int chooseDestination();

    Session &m_session;
    TopicList &m_list;
    QWidget *m_window;
    int m_lastTarget = -1;  // preselected by the destination chooser
};
