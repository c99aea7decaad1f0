// backup and check: a copy of the store taken through SQLite's online
// backup, and the integrity of the store and of its search index.

#include "CliCommand.h"

#include "Cli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <memory>

namespace cli {

bool copyStore(store::NoteStore &ns, const QString &target, QString *error)
{
    if (QFileInfo::exists(target)) {
        *error = QStringLiteral("%1 already exists").arg(target);
        return false;
    }
    const auto fail = [&](const QString &why) {
        store::NoteStore::removeDatabaseFile(target);
        *error = why;
        return false;
    };
    // A journal left under that name would be rolled onto the copy.
    if (!store::NoteStore::removeDatabaseFile(target))
        return fail(QStringLiteral("cannot remove %1-journal").arg(target));
    store::Connection copy;
    if (!copy.open(target, true))
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
    if (!store::SyncFileToDisk(target))
        return fail(QStringLiteral("%1 could not be written to the disk").arg(target));
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
