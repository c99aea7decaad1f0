#pragma once
// Files dropped on the list of topics become topics of the category listed,
// read as the command-line tool's import reads them.

class QEvent;
class QMimeData;
class QWidget;
class Session;

class DropImport final {
public:
    DropImport(Session &session, QWidget *window) : m_session(session), m_window(window) {}

    // True when dropping what is dragged would import it into category (-1
    // in category mode): RTF and text files only, and all of them.
    static bool accepts(const QMimeData *dragged, int category);
    void drop(const QMimeData *dropped, int category);
    // A drag or drop event of the list (category -1 in category mode): the
    // cursor says whether a drop would import, and a drop imports. False
    // for any other event.
    bool dragEvent(QEvent *event, int category);

private:
    Session &m_session;
    QWidget *m_window;
};
