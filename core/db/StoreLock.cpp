#include "db/StoreLock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace store {

StoreLock::Outcome StoreLock::acquire(const QString &lockFile, Kind kind, int waitMs)
{
    release();
    m_error.clear();
    const QByteArray path = QFile::encodeName(lockFile);
    const auto unusable = [&](const QString &why) {
        m_error = QStringLiteral("the lock file %1 cannot be used: %2").arg(lockFile, why);
        return Outcome::Unusable;
    };
    // Never through a link, and without waiting on a pipe put in its place.
    constexpr int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | flags, 0600);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
        fd = ::open(path.constData(), O_RDONLY | flags);
    if (fd < 0) {
        // A folder nobody can write: no file can be made there, and none of
        // the store's files can be written or replaced either.
        if (errno == ENOENT || ((errno == EACCES || errno == EROFS) && !QFileInfo::exists(lockFile)))
            return Outcome::Taken;
        return unusable(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat st {};
    struct stat folder {};
    const QByteArray dir = QFile::encodeName(QFileInfo(lockFile).absolutePath());
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return unusable(QStringLiteral("it is not a file"));
    }
    // Made by the administrator in a user's folder (sudo quorvel-cli ...):
    // given to the folder's owner, who could not open it otherwise.
    if (::geteuid() == 0 && st.st_uid == 0 && ::stat(dir.constData(), &folder) == 0 && folder.st_uid != 0
        && ::fchown(fd, folder.st_uid, folder.st_gid) == 0)
        st.st_uid = folder.st_uid;
    // Made by someone who is neither this user nor the folder's owner: a
    // lock they hold could keep this user out for as long as they like.
    if (st.st_uid != ::geteuid() && (::stat(dir.constData(), &folder) != 0 || st.st_uid != folder.st_uid)) {
        ::close(fd);
        return unusable(QStringLiteral("it belongs to another user"));
    }
    const int operation = (kind == Kind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    QElapsedTimer waited;
    waited.start();
    while (::flock(fd, operation) != 0) {
        const int error = errno;
        if ((error != EWOULDBLOCK && error != EINTR) || waited.elapsed() >= waitMs) {
            ::close(fd);
            // A file system without locks: nobody else can hold one either.
            return error != EWOULDBLOCK && error != EINTR ? Outcome::Taken : Outcome::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_fd = fd;
    return Outcome::Taken;
}

void StoreLock::release()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace store
