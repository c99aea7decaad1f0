#include "Like.h"
#include "Search.h"
#include "StoreFixture.h"

#include <QFile>
#include <QRandomGenerator>

#include <optional>

namespace {
const char *const kPieces[] = {"O'Brien", "città", "CITTÀ", "[bracket]", "a#1", "2019", "20x9", "abc", "ABC", "a1c",
                               "naïve", "\"quoted\"", "under_score", "100%", "ünïcode", "ab cd", "Zürich", "x*y",
                               "tab\there", "ca?e", "", "garden", "meeting", "ΣΟΦΙΑ"};
} // namespace

class Search : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        const int c = addCategory(QStringLiteral("All"));
        QRandomGenerator rng(42);
        store::Transaction tx(ns.dbNotes);
        for (int i = 0; i < 400; ++i) {
            QString body, title;
            // A third of the bodies run past the thousand characters a scan
            // reads first, the pieces falling on either side of that mark.
            if (i % 3 == 0)
                body = QString(960 + rng.bounded(60), QLatin1Char('.'));
            for (int k = 0; k < 8; ++k)
                body += QString::fromUtf8(kPieces[rng.bounded(int(std::size(kPieces)))]) + QLatin1Char(' ');
            title = QString::fromUtf8(kPieces[rng.bounded(int(std::size(kPieces)))]);
            ns.rsArgomenti->addNew();
            ns.rsArgomenti->setField(QStringLiteral("idCategoria"), c);
            ns.rsArgomenti->setField(QStringLiteral("argomento"), title);
            if (i % 37 == 0)
                ns.rsArgomenti->setField(QStringLiteral("ContenutoTxt"), QVariant());  // no body at all
            else if (i % 41 == 0)
                ns.rsArgomenti->setField(QStringLiteral("ContenutoTxt"), QString());   // an empty body
            else
                ns.rsArgomenti->setField(QStringLiteral("ContenutoTxt"), body);
            ASSERT_TRUE(ns.rsArgomenti->update());
        }
        ASSERT_TRUE(tx.commit());
    }

    // The keys the LIKE statement gives: a scan of every row in key
    // order with the LIKE matcher.
    QList<int> scan(const QString &pattern)
    {
        const store::LikePattern like(pattern);
        QList<int> keys;
        store::Statement st(ns.dbNotes, QStringLiteral("SELECT idArgomento, ContenutoTxt, argomento FROM Argomenti ORDER BY idArgomento"));
        while (st.step()) {
            const bool body = !st.isNull(1) && like.matches(st.columnText(1));
            const bool title = !st.isNull(2) && like.matches(st.columnText(2));
            if (body || title)
                keys << int(st.columnInt(0));
        }
        return keys;
    }
    QList<int> found(const QString &pattern)
    {
        auto rs = store::FindTopics(ns, pattern);
        EXPECT_TRUE(rs);
        QList<int> keys;
        for (; rs && !rs->eof(); rs->moveNext())
            keys << rs->field(QStringLiteral("idArgomento")).toInt();
        return keys;
    }
    void expectSame()
    {
        const char *const patterns[] = {"*O'Brien*", "*città*", "*CITTÀ*", "*[bracket]*", "*[b]racket*", "*a#1*",
                                        "*20#9*", "*a?c*", "*abc*", "*[!a]bc*", "*[abc*", "*\"quoted\"*", "*under_score*",
                                        "*100%*", "*ünï*", "*ab cd*", "*zürich*", "*x[*]y*", "*ca?e*", "*", "**",
                                        "*e*", "*gar*den*", "*meeting garden*", "*σοφια*", "*tab\there*", "*ee*"};
        for (const char *p : patterns) {
            const QString pattern = QString::fromUtf8(p);
            EXPECT_EQ(found(pattern), scan(pattern)) << p;
        }
    }
};

TEST_F(Search, BatchesGiveTheScanOnTwoConnectionsOnOneAndWithoutThePlainTextsApart)
{
    const auto batches = [&](const char *pattern) {
        QList<int> keys;
        EXPECT_TRUE(store::FindTopicsInBatches(ns, QString::fromUtf8(pattern), [&](store::FoundTopics &&found) {
            for (qsizetype i = 0; i < found.size(); ++i)
                keys << found.key(i);
        }));
        return keys;
    };
    const char *const patterns[] = {"*", "*a?c*", "*[!a]b?*", "*20#9*", "*e*", "*ab cd*", "*zürich*", "*[abc*", "*.", "*σοφια*"};
    enum { TwoConnections, InsideAWrite, NoPlainTexts };
    for (int mode : {TwoConnections, InsideAWrite, NoPlainTexts}) {
        std::optional<store::Transaction> write;
        if (mode == InsideAWrite) {
            // Rows only this connection sees: the scan must be its own.
            write.emplace(ns.dbNotes);
            ns.rsArgomenti->addNew();
            ns.rsArgomenti->setField(QStringLiteral("argomento"), QStringLiteral("abc not yet committed"));
            ASSERT_TRUE(ns.rsArgomenti->update());
        }
        if (mode == NoPlainTexts) {
            ASSERT_TRUE(ns.dbNotes.exec(QStringLiteral("DROP TABLE ArgomentiTesto; DROP TABLE ArgomentiInizio")));
            ns.close();
            ASSERT_TRUE(ns.open());
            ASSERT_FALSE(ns.hasPlainTexts() || ns.hasTextStarts());
        }
        for (const char *p : patterns)
            EXPECT_EQ(batches(p), scan(QString::fromUtf8(p))) << p << " in mode " << mode;
    }
}

