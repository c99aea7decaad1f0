// Machines that sync their notes through one remote: what one saves the
// others get, and nothing any of them saved is lost.

#include "SyncMachine.h"
#include "sync/StoreSide.h"
#include "TempDir.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class SyncStores : public ::testing::Test {
protected:
    void SetUp() override
    {
        remote = dir.mkdir(u"remote.git"_s);
        ASSERT_TRUE(gitsync::Git(remote).run({u"init"_s, u"-q"_s, u"--bare"_s}).ok());
    }
    std::unique_ptr<SyncMachine> machine(const QString &name)
    {
        return std::make_unique<SyncMachine>(dir.mkdir(name), name, remote);
    }

    TempDir dir;
    QString remote;
};

} // namespace

TEST_F(SyncStores, AFreshMachineGetsEveryNoteOfTheRemote)
{
    auto desk = machine(u"desk"_s);
    const int home = desk->category(u"Home"_s);
    desk->add(home, u"Milk"_s, u"two litres"_s);
    desk->add(desk->category(u"Work"_s), u"Report"_s, u"by Friday"_s);
    ASSERT_EQ(notes::Topics(desk->ns).remove(desk->add(home, u"Old"_s, u"gone"_s)), notes::Found::Yes);
    ASSERT_TRUE(desk->sync());
    auto laptop = machine(u"laptop"_s);
    ASSERT_TRUE(laptop->sync());
    EXPECT_EQ(laptop->notes(), QStringList({u"Home/Milk: two litres"_s, u"Work/Report: by Friday"_s}));
    EXPECT_EQ(TempDir::modeOf(laptop->settings.repository), 0700);
}

TEST_F(SyncStores, MoreTopicsThanAreMergedOrSentAtOnceAllArrive)
{
    auto desk = machine(u"desk"_s), laptop = machine(u"laptop"_s);
    QList<notes::NewTopic> many;
    for (int i = 0; i < 2100; ++i)
        many.append({u"T%1"_s.arg(i), u"{\\rtf1 %1}"_s.arg(i), QString::number(i)});
    QList<int> keys;
    ASSERT_TRUE(notes::Topics(desk->ns).addMany(-1, u"Bulk"_s, many, QDateTime::currentDateTime(), &keys));
    ASSERT_TRUE(desk->sync());
    EXPECT_EQ(desk->outcome.sent, 2101);
    ASSERT_TRUE(laptop->sync());
    EXPECT_EQ(laptop->outcome.arrived.changed, 2101);
    EXPECT_EQ(laptop->notes(), desk->notes());
}

TEST_F(SyncStores, ACategoryDeletedWhileATopicWentIntoItElsewhereComesBackWithIt)
{
    auto desk = machine(u"desk"_s), laptop = machine(u"laptop"_s);
    desk->category(u"Work"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_EQ(notes::Categories(desk->ns).remove(desk->categoryKey(u"Work"_s)), notes::Found::Yes);
    ASSERT_TRUE(notes::Topics(laptop->ns).move(laptop->key(u"Milk"_s), laptop->categoryKey(u"Work"_s)));
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_TRUE(desk->sync());
    EXPECT_EQ(desk->notes(), QStringList{u"Work/Milk: two litres"_s});
    EXPECT_EQ(laptop->notes(), desk->notes());
}

TEST_F(SyncStores, AMergeDoneAgainAfterItWasCutShortKeepsOneTopicForEachConflict)
{
    auto laptop = machine(u"laptop"_s);
    laptop->add(laptop->category(u"Home"_s), u"Oat milk"_s, u"two litres"_s);
    gitsync::Records mine;
    const QString id = [&] {
        store::Statement st(laptop->ns.dbNotes, u"SELECT Guid FROM ArgomentiId"_s);
        return st.step() ? st.columnText(0) : QString();
    }();
    ASSERT_TRUE(gitsync::readHere(laptop->ns, {id}, &mine));
    gitsync::Records base, theirs;
    base.topics.insert(id, mine.topics.value(id));
    base.topics[id].title = u"Milk"_s;
    theirs.topics.insert(id, base.topics.value(id));
    theirs.topics[id].title = u"Milk!"_s;
    const gitsync::Fetch fetch = [&](const QSet<QString> &, gitsync::Records *b, gitsync::Records *t, QString *) {
        *b = base;
        *t = theirs;
        return true;
    };
    for (int i = 0; i < 2; ++i) {
        gitsync::Arrived arrived;
        QString error;
        ASSERT_TRUE(gitsync::mergeIntoStore(laptop->ns, {id}, {}, fetch, QString(), gitsync::defaultConflictTitle,
                                            &arrived, &error))
            << error.toStdString();
    }
    EXPECT_EQ(laptop->notes().filter(u"Milk! (conflict, "_s).size(), 1) << laptop->notes().join(u", "_s).toStdString();
}

TEST_F(SyncStores, AMachinePointedAtAnotherRemoteSendsEveryNoteThere)
{
    auto desk = machine(u"desk"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    ASSERT_TRUE(desk->sync());
    const QString other = dir.mkdir(u"other.git"_s);
    ASSERT_TRUE(gitsync::Git(other).run({u"init"_s, u"-q"_s, u"--bare"_s}).ok());
    desk->settings.remote = other;
    ASSERT_TRUE(desk->sync());
    SyncMachine laptop(dir.mkdir(u"laptop"_s), u"laptop"_s, other);
    ASSERT_TRUE(laptop.sync());
    EXPECT_EQ(laptop.notes(), desk->notes());
}

TEST_F(SyncStores, APushRefusedBecauseTheRemoteMovedIsMergedAndPushedAgain)
{
    auto desk = machine(u"desk"_s), laptop = machine(u"laptop"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    laptop->add(laptop->category(u"Work"_s), u"Report"_s, u"by Friday"_s);
    bool once = false;
    desk->settings.merged = [&] {
        if (!std::exchange(once, true)) {
            ASSERT_TRUE(laptop->sync());  // the remote moves under the desk's sync
        }
    };
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    EXPECT_EQ(desk->notes(), QStringList({u"Home/Milk: two litres"_s, u"Work/Report: by Friday"_s}));
    EXPECT_EQ(laptop->notes(), desk->notes());
}

TEST_F(SyncStores, ARemoteThatCannotBeReachedChangesNothingHere)
{
    auto desk = machine(u"desk"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    desk->settings.remote = dir.path() + u"/nowhere.git"_s;
    const QStringList before = desk->notes();
    gitsync::SyncOutcome outcome;
    QString error;
    EXPECT_FALSE(gitsync::syncStore(desk->ns, desk->settings, &outcome, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(desk->notes(), before);
    desk->settings.remote = remote;
    ASSERT_TRUE(desk->sync());
    EXPECT_EQ(desk->outcome.sent, 2) << "what was not sent then is sent now";
}

TEST_F(SyncStores, ASyncWithNothingChangedSendsNothing)
{
    auto desk = machine(u"desk"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    ASSERT_TRUE(desk->sync());
    const QString commit = desk->outcome.commit;
    ASSERT_TRUE(desk->sync());
    EXPECT_EQ(desk->outcome.sent, 0);
    EXPECT_EQ(desk->outcome.commit, commit);
}
