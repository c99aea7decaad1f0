// Two real copies of the program against one user's runtime folder.

#include "AppFixture.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

#include <unistd.h>

class Instances : public AppFixture {
protected:
    void TearDown() override
    {
        for (QProcess *p : processes) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        AppFixture::TearDown();
    }
    QProcess *launch(const QStringList &args = {})
    {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/share"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(QUORVEL_EXE), args);
        processes << p;
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }
    // Whether a copy answers at socket, by default the runtime folder's.
    bool answering(const QString &socket = {}) const
    {
        QLocalSocket s;
        s.connectToServer(socket.isEmpty() ? runtime + QStringLiteral("/quorvel.sock") : socket);
        return s.waitForConnected(500);
    }
    bool waitUntilAnswering(const QString &socket = {}) { return QTest::qWaitFor([&] { return answering(socket); }, 15000); }
    // A runtime folder of the user's own, for the copies launched after.
    void useRuntime(const QString &name = QStringLiteral("runtime"))
    {
        runtime = home.mkdir(name);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString runtime;
    QList<QProcess *> processes;
};

TEST_F(Instances, TwoStartedTogetherLeaveOne)
{
    useRuntime();
    makeDatabase(defaultFolder(), 1);
    QProcess *a = launch();
    QProcess *b = launch();
    ASSERT_TRUE(waitUntilAnswering());
    // A process's state is learnt by waiting on it, or from the event loop
    // when it ended between two waits.
    const auto ended = [](QProcess *p) { return p->waitForFinished(100) || p->state() == QProcess::NotRunning; };
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended(a) || ended(b); }, 15000)) << "one of the two ends";
    a->waitForFinished(500);
    b->waitForFinished(500);
    const int running = (a->state() == QProcess::Running) + (b->state() == QProcess::Running);
    EXPECT_EQ(running, 1) << a->readAllStandardError().toStdString() << "|" << b->readAllStandardError().toStdString();
}

TEST_F(Instances, AKilledCopyBlocksNothing)
{
    useRuntime();
    makeDatabase(defaultFolder(), 1);
    QProcess *first = launch();
    ASSERT_TRUE(waitUntilAnswering());
    first->kill();  // SIGKILL: the socket file stays behind
    first->waitForFinished(5000);
    EXPECT_TRUE(QFile::exists(runtime + QStringLiteral("/quorvel.sock")));
    EXPECT_FALSE(answering());
    launch();
    EXPECT_TRUE(waitUntilAnswering()) << "the new copy runs and answers";
}

TEST_F(Instances, ACopyThatCannotBeReachedStillKeepsOthersOut)
{
    useRuntime();
    makeDatabase(defaultFolder(), 1);
    QProcess *running = launch();
    ASSERT_TRUE(waitUntilAnswering());
    // Its socket gone, the running copy can no longer be found.
    ASSERT_TRUE(QFile::remove(runtime + QStringLiteral("/quorvel.sock")));
    QProcess *second = launch();
    EXPECT_TRUE(second->waitForFinished(15000)) << "the second copy ends";
    EXPECT_EQ(running->state(), QProcess::Running);
}

TEST_F(Instances, ARuntimeFolderTooLongForASocketStillHandsOver)
{
    // The copies meet on a short folder of the user's own.
    makeDatabase(defaultFolder(), 1);
    useRuntime(QString(110, QLatin1Char('r')));
    QProcess *onShortFolder = launch();
    ASSERT_TRUE(waitUntilAnswering(QStringLiteral("/tmp/quorvel-%1/quorvel.sock").arg(getuid())));
    QProcess *handing = launch({QStringLiteral("/M")});
    ASSERT_TRUE(handing->waitForFinished(15000));
    QByteArray said;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (said += onShortFolder->readAllStandardError()).contains("MIN"); }, 10000))
        << "the second copy's command reaches the first: " << said.toStdString();
}

// Another session (ssh, sudo, cron) has a runtime folder of its own: a
// copy started there cannot hand over, and is kept off the data folder.
TEST_F(Instances, ASecondProgramOnTheSameDataFolderFromAnotherSessionSaysSoAndStaysOff)
{
    makeDatabase(defaultFolder(), 1);
    useRuntime(QStringLiteral("desktop"));
    const QString desktopSocket = runtime + QStringLiteral("/quorvel.sock");
    QProcess *first = launch();
    ASSERT_TRUE(waitUntilAnswering());
    useRuntime(QStringLiteral("ssh"));
    QProcess *second = launch();
    QByteArray said;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (said += second->readAllStandardError()).contains("already running on this data folder"); }, 15000))
        << said.toStdString();
    EXPECT_TRUE(answering(desktopSocket));
    EXPECT_EQ(first->state(), QProcess::Running);
}
