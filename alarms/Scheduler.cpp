// The alarm scheduler of the main window: the earliest alarm of all topics
// is kept in view and checked every ten seconds.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "Session.h"
#include "frmNuovoArg.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include <optional>
#include <vector>

namespace {

// String ids of the scheduler's notices.
constexpr int kMissedAlarms = 258;       // "... missed %1 times since %2 ..."
constexpr int kAlarmPastCalendar = 259;  // the repetition stops at the year 9999
constexpr int kUnreadableAlarms = 260;   // alarms left out, their time unreadable
constexpr int kAlarmAt = 771;            // the notification's body: "Alarm at %1"
constexpr int kAlarmNotMoved = 862;      // its next time could not be stored

} // namespace

void frmPrincipale::RescheduleAlarms()
{
    // A store that cannot be read now is read again at the next tick.
    if (!RestartTimer())
        qWarning("Quorvel: the alarms could not be read; trying again in ten seconds: %s",
                 qPrintable(m_session.store.errorText()));
}

bool frmPrincipale::RestartTimer()
{
    Timer1->stop();
    // The alarm index holds every column read here: the topics' rows, and
    // the long texts stored in them, are not read.
    store::Statement st(m_session.store.dbNotes,
                        QStringLiteral("SELECT idArgomento, DataOraAllarme FROM ARGOMENTI WHERE TIPOALLARME > 0 "
                                       "ORDER BY DATAORAALLARME"));
    // The earliest moment wins, among equal ones the row that comes first.
    // A time that cannot be read (a year past 9999 written by an older
    // version) is never due: it would ring at every tick. It is left out
    // and told once.
    //
    // Taking a reading as a local moment is slow, and a store may hold
    // thousands of alarms; but a later reading never stands for an earlier
    // moment (a skipped hour goes forward, a repeated one takes its first
    // pass), so only the readings within a few hours of the earliest one
    // are taken as moments, and an empty time, which loads as now.
    struct Candidate {
        int topic;
        bool empty;
        store::WallTime reading;
    };
    std::vector<Candidate> candidates;
    const auto before = [](const store::WallTime &a, const store::WallTime &b) {
        return a.date < b.date || (a.date == b.date && a.time < b.time);
    };
    std::optional<store::WallTime> first;
    QStringList unreadable;
    while (st.step()) {
        const int topic = int(st.columnInt(0));
        if (m_alarmsHeld.contains(topic))
            continue;
        if (st.isNull(1)) {
            candidates.push_back({topic, true, {}});
            continue;
        }
        const QString text = st.columnText(1);
        const store::WallTime reading = store::WallTime::fromText(text);
        if (!reading.isValid()) {
            if (!m_unreadableAlarmsTold.contains(topic)) {
                m_unreadableAlarmsTold.insert(topic);
                store::Statement title(m_session.store.dbNotes, QStringLiteral("SELECT argomento FROM Argomenti WHERE idArgomento = ?1"));
                title.bind(1, qint64(topic));
                unreadable << QStringLiteral("%1 (%2)").arg(title.step() ? title.columnText(0) : QString(), text);
            }
            continue;
        }
        if (!first || before(reading, *first))
            first = reading;
        candidates.push_back({topic, false, reading});
    }
    if (st.failed()) {
        // Never left stopped: the next tick reads them again.
        m_alarmsUnread = true;
        NextAlarmTime = QDateTime();
        Timer1->start();
        return false;
    }
    m_alarmsUnread = false;
    // No shift of local time is longer than this.
    const QDateTime window = first ? QDateTime(first->date, first->time, Qt::UTC).addSecs(3 * 3600) : QDateTime();
    QDateTime earliest;
    int earliestTopic = -1;
    for (const Candidate &c : candidates) {
        if (!c.empty && QDateTime(c.reading.date, c.reading.time, Qt::UTC) > window)
            continue;
        // An empty time loads as the moment of loading.
        const QDateTime when = c.empty ? m_session.clock().now() : c.reading.moment();
        if (earliestTopic == -1 || when < earliest) {
            earliest = when;
            earliestTopic = c.topic;
        }
    }
    if (earliestTopic != -1) {
        NextAlarmTime = earliest;
        NextAlarmTopicId = earliestTopic;
        Timer1->start();
    }
    if (!unreadable.isEmpty()) {
        const QString text = m_session.GetString(kUnreadableAlarms) + QStringLiteral("\n\n")
            + unreadable.join(QLatin1Char('\n'));
        m_session.dialogs().MsgBox(this, text, platform::vbExclamation, m_session.GetString(507));
    }
    return true;
}

