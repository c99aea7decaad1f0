#pragma once
// Find in topics: every topic whose plain-text body or title matches a
// wildcard pattern, in key order — what "SELECT * FROM Argomenti WHERE
// ContenutoTxt LIKE pattern OR Argomento LIKE pattern" gives — found through
// a trigram index of the two fields when the pattern holds a literal run of
// three characters, each candidate then checked by the LIKE matcher. A
// pattern without such a run is checked on every topic, on two cores, over
// tables that hold only the keys, titles and plain texts: the first thousand
// characters of each text first, the whole text only where they do not
// decide.

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace store {

class NoteStore;

// Topics found: keys and titles, the titles packed into one buffer so that
// a million lines take a few tens of megabytes.
class FoundTopics final {
public:
    qsizetype size() const { return qsizetype(m_lines.size()); }
    bool isEmpty() const { return m_lines.empty(); }
    int key(qsizetype i) const { return m_lines[size_t(i)].key; }
    QString title(qsizetype i) const;
    void append(int key, const char *utf8, int bytes);
    // Moves every line of more to the end of this one.
    void append(FoundTopics &&more);
    void remove(qsizetype i);
    void clear();

private:
    struct Line {
        int key;
        int bytes;
        qsizetype start;
    };
    std::vector<Line> m_lines;
    QByteArray m_titles;
};

// Calls onBatch with the topics found, in key order, a batch at a time as
// they are found; on the calling thread. False on a database error (the
// store's error list says why); batches already given stand.
[[nodiscard]] bool FindTopicsInBatches(NoteStore &store, const QString &pattern, const std::function<void(FoundTopics &&)> &onBatch);

// The index query for a pattern: the AND of the trigrams of its literal
// runs, or empty when it has no run of three plain characters.
QString TrigramQuery(const QString &pattern);

} // namespace store
