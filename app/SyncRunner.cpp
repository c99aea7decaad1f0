#include "SyncRunner.h"

#include "Platform.h"
#include "Session.h"
#include "ShownDates.h"
#include "Str.h"
#include "notes/NoteStore.h"
#include "db/StoreLock.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QThread>

namespace {

constexpr int kQuietMs = 10 * 1000;
constexpr int kEveryMs = 5 * 60 * 1000;

} // namespace

SyncRunner::SyncRunner(Session &session, QWidget *window, QLabel *status)
    : QObject(window), m_session(session), m_window(window), m_status(status)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    m_every.setInterval(kEveryMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] { start(false); });
    connect(&m_every, &QTimer::timeout, this, [this] { start(false); });
    // Some seconds after the last change: a burst of saves is one sync.
    const auto changed = [this] {
        if (m_every.isActive())
            m_quiet.start();
    };
    connect(&session.store.changes, &notes::Changes::topicsChanged, this, changed);
    connect(&session.store.changes, &notes::Changes::categoriesChanged, this, changed);
}

SyncRunner::~SyncRunner()
{
    // One still under way is left to end, or to be ended with the process:
    // each of its writes is whole or not made.
    if (m_thread && !m_thread->wait(QDeadlineTimer(2000)))
        m_thread->setParent(nullptr);
}

bool SyncRunner::isSetUp()
{
    gitsync::SyncConfig config;
    return m_session.store.isOpen() && gitsync::readConfig(m_session.store, &config) && !config.remote.isEmpty();
}

bool SyncRunner::automatic()
{
    gitsync::SyncConfig config;
    return m_session.store.isOpen() && !m_session.store.isReadOnly() && gitsync::readConfig(m_session.store, &config)
        && !config.remote.isEmpty() && config.automatic;
}

void SyncRunner::started()
{
    // The name chosen for this machine stamps its versions too.
    gitsync::SyncConfig config;
    if (gitsync::readConfig(m_session.store, &config) && !config.machine.isEmpty())
        m_session.store.machineName = config.machine;
    reconfigured();
    if (m_every.isActive())
        start(false);
    showStatus();
}

void SyncRunner::reconfigured()
{
    if (automatic()) {
        m_every.start();
    } else {
        m_every.stop();
        m_quiet.stop();
    }
}

void SyncRunner::syncNow()
{
    start(true);
}

void SyncRunner::start(bool asked)
{
    m_quiet.stop();
    if (m_thread) {
        m_again = true;
        m_againAsked = m_againAsked || asked;
        return;
    }
    m_asked = asked;
    qInfo("Sync started%s", asked ? " (asked)" : "");
    m_state = State::Running;
    showStatus();
    auto result = std::make_shared<Result>();
    m_result = result;
    const QString folder = m_session.store.DataFolder;
    // A connection of the thread's own, opened and closed there.
    m_thread = QThread::create([folder, result] {
        // Held shared while it syncs, as the tool holds it: packing, which
        // puts another file under the store's name, waits for it.
        store::StoreLock lock;
        if (lock.acquire(store::StoreLock::lockPath(store::JoinPath(folder, store::kDatabaseFileName)),
                         store::StoreLock::Kind::Shared, 10000)
            != store::StoreLock::Outcome::Taken) {
            result->error = lock.error().isEmpty() ? QStringLiteral("The notes are being packed.") : lock.error();
            return;
        }
        store::NoteStore ns;
        ns.DataFolder = folder;
        if (!ns.open()) {
            result->error = ns.errorText();
            return;
        }
        result->ok = gitsync::syncConfigured(ns, &result->outcome, &result->error);
    });
    m_thread->setParent(this);
    QThread *thread = m_thread;
    // Ended here already when the exit waited for it.
    connect(thread, &QThread::finished, this, [this, thread] {
        if (m_thread == thread)
            finished();
    });
    m_thread->start(QThread::LowPriority);
}

void SyncRunner::finished()
{
    QThread *thread = std::exchange(m_thread, nullptr);
    thread->deleteLater();
    const Result result = *m_result;
    if (result.ok)
        qInfo("Sync ended: %d received, %d sent, %lld conflicts", result.outcome.arrived.changed, result.outcome.sent,
              qlonglong(result.outcome.arrived.conflicts.size()));
    else
        qInfo("Sync failed: %s", qPrintable(result.error));
    tellOutcome(result);
    emit ended(result.ok);
    if (std::exchange(m_again, false))
        start(std::exchange(m_againAsked, false));
}

void SyncRunner::tellOutcome(const Result &result)
{
    m_when = m_session.clock().now();
    m_state = result.ok ? State::Done : State::Failed;
    m_error = result.error;
    showStatus();
    const auto s = [this](int id) { return m_session.GetString(id); };
    if (!result.ok) {
        if (m_asked && !m_closing)
            m_session.dialogs().MsgBox(m_window, s(Str::SyncFailedNotice).arg(result.error), platform::vbCritical,
                                       s(Str::ErrorTitle));
        else if (!m_failing)
            m_session.notifier().notify(s(Str::SyncTitle), s(Str::SyncFailedNotice).arg(result.error));
        m_failing = true;
        return;
    }
    m_failing = false;
    const gitsync::Arrived &arrived = result.outcome.arrived;
    if (arrived.changed > 0 || !arrived.conflicts.isEmpty())
        emit m_session.store.changes.changedElsewhere(arrived.from);
    if (m_closing)
        return;  // nothing is asked of a program on its way out
    const auto listed = [](const QStringList &lines) { return QStringLiteral("• ") + lines.join(QStringLiteral("\n• ")); };
    if (!arrived.conflicts.isEmpty())
        m_session.dialogs().Notice(m_window, s(Str::SyncConflicts).arg(listed(arrived.conflicts)), platform::vbExclamation,
                                   s(Str::SyncTitle));
    if (!arrived.namesLost.isEmpty())
        m_session.dialogs().Notice(m_window, s(Str::SyncNamesLost).arg(listed(arrived.namesLost)), platform::vbInformation,
                                   s(Str::SyncTitle));
}

void SyncRunner::showStatus()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    const QString at = m_when.time().toString(shown::time());
    switch (m_state) {
    case State::Idle:
        m_status->clear();
        break;
    case State::Running:
        m_status->setText(s(Str::SyncRunning));
        break;
    case State::Done:
        m_status->setText(s(Str::SyncDone).arg(at));
        break;
    case State::Failed:
        m_status->setText(s(Str::SyncFailed).arg(at));
        break;
    }
    m_status->setToolTip(m_state == State::Failed ? m_error : QString());
}

bool SyncRunner::waitForEnd(int ms)
{
    if (m_thread && m_thread->wait(QDeadlineTimer(ms)))
        finished();
    return !m_thread;
}

void SyncRunner::finish(int deadlineMs)
{
    m_quiet.stop();
    m_every.stop();
    const QDeadlineTimer deadline(deadlineMs);
    // Only changes still waiting are worth a wait at exit: a program closed
    // offline would otherwise wait for nothing each time.
    gitsync::SyncConfig config;
    if (!m_thread && automatic() && gitsync::readConfig(m_session.store, &config) && config.waiting > 0)
        start(false);
    // Past the deadline the sync goes on until the process ends: a merge
    // or a publish either happened whole or not at all.
    m_again = false;
    m_closing = true;
    if (m_thread && m_thread->wait(deadline))
        finished();
}
