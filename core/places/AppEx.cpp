#include "places/AppEx.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

AppEx::AppEx()
{
    readVersion();
}

void AppEx::readVersion()
{
    m_versionRead = queryVersion(&m_major, &m_minor, &m_build);
    // ENOSYS-like code: the system could not tell its version.
    m_lastVersionError = m_versionRead ? 0 : 38;
}

bool AppEx::queryVersion(int *major, int *minor, int *build) const
{
    // The distribution's version when it has one (Debian 12 -> 12.0), else
    // the kernel's.
    const auto parse = [&](const QString &text) {
        const QStringList parts = text.split(QLatin1Char('.'));
        bool ok = false;
        const int ma = parts.value(0).toInt(&ok);
        if (!ok)
            return false;
        *major = ma;
        *minor = parts.value(1).toInt();
        *build = parts.value(2).section(QLatin1Char('-'), 0, 0).toInt();
        return true;
    };
    return parse(QSysInfo::productVersion()) || parse(QSysInfo::kernelVersion());
}

QVariant AppEx::OSVersion(int item) const
{
    if (m_lastVersionError != 0)
        throw AppError(kErrOSVersion, QStringLiteral("AppEx.OSVersion"),
                       QStringLiteral("System error retrieving information %1").arg(m_lastVersionError));
    switch (item) {
    case 0:
        return m_build;
    case 1:
        return m_major;
    case 2:
        return m_minor;
    case 3:
        return 2;  // a multi-user system of the modern family
    case 4:
        return 1;  // workstation
    case 5:
        return QString();
    case 6:
        return 0.0f;
    case 7:
        return float(QStringLiteral("%1.%2").arg(m_major).arg(m_minor).toFloat());
    case 8:
        return true;  // product type 1 has its lowest bit set
    default:
        return QVariant();
    }
}

QString AppEx::knownFolder(int folderId) const
{
    const auto dataHome = [] {
        // The per-user data folder of the desktop, which a user can write to.
        const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
        if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
            return QDir::cleanPath(xdg);
        return QDir::homePath() + QStringLiteral("/.local/share");
    };
    switch (folderId) {
    case kCommonAppData:
    case kAppData:
    case kLocalAppData:
        return dataHome();
    case kPersonal:
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    case kDesktop:
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    default:
        return QString();
    }
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

bool AppEx::FSPresent(const QString &path) const
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString AppEx::ComputerName() const
{
    return QSysInfo::machineHostName().left(31);
}

QString AppEx::UserName() const
{
    if (const passwd *pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name).left(254);
    return qEnvironmentVariable("USER").left(254);
}
