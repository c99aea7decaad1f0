#include "Intact.h"

#include "db/Sqlite.h"

QString damageOf(const QString &path)
{
    store::Connection db;
    if (!db.open(path, false))
        return db.errors().constLast().description;
    store::Statement check(db, QStringLiteral("PRAGMA integrity_check"));
    const QString verdict = check.step() ? check.columnText(0) : db.errors().value(0).description;
    if (verdict != QLatin1String("ok"))
        return verdict;
    store::Statement fts(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'ArgomentiFts'"));
    if (fts.step() && fts.columnInt(0) > 0
        && !db.exec(QStringLiteral("INSERT INTO ArgomentiFts(ArgomentiFts, rank) VALUES ('integrity-check', 1)")))
        return QStringLiteral("search index: ") + db.errors().constLast().description;
    return QString();
}
