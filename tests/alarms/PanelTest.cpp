#include "BrowserFixture.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using AlarmPanel = BrowserFixture;

TEST_F(AlarmPanel, OpeningAndClosingWithoutAlarmSetsTheCurrentMinute)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(e);
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
    EXPECT_EQ(e->cmbOre->currentIndex(), 10);
    EXPECT_EQ(e->cmbMinuti->currentIndex(), 31);
    e->cmdTimer->click();
    EXPECT_TRUE(e->rtfContenuto->isVisibleTo(e));
    EXPECT_EQ(e->AlarmDateTime, QDateTime(QDate(2026, 6, 15), QTime(10, 31, 0)));
    EXPECT_EQ(e->AlarmType, 0);
}

TEST_F(AlarmPanel, SavingWithThePanelOpenStoresItsValuesAndRestartsTheScheduler)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(e);
    e->cmdTimer->click();
    e->Calendar1->setSelectedDate(QDate(2030, 3, 10));
    e->cmbOre->setCurrentIndex(8);
    e->cmbMinuti->setCurrentIndex(30);
    e->cmbTipoAllarme->setCurrentIndex(2);
    EXPECT_FALSE(main->Timer1->isActive());
    e->cmdSalva->click();
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(topics["Agenda"]));
    EXPECT_EQ(rs.field(QStringLiteral("TipoAllarme")).toInt(), 2);
    EXPECT_EQ(rs.field(QStringLiteral("DataOraAllarme")).toDateTime(), QDateTime(QDate(2030, 3, 10), QTime(8, 30)));
    EXPECT_TRUE(main->Timer1->isActive());
    EXPECT_EQ(main->NextAlarmTopicId, topics["Agenda"]);

    frmNuovoArg *again = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->cmdTimer->property("alarmActive").toBool()) << "the red picture";
    EXPECT_TRUE(again->ProvaChiusura());
}

TEST_F(AlarmPanel, AggiornaTimerStoresOnlyTheAlarmFields)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(e);
    e->txtArgomento->setText(QStringLiteral("unsaved title"));
    e->AlarmType = 2;
    e->AlarmDateTime = QDateTime(QDate(2027, 3, 10), QTime(8, 30));
    EXPECT_TRUE(e->AggiornaTimer());
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(topics["Agenda"]));
    EXPECT_EQ(rs.field(QStringLiteral("DataOraAllarme")).toDateTime(), QDateTime(QDate(2027, 3, 11), QTime(8, 30)));
    EXPECT_EQ(rs.field(QStringLiteral("argomento")).toString(), QStringLiteral("Agenda"));
}
