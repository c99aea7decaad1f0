// Real remotes, started and stopped by the tests: git's own daemon, and an
// ssh server on a local port that takes only a key made for the test, used
// through an ssh configuration as a user's would be.

#include "SyncMachine.h"
#include "TempDir.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <memory>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// Waits until something listens on port.
bool listening(int port)
{
    for (int i = 0; i < 100; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(50);
    }
    return false;
}

class SyncRemotes : public ::testing::Test {
protected:
    void SetUp() override
    {
        bare = dir.mkdir(u"remote.git"_s);
        ASSERT_TRUE(gitsync::Git(bare).run({u"init"_s, u"-q"_s, u"--bare"_s}).ok());
    }
    void TearDown() override
    {
        stopServer();
        qunsetenv("GIT_SSH_COMMAND");
    }
    void startDaemon()
    {
        port = freePort();
        server = std::make_unique<QProcess>();
        // The daemon itself, not git's wrapper, which would leave it running
        // when killed.
        QProcess where;
        where.start(u"git"_s, {u"--exec-path"_s});
        ASSERT_TRUE(where.waitForFinished());
        server->start(QString::fromLocal8Bit(where.readAllStandardOutput()).trimmed() + u"/git-daemon"_s, {u"--reuseaddr"_s, u"--export-all"_s, u"--enable=receive-pack"_s,
                                 u"--listen=127.0.0.1"_s, u"--port=%1"_s.arg(port), u"--base-path=%1"_s.arg(dir.path()),
                                 dir.path()});
        ASSERT_TRUE(server->waitForStarted()) << server->errorString().toStdString();
        ASSERT_TRUE(listening(port)) << "git daemon did not listen";
    }
    void stopServer()
    {
        if (server) {
            server->kill();
            server->waitForFinished();
            server.reset();
        }
    }
    // Two machines, one remote: a topic typed on the desk reaches the laptop.
    void expectATopicTravels(const QString &url)
    {
        SyncMachine desk(dir.mkdir(u"desk"_s), u"desk"_s, url), laptop(dir.mkdir(u"laptop"_s), u"laptop"_s, url);
        ASSERT_GT(desk.add(desk.category(u"Home"_s), u"Milk"_s, u"two litres"_s), 0);
        ASSERT_TRUE(desk.sync());
        ASSERT_TRUE(laptop.sync());
        EXPECT_EQ(laptop.notes(), QStringList{u"Home/Milk: two litres"_s});
    }

    TempDir dir;
    QString bare;
    int port = 0;
    std::unique_ptr<QProcess> server;
};

} // namespace

TEST_F(SyncRemotes, TwoMachinesSyncThroughSshWithTheKeyTheUsersSshConfigurationNames)
{
    const QString keys = dir.mkdir(u"keys"_s);
    for (const QString &key : {u"host"_s, u"user"_s})
        ASSERT_EQ(QProcess::execute(u"ssh-keygen"_s, {u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, QString(), u"-f"_s,
                                                     keys + u'/' + key}),
                  0);
    QFile::copy(keys + u"/user.pub"_s, keys + u"/authorized_keys"_s);
    // The server runs as whoever runs the tests, on its own port.
    if (::geteuid() == 0)
        QDir().mkpath(u"/run/sshd"_s);
    port = freePort();
    const QString serverConfig = TempDir::write(
        keys + u"/sshd_config"_s,
        u"Port %1\nListenAddress 127.0.0.1\nHostKey %2/host\nAuthorizedKeysFile %2/authorized_keys\n"
        "PasswordAuthentication no\nKbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\n"
        "PidFile %2/sshd.pid\nPermitRootLogin prohibit-password\n"_s.arg(port).arg(keys).toUtf8());
    server = std::make_unique<QProcess>();
    server->start(u"/usr/sbin/sshd"_s, {u"-D"_s, u"-e"_s, u"-f"_s, serverConfig});
    ASSERT_TRUE(server->waitForStarted()) << server->errorString().toStdString();
    ASSERT_TRUE(listening(port)) << server->readAllStandardError().toStdString();
    // As a user's ~/.ssh/config would name the host, its port and its key.
    const QString clientConfig = TempDir::write(
        keys + u"/ssh_config"_s,
        u"Host notes-host\n  HostName 127.0.0.1\n  Port %1\n  User %2\n  IdentityFile %3/user\n"
        "  IdentitiesOnly yes\n  BatchMode yes\n  StrictHostKeyChecking no\n  UserKnownHostsFile /dev/null\n"
        "  LogLevel ERROR\n"_s.arg(port).arg(qEnvironmentVariable("USER", u"root"_s), keys).toUtf8());
    qputenv("GIT_SSH_COMMAND", (u"ssh -F "_s + clientConfig).toUtf8());
    expectATopicTravels(u"ssh://notes-host"_s + bare);
}

TEST_F(SyncRemotes, ARemoteThatGoesAwayMidSyncLeavesTheChangeWaitingAndTheNextSyncSendsIt)
{
    startDaemon();
    const QString url = u"git://127.0.0.1:%1/remote.git"_s.arg(port);
    SyncMachine desk(dir.mkdir(u"desk"_s), u"desk"_s, url), laptop(dir.mkdir(u"laptop"_s), u"laptop"_s, url);
    ASSERT_GT(desk.add(desk.category(u"Home"_s), u"Milk"_s, u"two litres"_s), 0);
    const QStringList before = desk.notes();
    desk.settings.merged = [this] { stopServer(); };
    gitsync::SyncOutcome outcome;
    QString error;
    EXPECT_FALSE(gitsync::syncStore(desk.ns, desk.settings, &outcome, &error));
    EXPECT_EQ(desk.notes(), before);
    gitsync::SyncConfig waiting;
    ASSERT_TRUE(gitsync::readConfig(desk.ns, &waiting));
    EXPECT_EQ(waiting.waiting, 2) << "the category and the topic wait";
    desk.settings.merged = {};
    startDaemon();
    desk.settings.remote = laptop.settings.remote = u"git://127.0.0.1:%1/remote.git"_s.arg(port);
    ASSERT_TRUE(desk.sync());
    ASSERT_TRUE(laptop.sync());
    EXPECT_EQ(laptop.notes(), before);
}
