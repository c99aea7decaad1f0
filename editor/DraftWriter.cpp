#include "DraftWriter.h"
#include "Str.h"

#include "Session.h"

#include <QTimer>

#include <algorithm>

namespace {
// Written once typing pauses this long, and at the latest this long after
// the first change not yet written, so that steady typing is kept too.
constexpr int kQuietMs = 2000;
constexpr int kLatestMs = 10000;
// A refused write is tried again after this long; the user hears of it
// once writes have failed this many times in a row.
constexpr int kRetryMs = 5000;
constexpr int kFailuresTold = 3;
} // namespace

DraftWriter::DraftWriter(Session &session, QWidget *window, State state)
    : QObject(window), m_session(session), m_window(window), m_state(std::move(state)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &DraftWriter::write);
}

void DraftWriter::changed()
{
    if (!m_session.drafts.available())
        return;
    m_dirty = true;
    if (!m_timer->isActive())
        m_since.start();
    const qint64 latest = std::max<qint64>(0, kLatestMs - m_since.elapsed());
    m_timer->start(int(std::min<qint64>(kQuietMs, latest)));
}

bool DraftWriter::write()
{
    notes::Drafts &drafts = m_session.drafts;
    if (!m_dirty || !drafts.available())
        return true;
    std::optional<notes::Draft> draft = m_state();
    // Changes taken back one by one leave nothing to keep.
    if (!draft) {
        if (!drafts.remove(m_id))
            return false;
        m_id = -1;
        m_dirty = false;
        return true;
    }
    // Another write is under way (a modal question inside a command): the
    // draft waits for it, without counting as a failure.
    if (drafts.otherWriteUnderWay()) {
        m_timer->start(kQuietMs);
        return false;
    }
    draft->id = m_id;
    draft->taken = m_session.clock().now();
    if (!drafts.write(*draft)) {
        // The topic itself is untouched; the draft is tried again, and the
        // user told once it keeps failing, since unsaved work is then at risk.
        if (++m_failures == kFailuresTold)
            m_session.dialogs().MsgBox(m_window,
                                       m_session.GetString(Str::DraftFailing).arg(m_session.store.errorText()),
                                       platform::vbExclamation, m_session.GetString(Str::ErrorTitle));
        m_timer->start(kRetryMs);
        return false;
    }
    m_id = draft->id;
    m_dirty = false;
    m_failures = 0;
    return true;
}

void DraftWriter::adopt(qint64 id)
{
    m_id = id;
    m_dirty = false;
    m_timer->stop();
}

void DraftWriter::discard()
{
    if (m_id != -1 && m_session.drafts.remove(m_id))
        m_id = -1;
}
