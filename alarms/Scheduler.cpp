// The alarm scheduler of the main window: the earliest alarm of all topics
// is kept in view and checked every ten seconds.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "Session.h"
#include "frmNuovoArg.h"

#include <QApplication>
#include <QListWidget>
#include <QTimer>

bool frmPrincipale::RestartTimer()
{
    Timer1->stop();
    auto rs = m_session.store.openQuery(
        QStringLiteral("SELECT * FROM ARGOMENTI WHERE TIPOALLARME > 0 ORDER BY DATAORAALLARME"));
    if (!rs)
        return false;
    if (rs->eof())
        return true;
    NextAlarmTime = rs->field(QStringLiteral("DataOraAllarme")).toDateTime();
    NextAlarmTopicId = rs->field(QStringLiteral("idArgomento")).toInt();
    Timer1->start();
    return true;
}

void frmPrincipale::Timer1_Timer()
{
    Session &s = m_session;
    Timer1->stop();
    if (NextAlarmTime.isValid() && NextAlarmTime > s.clock().now()) {
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
        RestartTimer();
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
    if (frmNuovoArg *editor = s.finestre.editorOfTopic(NextAlarmTopicId)) {
        if (!s.desktop().focusWindow(editor)) {
            RestartTimer();
            return;
        }
        editor->AggiornaTimer();
    }
    s.sound().play(store::JoinPath(s.store.DataFolder, QStringLiteral("ALARM.WAV")));
    RestartTimer();
}

