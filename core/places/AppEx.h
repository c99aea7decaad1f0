#pragma once
// Well-known folders of the environment, created on demand. Failures throw
// AppError with the numbers below.

#include "places/AppError.h"

#include <QString>

class AppEx {
public:
    // The well-known folder the program uses: the application-data folder
    // shared by the user's programs.
    enum FolderId : int {
        kCommonAppData = 35,
    };

    static constexpr quint32 kErrPathMissing = 0x8004B112;
    static constexpr quint32 kErrPathInvalidId = 0x8004B114;
    static constexpr quint32 kErrPathSystem = 0x8004B116;
    static constexpr quint32 kErrSubDirMissing = 0x8004B122;
    static constexpr quint32 kErrSubDirInvalidId = 0x8004B124;
    static constexpr quint32 kErrSubDirSystem = 0x8004B126;

    AppEx() = default;
    virtual ~AppEx() = default;

    QString Path(int folderId, bool create, int flags) const;
    QString PathAndSubDir(int folderId, const QString &subDir, bool create, int flags) const;

protected:
    // The folder behind a well-known id, or empty when the id is unknown.
    virtual QString knownFolder(int folderId) const;

private:
    // A folder id's bit: make what is missing.
    static constexpr int kCreateFlag = 0x8000;
    enum class QueryResult { Ok, Missing, InvalidId, SystemError };
    QueryResult query(int id, const QString &subDir, QString *out, int *systemCode) const;
    struct ErrorNumbers {
        quint32 missing, invalidId, system;
    };
    QString queryOrThrow(int folderId, const QString &subDir, bool create, const QString &source,
                         const ErrorNumbers &numbers) const;
};
