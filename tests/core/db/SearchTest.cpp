#include "db/Like.h"
#include "notes/Search.h"
#include "StoreFixture.h"
#include "db/Sqlite.h"
#include "db/Fields.h"

#include <QFile>
#include <QRandomGenerator>

#include <functional>

class Search : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        const int c = addCategory(u"All"_s);
        static const char *const pieces[] = {"O'Brien", "città", "CITTÀ", "[bracket]", "a#1", "2019", "20x9", "abc", "ABC", "a1c",
                                             "naïve", "\"quoted\"", "under_score", "100%", "ünïcode", "ab cd", "Zürich", "x*y",
                                             "tab\there", "ca?e", "", "garden", "meeting", "ΣΟΦΙΑ"};
        QRandomGenerator rng(42);
        const auto piece = [&] { return QString::fromUtf8(pieces[rng.bounded(int(std::size(pieces)))]); };
        store::Transaction tx(ns.dbNotes);
        for (int i = 0; i < 400; ++i) {
            QString body;
            // A third of the bodies run past the thousand characters a scan
            // reads first, the pieces falling on either side of that mark.
            if (i % 3 == 0)
                body = QString(960 + rng.bounded(60), u'.');
            for (int k = 0; k < 8; ++k)
                body += piece() + u' ';
            // Some topics have no body at all, some an empty one.
            const QVariant plain = i % 37 == 0 ? QVariant() : QVariant(i % 41 == 0 ? QString() : body);
            ASSERT_GT(stored::insert(ns.dbNotes, u"Argomenti"_s,
                                     {{u"idCategoria"_s, c}, {u"argomento"_s, piece()}, {u"ContenutoTxt"_s, plain}}),
                      0);
        }
        ASSERT_TRUE(tx.commit());
    }

    // The keys the LIKE statement gives: a scan of every row in key
    // order with the LIKE matcher.
    QList<int> scan(const QString &pattern)
    {
        const store::LikePattern like(pattern);
        QList<int> keys;
        store::Statement st(ns.dbNotes, u"SELECT idArgomento, ContenutoTxt, argomento FROM Argomenti ORDER BY idArgomento"_s);
        while (st.step())
            if ((!st.isNull(1) && like.matches(st.columnText(1))) || (!st.isNull(2) && like.matches(st.columnText(2))))
                keys << int(st.columnInt(0));
        return keys;
    }
    QList<int> found(const QString &pattern)
    {
        QList<int> keys;
        EXPECT_TRUE(store::FindTopicsInBatches(ns, pattern, [&](store::FoundTopics &&batch) {
            for (qsizetype i = 0; i < batch.size(); ++i)
                keys << batch.key(i);
        }));
        return keys;
    }
    // Every pattern of the table gives through the program's find what the
    // scan gives.
    void expectSame(const char *when)
    {
        SCOPED_TRACE(when);
        const char *const patterns[] = {"*O'Brien*", "*città*", "*CITTÀ*", "*[bracket]*", "*[b]racket*", "*a#1*",
                                        "*20#9*", "*a?c*", "*abc*", "*[!a]bc*", "*[abc*", "*\"quoted\"*", "*under_score*",
                                        "*100%*", "*ünï*", "*ab cd*", "*zürich*", "*x[*]y*", "*ca?e*", "*", "**",
                                        "*e*", "*gar*den*", "*meeting garden*", "*σοφια*", "*tab\there*", "*ee*", "*[!a]b?*", "*."};
        for (const char *p : patterns) {
            const QString pattern = QString::fromUtf8(p);
            EXPECT_EQ(found(pattern), scan(pattern)) << p;
        }
    }
};

TEST_F(Search, BatchesGiveTheScanOnTwoConnectionsOnOneAndWithoutThePlainTextsApart)
{
    expectSame("on two connections");
    {
        // Rows only this connection sees: the scan must be its own.
        store::Transaction write(ns.dbNotes);
        ASSERT_TRUE(stored::addTopic(ns.dbNotes, 0, u"abc not yet committed"_s) > 0);
        expectSame("inside a write");
    }
    ASSERT_TRUE(ns.dbNotes.exec(u"DROP TABLE ArgomentiTesto; DROP TABLE ArgomentiInizio"_s));
    ns.close();
    ASSERT_TRUE(ns.open());
    ASSERT_FALSE(ns.hasPlainTexts() || ns.hasTextStarts());
    expectSame("without the plain texts apart");
}

