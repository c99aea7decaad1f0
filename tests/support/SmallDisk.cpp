#include "SmallDisk.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

SmallDisk::SmallDisk(int megabytes)
{
    if (::geteuid() != 0) {
        m_why = QStringLiteral("mounting a small file system needs root");
        return;
    }
    const QByteArray options = QByteArray("size=") + QByteArray::number(megabytes) + "m";
    if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0) {
        m_why = QStringLiteral("cannot mount a tmpfs here: ") + QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk()
{
    // Lazily, so that a file a failed test left open cannot keep it mounted.
    if (m_mounted)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

bool SmallDisk::makeFileReadOnly(const QString &file)
{
    const QByteArray f = QFile::encodeName(file);
    return m_mounted && ::mount(f.constData(), f.constData(), nullptr, MS_BIND, nullptr) == 0
        && ::mount(nullptr, f.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

bool SmallDisk::remountReadOnly()
{
    return m_mounted
        && ::mount(nullptr, QFile::encodeName(path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                   nullptr) == 0;
}
