#include "places/AppEx.h"

#include <QDir>
#include <QFileInfo>

QString AppEx::knownFolder(int folderId) const
{
    const auto dataHome = [] {
        // The per-user data folder of the desktop, which a user can write to.
        const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
        if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
            return QDir::cleanPath(xdg);
        return QDir::homePath() + QStringLiteral("/.local/share");
    };
    return folderId == kCommonAppData ? dataHome() : QString();
}

AppEx::QueryResult AppEx::query(int id, const QString &subDir, QString *out, int *systemCode) const
{
    const bool create = (id & kCreateFlag) != 0;
    const QString base = knownFolder(id & ~kCreateFlag);
    if (base.isEmpty())
        return QueryResult::InvalidId;
    QString path = base;
    QString sub = subDir;
    sub.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (sub.endsWith(QLatin1Char('/')))
        sub.chop(1);
    if (!sub.isEmpty())
        path = QDir::cleanPath(base + QLatin1Char('/') + sub);
    if (!QFileInfo(path).isDir()) {
        if (!create)
            return QueryResult::Missing;
        if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
            *systemCode = int(0x80070005);  // access denied
            return QueryResult::SystemError;
        }
    }
    *out = path;
    return QueryResult::Ok;
}

QString AppEx::Path(int folderId, bool create, int /*flags*/) const
{
    return queryOrThrow(folderId, QString(), create, QStringLiteral("AppEx.Path"),
                        {kErrPathMissing, kErrPathInvalidId, kErrPathSystem});
}

QString AppEx::PathAndSubDir(int folderId, const QString &subDir, bool create, int /*flags*/) const
{
    // The folder query needs no particular version of this system: its
    // version (Alpine's is 3.x) must never stop the start.
    return queryOrThrow(folderId, subDir, create, QStringLiteral("AppEx.PathAndSubDir"),
                        {kErrSubDirMissing, kErrSubDirInvalidId, kErrSubDirSystem});
}

QString AppEx::queryOrThrow(int folderId, const QString &subDir, bool create, const QString &source,
                            const ErrorNumbers &numbers) const
{
    QString out;
    int code = 0;
    switch (query(create ? folderId | kCreateFlag : folderId, subDir, &out, &code)) {
    case QueryResult::Ok:
        return out;
    case QueryResult::InvalidId:
        throw AppError(numbers.invalidId, source, QStringLiteral("Invalid PathId for requested function"));
    case QueryResult::Missing:
        throw AppError(numbers.missing, source, QStringLiteral("Valid PathId but folder doesn't exist"));
    case QueryResult::SystemError:
        break;
    }
    throw AppError(numbers.system, source, QStringLiteral("System error %1").arg(code));
}
