#pragma once
#include <QMap>
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
    // A file's bytes, empty when it cannot be read; writing returns the
    // path, or nothing when the file could not be written whole.
    static QByteArray read(const QString &path);
    static QString write(const QString &path, const QByteArray &bytes);
    // Every file and folder under folder with its bytes ("<folder>" for a
    // folder), to compare a folder with itself before and after.
    static QMap<QString, QByteArray> contents(const QString &folder);
    // A file's permission bits (a link's own), -1 when there is no file.
    static int modeOf(const QString &path);

private:
    QTemporaryDir m_dir;
};