TEST_F(Search, IndexedSearchGivesWhatAFullScanGivesAlsoAfterSavesDeletesMovesAndPacking)
{
    ASSERT_TRUE(ns.hasTopicIndex());
    EXPECT_FALSE(store::TrigramQuery(QStringLiteral("*abc*")).isEmpty());
    EXPECT_TRUE(store::TrigramQuery(QStringLiteral("*a?c*")).isEmpty()) << "no run of three: a full scan";
    EXPECT_EQ(scan(QStringLiteral("*")).size(), 400) << "every topic has a title, if only an empty one";
    auto &rs = *ns.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const int key = rs.field(QStringLiteral("idArgomento")).toInt();
        if (key % 3 == 0) {
            rs.edit();
            rs.setField(QStringLiteral("ContenutoTxt"), QStringLiteral("rewritten meeting about Zürich"));
            ASSERT_TRUE(rs.update());
        } else if (key % 5 == 0) {
            ASSERT_TRUE(rs.remove());
        } else if (key % 7 == 0) {
            rs.edit();
            rs.setField(QStringLiteral("idCategoria"), 99);
            rs.setField(QStringLiteral("argomento"), QStringLiteral("moved garden"));
            ASSERT_TRUE(rs.update());
        }
    }
    expectSame();

    // Packing copies the index with the topics.
    ns.close();
    const QString path = store::JoinPath(dir.path(), store::kDatabaseFileName);
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".old")));
    QString err;
    ASSERT_TRUE(store::NoteStore::compactDatabase(path + QStringLiteral(".old"), path, &err)) << err.toStdString();
    ASSERT_TRUE(ns.open());
    expectSame();
}

TEST_F(Search, AnOlderFileGetsItsIndexesAndItsDraftsWhenOpenedAndSaysHowFarItIs)
{
    const struct {
        int version;
        const char *drop;
        std::vector<store::NoteStore::Work> work;
    } olderFiles[] = {
        {1, "DROP TRIGGER Argomenti_fts_insert; DROP TRIGGER Argomenti_fts_delete; DROP TRIGGER Argomenti_fts_update; "
            "DROP TABLE ArgomentiFts; DROP TABLE Bozze; DROP TRIGGER Argomenti_testo_insert; "
            "DROP TRIGGER Argomenti_testo_delete; DROP TRIGGER Argomenti_testo_update; DROP TABLE ArgomentiTesto; ",
         {store::NoteStore::Work::IndexingTopics, store::NoteStore::Work::CopyingTexts}},
        {3, "DROP TRIGGER Argomenti_testo_insert; DROP TRIGGER Argomenti_testo_delete; "
            "DROP TRIGGER Argomenti_testo_update; DROP TABLE ArgomentiTesto; ",
         {store::NoteStore::Work::CopyingTexts}},
        {4, "", {store::NoteStore::Work::CopyingTexts}},
    };
    for (const auto &older : olderFiles) {
        ns.close();
        {
            store::Connection db;
            ASSERT_TRUE(db.open(store::JoinPath(dir.path(), store::kDatabaseFileName), false));
            ASSERT_TRUE(db.exec(QString::fromUtf8(older.drop)
                                + QStringLiteral("DROP TRIGGER Argomenti_inizio_insert; DROP TRIGGER Argomenti_inizio_delete; "
                                                 "DROP TRIGGER Argomenti_inizio_update; DROP TABLE ArgomentiInizio; "
                                                 "PRAGMA user_version = %1").arg(older.version)));
        }
        std::vector<store::NoteStore::Work> seen;
        qint64 lastDone = -1, lastTotal = -1;
        ns.onProgress = [&](store::NoteStore::Work work, qint64 done, qint64 total) {
            if (seen.empty() || seen.back() != work)
                seen.push_back(work);
            lastDone = done;
            lastTotal = total;
        };
        ASSERT_TRUE(ns.open()) << older.version;
        ns.onProgress = nullptr;
        EXPECT_EQ(seen, older.work) << older.version;
        EXPECT_EQ(lastDone, 400) << "the last report says all is done";
        EXPECT_EQ(lastTotal, 400);
        EXPECT_TRUE(ns.hasTopicIndex());
        EXPECT_TRUE(ns.hasPlainTexts() && ns.hasTextStarts());
        EXPECT_TRUE(ns.hasDrafts());
        expectSame();
    }
}

TEST_F(Search, IndexMatchesItsTopicsAfterAnInterruptedWrite)
{
    const auto integrity = [](store::Connection &db) {
        return db.exec(QStringLiteral("INSERT INTO ArgomentiFts(ArgomentiFts, rank) VALUES ('integrity-check', 1)"));
    };
    EXPECT_TRUE(integrity(ns.dbNotes));
    ns.close();
    {
        // A write that never commits, as when the program is killed midway.
        store::Connection db;
        ASSERT_TRUE(db.open(store::JoinPath(dir.path(), store::kDatabaseFileName), false));
        ASSERT_TRUE(db.exec(QStringLiteral("BEGIN; INSERT INTO Argomenti (idCategoria, argomento, ContenutoTxt) "
                                           "VALUES (1, 'lost', 'never committed meeting'); "
                                           "UPDATE Argomenti SET ContenutoTxt = 'half done' WHERE idArgomento % 2 = 0")));
    }
    ASSERT_TRUE(ns.open());
    EXPECT_TRUE(integrity(ns.dbNotes)) << ns.errorText().toStdString();
    EXPECT_TRUE(found(QStringLiteral("*never committed*")).isEmpty());
    expectSame();
}
