#include "TempDir.h"

#include <QDir>

TempDir::TempDir()
    : m_dir(QDir::tempPath() + QStringLiteral("/quorvel-test-XXXXXX"))
{
}

QString TempDir::mkdir(const QString &name) const
{
    QDir(m_dir.path()).mkpath(name);
    return m_dir.filePath(name);
}
