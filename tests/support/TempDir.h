#pragma once
#include <QString>
#include <QTemporaryDir>

// A fresh folder per test, removed with the object; never the working folder.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Creates a sub-folder and returns its path.
    QString mkdir(const QString &name) const;

private:
    QTemporaryDir m_dir;
};
