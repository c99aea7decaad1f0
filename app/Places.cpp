#include "Places.h"

#include "AppEx.h"
#include "NoteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Avvio {

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
    if (!folder.isEmpty() && store::FileExists(store::JoinPath(folder, store::kDatabaseFileName)))
        return folder;
    const QString beside = exe.absolutePath();
    if (store::FileExists(store::JoinPath(beside, store::kDatabaseFileName)))
        return beside;
    // First start: neither place has a database; a new one goes into the
    // default folder, never beside the executable (often not writable).
    *createNew = true;
    return folder;
}

} // namespace Avvio

namespace places {

QString RuntimeFolder(bool create)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/quorvel-%1").arg(getuid());
    if (create)
        QDir().mkpath(dir);
    return dir;
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
    // Trusted only when it is this user's own folder, closed to others.
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077))
        return inRuntime;
    return QFile::decodeName(dir) + QStringLiteral("/quorvel.sock");
}

bool ProgramRunning()
{
    const int fd = ::open(QFile::encodeName(InstanceChannelPath(false) + QStringLiteral(".run")).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace places
