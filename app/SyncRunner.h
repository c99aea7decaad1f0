#pragma once
// The notes synced with the user's remote while the program runs: on the
// Sync command, in the background at start, some seconds after changes
// stop, every few minutes, and at exit within a short deadline. The work
// runs on a thread of its own over a connection of its own: typing and the
// lists never wait for the network. A failure is told once, then retried
// quietly until a sync succeeds again.

#include "sync/Sync.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <memory>

class QLabel;
class QThread;
class QWidget;
class Session;

class SyncRunner final : public QObject {
    Q_OBJECT
public:
    SyncRunner(Session &session, QWidget *window, QLabel *status);
    ~SyncRunner() override;

    // Whether a remote is set up.
    bool isSetUp();
    // The user's Sync: now, or right after the one under way. Its failure
    // is told in a box.
    void syncNow();
    // Once the program is up: a sync in the background, then the timers.
    void started();
    // The set-up changed: the timers follow it.
    void reconfigured();
    // At exit: the changes still waiting, if any, are sent, waiting no
    // longer than deadlineMs for the network.
    void finish(int deadlineMs);
    // The status line, in the language in use.
    void showStatus();

    bool isRunning() const { return m_thread != nullptr; }
    // Waits at most ms for the sync under way to end; true when none runs.
    bool waitForEnd(int ms);

signals:
    // A sync ended (tests wait for it).
    void ended(bool ok);

private:
    struct Result {
        bool ok = false;
        gitsync::SyncOutcome outcome;
        QString error;
    };
    void start(bool asked);
    void finished();
    void tellOutcome(const Result &result);
    bool automatic();

    Session &m_session;
    QWidget *m_window;
    QLabel *m_status;
    QTimer m_quiet;   // some seconds after the last change
    QTimer m_every;   // every few minutes
    QThread *m_thread = nullptr;
    std::shared_ptr<Result> m_result;
    bool m_asked = false;       // the one under way was the user's
    bool m_again = false;       // one more once it ends
    bool m_againAsked = false;
    bool m_failing = false;     // a failure was told: quiet until a success
    bool m_closing = false;
    enum class State { Idle, Running, Done, Failed } m_state = State::Idle;
    QDateTime m_when;
    QString m_error;
};
