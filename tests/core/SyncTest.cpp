// The sync repository's files and the git program that carries them.

#include "db/StoreFixture.h"
#include "notes/Topics.h"
#include "sync/Git.h"
#include "sync/Layout.h"
#include "sync/Merge.h"
#include "SyncMachine.h"

#include <QDir>
#include <QFile>


TEST(SyncLayout, TopicsAndCategoriesReadBackAsWritten)
{
    const gitsync::TopicRecord topics[] = {
        {u"0123456789abcdef0123456789abcdef"_s, u"fedcba9876543210fedcba9876543210"_s, u"Città \"di\" mare\n2"_s,
         u"2026-12-08 05:00:00"_s, 2, u"2026-12-09 08:30:00"_s, QString(), QString(), u"Città\n\"di\""_s, u"desk"_s},
        {u"00000000000000000000000000000000"_s, QString(), QString(), QString(), 0, QString(), u"2026-12-08 06:00:00"_s,
         QString(), QString(), QString()},
    };
    for (const gitsync::TopicRecord &t : topics) {
        gitsync::TopicRecord back;
        QString error;
        ASSERT_TRUE(gitsync::decodeTopic(gitsync::encodeTopic(t), &back, &error)) << error.toStdString();
        EXPECT_EQ(back, t);
        EXPECT_EQ(back.machine, t.machine);
    }
    const gitsync::CategoryRecord category{u"fedcba9876543210fedcba9876543210"_s, u"Lavoro / casa"_s, u"2026-12-01 10:00:00"_s};
    gitsync::CategoryRecord back;
    QString error;
    ASSERT_TRUE(gitsync::decodeCategory(gitsync::encodeCategory(category), &back, &error));
    EXPECT_EQ(back, category);
}

TEST(SyncLayout, FilesLieInTwoLevelsOfFoldersByTheIdsFirstDigits)
{
    const QString guid = u"0123456789abcdef0123456789abcdef"_s;
    EXPECT_EQ(gitsync::topicMetaPath(guid), u"topics/01/23/0123456789abcdef0123456789abcdef.json"_s);
    EXPECT_EQ(gitsync::topicBodyPath(guid), u"topics/01/23/0123456789abcdef0123456789abcdef.rtf"_s);
    EXPECT_EQ(gitsync::categoryPath(guid), u"categories/0123456789abcdef0123456789abcdef.json"_s);
}

TEST(SyncLayout, AFileThatIsNoRecordIsRefusedWithItsReason)
{
    for (const char *json : {"{\"guid\": \"0123", "[1, 2]", "{\"title\": \"no id\"}",
                             "{\"guid\": \"0123456789ABCDEF0123456789ABCDEF\"}"}) {
        gitsync::TopicRecord t;
        QString error;
        EXPECT_FALSE(gitsync::decodeTopic(json, &t, &error)) << json;
        EXPECT_FALSE(error.isEmpty()) << json;
    }
}

TEST(SyncGit, ACommandThatKeepsShowingProgressRunsPastItsDeadline)
{
    TempDir dir;
    const gitsync::Git::Result r =
        gitsync::Git(dir.path()).run({u"-c"_s, u"alias.busy=!for i in 1 2 3 4 5; do echo $i; sleep 0.2; done"_s, u"busy"_s}, 500);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.out, "1\n2\n3\n4\n5\n");
}

TEST(SyncGit, ACommandThatShowsNoProgressPastItsDeadlineIsEndedAndSaysSo)
{
    TempDir dir;
    const gitsync::Git::Result r = gitsync::Git(dir.path()).run({u"-c"_s, u"alias.wait=!sleep 3"_s, u"wait"_s}, 300);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, u"git wait showed no progress for 1 s"_s);
}


namespace {

const QString kTopic = u"0123456789abcdef0123456789abcdef"_s;
const QString kHome = u"11111111111111111111111111111111"_s;
const QString kWork = u"22222222222222222222222222222222"_s;

gitsync::TopicRecord topic(const std::function<void(gitsync::TopicRecord &)> &change = {})
{
    gitsync::TopicRecord t{kTopic, kHome, u"Milk"_s, u"2026-12-01 10:00:00"_s, 0, QString(), QString(), u"{\\rtf1 milk}"_s,
                           u"milk"_s, u"desk"_s};
    if (change)
        change(t);
    return t;
}

void retitle(gitsync::TopicRecord &t, const QString &title) { t.title = title; }
void rewrite(gitsync::TopicRecord &t, const QString &text)
{
    t.body = u"{\\rtf1 "_s + text + u'}';
    t.text = text;
}

} // namespace

