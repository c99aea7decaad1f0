#pragma once
// How the program ends: the other windows closed when the user closes the
// main window, the desktop session's end, a signal from outside, and an
// irreversible error.

class QSessionManager;
class QWidget;
class Session;

class ProgramEnd final {
public:
    ProgramEnd(Session &session, QWidget *window) : m_session(session), m_window(window) {}

    // Unloads every other window; false when an editor refused to close.
    bool closeOtherWindows();
    // True when no editor holds changes; otherwise, when the user may be
    // asked, tells that one does. Closes nothing.
    bool mayEndSession(bool mayAsk);
    // The session manager's request to save before the session ends.
    void commitData(QSessionManager &manager);
    // SIGTERM or SIGHUP: the drafts of every open editor are written, the
    // run time recorded, the store closed, and the program ends.
    void endBySignal();
    // After an irreversible error: closes every window, records the run
    // time, closes the store and ends the program.
    void shutDown();

private:
    Session &m_session;
    QWidget *m_window;
};
