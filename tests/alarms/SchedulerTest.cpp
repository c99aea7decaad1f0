#include "BrowserFixture.h"
#include "frmListaFinestre.h"

using namespace Qt::StringLiterals;

using store::WallTime;

class Scheduler : public BrowserFixture {
protected:
    void setAlarm(const QString &title, int type, const WallTime &when)
    {
        storeFields(topics[title], {{"TipoAllarme", type}, {"DataOraAllarme", QVariant::fromValue(when)}});
    }
    // Sets an alarm afresh, with no editor open, and puts it in view at clock.
    void arm(const QString &title, int type, const WallTime &when, const QDateTime &clock)
    {
        closeEditors();
        setAlarm(title, type, when);
        services.clock.current = clock;
        ASSERT_TRUE(main->alarms().RestartTimer());
    }
    // Text as another program, or another version, may have written it (null: no time).
    void setStoredText(const QString &title, int type, const char *text)
    {
        const QString value = text ? u"'%1'"_s.arg(QString::fromLatin1(text)) : u"NULL"_s;
        ASSERT_TRUE(session->store.dbNotes.exec(
            u"UPDATE Argomenti SET TipoAllarme = %1, DataOraAllarme = %2 WHERE idArgomento = %3"_s.arg(type).arg(value).arg(topics[title])));
    }
    WallTime alarmOf(const QString &title)
    {
        EXPECT_TRUE(hasTopic(topics[title]));
        return storedAlarm(topics[title]);
    }
    // A tick of the timer, which only ticks while it runs.
    void tick() { main->alarms().Timer1->isActive() ? main->alarms().Timer1_Timer() : void(); }
    // The open editor advances its own fields: close it before changing
    // the stored alarm behind its back.
    void closeEditors() { for (frmNuovoArg *e : Editors(*session)) e->close(); }
    QString lastBox() const { return services.dialogs.shown().isEmpty() ? QString() : services.dialogs.shown().last().prompt; }
    int sounds() const { return int(services.sound.played.size()); }
    QDateTime now() const { return services.clock.current; }
};

TEST_F(Scheduler, AOneTimeAlarmOpensItsTopicAndRingsAtItsMomentOnce)
{
    const QDateTime when = now().addSecs(60);
    arm(u"Far"_s, 1, WallTime::of(when), now());
    tick();
    EXPECT_EQ(sounds(), 0) << "not yet due: only rearmed";
    EXPECT_TRUE(main->alarms().Timer1->isActive());
    services.clock.current = when;
    tick();
    frmNuovoArg *e = editorOf(topics["Far"]);
    ASSERT_TRUE(e) << "due at its very moment: the topic is opened";
    EXPECT_EQ(e->categoryId(), categories["Zeta"]);
    EXPECT_EQ(sounds(), 1);
    EXPECT_TRUE(services.sound.played.first().endsWith(QLatin1String("/ALARM.WAV")));
    EXPECT_FALSE(main->alarms().Timer1->isActive()) << "no alarm left in view";
    tick();
    EXPECT_EQ(sounds(), 1) << "not fired again";
}

