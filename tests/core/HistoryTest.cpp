// What a change replaces and a delete takes away is kept, comes back whole,
// and goes by the retention rule only; Find never sees it.

#include "db/StoreFixture.h"
#include "notes/Categories.h"
#include "notes/History.h"
#include "notes/Search.h"
#include "notes/Topics.h"
#include "db/Like.h"

namespace {

class Kept : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        if (HasFatalFailure())
            return;
        ns.machineName = u"desk"_s;
        ns.now = [this] { return clock; };
        home = addCategory(u"Home"_s);
        work = addCategory(u"Work"_s);
        key = topics.save({-1, home, u"Milk"_s, u"{\\rtf1 milk}"_s, u"milk"_s, QDateTime(QDate(2026, 3, 1), QTime(9, 0)),
                           store::WallTime{QDate(2026, 3, 2), QTime(8, 0)}, 1});
        ASSERT_GT(key, 0);
    }

    // Each version of the topic as "title|category|plain text|alarm", newest first.
    QStringList versions(int topic)
    {
        bool ok = false;
        QStringList out;
        for (const notes::VersionEntry &e : history.versionsOf(topic, &ok)) {
            notes::Version v;
            EXPECT_EQ(history.version(e.id, &v), notes::Found::Yes);
            out << u"%1|%2|%3|%4"_s.arg(v.title).arg(v.category).arg(v.plainText).arg(v.alarmTime.text());
        }
        EXPECT_TRUE(ok);
        return out;
    }
    QString current(int topic)
    {
        notes::StoredTopic t;
        EXPECT_EQ(topics.load(topic, &t), notes::Found::Yes);
        return u"%1|%2|%3|%4"_s.arg(t.title.value_or(QString())).arg(t.category).arg(t.plainText.value_or(QString()))
            .arg(t.alarmTime ? t.alarmTime->text() : QString());
    }
    notes::TopicSave saveOf(const QString &title, const QString &text)
    {
        return {key, home, title, u"{\\rtf1 "_s + text + u'}', text, clock, store::WallTime{QDate(2026, 3, 2), QTime(8, 0)}, 1};
    }

    QDateTime clock{QDate(2026, 3, 5), QTime(10, 0)};
    notes::Topics topics{ns};
    notes::History history{ns};
    int home = -1, work = -1, key = -1;
    const QString first = u"Milk|%1|milk|2026-03-02 08:00:00"_s;
};

} // namespace

TEST_F(Kept, EachReplacingWriteKeepsOneVersionOfWhatItReplaced)
{
    const QString was = first.arg(home);
    struct Case {
        const char *write;
        std::function<bool()> run;
        QStringList kept;
    } cases[] = {
        {"a save of the same fields", [&] { return topics.save(saveOf(u"Milk"_s, u"milk"_s)) == key; }, {}},
        {"a save of another text", [&] { return topics.save(saveOf(u"Milk"_s, u"eggs"_s)) == key; }, {was}},
        {"a rename", [&] { return topics.rename(key, u"Shop"_s) == notes::Found::Yes; }, {was}},
        {"a rename to the same title", [&] { return topics.rename(key, u"Milk"_s) == notes::Found::Yes; }, {}},
        {"a move", [&] { return topics.move(key, work); }, {was}},
        {"a move where it is", [&] { return topics.moveAll({key}, home); }, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.write);
        ASSERT_TRUE(ns.dbNotes.exec(u"DELETE FROM Versioni"_s));
        ASSERT_TRUE(stored::set(ns.dbNotes, u"Argomenti"_s,
                                {{u"argomento"_s, u"Milk"_s}, {u"idCategoria"_s, home}, {u"contenuto"_s, u"{\\rtf1 milk}"_s},
                                 {u"ContenutoTxt"_s, u"milk"_s}},
                                u"idArgomento"_s, key));
        ASSERT_TRUE(c.run());
        EXPECT_EQ(versions(key), c.kept);
    }
}

TEST_F(Kept, RestoreBringsBackTitleTextCategoryAndAlarmAndKeepsWhatItReplaced)
{
    ASSERT_EQ(topics.save({key, work, u"Shop"_s, u"{\\rtf1 eggs}"_s, u"eggs"_s, clock, {}, 0}), key);
    bool ok = false;
    const qint64 id = history.versionsOf(key, &ok).value(0).id;
    clock = clock.addDays(1);
    ASSERT_EQ(history.restore(id), notes::Found::Yes);
    EXPECT_EQ(current(key), first.arg(home));
    EXPECT_EQ(stored::field(ns.dbNotes, u"Argomenti"_s, u"contenuto"_s, u"idArgomento"_s, key), u"{\\rtf1 milk}"_s);
    EXPECT_EQ(stored::field(ns.dbNotes, u"Argomenti"_s, u"ultimoaggiornamento"_s, u"idArgomento"_s, key), clock);
    EXPECT_EQ(versions(key), (QStringList{u"Shop|%1|eggs|"_s.arg(work), first.arg(home)}));
}

