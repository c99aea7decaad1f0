// find: the same search as Find in topics, through the same index and
// matcher, on a connection that cannot write.

#include "CliCommand.h"

#include "Cli.h"
#include "db/Like.h"
#include "notes/Search.h"
#include "notes/Reading.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace cli {

int find(Command &c)
{
    const bool json = c.takeFlag(QStringLiteral("--json"));
    if (c.unknownOption())
        return kError;
    c.words.removeOne(QStringLiteral("--"));
    // The words as typed in the program's box, where blanks are part of it.
    const QString typed = c.words.join(QLatin1Char(' '));
    if (typed.isEmpty())
        return c.usage(QStringLiteral("find needs a pattern"));
    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    // One state of the file for the search and the lines it prints.
    notes::ReadSnapshot snapshot(ns);
    // What the program searches for the same words: the keys alone, each
    // line's fields are read below.
    std::vector<qint64> keys;
    if (!store::FindTopicsInBatches(ns, store::LikePattern::anywhere(typed), [&](store::FoundTopics &&found) {
            for (qsizetype i = 0; i < found.size(); ++i)
                keys.push_back(found.key(i));
        }))
        return c.fail(ns.errorText());
    notes::TopicLines lines(ns);
    for (const qint64 key : keys) {
        notes::TopicLine line;
        if (!lines.read(key, &line))
            return c.fail(ns.errorText());
        const QString &category = line.category;
        const QString &title = line.title;
        const QString &when = line.updated;
        if (json) {
            const QJsonObject o{{QStringLiteral("category"), category},
                                {QStringLiteral("title"), title},
                                {QStringLiteral("key"), key},
                                {QStringLiteral("updated"), when.isEmpty() ? QJsonValue() : QJsonValue(when)}};
            c.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
        } else {
            c.out << oneLine(category) << '\t' << oneLine(title) << '\t' << key << '\t' << when << '\n';
        }
    }
    return keys.empty() ? kNothingFound : kDone;
}

} // namespace cli
