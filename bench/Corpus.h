#pragma once
// A generated note store for measurements: 100,000 topics (or any number:
// the categories and alarms grow with it, one category per hundred topics)
// with RTF bodies of mixed sizes (median about 2 KB of text, one of 1 MB in
// 20,000), Italian and English words with accented letters, and three alarms
// in a thousand topics. The first category holds 5,000 topics at every size,
// the category the targets for opening and Move all are set for. The same
// seed and size give the same file.

#include <QString>

struct CorpusSpec {
    int categories = 1000;
    int topics = 100000;
    int bigCategoryTopics = 5000;  // in the first category
    int alarms = 300;
    quint32 seed = 20261206;

    static CorpusSpec ofSize(int topics);
};

// Writes quorvel.mdb into folder (which must not hold one). Returns false
// with a reason on failure.
bool generateCorpus(const QString &folder, const CorpusSpec &spec, QString *error);

// Words the benchmark searches for: one in about 2% of topics, one in fewer
// than ten.
QString commonMarkerWord();
QString rareMarkerWord();
