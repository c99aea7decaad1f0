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
    return RuntimeFolder(create) + QStringLiteral("/quorvel.sock");
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
