#include "places/Places.h"

#include "places/AppEx.h"
#include "notes/NoteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace places {

QString ResolveDataFolder(AppEx &appEx, const QString &executablePath, bool *createNew, bool makeFolder)
{
    const QFileInfo exe(executablePath);
    QString folder;
    try {
        folder = appEx.PathAndSubDir(AppEx::kCommonAppData, QStringLiteral("Ostwick\\") + exe.completeBaseName(),
                                     makeFolder, 0);
    } catch (const AppError &e) {
        if (makeFolder || e.number() != AppEx::kErrSubDirMissing)
            throw;
    }
    *createNew = false;
    if (!folder.isEmpty() && store::FileExists(store::JoinPath(folder, store::kDatabaseFileName))) {
        // Made before its files were kept private. Only this folder, the
        // program's own: one named elsewhere may be shared on purpose.
        places::TightenDataFolder(folder);
        return folder;
    }
    const QString beside = exe.absolutePath();
    if (store::FileExists(store::JoinPath(beside, store::kDatabaseFileName)))
        return beside;
    // First start: neither place has a database; a new one goes into the
    // default folder, never beside the executable (often not writable).
    *createNew = true;
    return folder;
}


namespace {

// Only the user can enter it: a folder of their own, not a link, closed to
// everybody else.
bool isPrivateFolder(const QByteArray &dir)
{
    struct stat st {};
    return ::lstat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 077) == 0;
}

QString userName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(::geteuid());
}

// Files of a data folder that hold the notes or their state.
const char *const kStoreSuffixes[] = {"", "-wal", "-shm", "-journal", ".lock", ".run"};

} // namespace

namespace {
mode_t g_userUmask = 022;
bool g_private = false;
} // namespace

void KeepFilesPrivate()
{
    const mode_t was = ::umask(077);
    if (!g_private)
        g_userUmask = was;
    g_private = true;
}

mode_t UserUmask()
{
    if (!g_private) {
        const mode_t now = ::umask(077);
        ::umask(now);
        return now;
    }
    return g_userUmask;
}

void TightenDataFolder(const QString &folder)
{
    const QByteArray dir = QFile::encodeName(folder);
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || !(st.st_mode & 077) || ::fchmod(fd, st.st_mode & 0700) != 0) {
        ::close(fd);
        return;
    }
    for (const char *suffix : kStoreSuffixes) {
        const QByteArray name = QFile::encodeName(store::kDatabaseFileName) + suffix;
        const int file = ::openat(fd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            continue;
        struct stat f {};
        if (::fstat(file, &f) == 0 && S_ISREG(f.st_mode) && f.st_uid == ::geteuid())
            ::fchmod(file, f.st_mode & 0600);
        ::close(file);
    }
    ::close(fd);
    qWarning("Quorvel: the data folder %s could be read by other users of this computer; it is now closed to them.",
             dir.constData());
}

QString RuntimeFolder(bool create)
{
    QStringList refused;
    const auto usable = [&](const QString &dir) {
        const QByteArray d = QFile::encodeName(dir);
        if (create)
            ::mkdir(d.constData(), 0700);
        else if (struct stat st {}; ::lstat(d.constData(), &st) != 0)
            return true;  // not there yet: whoever makes it makes it private
        if (isPrivateFolder(d))
            return true;
        refused << dir;
        return false;
    };
    QString chosen;
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg) && usable(xdg)) {
        chosen = xdg;
    } else if (const QString shared = QDir::tempPath() + QStringLiteral("/runtime-") + userName(); usable(shared)) {
        chosen = shared;
    } else {
        // The user's own data home, which nobody else can have made.
        QString dataHome;
        try {
            dataHome = AppEx().Path(AppEx::kCommonAppData, false, 0);
        } catch (const AppError &) {
            dataHome = QDir::homePath();
        }
        chosen = dataHome + QStringLiteral("/Ostwick/quorvel/runtime");
        if (create)
            QDir().mkpath(QFileInfo(chosen).path());
        usable(chosen);
    }
    if (!refused.isEmpty())
        qWarning("Quorvel: not using %s for its lock and channel: it belongs to another user, or others can enter "
                 "it. Using %s instead.",
                 qPrintable(refused.join(QStringLiteral(", "))), qPrintable(chosen));
    return chosen;
}

void UsePrivateRuntimeFolder()
{
    // One that is set is left as it is, even when the program will not use
    // it: the display and sound servers are found through it.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(RuntimeFolder(true)));
}

QString InstanceChannelPath(bool create)
{
    const QString inRuntime = RuntimeFolder(create) + QStringLiteral("/quorvel.sock");
    // A local socket's name holds at most 107 bytes; past that, copies could
    // not reach each other and a second start would end without a word. A
    // long runtime folder gets a short one of the user's own instead.
    if (QFile::encodeName(inRuntime).size() <= 100)
        return inRuntime;
    const QByteArray dir = "/tmp/quorvel-" + QByteArray::number(getuid());
    if (create)
        ::mkdir(dir.constData(), 0700);
    if (!isPrivateFolder(dir))
        return inRuntime;
    return QFile::decodeName(dir) + QStringLiteral("/quorvel.sock");
}

QString RunLockPath(const QString &dataFolder)
{
    return store::JoinPath(dataFolder, store::kDatabaseFileName) + QStringLiteral(".run");
}

} // namespace places
