#pragma once
// Alarms ringing: the earliest alarm of all topics is kept in view and
// checked every ten seconds. Which alarm is next and how a fired one moves on
// is the alarm queue's business; here it is rung and shown.

#include "alarms/AlarmQueue.h"
#include "notes/Changes.h"

#include <QDateTime>
#include <QObject>

class QTimer;
class QWidget;
class Session;

class AlarmRinging final : public QObject {
    Q_OBJECT
public:
    // window: the main window, which the alarm brings forward.
    AlarmRinging(Session &session, QWidget *window);

    // Reads the alarms again after one may have changed. False on a
    // database error: they are then read again at the next tick.
    [[nodiscard]] bool RestartTimer();
    // RestartTimer for callers that cannot act on a failure.
    void RescheduleAlarms();
    // One tick: rings the alarm in view when it is due.
    void Timer1_Timer();
    // A click on the last alarm's notification: its topic comes forward.
    void AlarmNotification_Activated();

    QTimer *Timer1 = nullptr;  // 10 s, running only while an alarm is in view
    QDateTime NextAlarmTime;
    int NextAlarmTopicId = -1;

signals:
    // Every window must come back from the notification area.
    void windowsWanted();
    // The topic must be shown: selected in its category's list and opened.
    void topicWanted(int topicId);

private:
    void TopicsChanged(const notes::TopicChange &change);
    // The notices of a fired alarm, over the topic's editor or the window.
    void tell(const alarms::AlarmQueue::Fired &fired, QWidget *over, const QString &why);

    Session &m_session;
    QWidget *m_window;
    alarms::AlarmQueue m_alarms;
    int m_notifiedTopic = -1;  // the topic of the last alarm's notification
    // The alarms could not be read: the next tick reads them again.
    bool m_alarmsUnread = false;
};
