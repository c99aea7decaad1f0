#include "notes/Search.h"

#include "db/Like.h"
#include "db/Fields.h"
#include "db/Sqlite.h"
#include "notes/NoteStore.h"

#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

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

QString FoundTopics::title(qsizetype i) const
{
    const Line &l = m_lines[size_t(i)];
    return QString::fromUtf8(m_titles.constData() + l.start, l.bytes);
}

void FoundTopics::append(int key, const char *utf8, int bytes)
{
    m_lines.push_back({key, bytes, m_titles.size()});
    m_titles.append(utf8, bytes);
}

void FoundTopics::append(FoundTopics &&more)
{
    if (isEmpty()) {
        *this = std::move(more);
        return;
    }
    const qsizetype offset = m_titles.size();
    m_titles.append(more.m_titles);
    // Grown as push_back grows it: reserving the exact size at every batch
    // copied all lines so far each time, a million lines a hundred times.
    for (const Line &l : more.m_lines)
        m_lines.push_back({l.key, l.bytes, l.start + offset});
    more.clear();
}

void FoundTopics::remove(qsizetype i)
{
    // The title's bytes stay in the buffer: removing is rare, the buffer small.
    m_lines.erase(m_lines.begin() + i);
}

void FoundTopics::clear()
{
    m_lines.clear();
    m_titles.clear();
}

namespace {

constexpr int kBatchRows = 4096;
// Runs a statement whose columns are key and title, handing its rows on in
// batches.
bool stream(Statement &st, const std::function<void(FoundTopics &&)> &onBatch)
{
    FoundTopics batch;
    while (st.step()) {
        int bytes = 0;
        const char *title = st.columnUtf8(1, &bytes);
        batch.append(int(st.columnInt(0)), title, bytes);
        if (batch.size() >= kBatchRows) {
            onBatch(std::move(batch));
            batch.clear();
        }
    }
    if (!batch.isEmpty())
        onBatch(std::move(batch));
    return !st.failed();
}

// The table read: the plain texts alone when the file has them apart, so
// the RTF bodies stored beside them in Argomenti are never read.
QString textsOf(const NoteStore &store)
{
    return store.hasPlainTexts() ? QStringLiteral("ArgomentiTesto") : QStringLiteral("Argomenti");
}

QString rangeScanSql(const NoteStore &store)
{
    return QStringLiteral("SELECT idArgomento, argomento FROM %1 WHERE idArgomento BETWEEN ?2 AND ?3 "
                          "AND (ContenutoTxt LIKE ?1 OR argomento LIKE ?1) ORDER BY idArgomento")
        .arg(textsOf(store));
}

bool scanRange(Connection &db, const QString &sql, const QString &pattern, qint64 lo, qint64 hi,
               const std::function<void(FoundTopics &&)> &onBatch)
{
    Statement st(db, sql);
    st.bind(1, pattern);
    st.bind(2, lo);
    st.bind(3, hi);
    return stream(st, onBatch);
}

// The topics of keys lo to hi that a pattern ending in '*' matches, read
// from the beginnings of their texts first: a topic matched there, or whose
// beginning is its whole text, is decided without reading the text. When
// many topics of the slice are left undecided, as for a pattern found in
// few of them, reading the slice's whole texts in order is cheaper than
// looking each of them up: *undecided then says so, and nothing is found.
bool scanStarts(Connection &db, const NoteStore &store, const QString &pattern, qint64 lo, qint64 hi,
                FoundTopics &found, bool *undecided)
{
    Statement starts(db, QStringLiteral("SELECT idArgomento, argomento, Intero, (Inizio LIKE ?1 OR argomento LIKE ?1) "
                                        "FROM ArgomentiInizio WHERE idArgomento BETWEEN ?2 AND ?3 ORDER BY idArgomento"));
    starts.bind(1, pattern);
    starts.bind(2, lo);
    starts.bind(3, hi);
    struct Line {
        int key;
        bool open; // not decided by its beginning
        int bytes;
        qsizetype start;
    };
    std::vector<Line> lines;
    QByteArray titles;
    qint64 rows = 0, open = 0;
    while (starts.step()) {
        ++rows;
        const bool matched = starts.columnInt(3) != 0;
        if (!matched && starts.columnInt(2) != 0)
            continue;
        int bytes = 0;
        const char *title = starts.columnUtf8(1, &bytes);
        lines.push_back({int(starts.columnInt(0)), !matched, bytes, titles.size()});
        titles.append(title, bytes);
        open += matched ? 0 : 1;
    }
    if (starts.failed())
        return false;
    *undecided = open * 4 > rows;
    if (*undecided)
        return true;
    Statement whole(db, QStringLiteral("SELECT ContenutoTxt LIKE ?1 FROM %1 WHERE idArgomento = ?2").arg(textsOf(store)));
    for (const Line &l : lines) {
        if (l.open) {
            whole.reset();
            whole.bind(1, pattern);
            whole.bind(2, qint64(l.key));
            const bool matched = whole.step() && whole.columnInt(0) != 0;
            if (whole.failed())
                return false;
            if (!matched)
                continue;
        }
        found.append(l.key, titles.constData() + l.start, l.bytes);
    }
    return true;
}

// Every topic checked by the matcher. The key range is cut into slices that
// two connections of their own scan side by side; the slices are handed on
// in key order as they are done, so the rows come as one scan gives them.
class SlicedScan final {
public:
    using OnBatch = std::function<void(FoundTopics &&)>;

    SlicedScan(NoteStore &store, const QString &pattern, qint64 lo, qint64 hi, qint64 count)
        : m_store(store), m_pattern(pattern), m_sql(rangeScanSql(store)),
          m_starts(store.hasTextStarts() && LikePattern(pattern).endsWithAnyRun()),
          m_slices(int(std::clamp<qint64>(count / 8192, 2, 256))), m_lo(lo), m_span(hi - lo + 1)
    {
    }

