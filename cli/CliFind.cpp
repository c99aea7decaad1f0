// find: the same search as Find in topics, through the same index and
// matcher, on a connection that cannot write.

#include "CliCommand.h"

#include "Cli.h"
#include "Search.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {

// A title or category on one line of tab-separated output.
QString oneLine(QString text)
{
    for (QChar &c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return text;
}

} // namespace

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
    // One state of the file for the topics and their categories.
    Snapshot snapshot(ns.dbNotes);
    QHash<qint64, QString> categories;
    {
        store::Statement st(ns.dbNotes, QStringLiteral("SELECT idCategoria, Categoria FROM Categorie"));
        while (st.step())
            categories.insert(st.columnInt(0), st.columnText(1));
        if (st.failed())
            return c.fail(ns.errorText());
    }
    // What the program searches for the same words.
    auto rs = store::FindTopics(ns, QLatin1Char('*') + typed + QLatin1Char('*'));
    if (!rs)
        return c.fail(ns.errorText());
    int found = 0;
    for (; !rs->eof(); rs->moveNext()) {
        const qint64 key = rs->field(QStringLiteral("idArgomento")).toLongLong();
        const QString category = categories.value(rs->field(QStringLiteral("idCategoria")).toLongLong());
        const QString title = rs->field(QStringLiteral("argomento")).toString();
        const QDateTime updated = rs->field(QStringLiteral("ultimoaggiornamento")).toDateTime();
        const QString when = updated.isValid() ? store::toStoredDateTime(updated) : QString();
        if (json) {
            const QJsonObject o{{QStringLiteral("category"), category},
                                {QStringLiteral("title"), title},
                                {QStringLiteral("key"), key},
                                {QStringLiteral("updated"), when.isEmpty() ? QJsonValue() : QJsonValue(when)}};
            c.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
        } else {
            c.out << oneLine(category) << '\t' << oneLine(title) << '\t' << key << '\t' << when << '\n';
        }
        ++found;
    }
    return found > 0 ? kDone : kNothingFound;
}

} // namespace cli