void frmPrincipale::Timer1_Timer()
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
    RestoreFromTray(true);
    // Under a modal window the main window cannot take the focus, and the
    // command that opened that window is still under way: the alarm must not
    // change the lists or the records beneath it.
    if (QApplication::activeModalWidget() || !s.desktop().focusWindow(this)) {
        // Tried again at the next tick: no sound, nothing advanced.
        RescheduleAlarms();
        return;
    }
    // Only a topic that still exists is opened: otherwise the double-click
    // would open whatever entry happens to be selected.
    store::TableRecordset &rs = *s.store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    if (rs.seek(NextAlarmTopicId)) {
        Individua(NextAlarmTopicId);
        if (isTopicMode() && SelectedKey() == NextAlarmTopicId)
            lstArgomenti_DblClick();
    }
    // Held weakly: the boxes below wait for the user, who may close it.
    QPointer<frmNuovoArg> editor = s.finestre.editorOfTopic(NextAlarmTopicId);
    frmNuovoArg::AlarmAdvance advance;
    if (editor) {
        if (!s.desktop().focusWindow(editor)) {
            RescheduleAlarms();
            return;
        }
        advance = editor->AggiornaTimer();
    }
    s.sound().play(store::JoinPath(s.store.DataFolder, QStringLiteral("ALARM.WAV")));
    // Many desktops refuse to bring a window forward: a notification still
    // reaches the user, and a click on it brings the topic.
    rs.setIndex(QStringLiteral("PrimaryKey"));
    if (rs.seek(NextAlarmTopicId)) {
        NotifiedTopicId = NextAlarmTopicId;
        s.notifier().notify(rs.field(QStringLiteral("argomento")).toString(),
                            s.GetString(kAlarmAt).arg(NextAlarmTime.toString(QStringLiteral("dd/MM/yy HH:mm"))));
    }
    // An alarm that could not be moved on would stay due and ring at every
    // tick: it has rung once, and rests until the next run.
    const bool moved = editor && advance.stored;
    if (!moved)
        m_alarmsHeld.insert(NextAlarmTopicId);
    const QString why = moved || !editor ? QString() : s.store.errorText();
    RescheduleAlarms();
    // Told once the next alarm is in view, over the topic's editor. The
    // notices wait for the user without holding the other alarms.
    if (!editor)
        return;
    const QString title = editor->txtArgomento->text();
    if (!moved)
        s.dialogs().Notice(editor, s.GetString(kAlarmNotMoved) + QStringLiteral("\n\n") + why, platform::vbExclamation,
                           title);
    if (advance.due > 1) {
        const store::WallTime &first = advance.firstDue;
        const QString since =
            first.date.toString(QStringLiteral("dd/MM/yy ")) + first.time.toString(QStringLiteral("HH:mm"));
        s.dialogs().Notice(editor, s.GetString(kMissedAlarms).arg(advance.due).arg(since), platform::vbInformation,
                           title);
    }
    if (advance.calendarEnd)
        s.dialogs().Notice(editor, s.GetString(kAlarmPastCalendar), platform::vbInformation, title);
}

void frmPrincipale::AlarmNotification_Activated()
{
    Session &s = m_session;
    if (!s.store.isOpen() || QApplication::activeModalWidget())
        return;
    RestoreFromTray(true);
    store::TableRecordset &rs = *s.store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    if (!rs.seek(NotifiedTopicId))
        return;  // deleted since: nothing to bring
    if (frmNuovoArg *editor = s.finestre.editorOfTopic(NotifiedTopicId)) {
        s.desktop().focusWindow(editor);
        return;
    }
    Individua(NotifiedTopicId);
    if (isTopicMode() && SelectedKey() == NotifiedTopicId)
        lstArgomenti_DblClick();
}
