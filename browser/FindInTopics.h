#pragma once
// Find in topics: asks for a pattern, finds every topic whose title or text
// holds it, and lists them in one results window, reused by every search.

#include <QObject>
#include <QPointer>

class QWidget;
class Session;
class frmListaArgomenti;

class FindInTopics final : public QObject {
    Q_OBJECT
public:
    FindInTopics(Session &session, QWidget *window);

    void run();

signals:
    // The results window asks to show a topic in its category's list.
    void locate(int topicId);

private:
    Session &m_session;
    QWidget *m_window;
    QPointer<frmListaArgomenti> m_results;
};
