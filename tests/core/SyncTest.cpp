// The sync repository's files and the git program that carries them.

#include "db/StoreFixture.h"
#include "notes/Topics.h"
#include "sync/Git.h"
#include "sync/Layout.h"
#include "sync/Repository.h"
#include "sync/Snapshot.h"

#include <QDir>
#include <QFile>


TEST(SyncLayout, TopicsAndCategoriesReadBackAsWritten)
{
    const gitsync::TopicRecord topics[] = {
        {u"0123456789abcdef0123456789abcdef"_s, u"fedcba9876543210fedcba9876543210"_s, u"Città \"di\" mare\n2"_s,
         u"2026-12-08 05:00:00"_s, 2, u"2026-12-09 08:30:00"_s, QString(), QString()},
        {u"00000000000000000000000000000000"_s, QString(), QString(), QString(), 0, QString(), u"2026-12-08 06:00:00"_s,
         QString()},
    };
    for (const gitsync::TopicRecord &t : topics) {
        gitsync::TopicRecord back;
        QString error;
        ASSERT_TRUE(gitsync::decodeTopic(gitsync::encodeTopic(t), &back, &error)) << error.toStdString();
        EXPECT_EQ(back, t);
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

TEST(SyncGit, AFilePushedToABareRepositoryByPathReachesAClone)
{
    TempDir dir;
    const QString bare = dir.mkdir(u"remote.git"_s), work = dir.mkdir(u"work"_s);
    ASSERT_TRUE(gitsync::Git(bare).run({u"init"_s, u"--bare"_s, u"-b"_s, u"notes"_s}).ok());
    const gitsync::Git git(work);
    for (const QStringList &args : {QStringList{u"init"_s, u"-b"_s, u"notes"_s}, {u"config"_s, u"user.name"_s, u"Test"_s},
                                    {u"config"_s, u"user.email"_s, u"test@localhost"_s}})
        ASSERT_TRUE(git.run(args).ok()) << args.join(u' ').toStdString();
    ASSERT_FALSE(TempDir::write(work + u"/note.json"_s, "{}\n").isEmpty());
    for (const QStringList &args : {QStringList{u"add"_s, u"note.json"_s}, {u"commit"_s, u"-m"_s, u"a note"_s},
                                    {u"push"_s, bare, u"notes"_s}}) {
        const gitsync::Git::Result r = git.run(args);
        ASSERT_TRUE(r.ok()) << args.join(u' ').toStdString() << ": " << r.error.toStdString();
    }
    const QString clone = dir.path() + u"/clone"_s;
    ASSERT_TRUE(gitsync::Git(dir.path()).run({u"clone"_s, bare, clone}).ok());
    EXPECT_TRUE(QFile::exists(clone + u"/note.json"_s));
}

TEST(SyncGit, ACommandPastItsDeadlineIsEndedAndSaysSo)
{
    TempDir dir;
    const gitsync::Git::Result r = gitsync::Git(dir.path()).run({u"-c"_s, u"alias.wait=!sleep 3"_s, u"wait"_s}, 300);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, u"git wait did not end within 1 s"_s);
}

namespace {

class SyncSnapshot : public StoreFixture {};

} // namespace

TEST_F(SyncSnapshot, TheStoresNotesReadBackFromTheFilesWrittenForThem)
{
    notes::Topics topics(ns);
    const int home = addCategory(u"Home"_s);
    addCategory(u"Work"_s);
    ASSERT_GT(topics.save({-1, home, u"Città"_s, u"{\\rtf1 caff\\'e8}"_s, u"caffè"_s, QDateTime(QDate(2026, 1, 2), QTime(3, 4)),
                 store::WallTime{QDate(2026, 2, 3), QTime(4, 5)}, 1}), 0);
    const int gone = topics.save({-1, home, u"Old"_s, u"{\\rtf1 old}"_s, u"old"_s, QDateTime(), {}, 0});
    ASSERT_EQ(topics.remove(gone), notes::Found::Yes);
    gitsync::Notes notes;
    ASSERT_TRUE(gitsync::readStore(ns, &notes)) << ns.errorText().toStdString();
    ASSERT_EQ(notes.topics.size(), 2);
    ASSERT_EQ(notes.categories.size(), 2);
    const QString root = dir.mkdir(u"copy"_s);
    QString error;
    ASSERT_TRUE(gitsync::writeTree(root, notes, &error)) << error.toStdString();
    gitsync::Notes back;
    ASSERT_TRUE(gitsync::readTree(root, &back, &error)) << error.toStdString();
    EXPECT_EQ(back, notes);
    const auto deleted = std::count_if(back.topics.begin(), back.topics.end(), [](const auto &t) { return !t.deleted.isEmpty(); });
    EXPECT_EQ(deleted, 1) << "the deleted topic travels as a deletion";
}

TEST_F(SyncSnapshot, FilesOfRecordsNoLongerThereAreRemoved)
{
    gitsync::Notes notes;
    notes.categories = {{u"0123456789abcdef0123456789abcdef"_s, u"Home"_s, QString()}};
    notes.topics = {{u"fedcba9876543210fedcba9876543210"_s, notes.categories[0].guid, u"Milk"_s, QString(), 0, QString(),
                     QString(), u"{\\rtf1 milk}"_s}};
    const QString root = dir.mkdir(u"copy"_s);
    QString error;
    ASSERT_TRUE(gitsync::writeTree(root, notes, &error));
    notes.topics.clear();
    ASSERT_TRUE(gitsync::writeTree(root, notes, &error));
    gitsync::Notes back;
    ASSERT_TRUE(gitsync::readTree(root, &back, &error));
    EXPECT_EQ(back, notes);
    EXPECT_FALSE(QFile::exists(root + u'/' + gitsync::topicBodyPath(u"fedcba9876543210fedcba9876543210"_s)));
}

TEST_F(SyncSnapshot, PublishedNotesReachAFreshCopyAndAnUnchangedPublishCommitsNothing)
{
    notes::Topics topics(ns);
    ASSERT_GT(topics.save({-1, addCategory(u"Home"_s), u"Milk"_s, u"{\\rtf1 milk}"_s, u"milk"_s, QDateTime(), {}, 0}), 0);
    gitsync::Notes notes;
    ASSERT_TRUE(gitsync::readStore(ns, &notes));
    const QString remote = dir.mkdir(u"remote.git"_s);
    ASSERT_TRUE(gitsync::Git(remote).run({u"init"_s, u"-q"_s, u"--bare"_s, u"-b"_s, u"notes"_s}).ok());
    gitsync::Repository desk(dir.path() + u"/desk"_s, remote, u"desk"_s);
    QString error;
    ASSERT_TRUE(desk.prepare(&error)) << error.toStdString();
    bool committed = false;
    ASSERT_TRUE(desk.publish(notes, &committed, &error)) << error.toStdString();
    EXPECT_TRUE(committed);
    ASSERT_TRUE(desk.publish(notes, &committed, &error)) << error.toStdString();
    EXPECT_FALSE(committed);
    gitsync::Repository laptop(dir.path() + u"/laptop"_s, remote, u"laptop"_s);
    ASSERT_TRUE(laptop.prepare(&error)) << error.toStdString();
    gitsync::Notes copied;
    ASSERT_TRUE(gitsync::readTree(dir.path() + u"/laptop"_s, &copied, &error)) << error.toStdString();
    EXPECT_EQ(copied, notes);
    EXPECT_EQ(TempDir::modeOf(dir.path() + u"/laptop"_s), 0700);
}