TEST_F(Scheduler, AnAlarmWaitsForAModalWindowAClosedStoreAndTheFocusAndRestoresAMinimizedEditor)
{
    const QDateTime when = now().addSecs(-60);
    arm(u"Agenda"_s, 2, WallTime::of(when), now());
    // A tick while a modal window is up, in the middle of its command.
    auto driver = whenShown<frmListaFinestre>([&](frmListaFinestre *d) {
        tick();
        EXPECT_EQ(sounds(), 0);
        EXPECT_FALSE(editorOf(topics["Agenda"])) << "nothing opened beneath the modal window";
        d->close();
    });
    main->mnuFinestraAltre_Click();
    EXPECT_EQ(alarmOf(u"Agenda"_s), WallTime::of(when));
    EXPECT_TRUE(main->alarms().Timer1->isActive());

    // A tick while the store is closed, as during packing.
    session->store.close();
    tick();
    EXPECT_TRUE(main->alarms().Timer1->isActive()) << "still waiting";
    ASSERT_TRUE(session->store.open());
    EXPECT_EQ(sounds(), 0);

    // Ticks while the desktop refuses the focus: tried again, without sound or advance.
    services.desktop.refuseFocus = true;
    tick();
    tick();
    EXPECT_EQ(sounds(), 0);
    EXPECT_EQ(alarmOf(u"Agenda"_s), WallTime::of(when));
    EXPECT_TRUE(main->alarms().Timer1->isActive()) << "tried again at the next tick";
    services.desktop.refuseFocus = false;

    tick();
    EXPECT_EQ(sounds(), 1);
    EXPECT_TRUE(editorOf(topics["Agenda"]));

    // A minimized open editor is restored and advanced once.
    closeEditors();
    frmNuovoArg *e = openTopic(u"Summary"_s);
    e->showMinimized();
    setAlarm(u"Summary"_s, 3, WallTime::of(when));
    e->AlarmMovedOn(3, WallTime::of(when));  // as loaded
    EXPECT_TRUE(main->alarms().RestartTimer());
    tick();
    EXPECT_FALSE(e->isMinimized());
    EXPECT_EQ(Editors(*session).size(), 1);
    EXPECT_EQ(e->alarm().time(), WallTime::of(when.addDays(7))) << "advanced once, and shown so in its editor";
    EXPECT_EQ(sounds(), 2);

    // A topic deleted while its alarm is in view: the alarm sounds once.
    setAlarm(u"Far"_s, 2, WallTime::of(when));
    EXPECT_TRUE(main->alarms().RestartTimer());
    deleteBehindTheWindows(topics["Far"]);
    tick();
    tick();
    EXPECT_EQ(sounds(), 3);
    EXPECT_EQ(Editors(*session).size(), 1) << "no other topic is opened in its place";
}

// Rome, 2027. On 28 March at 02:00 the clocks go forward to 03:00, so 02:30
// does not happen: a daily alarm stores 02:30 for that night, rings at
// 03:00, and is back at 02:30 afterwards. On 31 October at 03:00 they go
// back to 02:00, so 02:30 happens twice: it rings at the first. Every kind
// of repetition steps its wall time alike (tests/core); the clock change is
// read here, where the time is taken as a moment.
TEST_F(Scheduler, RepetitionsKeepTheirTimeOfDayAcrossTheClockChanges)
{
    InRome zone;
    const QTime half(2, 30);
    const QDate night(2027, 3, 28), autumn(2027, 10, 31);
    const QDateTime firstPass = QDateTime(autumn, QTime(0, 30), Qt::UTC).toLocalTime();
    ASSERT_EQ(firstPass.time(), half);
    ASSERT_EQ(firstPass.addSecs(3600).time(), half);
    const auto ringsAtThree = [&](int rung) {
        services.clock.current = QDateTime(night, QTime(1, 59, 59));
        tick();
        EXPECT_EQ(sounds(), rung) << "not before the clocks go forward";
        EXPECT_EQ(main->alarms().NextAlarmTime, QDateTime(night, QTime(3, 0))) << "the first moment after the skip";
        services.clock.current = QDateTime(night, QTime(3, 0));
        tick();
        EXPECT_EQ(sounds(), rung + 1);
        EXPECT_EQ(alarmOf(u"Agenda"_s), (WallTime{QDate(2027, 3, 29), half})) << "02:30 again";
    };
    arm(u"Agenda"_s, 2, WallTime{QDate(2027, 3, 27), half}, QDateTime(QDate(2027, 3, 27), half));
    tick();
    EXPECT_EQ(sounds(), 1);
    EXPECT_EQ(alarmOf(u"Agenda"_s), (WallTime{night, half})) << "stored as set, not 03:30";
    ringsAtThree(1);

    arm(u"Agenda"_s, 2, WallTime{autumn, half}, firstPass);
    tick();
    EXPECT_EQ(sounds(), 3);
    services.clock.current = firstPass.addSecs(3600);
    tick();
    EXPECT_EQ(sounds(), 3) << "not again";
    EXPECT_EQ(alarmOf(u"Agenda"_s), (WallTime{QDate(2027, 11, 1), half}));

    // The same time written by a program in another zone: not midnight.
    closeEditors();
    setStoredText(u"Agenda"_s, 2, "2027-03-28 02:30:00");
    services.clock.current = QDateTime(night, QTime(1, 0));
    EXPECT_TRUE(main->alarms().RestartTimer());
    ringsAtThree(3);
}

