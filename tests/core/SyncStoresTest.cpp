// Machines that sync their notes through one remote: what one saves the
// others get, and nothing any of them saved is lost.

#include "notes/History.h"
#include "SyncMachine.h"
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

TEST_F(SyncStores, TheFirstSyncOfTwoMachinesWithNotesKeepsTheNotesOfBoth)
{
    auto desk = machine(u"desk"_s), laptop = machine(u"laptop"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    laptop->add(laptop->category(u"Home"_s), u"Tea"_s, u"green"_s);
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_TRUE(desk->sync());
    const QStringList both{u"Home/Milk: two litres"_s, u"Home/Tea: green"_s};
    EXPECT_EQ(desk->notes(), both) << "one Home, with the topics of both";
    EXPECT_EQ(laptop->notes(), both);
}

TEST_F(SyncStores, ATitleChangedOnBothMachinesKeepsBothTopicsAndSaysSo)
{
    auto desk = machine(u"desk"_s), laptop = machine(u"laptop"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_EQ(notes::Topics(desk->ns).rename(desk->key(u"Milk"_s), u"Milk!"_s), notes::Found::Yes);
    ASSERT_EQ(notes::Topics(laptop->ns).rename(laptop->key(u"Milk"_s), u"Oat milk"_s), notes::Found::Yes);
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_EQ(laptop->outcome.arrived.conflicts.size(), 1);
    EXPECT_TRUE(laptop->outcome.arrived.conflicts[0].startsWith(u"Milk! (conflict, desk, "_s))
        << laptop->outcome.arrived.conflicts[0].toStdString();
    ASSERT_TRUE(desk->sync());
    EXPECT_EQ(desk->notes(), laptop->notes());
    EXPECT_EQ(desk->notes().size(), 2);
    EXPECT_TRUE(desk->outcome.arrived.conflicts.isEmpty()) << "told once, where the merge was made";
}

TEST_F(SyncStores, AStateTheRemoteReplacesStaysAsAVersion)
{
    auto desk = machine(u"desk"_s), laptop = machine(u"laptop"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_TRUE(desk->edit(desk->key(u"Milk"_s), u"three litres"_s));
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    EXPECT_EQ(laptop->notes(), QStringList{u"Home/Milk: three litres"_s});
    bool ok = false;
    const auto versions = notes::History(laptop->ns).versionsOf(laptop->key(u"Milk"_s), &ok);
    ASSERT_EQ(versions.size(), 1);
    notes::Version before;
    ASSERT_EQ(notes::History(laptop->ns).version(versions[0].id, &before), notes::Found::Yes);
    EXPECT_EQ(before.plainText, u"two litres"_s);
}

TEST_F(SyncStores, ATopicDeletedOnOneMachineAndEditedOnTheOtherComesBack)
{
    auto desk = machine(u"desk"_s), laptop = machine(u"laptop"_s);
    desk->add(desk->category(u"Home"_s), u"Milk"_s, u"two litres"_s);
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_EQ(notes::Topics(desk->ns).remove(desk->key(u"Milk"_s)), notes::Found::Yes);
    ASSERT_TRUE(laptop->edit(laptop->key(u"Milk"_s), u"oat"_s));
    ASSERT_TRUE(desk->sync());
    ASSERT_TRUE(laptop->sync());
    ASSERT_TRUE(desk->sync());
    EXPECT_EQ(desk->notes(), QStringList{u"Home/Milk: oat"_s});
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