TEST_F(Kept, RestoreAsNewAddsTheVersionBesideTheTopicWithoutItsAlarm)
{
    ASSERT_EQ(topics.save(saveOf(u"Milk"_s, u"eggs"_s)), key);
    ASSERT_TRUE(topics.move(key, work));
    bool ok = false;
    const int added = history.restoreAsNew(history.versionsOf(key, &ok).constLast().id, -1);
    ASSERT_GT(added, key);
    EXPECT_EQ(current(added), u"Milk|%1|milk|"_s.arg(work));
    EXPECT_EQ(current(key), u"Milk|%1|eggs|2026-03-02 08:00:00"_s.arg(work));
}

TEST_F(Kept, ACutTopicTakesItsVersionsToItsNewKey)
{
    ASSERT_EQ(topics.rename(key, u"Shop"_s), notes::Found::Yes);
    notes::TopicCopy copy;
    ASSERT_EQ(topics.readCopy(key, &copy), notes::Topics::Read::Ok);
    bool removed = false;
    const int pasted = topics.paste(copy, work, key, &removed);
    ASSERT_TRUE(removed);
    EXPECT_EQ(versions(pasted), (QStringList{u"Shop|%1|milk|2026-03-02 08:00:00"_s.arg(home), first.arg(home)}));
    EXPECT_TRUE(versions(key).isEmpty());
}

TEST_F(Kept, ADeletedTopicComesBackUnderItsKeyWithItsVersionsAndCategory)
{
    ASSERT_EQ(topics.rename(key, u"Shop"_s), notes::Found::Yes);
    ASSERT_EQ(topics.remove(key), notes::Found::Yes);
    bool ok = false;
    const QList<notes::DeletedTopic> gone = history.deleted(QString(), &ok);
    ASSERT_EQ(gone.size(), 1);
    EXPECT_EQ(gone[0].key, key);
    EXPECT_EQ(gone[0].categoryName, u"Home"_s);
    EXPECT_EQ(gone[0].deleted, clock);
    EXPECT_EQ(gone[0].machine, u"desk"_s);
    QList<int> back;
    ASSERT_TRUE(history.undelete({key}, -1, &back));
    EXPECT_EQ(back, QList<int>{key});
    EXPECT_EQ(current(key), u"Shop|%1|milk|2026-03-02 08:00:00"_s.arg(home));
    EXPECT_EQ(stored::field(ns.dbNotes, u"Argomenti"_s, u"contenuto"_s, u"idArgomento"_s, key), u"{\\rtf1 milk}"_s);
    EXPECT_EQ(versions(key), QStringList{first.arg(home)});
    EXPECT_TRUE(history.deleted(QString(), &ok).isEmpty());
}

TEST_F(Kept, AnUndeletedTopicFindsItsCategoryByNameOrMakesItAgain)
{
    const int other = topics.save({-1, work, u"Plan"_s, u"{\\rtf1 plan}"_s, u"plan"_s, clock, {}, 0});
    ASSERT_EQ(topics.remove(key), notes::Found::Yes);
    ASSERT_EQ(topics.remove(other), notes::Found::Yes);
    notes::Categories categories(ns);
    ASSERT_EQ(categories.remove(home), notes::Found::Yes);
    ASSERT_EQ(categories.rename(work, u"Old work"_s), notes::Found::Yes);
    const int newWork = categories.insert(u"Work"_s);
    ASSERT_TRUE(ns.dbNotes.exec(u"DELETE FROM Categorie WHERE idCategoria = %1"_s.arg(work)));
    QList<int> back;
    ASSERT_TRUE(history.undelete({key, other}, -1, &back));
    int category = -1;
    ASSERT_EQ(topics.categoryOf(other, &category), notes::Found::Yes);
    EXPECT_EQ(category, newWork);
    ASSERT_EQ(topics.categoryOf(key, &category), notes::Found::Yes);
    QString name;
    ASSERT_EQ(categories.name(category, &name), notes::Found::Yes);
    EXPECT_EQ(name, u"Home"_s);
}

