// import: files become topics of one category, as a drop on the program's
// list makes them.

#include "CliCommand.h"

#include "Cli.h"
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
    WritingStore opened;
    if (!c.openStoreAlone(opened, "drop the files on its list of topics"))
        return kError;
    store::NoteStore &ns = opened.ns;
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
