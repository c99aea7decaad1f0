#include "notes/Maintenance.h"

#include "notes/NoteStore.h"
#include "notes/Reading.h"
#include "db/Sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace notes {

bool renameNoReplace(int fromFolder, const char *from, int toFolder, const char *to)
{
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::linkat(fromFolder, from, toFolder, to, 0) == 0) {
        // In place; a temporary name left beside it would harm nothing.
        ::unlinkat(fromFolder, from, 0);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
    struct stat st {};
    if (::fstatat(toFolder, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(fromFolder, from, toFolder, to) == 0;
}

bool copyStore(store::NoteStore &ns, const QString &target, QString *error)
{
    if (QFileInfo::exists(target)) {
        *error = QStringLiteral("%1 already exists").arg(target);
        return false;
    }
    // Written under a name of its own beside the target and given the
    // target's name only once whole and on the disk: a copy cut short, by
    // a kill or a full disk, is never taken for a backup.
    QByteArray pattern = QFile::encodeName(target) + ".part-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        *error = QStringLiteral("cannot write in %1: %2")
                     .arg(QFileInfo(target).absolutePath(), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::close(fd);
    const QString partial = QFile::decodeName(pattern);
    const auto fail = [&](const QString &why) {
        static_cast<void>(store::NoteStore::removeDatabaseFile(partial));
        QFile::remove(partial);
        *error = why;
        return false;
    };
    store::Connection copy;
    if (!copy.open(partial, true))
        return fail(copy.errors().constLast().description);
    // In one step: the whole copy is read in one transaction, so it is one
    // state of the file however the program writes meanwhile.
    sqlite3_backup *b = sqlite3_backup_init(copy.handle(), "main", ns.dbNotes.handle(), "main");
    if (!b)
        return fail(QString::fromUtf8(sqlite3_errmsg(copy.handle())));
    const int stepped = sqlite3_backup_step(b, -1);
    const int finished = sqlite3_backup_finish(b);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errstr(stepped != SQLITE_DONE ? stepped : finished));
        copy.close();
        return fail(why);
    }
    copy.close();
    if (!store::SyncFileToDisk(partial))
        return fail(QStringLiteral("%1 could not be written to the disk").arg(target));
    // Never over a file that appeared meanwhile.
    if (!renameNoReplace(AT_FDCWD, pattern.constData(), AT_FDCWD, QFile::encodeName(target).constData()))
        return fail(QStringLiteral("cannot name the copy %1: %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    store::SyncFileToDisk(target);
    return true;
}

QStringList integrityProblems(store::NoteStore &ns)
{
    ReadSnapshot snapshot(ns);
    store::Statement st(ns.dbNotes, QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    while (st.step())
        if (st.columnText(0) != QLatin1String("ok"))
            problems << st.columnText(0);
    if (st.failed())
        problems << ns.errorText();
    return problems;
}

IndexCheck checkTopicIndex(store::NoteStore &ns, QString *why)
{
    if (!ns.hasTopicIndex())
        return IndexCheck::None;
    auto scratch = std::make_unique<QTemporaryDir>(QFileInfo(ns.DatabasePath).absolutePath()
                                                   + QStringLiteral("/quorvel-check-XXXXXX"));
    if (!scratch->isValid())
        scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid()) {
        *why = QStringLiteral("no folder to copy the store to for checking its search index");
        return IndexCheck::Damaged;
    }
    const QString copyPath = scratch->filePath(store::kDatabaseFileName);
    if (!copyStore(ns, copyPath, why))
        return IndexCheck::Damaged;
    store::Connection copy;
    if (!copy.open(copyPath, false)) {
        *why = copy.errors().constLast().description;
        return IndexCheck::Damaged;
    }
    const int rc = sqlite3_exec(copy.handle(), "INSERT INTO ArgomentiFts(ArgomentiFts, rank) VALUES ('integrity-check', 1)",
                                nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return IndexCheck::Sound;
    *why = QString::fromUtf8(sqlite3_errmsg(copy.handle()));
    return IndexCheck::Damaged;
}

} // namespace notes
