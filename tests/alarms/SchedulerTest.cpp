#include "BrowserFixture.h"
#include "ModalDriver.h"
#include "frmListaFinestre.h"

#include <QTimer>
#include <QToolButton>

class Scheduler : public BrowserFixture {
protected:
    void setAlarm(const QString &title, int type, const QDateTime &when)
    {
        auto &rs = *session->store.rsArgomenti;
        rs.setIndex(QStringLiteral("PrimaryKey"));
        ASSERT_TRUE(rs.seek(topics[title]));
        rs.edit();
        rs.setField(QStringLiteral("TipoAllarme"), type);
        rs.setField(QStringLiteral("DataOraAllarme"), when);
        ASSERT_TRUE(rs.update());
    }
    std::pair<int, QDateTime> alarmOf(const QString &title)
    {
        auto &rs = *session->store.rsArgomenti;
        rs.setIndex(QStringLiteral("PrimaryKey"));
        EXPECT_TRUE(rs.seek(topics[title]));
        return {rs.field(QStringLiteral("TipoAllarme")).toInt(), rs.field(QStringLiteral("DataOraAllarme")).toDateTime()};
    }
    // A tick of the timer, which only ticks while it runs.
    void tick()
    {
        if (main->Timer1->isActive())
            main->Timer1_Timer();
    }
    // The open editor advances its own fields: close it before changing
    // the stored alarm behind its back.
    void closeEditors()
    {
        for (frmNuovoArg *e : session->finestre.editors())
            e->close();
    }
    int sounds() const { return int(services.sound.played.size()); }
    QDateTime now() const { return services.clock.current; }
};

TEST_F(Scheduler, NoAlarmNoTimer)
{
    main->RestartTimer();
    EXPECT_FALSE(main->Timer1->isActive());
    EXPECT_EQ(main->Timer1->interval(), 10000);
}

TEST_F(Scheduler, OneTimeAlarmInThePastFiresOnceAndIsSwitchedOff)
{
    const QDateTime when = now().addSecs(-3600);
    setAlarm(QStringLiteral("Far"), 1, when);
    main->RestartTimer();
    EXPECT_TRUE(main->Timer1->isActive());
    tick();
    frmNuovoArg *e = editorOf(topics["Far"]);
    ASSERT_TRUE(e) << "the topic is opened";
    EXPECT_EQ(main->CurrentCategoryId, categories["Zeta"]);
    EXPECT_EQ(alarmOf(QStringLiteral("Far")), std::make_pair(0, when)) << "type 0, moment unchanged";
    EXPECT_EQ(sounds(), 1);
    EXPECT_TRUE(services.sound.played.first().endsWith(QLatin1String("/ALARM.WAV")));
    EXPECT_FALSE(e->cmdTimer->property("alarmActive").toBool()) << "the grey picture";
    EXPECT_FALSE(main->Timer1->isActive()) << "no alarm left in view";
    tick();
    EXPECT_EQ(sounds(), 1) << "not fired again";
}

TEST_F(Scheduler, NotYetDueOnlyRearms)
{
    setAlarm(QStringLiteral("Far"), 1, now().addSecs(60));
    main->RestartTimer();
    tick();
    EXPECT_EQ(sounds(), 0);
    EXPECT_TRUE(main->Timer1->isActive());
    services.clock.current = now().addSecs(60);
    tick();
    EXPECT_EQ(sounds(), 1) << "due at its very moment";
}

TEST_F(Scheduler, DailyAlarmThreeDaysLateFiresOnThreeTicks)
{
    const QDateTime when = now().addDays(-3).addSecs(3600);  // between two and three days ago
    setAlarm(QStringLiteral("Agenda"), 2, when);
    main->RestartTimer();
    for (int i = 1; i <= 3; ++i) {
        tick();
        EXPECT_EQ(sounds(), i);
        EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, when.addDays(i));
    }
    tick();
    EXPECT_EQ(sounds(), 3) << "then it waits for its next day";
    EXPECT_EQ(main->NextAlarmTime, when.addDays(3));
    EXPECT_EQ(session->finestre.editors().size(), 1) << "the same editor each time";
}

