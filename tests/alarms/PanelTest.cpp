#include "BrowserFixture.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QToolButton>

using namespace Qt::StringLiterals;

using AlarmPanelOfEditor = BrowserFixture;

TEST_F(AlarmPanelOfEditor, OpeningWithoutAnAlarmProposesTheCurrentMinute)
{
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    EXPECT_FALSE(e->cmdTimer->property("alarmActive").toBool());
    services.clock.current = QDateTime(QDate(2026, 6, 15), QTime(10, 31, 42));
    e->cmdTimer->click();
    EXPECT_TRUE(e->frmAllarme->isVisibleTo(e));
    EXPECT_FALSE(e->rtfContenuto->isVisibleTo(e)) << "the panel takes the body's place";
    EXPECT_FALSE(e->ProvaChiusura()) << "never closed with the panel open";
    e->hide();  // as in the notification area
    EXPECT_FALSE(e->ProvaChiusura()) << "nor while its window is hidden";
    e->show();
    EXPECT_EQ(e->Calendar1->selectedDate(), QDate(2026, 6, 15));
    EXPECT_EQ(QTime(e->cmbOre->currentIndex(), e->cmbMinuti->currentIndex()), QTime(10, 31));
    e->cmdTimer->click();
    EXPECT_TRUE(e->rtfContenuto->isVisibleTo(e));
    EXPECT_EQ(e->alarm().time(), (store::WallTime{QDate(2026, 6, 15), QTime(10, 31, 0)}));
    EXPECT_EQ(e->alarm().type(), 0);
}

// Saved with the panel open, 02:30 on the night the clocks go forward (Rome,
// 28 March 2027), which does not happen, is stored as chosen, and the save
// goes through with the rest of the topic.
TEST_F(AlarmPanelOfEditor, ASaveWithThePanelOpenTakesItAndRestartsTheScheduler)
{
    InRome zone;
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    e->txtArgomento->setText(u"Agenda"_s);
    e->rtfContenuto->setPlainText(u"new body"_s);
    e->cmdTimer->click();
    e->Calendar1->setSelectedDate(QDate(2027, 3, 28));
    e->cmbOre->setCurrentIndex(2);
    e->cmbMinuti->setCurrentIndex(30);
    e->cmbTipoAllarme->setCurrentIndex(2);
    EXPECT_FALSE(main->alarms().Timer1->isActive());
    e->cmdSalva->click();
    EXPECT_TRUE(services.dialogs.shown().isEmpty()) << "no conversion error";
    EXPECT_EQ(storedField(topics["Agenda"], "TipoAllarme").toInt(), 2);
    EXPECT_EQ(storedField(topics["Agenda"], "ContenutoTxt").toString(), u"new body"_s);
    EXPECT_EQ(storedAlarm(topics["Agenda"]), (store::WallTime{QDate(2027, 3, 28), QTime(2, 30)}));
    EXPECT_TRUE(main->alarms().Timer1->isActive());
    EXPECT_EQ(main->alarms().NextAlarmTopicId, topics["Agenda"]);

    frmNuovoArg *again = openTopic(u"Agenda"_s);
    EXPECT_TRUE(again->ProvaChiusura());
}