TEST(SyncMerge, EachTopicFieldIsMergedByWhoChangedIt)
{
    using T = gitsync::TopicRecord;
    const auto daily = [](const QString &at) { return [at](T &t) { t.alarmType = 2; t.alarmTime = at; }; };
    const auto once = [](int type, const QString &at) { return [type, at](T &t) { t.alarmType = type; t.alarmTime = at; }; };
    struct Case {
        const char *what;
        std::optional<T> base, ours, theirs;
        T expected;
        bool conflict;
    };
    const Case cases[] = {
        {"changed here only", topic(), topic([](T &t) { retitle(t, u"Tea"_s); }), topic(),
         topic([](T &t) { retitle(t, u"Tea"_s); }), false},
        {"changed there only", topic(), topic(), topic([](T &t) { rewrite(t, u"oat milk"_s); }),
         topic([](T &t) { rewrite(t, u"oat milk"_s); }), false},
        {"title here, text there", topic(), topic([](T &t) { retitle(t, u"Tea"_s); }),
         topic([](T &t) { rewrite(t, u"green"_s); }), topic([](T &t) { retitle(t, u"Tea"_s); rewrite(t, u"green"_s); }),
         false},
        {"moved here, edited there", topic(), topic([](T &t) { t.category = kWork; }),
         topic([](T &t) { rewrite(t, u"green"_s); }), topic([](T &t) { t.category = kWork; rewrite(t, u"green"_s); }),
         false},
        {"title on both", topic(), topic([](T &t) { retitle(t, u"Tea"_s); }), topic([](T &t) { retitle(t, u"Coffee"_s); }),
         topic([](T &t) { retitle(t, u"Tea"_s); }), true},
        {"text on both", topic(), topic([](T &t) { rewrite(t, u"a"_s); }), topic([](T &t) { rewrite(t, u"b"_s); }),
         topic([](T &t) { rewrite(t, u"a"_s); }), true},
        {"made apart on both", std::nullopt, topic(), topic([](T &t) { rewrite(t, u"b"_s); }), topic(), true},
        {"deleted here, edited there", topic(), topic([](T &t) { t.deleted = u"2026-12-02 09:00:00"_s; }),
         topic([](T &t) { rewrite(t, u"b"_s); }), topic([](T &t) { rewrite(t, u"b"_s); }), false},
        {"edited here, deleted there", topic(), topic([](T &t) { rewrite(t, u"a"_s); }),
         topic([](T &t) { t.deleted = u"2026-12-02 09:00:00"_s; }), topic([](T &t) { rewrite(t, u"a"_s); }), false},
        {"let go of here, edited there", topic(), std::nullopt, topic([](T &t) { rewrite(t, u"b"_s); }),
         topic([](T &t) { rewrite(t, u"b"_s); }), false},
        {"repeating alarm advanced on both", topic(daily(u"2026-12-01 08:00:00"_s)),
         topic([&](T &t) { daily(u"2026-12-03 08:00:00"_s)(t); rewrite(t, u"a"_s); }),
         topic(daily(u"2026-12-02 08:00:00"_s)),
         topic([&](T &t) { daily(u"2026-12-03 08:00:00"_s)(t); rewrite(t, u"a"_s); }), false},
        {"one-time alarm rang here, there moved to later", topic(once(1, u"2026-12-01 08:00:00"_s)),
         topic(once(0, u"2026-12-01 08:00:00"_s)), topic(once(1, u"2026-12-05 08:00:00"_s)),
         topic(once(1, u"2026-12-05 08:00:00"_s)), false},
        {"one-time alarm rang here, there made it daily", topic(once(1, u"2026-12-01 08:00:00"_s)),
         topic(once(0, u"2026-12-01 08:00:00"_s)), topic(once(2, u"2026-12-01 08:00:00"_s)),
         topic(once(0, u"2026-12-01 08:00:00"_s)), false},
    };
    for (const Case &c : cases) {
        const gitsync::TopicMerge m = gitsync::mergeTopic(c.base, c.ours, c.theirs);
        ASSERT_TRUE(m.result) << c.what;
        EXPECT_EQ(*m.result, c.expected) << c.what;
        EXPECT_EQ(m.conflict.has_value(), c.conflict) << c.what;
        if (c.conflict) {
            EXPECT_EQ(m.conflict->title, c.theirs->title) << c.what << ": the remote's state is kept whole";
        }
    }
}

TEST(SyncMerge, ACategoryRenamedOnBothSidesTakesTheLaterNameAndTellsTheOther)
{
    const gitsync::CategoryRecord base{kHome, u"Home"_s, QString()};
    const gitsync::CategoryRecord ours{kHome, u"House"_s, u"2026-12-02 10:00:00"_s};
    const gitsync::CategoryRecord theirs{kHome, u"Flat"_s, u"2026-12-02 11:00:00"_s};
    QString lost;
    EXPECT_EQ(gitsync::mergeCategory(base, ours, theirs, &lost), theirs);
    EXPECT_EQ(lost, u"House"_s);
    EXPECT_EQ(gitsync::mergeCategory(base, std::nullopt, theirs, &lost), theirs) << "a rename wins over a deletion";
    EXPECT_TRUE(lost.isEmpty());
}

TEST(SyncMerge, TwoCategoriesOfOneNameMadeApartBecomeTheOneOfTheLowerId)
{
    gitsync::Records base, ours, theirs;
    ours.categories.insert(kWork, {kWork, u"Work"_s, QString()});
    theirs.categories.insert(kHome, {kHome, u"work"_s, QString()});
    const gitsync::CategoriesMerged m = gitsync::mergeCategories({kWork, kHome}, base, ours, theirs);
    EXPECT_EQ(m.result.keys(), QList<QString>{kHome});
    EXPECT_EQ(m.joined.value(kWork), kHome);
}
