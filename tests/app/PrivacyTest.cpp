// Other users of the same machine: the notes, and the lock and channel of a
// running copy, are the user's alone.

#include "AppFixture.h"
#include "places/Places.h"
#include "QtPlatform.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// Whether another user of the machine can open path for reading: tried by
// a child process that has become that user.
bool readableByAnotherUser(const QString &path)
{
    const QByteArray p = QFile::encodeName(path);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        ::_exit(::open(p.constData(), O_RDONLY) >= 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Sets or unsets an environment variable for one test.
struct Env {
    const char *name;
    const QByteArray old = qgetenv(name);
    const bool had = qEnvironmentVariableIsSet(name);
    Env(const char *n, const QByteArray &value) : name(n)
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~Env() { had ? qputenv(name, old) : qunsetenv(name); }
};

} // namespace

using Privacy = AppFixture;

TEST_F(Privacy, AFirstStartMakesTheDataFolderAndItsFilesTheUsersAloneWhateverTheUmask)
{
    const mode_t before = ::umask(022);
    const auto restore = qScopeGuard([before] { ::umask(before); });
    auto language = whenShown<frmLanguage>([](frmLanguage *w) { w->cmdOk->click(); });
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    const QString db = defaultFolder() + QStringLiteral("/quorvel.mdb");
    EXPECT_EQ(TempDir::modeOf(defaultFolder()), 0700);
    for (const QString &file : {db, db + QStringLiteral("-wal"), db + QStringLiteral("-shm")})
        EXPECT_EQ(TempDir::modeOf(file), 0600) << file.toStdString();
    if (::geteuid() != 0)
        GTEST_SKIP() << "reading as another user needs root to become one";
    // Only the program's own folders stand in the other user's way.
    for (const QString &open : {home.path(), home.path() + QStringLiteral("/share")})
        ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0755), 0);
    EXPECT_FALSE(readableByAnotherUser(db));
}

TEST_F(Privacy, ADataFolderOthersCouldReadIsClosedAtStartAndSaidOnce)
{
    makeDatabase(defaultFolder(), 1);
    const QString db = defaultFolder() + QStringLiteral("/quorvel.mdb");
    ASSERT_TRUE(QFile::setPermissions(defaultFolder(), QFileDevice::Permissions(0x7755)));
    ASSERT_TRUE(QFile::setPermissions(db, QFileDevice::Permissions(0x6644)));
    ASSERT_EQ(TempDir::modeOf(defaultFolder()), 0755);
    static QStringList said;
    said.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) {
        said << m;
    });
    for (int run = 0; run < 2; ++run)
        EXPECT_EQ(start(), frmPrincipale::LoadResult::Running);
    qInstallMessageHandler(previous);
    EXPECT_EQ(TempDir::modeOf(defaultFolder()), 0700);
    EXPECT_EQ(TempDir::modeOf(db), 0600);
    EXPECT_EQ(said.filter(QStringLiteral("it is now closed to them")).size(), 1) << said.join(u'\n').toStdString();
}

TEST_F(Privacy, ARuntimeFolderOthersCanEnterIsNeverUsedEvenTheUsersOwn)
{
    const QString open = home.mkdir(QStringLiteral("open runtime"));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    Env runtime("XDG_RUNTIME_DIR", open.toUtf8());
    const QString folder = places::RuntimeFolder(true);
    EXPECT_NE(folder, open);
    EXPECT_EQ(TempDir::modeOf(folder), 0700);
}

// Without XDG_RUNTIME_DIR (cron, sudo, some ssh sessions) the folders the
// lock and channel would use in the temporary folder may have been made by
// another user beforehand, who then holds the lock there.
TEST_F(Privacy, ARuntimeFolderAnotherUserMadeIsNeverUsed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to make folders another user owns";
    const QString tmp = home.mkdir(QStringLiteral("tmp"));
    ASSERT_EQ(::chmod(QFile::encodeName(tmp).constData(), 01777), 0);
    Env noRuntime("XDG_RUNTIME_DIR", QByteArray());
    Env temporary("TMPDIR", tmp.toUtf8());
    std::vector<int> held;
    for (const QString &planted : {tmp + QStringLiteral("/runtime-root"), tmp + QStringLiteral("/quorvel-0")}) {
        const QByteArray dir = QFile::encodeName(planted);
        ASSERT_EQ(::mkdir(dir.constData(), 0777), 0);
        ASSERT_EQ(::chmod(dir.constData(), 0777), 0);
        ASSERT_EQ(::chown(dir.constData(), kNobody, kNobody), 0);
        const QByteArray run = dir + "/quorvel.sock.run";
        const int fd = ::open(run.constData(), O_RDWR | O_CREAT, 0666);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::fchown(fd, kNobody, kNobody), 0);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        held.push_back(fd);
    }
    const QString channel = places::InstanceChannelPath(true);
    EXPECT_FALSE(channel.startsWith(tmp)) << channel.toStdString();
    const QString folder = QFileInfo(channel).path();
    EXPECT_EQ(QFileInfo(folder).ownerId(), 0u);
    EXPECT_EQ(TempDir::modeOf(folder), 0700);
    platform::LocalInstanceChannel copy;
    EXPECT_TRUE(copy.claim()) << "the program starts, whoever holds a lock elsewhere";
    for (const int fd : held)
        ::close(fd);
}