TEST_F(Scheduler, MonthlyAndYearlyStepsFallBackToTheMonthsLastDay)
{
    services.clock.current = QDateTime(QDate(2031, 1, 31), QTime(9, 0));
    setAlarm(QStringLiteral("Agenda"), 4, QDateTime(QDate(2028, 1, 31), QTime(8, 0)));
    main->RestartTimer();
    tick();
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, QDateTime(QDate(2028, 2, 29), QTime(8, 0)));
    tick();
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, QDateTime(QDate(2028, 3, 29), QTime(8, 0))) << "the day drifts";
    closeEditors();
    setAlarm(QStringLiteral("Agenda"), 5, QDateTime(QDate(2028, 2, 29), QTime(7, 0)));
    main->RestartTimer();
    tick();
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, QDateTime(QDate(2029, 2, 28), QTime(7, 0)));
    closeEditors();
    setAlarm(QStringLiteral("Agenda"), 3, QDateTime(QDate(2031, 1, 1), QTime(7, 0)));
    main->RestartTimer();
    tick();
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, QDateTime(QDate(2031, 1, 8), QTime(7, 0)));
}

TEST_F(Scheduler, TwoAlarmsDueTogetherFireOnConsecutiveTicks)
{
    const QDateTime when = now().addSecs(-60);
    setAlarm(QStringLiteral("Agenda"), 1, when);
    setAlarm(QStringLiteral("Far"), 1, when);
    main->RestartTimer();
    tick();
    tick();
    EXPECT_EQ(sounds(), 2);
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).first, 0);
    EXPECT_EQ(alarmOf(QStringLiteral("Far")).first, 0);
    EXPECT_TRUE(editorOf(topics["Agenda"]) && editorOf(topics["Far"]));
}

TEST_F(Scheduler, FocusRefusedRetriesWithoutSoundOrAdvance)
{
    const QDateTime when = now().addSecs(-60);
    setAlarm(QStringLiteral("Agenda"), 2, when);
    main->RestartTimer();
    services.desktop.refuseFocus = true;
    tick();
    tick();
    EXPECT_EQ(sounds(), 0);
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, when);
    EXPECT_TRUE(main->Timer1->isActive()) << "tried again at the next tick";
    services.desktop.refuseFocus = false;
    tick();
    EXPECT_EQ(sounds(), 1);
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, when.addDays(1));
}

TEST_F(Scheduler, MinimizedOpenEditorIsRestoredAndAdvancedOnce)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Summary"));
    ASSERT_TRUE(e);
    e->showMinimized();
    const QDateTime when = now().addSecs(-60);
    setAlarm(QStringLiteral("Summary"), 3, when);
    e->AlarmType = 3;
    e->AlarmDateTime = when;
    main->RestartTimer();
    tick();
    EXPECT_FALSE(e->isMinimized());
    EXPECT_EQ(session->finestre.editors().size(), 1);
    EXPECT_EQ(alarmOf(QStringLiteral("Summary")).second, when.addDays(7)) << "advanced once";
    EXPECT_EQ(sounds(), 1);
}

TEST_F(Scheduler, DeletedTopicsAlarmSoundsOnceAndOpensNothing)
{
    setAlarm(QStringLiteral("Far"), 2, now().addSecs(-60));
    main->RestartTimer();
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(topics["Far"]));
    ASSERT_TRUE(rs.remove());
    tick();
    EXPECT_EQ(sounds(), 1);
    EXPECT_TRUE(session->finestre.editors().isEmpty()) << "no other topic is opened in its place";
    EXPECT_FALSE(main->Timer1->isActive());
}

TEST_F(Scheduler, AnAlarmWaitsForAModalWindowAndForAClosedStore)
{
    const QDateTime when = now().addSecs(-60);
    setAlarm(QStringLiteral("Agenda"), 2, when);
    main->RestartTimer();
    // A tick while a modal window is up, in the middle of its command.
    int soundsInside = -1;
    bool editorInside = true;
    auto driver = whenShown<frmListaFinestre>([&](frmListaFinestre *d) {
        tick();
        soundsInside = sounds();
        editorInside = editorOf(topics["Agenda"]) != nullptr;
        d->close();
    });
    main->mnuFinestraAltre_Click();
    EXPECT_EQ(soundsInside, 0);
    EXPECT_FALSE(editorInside) << "nothing opened beneath the modal window";
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, when);
    EXPECT_TRUE(main->Timer1->isActive());

    // A tick while the store is closed, as during packing.
    session->store.close();
    tick();
    EXPECT_TRUE(main->Timer1->isActive()) << "still waiting";
    ASSERT_TRUE(session->store.open());
    EXPECT_EQ(sounds(), 0);

    tick();
    EXPECT_EQ(sounds(), 1);
    EXPECT_TRUE(editorOf(topics["Agenda"]));
    EXPECT_EQ(alarmOf(QStringLiteral("Agenda")).second, when.addDays(1));
}