TEST_F(Search, IndexedSearchGivesWhatAFullScanGivesAfterSavesDeletesAndMoves)
{
    ASSERT_TRUE(ns.hasTopicIndex());
    // One write each, as the program makes them.
    ASSERT_TRUE(ns.dbNotes.exec(u"UPDATE Argomenti SET ContenutoTxt = 'rewritten meeting about Zürich' WHERE idArgomento % 3 = 0"_s));
    ASSERT_TRUE(ns.dbNotes.exec(u"DELETE FROM Argomenti WHERE idArgomento % 3 <> 0 AND idArgomento % 5 = 0"_s));
    ASSERT_TRUE(ns.dbNotes.exec(u"UPDATE Argomenti SET idCategoria = 99, argomento = 'moved garden' "
                                "WHERE idArgomento % 3 <> 0 AND idArgomento % 5 <> 0 AND idArgomento % 7 = 0"_s));
    expectSame("after saves, deletes and moves");
}

TEST_F(Search, PackingCopiesTheIndexAndGivesNoDeletedKeyAgain)
{
    // Into a new file, never over one, leaving its source alone.
    ASSERT_TRUE(ns.dbNotes.exec(u"DELETE FROM Argomenti WHERE idArgomento = 400"_s));
    ns.close();
    const QString path = store::JoinPath(dir.path(), store::kDatabaseFileName), old = path + u".old"_s;
    ASSERT_TRUE(QFile::rename(path, old));
    const QByteArray source = TempDir::read(old);
    QString err;
    ASSERT_TRUE(store::NoteStore::compactDatabase(old, path, &err)) << err.toStdString();
    EXPECT_TRUE(TempDir::read(old) == source);
    EXPECT_FALSE(store::NoteStore::compactDatabase(old, path, &err)) << "never overwrites";
    EXPECT_FALSE(store::NoteStore::compactDatabase(dir.file(u"none.mdb"_s), dir.file(u"n2"_s), &err));
    ASSERT_TRUE(ns.open());
    expectSame("in the packed copy");
    EXPECT_EQ(stored::insert(ns.dbNotes, u"Argomenti"_s, {{u"argomento"_s, u"new"_s}}), 401)
        << "the deleted key 400 is not given again";
}

TEST_F(Search, AnOlderFileGetsItsIndexesAndItsDraftsWhenOpenedAndSaysHowFarItIs)
{
    using Work = store::NoteStore::Work;
    // What takes away a table kept in step with the topics, with its triggers.
    const auto drop = [](const char *table, const char *triggers) {
        return u"DROP TRIGGER Argomenti_%1_insert; DROP TRIGGER Argomenti_%1_delete; DROP TRIGGER Argomenti_%1_update; DROP TABLE %2; "_s.arg(
            QLatin1String(triggers), QLatin1String(table));
    };
    const struct {
        int version;
        QString drop;
        std::vector<Work> work;
    } olderFiles[] = {
        {1, drop("ArgomentiFts", "fts") + drop("ArgomentiTesto", "testo") + u"DROP TABLE Bozze; "_s, {Work::IndexingTopics, Work::CopyingTexts}},
        {2, drop("ArgomentiTesto", "testo") + u"DROP TABLE Bozze; "_s, {Work::CopyingTexts}},
        {3, drop("ArgomentiTesto", "testo"), {Work::CopyingTexts}},
        {4, QString(), {Work::CopyingTexts}},
    };
    // Brought up to date, a file holds what a new one does, as it was made.
    const auto schema = [this] {
        QStringList out;
        store::Statement st(ns.dbNotes, u"SELECT sql FROM sqlite_schema ORDER BY name"_s);
        while (st.step())
            out << st.columnText(0);
        return out;
    };
    const QStringList fresh = schema();
    for (const auto &older : olderFiles) {
        ASSERT_TRUE(ns.dbNotes.exec(older.drop + drop("ArgomentiInizio", "inizio") + u"PRAGMA user_version = %1"_s.arg(older.version)));
        ns.close();
        std::vector<Work> seen;
        std::pair<qint64, qint64> last;
        ns.onProgress = [&](Work work, qint64 done, qint64 total) {
            if (seen.empty() || seen.back() != work)
                seen.push_back(work);
            last = {done, total};
        };
        ASSERT_TRUE(ns.open()) << older.version;
        ns.onProgress = nullptr;
        EXPECT_EQ(seen, older.work) << older.version;
        EXPECT_EQ(last, (std::pair<qint64, qint64>(400, 400))) << "the last report says all is done";
        EXPECT_TRUE(ns.hasTopicIndex() && ns.hasPlainTexts() && ns.hasTextStarts() && ns.hasDrafts());
        EXPECT_EQ(schema(), fresh) << older.version;
        expectSame("in an older file brought up to date");
    }
}
