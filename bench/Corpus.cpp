#include "Corpus.h"

#include "notes/NoteStore.h"
#include "db/Sqlite.h"
#include "db/Fields.h"

#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>

namespace {

const char *const kWords[] = {
    "casa", "città", "perché", "lunedì", "caffè", "giorno", "lavoro", "riunione", "progetto", "lista",
    "spesa", "telefono", "appunti", "settimana", "però", "così", "già", "più", "università", "libertà",
    "house", "meeting", "project", "notes", "call", "report", "garden", "travel", "budget", "review",
    "weekend", "doctor", "invoice", "school", "music", "recipe", "coffee", "train", "ticket", "letter",
    "naïve", "café", "résumé", "über", "señor", "Zürich", "Ελλάδα", "München", "façade", "déjà",
};
constexpr int kWordCount = int(sizeof kWords / sizeof *kWords);

QString rtfEscape(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u == '\n') {
            out += QStringLiteral("\\par\n");
        } else if (u < 0x80) {
            out += c;
        } else {
            out += QStringLiteral("\\u%1?").arg(qint16(u));
        }
    }
    return out;
}

} // namespace

QString commonMarkerWord()
{
    return QStringLiteral("frequentword");
}

QString rareMarkerWord()
{
    return QStringLiteral("rarissimo");
}

CorpusSpec CorpusSpec::ofSize(int topics)
{
    CorpusSpec spec;
    spec.topics = topics;
    spec.categories = std::max(2, topics / 100);
    spec.bigCategoryTopics = std::min(spec.bigCategoryTopics, topics / 2);
    spec.alarms = std::max(1, topics * 3 / 1000);
    return spec;
}

bool generateCorpus(const QString &folder, const CorpusSpec &spec, QString *error)
{
    const QString path = store::JoinPath(folder, store::kDatabaseFileName);
    if (!store::NoteStore::createDatabase(path, QDateTime(QDate(2026, 1, 1), QTime(0, 0)), error))
        return false;
    store::NoteStore ns;
    ns.DataFolder = folder;
    if (!ns.open()) {
        *error = ns.errorText();
        return false;
    }
    // A file made in one go needs no journal: if it fails it is thrown away.
    // A large page cache keeps the indexes being built in memory.
    ns.dbNotes.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA cache_size = -1000000"));
    QRandomGenerator rng(spec.seed);
    store::Transaction tx(ns.dbNotes);
    store::Statement addCategory(ns.dbNotes, QStringLiteral("INSERT INTO Categorie (Categoria) VALUES (?1)"));
    for (int c = 0; c < spec.categories; ++c) {
        addCategory.bind(1, c == 0 ? QStringLiteral("Archivio grande") : QStringLiteral("Categoria %1").arg(c, 4, 10, QLatin1Char('0')));
        if (!addCategory.run()) {
            *error = ns.errorText();
            return false;
        }
        addCategory.reset();
    }
    store::Statement insert(ns.dbNotes, QStringLiteral(
        "INSERT INTO Argomenti (idCategoria, argomento, contenuto, ContenutoTxt, ultimoaggiornamento, TipoAllarme, "
        "DataOraAllarme) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
    const QString header = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\n"
                                          "{\\colortbl ;\\red200\\green0\\blue0;}\n\\pard\\ql ");
    for (int t = 0; t < spec.topics; ++t) {
        const int category = t < spec.bigCategoryTopics ? 1 : 2 + int(rng.bounded(spec.categories - 1));
        // Sizes: mostly around 2 KB, some larger, a handful of 1 MB.
        int words;
        if (t % 20000 == 7)
            words = 150000;  // about 1 MB
        else
            words = 150 + int(rng.bounded(250)) + (rng.bounded(10) == 0 ? int(rng.bounded(800)) : 0);
        QString text;
        text.reserve(words * 8);
        for (int w = 0; w < words; ++w) {
            text += QString::fromUtf8(kWords[rng.bounded(kWordCount)]);
            text += (w % 17 == 16) ? QLatin1Char('\n') : QLatin1Char(' ');
            if (w == 20 && t % 50 == 3)
                text += commonMarkerWord() + QLatin1Char(' ');
            if (w == 30 && t % 20000 == 11)
                text += rareMarkerWord() + QStringLiteral(" 2019 ");
        }
        const QString title = QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(kWords[rng.bounded(kWordCount)]),
                                                             QString::fromUtf8(kWords[rng.bounded(kWordCount)]))
                                  .arg(t);
        // Some bold and coloured runs, as a formatted body has.
        const QString rtf = header + QStringLiteral("{\\f0\\fs20\\b ") + rtfEscape(text.left(40))
            + QStringLiteral("}{\\f0\\fs20\\cf1 ") + rtfEscape(text.mid(40)) + QStringLiteral("}\n}");
        insert.reset();
        insert.bind(1, qint64(category));
        insert.bind(2, title);
        insert.bind(3, rtf);
        insert.bind(4, text);
        insert.bind(5, store::toStoredDateTime(QDateTime(QDate(2025, 1, 1), QTime(0, 0)).addSecs(t * 60)));
        const bool alarm = t % (spec.topics / spec.alarms) == 5;
        insert.bind(6, qint64(alarm ? 1 + int(rng.bounded(5)) : 0));
        if (alarm)
            insert.bind(7, store::toStoredDateTime(QDateTime(QDate(2027, 1, 1), QTime(8, 0)).addDays(t % 365)));
        else
            insert.bindNull(7);
        if (!insert.run()) {
            *error = ns.errorText();
            return false;
        }
    }
    ns.dbNotes.exec(QStringLiteral("UPDATE Setup SET lingua = 1, UltimaCat = 1"));
    if (!tx.commit()) {
        *error = ns.errorText();
        return false;
    }
    return true;
}
