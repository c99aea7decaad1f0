#pragma once
// The editor's draft: its unsaved title, body and alarm written down a little
// after each change, so that a crash, a kill or a power cut loses a few
// seconds of typing at most.

#include "notes/Drafts.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <optional>

class QTimer;
class QWidget;
class Session;

class DraftWriter final : public QObject {
    Q_OBJECT
public:
    // state: the editor's unsaved state as a draft; nothing when it holds
    // no change.
    using State = std::function<std::optional<notes::Draft>()>;
    DraftWriter(Session &session, QWidget *window, State state);

    // The user changed something: written once typing pauses.
    void changed();
    // Writes it now if anything changed since the last one; false when the
    // store refused (it is tried again later).
    bool write();
    // The draft the editor was filled from is its own from now on.
    void adopt(qint64 id);
    // Saved or deliberately abandoned: the draft has nothing left to keep.
    void discard();
    qint64 id() const { return m_id; }

private:
    Session &m_session;
    QWidget *m_window;
    State m_state;
    QTimer *m_timer;
    QElapsedTimer m_since;  // since the first change not yet written down
    qint64 m_id = -1;
    bool m_dirty = false;
    int m_failures = 0;
};
