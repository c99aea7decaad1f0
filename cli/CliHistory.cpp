// history, restore, deleted, undelete: what the editor's History and the
// Deleted topics window do, from a shell.

#include "CliCommand.h"

#include "Cli.h"
#include "notes/History.h"

#include <limits>

namespace cli {

namespace {

QString stamp(const QDateTime &when)
{
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

// A positive number given as a word, or -1.
qint64 numberIn(const QString &word)
{
    bool ok = false;
    const qint64 n = word.toLongLong(&ok);
    return ok && n > 0 ? n : -1;
}

// The command's words once its options are checked: none taken.
bool plainWords(Command &c)
{
    if (c.unknownOption())
        return false;
    c.words.removeOne(QStringLiteral("--"));
    return true;
}

} // namespace

int history(Command &c)
{
    if (!plainWords(c))
        return kError;
    const qint64 key = c.words.size() == 1 ? numberIn(c.words[0]) : -1;
    if (key == -1)
        return c.usage(QStringLiteral("history needs the key of one topic"));
    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    bool ok = false;
    const QList<notes::VersionEntry> versions = notes::History(ns).versionsOf(int(key), &ok);
    if (!ok)
        return c.fail(ns.errorText());
    for (const notes::VersionEntry &v : versions)
        c.out << v.id << '\t' << stamp(v.replaced) << '\t' << oneLine(v.machine) << '\t' << oneLine(v.title) << '\t'
              << oneLine(v.start.section(QLatin1Char('\n'), 0, 0).left(80)) << '\n';
    return versions.isEmpty() ? kNothingFound : kDone;
}

int restoreVersion(Command &c)
{
    if (!plainWords(c))
        return kError;
    const qint64 key = c.words.size() == 2 ? numberIn(c.words[0]) : -1;
    const qint64 version = c.words.size() == 2 ? numberIn(c.words[1]) : -1;
    if (key == -1 || version == -1)
        return c.usage(QStringLiteral("restore needs a topic's key and one of its versions"));
    WritingStore opened;
    if (!c.openStoreAlone(opened, "use the topic's History"))
        return kError;
    store::NoteStore &ns = opened.ns;
    notes::History history(ns);
    notes::Version v;
    const notes::Found found = history.version(version, &v);
    if (found == notes::Found::Failed)
        return c.fail(ns.errorText());
    if (found == notes::Found::No || v.topic != key)
        return c.fail(QStringLiteral("topic %1 has no version %2").arg(key).arg(version));
    switch (history.restore(version)) {
    case notes::Found::Yes:
        c.out << "topic " << key << " is version " << version << " again\n";
        return kDone;
    case notes::Found::No:
        return c.fail(QStringLiteral("topic %1 is deleted: undelete it first").arg(key));
    case notes::Found::Failed:
        break;
    }
    return c.fail(ns.errorText());
}

int deleted(Command &c)
{
    if (!plainWords(c))
        return kError;
    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    bool ok = false;
    const QList<notes::DeletedTopic> topics = notes::History(ns).deleted(c.words.join(QLatin1Char(' ')), &ok);
    if (!ok)
        return c.fail(ns.errorText());
    for (const notes::DeletedTopic &t : topics)
        c.out << t.key << '\t' << oneLine(t.categoryName) << '\t' << oneLine(t.title) << '\t' << stamp(t.deleted) << '\n';
    return topics.isEmpty() ? kNothingFound : kDone;
}

int undelete(Command &c)
{
    if (!plainWords(c))
        return kError;
    QList<int> keys;
    for (const QString &word : std::as_const(c.words)) {
        const qint64 key = numberIn(word);
        if (key == -1 || key > std::numeric_limits<int>::max())
            return c.usage(QStringLiteral("not a topic's key: %1").arg(word));
        keys << int(key);
    }
    if (keys.isEmpty())
        return c.usage(QStringLiteral("undelete needs the keys of deleted topics"));
    WritingStore opened;
    if (!c.openStoreAlone(opened, "use its Deleted topics window"))
        return kError;
    store::NoteStore &ns = opened.ns;
    QList<int> back;
    if (!notes::History(ns).undelete(keys, -1, &back))
        return c.fail(ns.errorText());
    for (const int key : keys)
        if (!back.contains(key))
            c.err << "quorvel-cli: topic " << key << " is not among the deleted topics\n";
    c.out << "restored " << back.size() << (back.size() == 1 ? " topic" : " topics") << '\n';
    return back.size() == keys.size() ? kDone : kNothingFound;
}

} // namespace cli