// Ten years away: a daily alarm comes forward once, says how many times it
// was missed and since when, and its next time lies ahead; another alarm
// due meanwhile rings at the next tick.
TEST_F(Scheduler, ALongAbsenceIsCaughtUpInOneFiringAndATimePastTheCalendarIsNeverRung)
{
    const WallTime first{QDate(2026, 6, 15), QTime(8, 0)};
    setAlarm(u"Far"_s, 1, WallTime{QDate(2030, 1, 1), QTime(9, 0)});
    arm(u"Agenda"_s, 2, first, QDateTime(QDate(2036, 6, 15), QTime(10, 30)));
    services.dialogs.expectMsgBox();
    tick();
    EXPECT_EQ(sounds(), 1);
    const int missed = int(first.date.daysTo(now().date())) + 1;
    EXPECT_TRUE(lastBox().contains(u"%1 times since 15/06/26 08:00"_s.arg(missed))) << lastBox().toStdString();
    EXPECT_EQ(Editors(*session).size(), 1);
    tick();
    EXPECT_EQ(sounds(), 2) << "the other alarm, at the next tick";
    tick();
    EXPECT_EQ(sounds(), 2);
    EXPECT_EQ(main->alarms().NextAlarmTime, QDateTime(QDate(2036, 6, 16), QTime(8, 0)));

    // A year past 9999, the last the stored form holds, from an older
    // version: told once and never rung; the other alarms go on.
    closeEditors();
    setStoredText(u"Far"_s, 5, "10000-12-31 23:59:00");
    setAlarm(u"Agenda"_s, 1, WallTime::of(now()));
    services.dialogs.expectMsgBox();
    EXPECT_TRUE(main->alarms().RestartTimer());
    EXPECT_TRUE(lastBox().contains(QLatin1String("Far (10000-12-31 23:59:00)"))) << lastBox().toStdString();
    tick();
    tick();
    EXPECT_EQ(sounds(), 3);
    EXPECT_FALSE(main->alarms().Timer1->isActive()) << "nothing left to ring";
}

TEST_F(Scheduler, AnAlarmWhoseNextTimeCannotBeStoredRingsOnceAndSaysWhyOnce)
{
    arm(u"Agenda"_s, 2, WallTime::of(now().addSecs(-60)), now());
    ASSERT_TRUE(session->store.dbNotes.exec(u"CREATE TRIGGER refuse BEFORE UPDATE OF DataOraAllarme ON Argomenti "
                                            "BEGIN SELECT RAISE(ABORT, 'the disk says no'); END"_s));
    services.dialogs.expectMsgBox();
    tick();
    EXPECT_EQ(sounds(), 1);
    EXPECT_TRUE(lastBox().startsWith(u"This alarm cannot be moved on"_s) && lastBox().contains(u"the disk says no"_s))
        << lastBox().toStdString();
    for (int i = 0; i < 3; ++i) {
        services.clock.current = now().addSecs(10);
        tick();
    }
    EXPECT_EQ(sounds(), 1) << "not again in this run";
}

TEST_F(Scheduler, AlarmsThatCouldNotBeReadAreReadAgainAtTheNextTick)
{
    arm(u"Agenda"_s, 1, WallTime::of(now().addSecs(30)), now());
    ASSERT_TRUE(session->store.dbNotes.exec(u"ALTER TABLE Argomenti RENAME TO Away"_s));
    EXPECT_FALSE(main->alarms().RestartTimer());
    ASSERT_TRUE(session->store.dbNotes.exec(u"ALTER TABLE Away RENAME TO Argomenti"_s));
    services.clock.current = now().addSecs(60);
    tick();
    tick();
    EXPECT_EQ(sounds(), 1);
}
