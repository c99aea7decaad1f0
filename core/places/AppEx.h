#pragma once
// Questions about the environment: the system's version, well-known folders
// (created on demand), whether a path exists, the computer and user names.
// Failures of Path, PathAndSubDir and OSVersion throw AppError with the
// numbers below; the other members never throw.

#include "places/AppError.h"

#include <QString>
#include <QVariant>

class AppEx {
public:
    // Well-known folder ids the program knows. 35 is the application-data
    // folder shared by the user's programs.
    enum FolderId : int {
        kDesktop = 0,
        kPersonal = 5,
        kAppData = 26,
        kLocalAppData = 28,
        kCommonAppData = 35,
    };
    static constexpr int kCreateFlag = 0x8000;

    static constexpr quint32 kErrOSVersion = 0x8004B106;
    static constexpr quint32 kErrPathMissing = 0x8004B112;
    static constexpr quint32 kErrPathInvalidId = 0x8004B114;
    static constexpr quint32 kErrPathSystem = 0x8004B116;
    static constexpr quint32 kErrSubDirMissing = 0x8004B122;
    static constexpr quint32 kErrSubDirInvalidId = 0x8004B124;
    static constexpr quint32 kErrSubDirSystem = 0x8004B126;

    AppEx();
    virtual ~AppEx() = default;

    void InitCommonControls() {}
    QString ComputerName() const;
    bool FSPresent(const QString &path) const;
    bool IDEMode() const { return false; }
    QVariant OSVersion(int item) const;
    QString Path(int folderId, bool create, int flags) const;
    QString PathAndSubDir(int folderId, const QString &subDir, bool create, int flags) const;
    QString UserName() const;

    int LastVersionError() const { return m_lastVersionError; }

protected:
    // Asks for the version again (after a subclass changed how).
    void reread() { readVersion(); }
    // The folder behind a well-known id, or empty when the id is unknown.
    virtual QString knownFolder(int folderId) const;
    // The version as major, minor, build; false when it cannot be learnt.
    virtual bool queryVersion(int *major, int *minor, int *build) const;

private:
    enum class QueryResult { Ok, Missing, InvalidId, SystemError };
    QueryResult query(int id, const QString &subDir, QString *out, int *systemCode) const;
    struct ErrorNumbers {
        quint32 missing, invalidId, system;
    };
    QString queryOrThrow(int folderId, const QString &subDir, bool create, const QString &source,
                         const ErrorNumbers &numbers) const;
    void readVersion();

    int m_major = 0;
    int m_minor = 0;
    int m_build = 0;
    int m_lastVersionError = 0;
    bool m_versionRead = false;
};
