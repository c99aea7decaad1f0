// import: files become topics of one category, as a drop on the program's
// list makes them.

#include "CliCommand.h"

#include "Cli.h"
#include "places/Places.h"
#include "TopicFiles.h"

namespace cli {


int importFiles(Command &c)
{
    QString category;
    if (!c.takeValue(QStringLiteral("--category"), &category))
        return kError;
    if (c.unknownOption())
        return kError;
    c.words.removeOne(QStringLiteral("--"));
    if (category.trimmed().isEmpty())
        return c.usage(QStringLiteral("import needs --category NAME"));
    if (c.words.isEmpty())
        return c.usage(QStringLiteral("import needs at least one file"));
    // The running program holds the store's records in its windows and
    // would not show topics added under it. It is known from its lock in the
    // data folder, whichever session or runtime folder it was started from;
    // held here for the import's length, no program starts on it meanwhile.
    const QString folder = c.dataFolder();
    if (folder.isEmpty())
        return kError;
    store::StoreLock running;
    switch (running.acquire(places::RunLockPath(folder), store::StoreLock::Kind::Shared, 0)) {
    case store::StoreLock::Outcome::Taken:
        break;
    case store::StoreLock::Outcome::Busy:
        return c.fail(QStringLiteral("Quorvel is running: close it first, or drop the files on its list of topics"));
    case store::StoreLock::Outcome::Unusable:
        return c.fail(running.error());
    }
    store::NoteStore ns;
    store::StoreLock lock;
    c.folder = folder;
    if (!c.openStore(ns, lock, true))
        return kError;
    // Every file is read before anything is written, the category too.
    QString error;
    QList<topicfiles::TopicFile> topics;
    if (!topicfiles::readTopicFiles(c.words, &topics, &error))
        return c.fail(error);
    // A new category and its topics are one change: a failure or a kill
    // leaves neither.
    QList<int> keys;
    if (!topicfiles::addTopicsNamed(ns, category.trimmed(), topics, QDateTime::currentDateTime(), &keys, &error))
        return c.fail(error);
    c.out << "imported " << keys.size() << (keys.size() == 1 ? " topic" : " topics") << " into " << category.trimmed()
          << '\n';
    return kDone;
}

} // namespace cli
