#pragma once
// A generated note store for measurements: 1,000 categories, 100,000 topics
// with RTF bodies of mixed sizes (median about 2 KB of text, a few of 1 MB),
// Italian and English words with accented letters, and a few hundred alarms.
// The same seed gives the same file.

#include <QString>

struct CorpusSpec {
    int categories = 1000;
    int topics = 100000;
    int bigCategoryTopics = 5000;  // in the first category
    int alarms = 300;
    quint32 seed = 20261206;
};

// Writes quorvel.mdb into folder (which must not hold one). Returns false
// with a reason on failure.
bool generateCorpus(const QString &folder, const CorpusSpec &spec, QString *error);

// Words the benchmark searches for: one in about 2% of topics, one in fewer
// than ten.
QString commonMarkerWord();
QString rareMarkerWord();