    // Every slice on the store's own connection.
    bool alone(const OnBatch &onBatch);
    // The slices on the two helper connections, handed on in order.
    bool onTwoThreads(Connection (&helpers)[2], const OnBatch &onBatch);

private:
    qint64 sliceLo(int i) const { return m_lo + m_span * i / m_slices; }
    bool scanSlice(Connection &db, int i, FoundTopics &found);

    NoteStore &m_store;
    const QString &m_pattern;
    const QString m_sql;
    const bool m_starts;
    const int m_slices;
    const qint64 m_lo;
    const qint64 m_span;
    // Where the beginnings left a slice mostly undecided, the next ones are
    // likely alike: they are read whole straight away, all but every eighth,
    // which tries the beginnings again.
    std::atomic<bool> m_wholeFirst{false};
};

bool SlicedScan::scanSlice(Connection &db, int i, FoundTopics &found)
{
    const qint64 from = sliceLo(i), to = sliceLo(i + 1) - 1;
    if (m_starts && (!m_wholeFirst || i % 8 == 0)) {
        bool undecided = false;
        if (!scanStarts(db, m_store, m_pattern, from, to, found, &undecided))
            return false;
        m_wholeFirst = undecided;
        if (!undecided)
            return true;
    }
    return scanRange(db, m_sql, m_pattern, from, to, [&](FoundTopics &&b) { found.append(std::move(b)); });
}

bool SlicedScan::alone(const OnBatch &onBatch)
{
    for (int i = 0; i < m_slices; ++i) {
        FoundTopics found;
        if (!scanSlice(m_store.dbNotes, i, found))
            return false;
        if (!found.isEmpty())
            onBatch(std::move(found));
    }
    return true;
}

bool SlicedScan::onTwoThreads(Connection (&helpers)[2], const OnBatch &onBatch)
{
    struct Slice {
        FoundTopics found;
        bool done = false;
        bool ok = true;
        QList<EngineError> errors;
    };
    std::vector<Slice> slice(static_cast<size_t>(m_slices));
    std::mutex mutex;
    std::condition_variable doneOne;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    const auto work = [&](Connection *db) {
        // Each page is read once: a page cache that fits the processor's own
        // keeps the page just read there for the matcher (a larger one made
        // the scan a tenth slower, a far larger one a quarter). Pages are
        // read, not mapped: the scan reads a fraction of the file, and
        // faulting in a fresh mapping of it made a scan a quarter slower.
        sqlite3_exec(db->handle(), "PRAGMA cache_size = -128", nullptr, nullptr, nullptr);
        for (int i = next++; i < m_slices && !stop; i = next++) {
            FoundTopics found;
            const bool ok = scanSlice(*db, i, found);
            const std::lock_guard lock(mutex);
            Slice &s = slice[size_t(i)];
            s.found = std::move(found);
            s.ok = ok;
            if (!ok)
                s.errors = db->errors();
            s.done = true;
            doneOne.notify_all();
        }
    };
    std::thread first(work, &helpers[0]);
    std::thread second(work, &helpers[1]);
    bool ok = true;
    for (Slice &s : slice) {
        std::unique_lock lock(mutex);
        doneOne.wait(lock, [&] { return s.done; });
        if (!s.ok) {
            m_store.dbNotes.setErrors(s.errors);
            ok = false;
            break;
        }
        FoundTopics found = std::move(s.found);
        lock.unlock();
        if (!found.isEmpty())
            onBatch(std::move(found));
    }
    stop = true;
    first.join();
    second.join();
    return ok;
}

bool scanAll(NoteStore &store, const QString &pattern, const std::function<void(FoundTopics &&)> &onBatch)
{
    qint64 lo = 0, hi = 0, count = 0;
    {
        Statement bounds(store.dbNotes, QStringLiteral("SELECT min(idArgomento), max(idArgomento), count(*) FROM Argomenti"));
        if (!bounds.step())
            return false;
        if (bounds.isNull(0))
            return true;
        lo = bounds.columnInt(0);
        hi = bounds.columnInt(1);
        count = bounds.columnInt(2);
    }
    SlicedScan scan(store, pattern, lo, hi, count);
    // A write under way is seen by this connection only; a file the others
    // cannot open is scanned by this one alone.
    Connection helpers[2];
    bool parallel = !store.isWriting();
    for (Connection &c : helpers)
        parallel = parallel && c.openReadOnly(store.DatabasePath) && registerLike(c.handle());
    return parallel ? scan.onTwoThreads(helpers, onBatch) : scan.alone(onBatch);
}

} // namespace

bool FindTopicsInBatches(NoteStore &store, const QString &pattern, const std::function<void(FoundTopics &&)> &onBatch)
{
    store.dbNotes.clearErrors();
    const QString query = TrigramQuery(pattern);
    if (query.isEmpty() || !store.hasTopicIndex())
        return scanAll(store, pattern, onBatch);
    // Each candidate of the trigram index is checked by the matcher.
    Statement st(store.dbNotes,
                 QStringLiteral("SELECT idArgomento, argomento FROM %1 WHERE idArgomento IN "
                                "(SELECT rowid FROM ArgomentiFts WHERE ArgomentiFts MATCH ?2) "
                                "AND (ContenutoTxt LIKE ?1 OR argomento LIKE ?1) ORDER BY idArgomento")
                     .arg(textsOf(store)));
    st.bind(1, pattern);
    st.bind(2, query);
    return stream(st, onBatch);
}

} // namespace store
