#include "TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>

TempDir::TempDir()
    : m_dir(QDir::tempPath() + QStringLiteral("/quorvel-test-XXXXXX"))
{
}

QString TempDir::mkdir(const QString &name) const
{
    QDir(m_dir.path()).mkpath(name);
    return m_dir.filePath(name);
}

QByteArray TempDir::read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TempDir::write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
}

int TempDir::modeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QMap<QString, QByteArray> TempDir::contents(const QString &folder)
{
    QMap<QString, QByteArray> out;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString p = it.next();
        out[p] = it.fileInfo().isDir() ? QByteArray("<folder>") : read(p);
    }
    return out;
}
