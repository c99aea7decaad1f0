// backup and check: a copy of the store taken through SQLite's online
// backup, and the integrity of the store and of its search index.

#include "CliCommand.h"

#include "Cli.h"
#include "notes/Maintenance.h"

#include <QFileInfo>

namespace cli {

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
    if (!notes::copyStore(ns, target, &error))
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
    const QStringList problems = notes::integrityProblems(ns);
    bool ok = problems.isEmpty();
    if (ok)
        c.out << "store: ok\n";
    else
        c.fail(QStringLiteral("store: damaged\n%1").arg(problems.join(QLatin1Char('\n'))));
    QString why;
    switch (notes::checkTopicIndex(ns, &why)) {
    case notes::IndexCheck::None:
        c.out << "search index: none (Quorvel makes it when it next opens the notes)\n";
        break;
    case notes::IndexCheck::Sound:
        c.out << "search index: ok\n";
        break;
    case notes::IndexCheck::Damaged:
        ok = false;
        c.fail(QStringLiteral("search index: %1").arg(why));
        break;
    }
    return ok ? kDone : kError;
}

} // namespace cli
