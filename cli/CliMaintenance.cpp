// backup and check: a copy of the store taken through SQLite's online
// backup, and the integrity of the store and of its search index.

#include "CliCommand.h"

#include "Cli.h"

#include <QDir>
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

namespace cli {

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
        store::NoteStore::removeDatabaseFile(partial);
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

int backup(Command &c)
{
    if (c.unknownOption())
        return kError;
    c.words.removeOne(QStringLiteral("--"));
    if (c.words.size() != 1)
        return c.usage(QStringLiteral("backup needs one file name"));
    const QString target = QFileInfo(c.words.first()).absoluteFilePath();
    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    QString error;
    if (!copyStore(ns, target, &error))
        return c.fail(error);
    c.out << "backed up " << ns.DatabasePath << " to " << target << '\n';
    return kDone;
}

int check(Command &c)
{
    if (c.unknownOption())
        return kError;
    c.words.removeOne(QStringLiteral("--"));
    if (!c.words.isEmpty())
        return c.usage(QStringLiteral("check takes no arguments"));
    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    bool ok = true;
    {
        Snapshot snapshot(ns.dbNotes);
        store::Statement st(ns.dbNotes, QStringLiteral("PRAGMA integrity_check"));
        QStringList problems;
        while (st.step())
            if (st.columnText(0) != QLatin1String("ok"))
                problems << st.columnText(0);
        if (st.failed())
            problems << ns.errorText();
        ok = problems.isEmpty();
        if (ok)
            c.out << "store: ok\n";
        else
            c.fail(QStringLiteral("store: damaged\n%1").arg(problems.join(QLatin1Char('\n'))));
    }
    if (!ns.hasTopicIndex()) {
        c.out << "search index: none (Quorvel makes it when it next opens the notes)\n";
        return ok ? kDone : kError;
    }
    // The index's own check is a write statement to SQLite, which a reader
    // cannot run and a writer would run holding back the program's saves
    // for its whole length: it runs on a copy instead.
    // Beside the store, where there is room for it, else in the temporary
    // folder.
    auto scratch = std::make_unique<QTemporaryDir>(QFileInfo(ns.DatabasePath).absolutePath()
                                                   + QStringLiteral("/quorvel-check-XXXXXX"));
    if (!scratch->isValid())
        scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid())
        return c.fail(QStringLiteral("no folder to copy the store to for checking its search index"));
    const QString copyPath = scratch->filePath(store::kDatabaseFileName);
    QString error;
    if (!copyStore(ns, copyPath, &error))
        return c.fail(error);
    store::Connection copy;
    if (!copy.open(copyPath, false))
        return c.fail(copy.errors().constLast().description);
    const int rc = sqlite3_exec(copy.handle(), "INSERT INTO ArgomentiFts(ArgomentiFts, rank) VALUES ('integrity-check', 1)",
                                nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        c.out << "search index: ok\n";
    } else {
        ok = false;
        c.fail(QStringLiteral("search index: %1").arg(QString::fromUtf8(sqlite3_errmsg(copy.handle()))));
    }
    copy.close();
    return ok ? kDone : kError;
}

} // namespace cli
