// export: every topic to a file of its own under a folder per category,
// and an index, all read in one snapshot of the store.

#include "CliCommand.h"

#include "Cli.h"
#include "Rtf.h"
#include "TopicFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QTextDocument>

#include <limits>

namespace cli {

namespace {

// Hands out names within one folder: a name taken before, in any case (some
// file systems ignore it), gets " (2)", " (3)", ... before its extension.
class Names {
public:
    QString take(const QString &stem, const QString &extension)
    {
        QString name = stem + extension;
        for (int n = 2; m_taken.contains(name.toCaseFolded()); ++n)
            name = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(extension);
        m_taken.insert(name.toCaseFolded());
        return name;
    }

private:
    QSet<QString> m_taken;
};

struct Category {
    QString name;
    QString folder;
    Names files;
};

// The stored body as a document; a body that is not RTF is its own text.
void readBody(const QString &body, QTextDocument *doc)
{
    if (!rtf::read(body, doc))
        doc->setPlainText(body);
}

QByteArray fileContent(const QString &format, const QString &title, const QString &body, const QString &text)
{
    if (format == QLatin1String("txt"))
        return text.toUtf8();
    if (format == QLatin1String("rtf")) {
        // What the editor stored goes out as it is: 7-bit RTF, whose
        // characters stand for its bytes.
        bool bytes = rtf::looksLikeRtf(body);
        for (qsizetype i = 0; bytes && i < body.size(); ++i)
            bytes = body.at(i).unicode() <= 0xff;
        if (bytes)
            return body.toLatin1();
        QTextDocument doc;
        readBody(body, &doc);
        return rtf::write(&doc);
    }
    QTextDocument doc;
    readBody(body, &doc);
    doc.setMetaInformation(QTextDocument::DocumentTitle, title);
    return doc.toHtml().toUtf8();
}

QJsonValue orNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

} // namespace

int exportTopics(Command &c)
{
    QString format = QStringLiteral("rtf");
    if (!c.takeValue(QStringLiteral("--format"), &format))
        return kError;
    if (c.unknownOption())
        return kError;
    c.words.removeOne(QStringLiteral("--"));
    if (format != QLatin1String("rtf") && format != QLatin1String("txt") && format != QLatin1String("html"))
        return c.usage(QStringLiteral("unknown format %1: rtf, txt or html").arg(format));
    if (c.words.size() != 1)
        return c.usage(QStringLiteral("export needs one folder"));
    const QDir target(QDir(c.words.first()).absolutePath());
    if (target.exists() && !target.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return c.fail(QStringLiteral("%1 is not empty").arg(target.path()));
    if (!QDir().mkpath(target.path()))
        return c.fail(QStringLiteral("cannot make %1").arg(target.path()));

    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    Snapshot snapshot(ns.dbNotes);
    QHash<qint64, Category> categories;
    Names folders;
    folders.take(QStringLiteral("index"), QStringLiteral(".json"));
    {
        store::Statement st(ns.dbNotes, QStringLiteral("SELECT idCategoria, Categoria FROM Categorie ORDER BY idCategoria"));
        while (st.step()) {
            Category &cat = categories[st.columnInt(0)];
            cat.name = st.columnText(1);
        }
        if (st.failed())
            return c.fail(ns.errorText());
    }
    qint64 total = 0;
    {
        store::Statement st(ns.dbNotes, QStringLiteral("SELECT count(*) FROM Argomenti"));
        if (!st.step())
            return c.fail(ns.errorText());
        total = st.columnInt(0);
    }
    const QString extension = QLatin1Char('.') + format;
    // The index is written as the topics go, not gathered first: held
    // whole, a million entries took more than a gigabyte. It appears under
    // its name only once complete.
    QSaveFile indexFile(target.filePath(QStringLiteral("index.json")));
    const auto indexFailed = [&] {
        return c.fail(QStringLiteral("cannot write %1: %2").arg(indexFile.fileName(), indexFile.errorString()));
    };
    if (!indexFile.open(QIODevice::WriteOnly)
        || indexFile.write("{\"format\": " + QJsonDocument(QJsonArray{format}).toJson(QJsonDocument::Compact).mid(1).chopped(1)
                           + ", \"topics\": [") < 0)
        return indexFailed();
    qint64 previousCategory = std::numeric_limits<qint64>::min();
    store::Statement st(ns.dbNotes, QStringLiteral("SELECT idArgomento, idCategoria, argomento, contenuto, ContenutoTxt, "
                                                   "ultimoaggiornamento, TipoAllarme, DataOraAllarme "
                                                   "FROM Argomenti ORDER BY idCategoria, idArgomento"));
    qint64 done = 0;
    while (st.step()) {
        const qint64 categoryKey = st.columnInt(1);
        // Topics come category by category: the names taken in the one
        // before are no longer needed.
        if (categoryKey != previousCategory && categories.contains(previousCategory))
            categories[previousCategory].files = Names();
        previousCategory = categoryKey;
        Category &cat = categories[categoryKey];  // a topic of no category gets a folder "_"
        if (cat.folder.isEmpty()) {
            cat.folder = folders.take(topicfiles::safeFileName(cat.name), QString());
            if (!QDir(target).mkpath(cat.folder))
                return c.fail(QStringLiteral("cannot make %1").arg(target.filePath(cat.folder)));
        }
        const QString title = st.columnText(2);
        const QString file = cat.folder + QLatin1Char('/') + cat.files.take(topicfiles::safeFileName(title), extension);
        QFile f(target.filePath(file));
        if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            || f.write(fileContent(format, title, st.columnText(3), st.columnText(4))) < 0 || !f.flush())
            return c.fail(QStringLiteral("cannot write %1: %2").arg(f.fileName(), f.errorString()));
        f.close();
        const QJsonObject entry{{QStringLiteral("key"), st.columnInt(0)},
                                {QStringLiteral("categoryKey"), categoryKey},
                                {QStringLiteral("category"), cat.name},
                                {QStringLiteral("title"), title},
                                {QStringLiteral("file"), file},
                                {QStringLiteral("updated"), orNull(st.columnText(5))},
                                {QStringLiteral("alarmType"), st.isNull(6) ? 0 : st.columnInt(6)},
                                {QStringLiteral("alarm"), orNull(st.columnText(7))}};
        if (indexFile.write((done ? ",\n" : "\n") + QJsonDocument(entry).toJson(QJsonDocument::Compact)) < 0)
            return indexFailed();
        ++done;
        if (c.terminal && (done % 250 == 0 || done == total)) {
            c.err << "\rexported " << done << " of " << total << " topics";
            c.err.flush();
        }
    }
    if (st.failed())
        return c.fail(ns.errorText());
    if (c.terminal && done > 0)
        c.err << '\n';
    if (indexFile.write("\n]}\n") < 0 || !indexFile.commit())
        return indexFailed();
    c.out << "exported " << done << " topics to " << target.path() << '\n';
    return kDone;
}

} // namespace cli
