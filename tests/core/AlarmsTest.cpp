// The alarms without a window: how a fired alarm moves on, which alarm comes
// next, and the queue's writes.

#include "db/StoreFixture.h"
#include "alarms/AlarmQueue.h"
#include "alarms/Recurrence.h"
#include "db/Sqlite.h"

using store::WallTime;

namespace {

WallTime at(int y, int m, int d, int h = 8, int min = 0)
{
    return {QDate(y, m, d), QTime(h, min)};
}

} // namespace

TEST(Recurrence, AFiredAlarmCatchesUpEveryTimeThatCameAndLandsAhead)
{
    const QDateTime now(QDate(2026, 12, 20), QTime(12, 0));
    const struct {
        const char *what;
        int type;
        WallTime from;
        alarms::Advance expected;  // type, time, firstDue, due, calendarEnd
    } cases[] = {
        {"one-time: switched off, its time kept", alarms::OneTime, at(2026, 12, 20), {0, at(2026, 12, 20), at(2026, 12, 20), 1, false}},
        {"daily, on time", alarms::Daily, at(2026, 12, 20), {2, at(2026, 12, 21), at(2026, 12, 20), 1, false}},
        {"daily, a week away", alarms::Daily, at(2026, 12, 13), {2, at(2026, 12, 21), at(2026, 12, 13), 8, false}},
        {"monthly on the 31st, across many Februaries", alarms::Monthly, at(2020, 1, 31, 9),
         {4, at(2026, 12, 31, 9), at(2020, 1, 31, 9), 83, false}},
        // Rung on time, the day reached in a short month is the next start.
        {"monthly, from the last day of February", alarms::Monthly, at(2026, 11, 30, 9),
         {4, at(2026, 12, 30, 9), at(2026, 11, 30, 9), 1, false}},
        {"yearly at the calendar's end", alarms::Yearly, at(9999, 12, 1), {0, at(9999, 12, 1), at(9999, 12, 1), 1, true}},
    };
    for (const auto &c : cases) {
        const alarms::Advance a = alarms::advanceFired(c.from, c.type, now);
        EXPECT_EQ(a.type, c.expected.type) << c.what;
        EXPECT_EQ(a.time, c.expected.time) << c.what;
        EXPECT_EQ(a.firstDue, c.expected.firstDue) << c.what;
        EXPECT_EQ(a.due, c.expected.due) << c.what;
        EXPECT_EQ(a.calendarEnd, c.expected.calendarEnd) << c.what;
    }
}

class Queue : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        const int category = addCategory(u"work"_s);
        for (const char *title : {"Summary", "Agenda", "marmellata", "Far"})
            topics[QString::fromLatin1(title)] = stored::addTopic(ns.dbNotes, category, QString::fromLatin1(title), u"body"_s);
    }
    // Text as another program, or another version, may have written it (null: no time).
    void setStored(const QString &title, int type, const char *text)
    {
        store::Statement st(ns.dbNotes, u"UPDATE Argomenti SET TipoAllarme = ?1, DataOraAllarme = ?2 WHERE idArgomento = ?3"_s);
        st.bind(1, qint64(type));
        text ? st.bind(2, QString::fromLatin1(text)) : st.bindNull(2);
        st.bind(3, qint64(topics[title]));
        ASSERT_TRUE(st.run());
    }
    QString stored(const QString &title)
    {
        store::Statement st(ns.dbNotes, u"SELECT argomento || '|' || TipoAllarme || '|' || ifnull(DataOraAllarme, '') "
                                        "FROM Argomenti WHERE idArgomento = ?1"_s);
        st.bind(1, qint64(topics[title]));
        return st.step() ? st.columnText(0) : QString();
    }
    // The topic whose alarm comes next, -1 for none.
    int nextTopic()
    {
        alarms::AlarmQueue::Next next;
        QList<alarms::AlarmQueue::Unreadable> unreadable;
        EXPECT_TRUE(queue.next(now, &next, &unreadable)) << "the queue is read";
        return next.topic;
    }
    QHash<QString, int> topics;
    alarms::AlarmQueue queue{ns};
    const QDateTime now{QDate(2026, 6, 1), QTime(12, 0)};
};