TEST_F(Kept, DeletedTopicsAreFoundByPatternsButFindInTopicsSeesOnlyCurrentOnes)
{
    ASSERT_EQ(topics.save(saveOf(u"Milk"_s, u"bread"_s)), key);
    const int other = topics.save({-1, home, u"Plan"_s, u"{\\rtf1 milk run}"_s, u"milk run"_s, clock, {}, 0});
    ASSERT_EQ(topics.remove(other), notes::Found::Yes);
    bool ok = false;
    EXPECT_EQ(history.deleted(u"m?lk"_s, &ok).size(), 1);
    EXPECT_TRUE(history.deleted(u"bread"_s, &ok).isEmpty());
    QList<int> found;
    ASSERT_TRUE(store::FindTopicsInBatches(ns, store::LikePattern::anywhere(u"milk"_s), [&](store::FoundTopics &&f) {
        for (qsizetype i = 0; i < f.size(); ++i)
            found << f.key(i);
    }));
    EXPECT_EQ(found, QList<int>{key}) << "the current topic by its title, not its old text nor the deleted one";
}

TEST_F(Kept, PruningKeepsEveryRecentVersionThenOneADayThenOneAMonth)
{
    // A save every six hours for two years.
    const QDateTime start(QDate(2025, 1, 1), QTime(1, 0));
    for (clock = start; clock < start.addYears(2); clock = clock.addSecs(6 * 3600))
        ASSERT_EQ(topics.save(saveOf(u"Milk"_s, clock.toString(Qt::ISODate))), key);
    const QDateTime now = clock;
    notes::History::Pruned pruned;
    ASSERT_TRUE(history.prune(now, notes::Retention{}, &pruned));
    QMap<QString, int> perDay, perMonth;
    int recent = 0;
    store::Statement st(ns.dbNotes, u"SELECT DataOraVersione FROM Versioni"_s);
    while (st.step()) {
        const QDateTime at = store::WallTime::fromText(st.columnText(0)).moment();
        if (at >= now.addDays(-30))
            ++recent;
        else if (at >= now.addDays(-365))
            ++perDay[at.toString(u"yyyy-MM-dd"_s)];
        else
            ++perMonth[at.toString(u"yyyy-MM"_s)];
    }
    EXPECT_EQ(recent, 30 * 4);
    EXPECT_EQ(perDay.size(), 335);
    EXPECT_EQ(perMonth.size(), 12);
    for (const int n : perDay.values() + perMonth.values())
        EXPECT_EQ(n, 1);
    EXPECT_EQ(pruned.versions, 4 * 730 - recent - perDay.size() - perMonth.size());
}

TEST_F(Kept, PruningLetsDeletedTopicsGoWithTheirVersionsAfterNinetyDays)
{
    ASSERT_EQ(topics.rename(key, u"Shop"_s), notes::Found::Yes);
    ASSERT_EQ(topics.remove(key), notes::Found::Yes);
    notes::History::Pruned pruned;
    ASSERT_TRUE(history.prune(clock.addDays(89), notes::Retention{}, &pruned));
    EXPECT_EQ(pruned.deletedTopics, 0);
    ASSERT_TRUE(history.prune(clock.addDays(91), notes::Retention{}, &pruned));
    EXPECT_EQ(pruned.deletedTopics, 1);
    EXPECT_EQ(pruned.versions, 1);
    EXPECT_EQ(stored::count(ns.dbNotes, u"Versioni"_s), 0);
}

TEST_F(Kept, AVersionOfAMoveOrRenameReadsTheTextItHadAfterLaterSavesAndPruning)
{
    clock = QDateTime(QDate(2025, 1, 1), QTime(9, 0));
    ASSERT_TRUE(topics.move(key, work));  // kept without a copy of "milk"
    clock = clock.addDays(1);
    ASSERT_EQ(topics.save({key, work, u"Milk"_s, u"{\\rtf1 eggs}"_s, u"eggs"_s, clock, {}, 0}), key);
    clock = clock.addSecs(3600);
    ASSERT_EQ(topics.save({key, work, u"Milk"_s, u"{\\rtf1 tea}"_s, u"tea"_s, clock, {}, 0}), key);
    EXPECT_EQ(stored::field(ns.dbNotes, u"Versioni"_s, u"contenuto"_s, u"idArgomento"_s, key), QVariant());
    const QString moved = u"Milk|%1|milk|2026-03-02 08:00:00"_s.arg(home);
    ASSERT_EQ(versions(key).constLast(), moved);
    // Each day's last version stays: the move's, and not the one it took its text from.
    notes::History::Pruned pruned;
    ASSERT_TRUE(history.prune(QDateTime(QDate(2025, 6, 1), QTime(0, 0)), notes::Retention{}, &pruned));
    EXPECT_EQ(pruned.versions, 1);
    EXPECT_EQ(versions(key), (QStringList{u"Milk|%1|eggs|"_s.arg(work), moved}));
}
