#include "Search.h"

#include "Like.h"
#include "NoteStore.h"

#include <QSet>

#include <sqlite3.h>

namespace store {

QString TrigramQuery(const QString &pattern)
{
    QStringList terms;
    QSet<QString> seen;
    for (const QString &run : LikePattern(pattern).literalRuns()) {
        const QList<uint> cps = run.toUcs4();
        for (qsizetype i = 0; i + 3 <= cps.size(); ++i) {
            // Only plain ASCII trigrams: for them the index's case folding
            // and the matcher's agree exactly, so no match is ever missed.
            bool ascii = true;
            for (qsizetype k = i; k < i + 3; ++k)
                ascii = ascii && cps[k] >= 0x20 && cps[k] < 0x7f;
            if (!ascii)
                continue;
            QString tri;
            for (qsizetype k = i; k < i + 3; ++k)
                tri += QChar(char16_t(cps[k]));
            if (seen.contains(tri))
                continue;
            seen.insert(tri);
            terms << QLatin1Char('"') + QString(tri).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
        }
    }
    return terms.join(QLatin1String(" AND "));
}

std::unique_ptr<SnapshotRecordset> FindTopics(NoteStore &store, const QString &pattern)
{
    const QString query = TrigramQuery(pattern);
    if (query.isEmpty() || !store.hasTopicIndex()) {
        // Every body is read. Mapping the file spares copying each page
        // through the kernel; the mapping lasts only for the scan, so the
        // program's memory does not stay at the file's size. Only a speed-up:
        // the pragmas' results do not matter.
        sqlite3_exec(store.dbNotes.handle(), "PRAGMA mmap_size = 2147418112", nullptr, nullptr, nullptr);
        auto rs = store.openQuery(
            QStringLiteral("SELECT * FROM Argomenti WHERE ContenutoTxt LIKE ?1 OR Argomento LIKE ?1"), {pattern});
        sqlite3_exec(store.dbNotes.handle(), "PRAGMA mmap_size = 0", nullptr, nullptr, nullptr);
        return rs;
    }
    return store.openQuery(QStringLiteral("SELECT * FROM Argomenti WHERE idArgomento IN "
                                          "(SELECT rowid FROM ArgomentiFts WHERE ArgomentiFts MATCH ?2) "
                                          "AND (ContenutoTxt LIKE ?1 OR Argomento LIKE ?1) ORDER BY idArgomento"),
                           {pattern, query});
}

} // namespace store