TEST_F(Queue, TheEarliestReadingComesNextWhateverOrderItsTextSortsIn)
{
    const QStringList titles{u"Summary"_s, u"Agenda"_s, u"marmellata"_s, u"Far"_s};
    const struct {
        const char *texts[4];  // "" for an empty time, nullptr for no alarm
        const char *earliest;
    } cases[] = {
        // 'T' sorts after ' ': the text that comes last is the earliest.
        {{"2027-04-01 10:00:00", "2027-04-01T09:00:00", "2027-05-01 08:00:00", nullptr}, "Agenda"},
        // An empty time loads as now, before every other.
        {{"2027-04-01 10:00:00", nullptr, "2027-03-01 08:00:00", ""}, "Far"},
        // A date alone is its midnight.
        {{"2027-04-01 10:00:00", nullptr, "2027-04-01", nullptr}, "marmellata"},
    };
    for (const auto &c : cases) {
        for (int i = 0; i < titles.size(); ++i)
            setStored(titles[i], c.texts[i] ? 1 : 0, c.texts[i] && *c.texts[i] ? c.texts[i] : nullptr);
        EXPECT_EQ(nextTopic(), topics[QString::fromLatin1(c.earliest)]) << c.earliest;
    }
}

TEST_F(Queue, AFiredAlarmIsMovedOnInTheStoreWritingOnlyItsTwoFields)
{
    setStored(u"Agenda"_s, alarms::Daily, "2027-03-01 08:30:00");
    const alarms::AlarmQueue::Fired fired = queue.advance(topics[u"Agenda"_s], now);
    EXPECT_TRUE(fired.found && fired.stored);
    EXPECT_EQ(fired.title, u"Agenda"_s);
    EXPECT_EQ(stored(u"Agenda"_s), u"Agenda|2|2027-03-02 08:30:00"_s);
    store::Statement other(ns.dbNotes, u"SELECT count(*) FROM Argomenti WHERE ultimoaggiornamento IS NOT NULL"_s);
    ASSERT_TRUE(other.step());
    EXPECT_EQ(other.columnInt(0), 0) << "the last update is not touched";
}

TEST_F(Queue, AnAlarmWhoseWriteIsRefusedIsHeldOutOfTheQueueUntilSavedAgain)
{
    setStored(u"Agenda"_s, alarms::Daily, "2027-03-01 08:30:00");
    ASSERT_TRUE(ns.dbNotes.exec(u"CREATE TRIGGER refuse BEFORE UPDATE OF DataOraAllarme ON Argomenti "
                                "BEGIN SELECT RAISE(ABORT, 'the disk says no'); END"_s));
    const alarms::AlarmQueue::Fired fired = queue.advance(topics[u"Agenda"_s], now);
    EXPECT_TRUE(fired.found);
    EXPECT_FALSE(fired.stored);
    EXPECT_TRUE(ns.errorText().contains(u"the disk says no"_s)) << ns.errorText().toStdString();
    EXPECT_EQ(nextTopic(), -1) << "held";
    queue.release(topics[u"Agenda"_s]);
    EXPECT_EQ(nextTopic(), topics[u"Agenda"_s]);
}

TEST_F(Queue, ATopicThatCannotBeReadIsTriedAgainNotHeld)
{
    setStored(u"Agenda"_s, alarms::Daily, "2026-06-01 08:30:00");
    ASSERT_TRUE(ns.dbNotes.exec(u"ALTER TABLE Argomenti RENAME TO Away"_s));
    const alarms::AlarmQueue::Fired fired = queue.advance(topics[u"Agenda"_s], now);
    EXPECT_TRUE(fired.failed);
    ASSERT_TRUE(ns.dbNotes.exec(u"ALTER TABLE Away RENAME TO Argomenti"_s));
    EXPECT_EQ(nextTopic(), topics[u"Agenda"_s]) << "not held";
}
