// The program syncs its notes while it runs: on the Sync command and by
// itself, off the window's thread; what arrives shows in the lists, a
// conflict is told once in one window, a failure once.

#include "BrowserFixture.h"
#include "ModalDriver.h"
#include "SyncMachine.h"
#include "SyncRunner.h"
#include "SyncSettingsWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class SyncWindow : public BrowserFixture {
protected:
    void SetUp() override
    {
        BrowserFixture::SetUp();
        remote = home.mkdir(u"remote.git"_s);
        ASSERT_TRUE(gitsync::Git(remote).run({u"init"_s, u"-q"_s, u"--bare"_s}).ok());
        laptop = std::make_unique<SyncMachine>(home.mkdir(u"laptop"_s), u"laptop"_s, remote);
    }
    void setUp(const QString &url, bool automatic = false)
    {
        gitsync::SyncConfig config;
        config.remote = url;
        config.machine = u"desk"_s;
        config.automatic = automatic;
        ASSERT_TRUE(gitsync::writeConfig(session->store, config));
    }
    // Runs what starts a sync, and waits for its end.
    bool synced(const std::function<void()> &start)
    {
        QSignalSpy ended(&main->syncer(), &SyncRunner::ended);
        start();
        EXPECT_TRUE(ended.wait(30000));
        return !ended.isEmpty() && ended.constFirst().constFirst().toBool();
    }
    QString status() const { return main->StatusSync->text(); }

    QString remote;
    std::unique_ptr<SyncMachine> laptop;
};

} // namespace

TEST_F(SyncWindow, ATopicAddedOnAnotherMachineShowsInTheOpenCategoryAfterSync)
{
    setUp(remote);
    ASSERT_TRUE(synced([this] { QTest::keyClick(main->lstArgomenti, Qt::Key_F5); }));
    ASSERT_TRUE(laptop->sync());
    ASSERT_GT(laptop->add(laptop->categoryKey(u"beta"_s), u"From the laptop"_s, u"typed there"_s), 0);
    ASSERT_TRUE(laptop->sync());
    ASSERT_TRUE(synced([this] { main->mnuSync_Click(); }));
    EXPECT_TRUE(listTexts().contains(u"From the laptop"_s)) << listTexts().join(u", "_s).toStdString();
    EXPECT_TRUE(status().startsWith(u"Synced at "_s)) << status().toStdString();
}

TEST_F(SyncWindow, ATitleChangedOnBothMachinesIsToldOnceInOneWindowWithBothTopicsKept)
{
    setUp(remote);
    ASSERT_TRUE(synced([this] { main->mnuSync_Click(); }));
    ASSERT_TRUE(laptop->sync());
    ASSERT_EQ(notes::Topics(laptop->ns).rename(laptop->key(u"Agenda"_s), u"Diary"_s), notes::Found::Yes);
    ASSERT_TRUE(laptop->sync());
    ASSERT_EQ(session->topics.rename(topics["Agenda"], u"Planner"_s), notes::Found::Yes);
    services.dialogs.expectMsgBox();
    ASSERT_TRUE(synced([this] { main->mnuSync_Click(); }));
    const auto &told = services.dialogs.shown();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].prompt.contains(u"• Diary (conflict, laptop, "_s)) << told[0].prompt.toStdString();
    EXPECT_TRUE(listTexts().contains(u"Planner"_s));
    EXPECT_EQ(listTexts().filter(u"Diary (conflict, laptop, "_s).size(), 1) << listTexts().join(u", "_s).toStdString();
}

TEST_F(SyncWindow, ABackgroundSyncThatFailsIsToldOnceAndTriedAgainQuietly)
{
    setUp(home.path() + u"/gone.git"_s, true);
    EXPECT_FALSE(synced([this] { main->syncer().started(); }));
    EXPECT_FALSE(synced([this] { main->syncer().started(); }));
    EXPECT_EQ(services.notifier.notified.size(), 1);
    EXPECT_TRUE(status().startsWith(u"Sync failed at "_s)) << status().toStdString();
    EXPECT_TRUE(services.dialogs.shown().isEmpty()) << "no box for a sync nobody asked for";
}

TEST_F(SyncWindow, SyncWithoutARemoteOpensItsSettingsWhereOneIsKept)
{
    ModalDriver settings([](QWidget *w) { return qobject_cast<SyncSettingsWindow *>(w) != nullptr; },
                         [this](QWidget *w) {
                             auto *window = static_cast<SyncSettingsWindow *>(w);
                             window->remoteBox()->setText(remote);
                             window->machineBox()->setText(u"desk"_s);
                             window->automaticBox()->setChecked(false);
                             window->saveButton()->click();
                         },
                         10000);
    ASSERT_TRUE(synced([this] { main->mnuSync_Click(); }));
    gitsync::SyncConfig config;
    ASSERT_TRUE(gitsync::readConfig(session->store, &config));
    EXPECT_EQ(config.remote, remote);
    EXPECT_EQ(config.machine, u"desk"_s);
    EXPECT_FALSE(config.automatic);
    EXPECT_EQ(session->store.machineName, u"desk"_s) << "its versions carry the name too";
}

TEST_F(SyncWindow, AChangeStillWaitingAtExitIsSentAndNothingWaitingSendsNothing)
{
    setUp(remote, true);
    ASSERT_TRUE(synced([this] { main->mnuSync_Click(); }));
    QSignalSpy ended(&main->syncer(), &SyncRunner::ended);
    main->syncer().finish(5000);
    EXPECT_TRUE(ended.isEmpty()) << "no sync, and no wait, with nothing to send";
    ASSERT_EQ(session->topics.rename(topics["Agenda"], u"Planner"_s), notes::Found::Yes);
    main->syncer().finish(30000);
    ASSERT_EQ(ended.size(), 1);
    ASSERT_TRUE(laptop->sync());
    EXPECT_TRUE(laptop->notes().contains(u"beta/Planner: Body of Agenda"_s)) << laptop->notes().join(u", "_s).toStdString();
}

TEST_F(SyncWindow, PackingIsRefusedWhileASyncIsUnderWay)
{
    // A remote whose ssh takes its time, then fails.
    qputenv("GIT_SSH_COMMAND", "sleep 4; false");
    setUp(u"ssh://nowhere/notes.git"_s);
    services.dialogs.expectMsgBox();  // Packing refused
    services.dialogs.expectMsgBox();  // then the sync's own failure, asked for
    EXPECT_FALSE(synced([this] {
        main->mnuSync_Click();
        main->mnuCompatta_Click();
    }));
    qunsetenv("GIT_SSH_COMMAND");
    ASSERT_GE(services.dialogs.shown().size(), 1);
    EXPECT_EQ(services.dialogs.shown()[0].prompt, u"A sync is under way: pack the database when it has finished."_s);
    EXPECT_TRUE(session->store.isOpen());
}
