#include "AlarmRinging.h"
#include "Str.h"

#include "Finestre.h"
#include "Session.h"
#include "ShownDates.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

AlarmRinging::AlarmRinging(Session &session, QWidget *window)
    : QObject(window), m_session(session), m_window(window), m_alarms(session.store)
{
    Timer1 = new QTimer(this);
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &AlarmRinging::Timer1_Timer);
    connect(&session.store.changes, &notes::Changes::topicsChanged, this, &AlarmRinging::TopicsChanged);
    connect(&session.store.changes, &notes::Changes::changedElsewhere, this, [this] { RescheduleAlarms(); });
    connect(&session.notifier(), &platform::Notifier::activated, this, &AlarmRinging::AlarmNotification_Activated);
}

void AlarmRinging::TopicsChanged(const notes::TopicChange &change)
{
    if (!change.alarm)
        return;
    // An alarm held after a refused write rings again once saved anew.
    if (change.kind == notes::TopicChange::Kind::Saved)
        m_alarms.release(change.keys.constFirst());
    RescheduleAlarms();
}

void AlarmRinging::RescheduleAlarms()
{
    // A store that cannot be read now is read again at the next tick.
    if (!RestartTimer())
        qWarning("Quorvel: the alarms could not be read; trying again in ten seconds: %s",
                 qPrintable(m_session.store.errorText()));
}

bool AlarmRinging::RestartTimer()
{
    Timer1->stop();
    alarms::AlarmQueue::Next next;
    QList<alarms::AlarmQueue::Unreadable> unreadable;
    if (!m_alarms.next(m_session.clock().now(), &next, &unreadable)) {
        // Never left stopped: the next tick reads them again.
        m_alarmsUnread = true;
        NextAlarmTime = QDateTime();
        Timer1->start();
        return false;
    }
    m_alarmsUnread = false;
    if (next.topic != -1) {
        NextAlarmTime = next.when;
        NextAlarmTopicId = next.topic;
        Timer1->start();
    }
    if (!unreadable.isEmpty()) {
        QString topics;
        for (const auto &u : unreadable)
            topics += QStringLiteral("\n%1 (%2)").arg(u.title, u.text);
        // Waits for the user without holding the alarms that can ring.
        m_session.dialogs().Notice(m_window, m_session.GetString(Str::AlarmsUnreadable).arg(topics), platform::vbExclamation,
                                   m_session.GetString(Str::ErrorTitle));
    }
    return true;
}

void AlarmRinging::Timer1_Timer()
{
    Session &s = m_session;
    Timer1->stop();
    if (m_alarmsUnread) {
        RescheduleAlarms();
        return;
    }
    if (!NextAlarmTime.isValid() || NextAlarmTime > s.clock().now()) {
        Timer1->start();
        return;
    }
    // While the store is closed for packing the alarm waits for it.
    if (!s.store.isOpen()) {
        Timer1->start();
        return;
    }
    emit windowsWanted();
    // Under a modal window the main window cannot take the focus, and the
    // command that opened that window is still under way: the alarm must not
    // change the lists or the records beneath it.
    if (QApplication::activeModalWidget() || !s.desktop().focusWindow(m_window)) {
        // Tried again at the next tick: no sound, nothing advanced.
        RescheduleAlarms();
        return;
    }
    const int topic = NextAlarmTopicId;
    // Only a topic that still exists is opened: otherwise the double-click
    // would open whatever entry happens to be selected.
    if (s.store.hasTopic(topic))
        emit topicWanted(topic);
    // Held weakly: the notices below outlive this call, and the user may
    // close the editor.
    TopicWindow *opened = s.finestre.editorOfTopic(topic);
    QPointer<QWidget> editor = opened ? opened->widget() : nullptr;
    if (editor && !s.desktop().focusWindow(editor)) {
        RescheduleAlarms();
        return;
    }
    const alarms::AlarmQueue::Fired fired = m_alarms.advance(topic, s.clock().now());
    if (fired.failed) {
        // Not rung: tried again, whole, at the next tick.
        m_alarmsUnread = true;
        Timer1->start();
        return;
    }
    if (opened && fired.stored)
        opened->AlarmMovedOn(fired.type, fired.time);
    s.sound().play(store::JoinPath(s.store.DataFolder, QStringLiteral("ALARM.WAV")));
    // Many desktops refuse to bring a window forward: a notification still
    // reaches the user, and a click on it brings the topic.
    if (fired.found) {
        m_notifiedTopic = topic;
        s.notifier().notify(fired.title,
                            s.GetString(Str::AlarmAt).arg(ShownMoment(NextAlarmTime)));
    }
    const QString why = fired.found && !fired.stored ? s.store.errorText() : QString();
    RescheduleAlarms();
    // Told once the next alarm is in view, over the topic's editor (or the
    // main window).
    if (fired.found)
        tell(fired, editor ? editor.data() : m_window, why);
}

void AlarmRinging::tell(const alarms::AlarmQueue::Fired &fired, QWidget *over, const QString &why)
{
    Session &s = m_session;
    // The notices wait for the user without holding the other alarms.
    if (!fired.stored)
        s.dialogs().Notice(over, s.GetString(Str::AlarmNotMoved).arg(why), platform::vbExclamation,
                           fired.title);
    if (fired.due > 1) {
        const store::WallTime &first = fired.firstDue;
        s.dialogs().Notice(over, s.GetString(Str::AlarmMissed).arg(fired.due).arg(ShownMoment(first.date, first.time)),
                           platform::vbInformation,
                           fired.title);
    }
    if (fired.calendarEnd)
        s.dialogs().Notice(over, s.GetString(Str::AlarmPastCalendar), platform::vbInformation, fired.title);
}

void AlarmRinging::AlarmNotification_Activated()
{
    Session &s = m_session;
    if (!s.store.isOpen() || QApplication::activeModalWidget())
        return;
    emit windowsWanted();
    if (!s.store.hasTopic(m_notifiedTopic))
        return;  // deleted since: nothing to bring
    if (TopicWindow *editor = s.finestre.editorOfTopic(m_notifiedTopic)) {
        s.desktop().focusWindow(editor->widget());
        return;
    }
    emit topicWanted(m_notifiedTopic);
}
