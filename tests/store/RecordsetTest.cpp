#include "StoreFixture.h"

#include <sqlite3.h>

using Records = StoreFixture;

TEST_F(Records, SeekFindsByPrimaryKeyOrReportsNoMatch)
{
    const int c = addCategory(QStringLiteral("Home"));
    EXPECT_GT(addCategory(QStringLiteral("Beta")), c);
    ASSERT_TRUE(ns.rsCategorie->setBookmark(ns.rsCategorie->lastModified()));
    EXPECT_EQ(ns.rsCategorie->field(QStringLiteral("Categoria")).toString(), QStringLiteral("Beta"));
    const int t = addTopic(c, QStringLiteral("Groceries"), QStringLiteral("milk"));
    auto &rs = *ns.rsArgomenti;
    ASSERT_TRUE(rs.setIndex(QStringLiteral("PrimaryKey")));
    EXPECT_TRUE(rs.seek(t));
    EXPECT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.field(QStringLiteral("argomento")).toString(), QStringLiteral("Groceries"));
    EXPECT_EQ(rs.field(QStringLiteral("contenuto")).toString(), QStringLiteral("milk"));
    EXPECT_FALSE(rs.seek(t + 100));
    EXPECT_TRUE(rs.noMatch());
    EXPECT_FALSE(rs.field(QStringLiteral("argomento")).isValid()) << "no current record after a failed seek";
    EXPECT_FALSE(ns.errors().isEmpty());

    // A seek that fails on an error is no "no match", and leaves nothing
    // current for an edit to reach.
    ASSERT_TRUE(rs.seek(t));
    ASSERT_TRUE(ns.dbNotes.exec(QStringLiteral("ALTER TABLE Argomenti RENAME TO Elsewhere")));
    EXPECT_FALSE(rs.seek(t));
    EXPECT_FALSE(rs.noMatch());
    ASSERT_TRUE(ns.dbNotes.exec(QStringLiteral("ALTER TABLE Elsewhere RENAME TO Argomenti")));
    EXPECT_FALSE(rs.edit()) << "the record current before the seek is not edited";
}

TEST_F(Records, CategoryIndexKeepsTopicsOfACategoryAdjacent)
{
    const int c1 = addCategory(QStringLiteral("One"));
    const int c2 = addCategory(QStringLiteral("Two"));
    // Interleave the topics of the two categories.
    for (int i = 0; i < 300; ++i)
        addTopic(i % 2 ? c1 : c2, QStringLiteral("T%1").arg(i));
    auto &rs = *ns.rsArgomenti;
    ASSERT_TRUE(rs.setIndex(QStringLiteral("Categorie")));
    ASSERT_TRUE(rs.seek(c2));
    int count = 0;
    while (!rs.eof() && rs.field(QStringLiteral("idCategoria")).toInt() == c2) {
        ++count;
        ASSERT_TRUE(rs.moveNext());
    }
    EXPECT_EQ(count, 150);
    // From the first category a walk runs on through the next one to the end,
    // across the batch boundaries.
    ASSERT_TRUE(rs.seek(c1));
    count = 0;
    while (!rs.eof()) {
        ++count;
        rs.moveNext();
    }
    EXPECT_EQ(count, 300);
    EXPECT_FALSE(rs.seek(c2 + 7));
}

TEST_F(Records, CategoryNameIndexOrdersWithoutRegardToCase)
{
    // Enough names that the walk reads past its first batch.
    {
        store::Transaction tx(ns.dbNotes);
        for (int i = 0; i < 40; ++i)
            addCategory(QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0')));
        ASSERT_TRUE(tx.commit());
    }
    addCategory(QStringLiteral("beta"));
    addCategory(QStringLiteral("Gamma"));
    addCategory(QStringLiteral("Alpha"));
    addCategory(QStringLiteral("zeta"));
    auto &rs = *ns.rsCategorie;
    ASSERT_TRUE(rs.setIndex(QStringLiteral("Categoria")));
    QStringList names;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        names << rs.field(QStringLiteral("Categoria")).toString();
    ASSERT_EQ(names.size(), 44);
    EXPECT_EQ(names.mid(0, 3), (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("Gamma")}));
    EXPECT_EQ(names[3], QStringLiteral("n00"));
    EXPECT_EQ(names[42], QStringLiteral("n39"));
    EXPECT_EQ(names[43], QStringLiteral("zeta"));
    EXPECT_TRUE(rs.seek(QStringLiteral("GAMMA")));
}

TEST_F(Records, EditedRecordStaysCurrentOtherCursorsSeeTheChangeAndADeletedOneIsGoneAndCannotBeSaved)
{
    const int c = addCategory(QStringLiteral("Work"));
    const int t = addTopic(c, QStringLiteral("Draft"));
    auto other = store::TableRecordset::open(ns.dbNotes, QStringLiteral("Argomenti"));
    ASSERT_TRUE(other);
    other->setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(other->seek(t));
    EXPECT_EQ(other->field(QStringLiteral("argomento")).toString(), QStringLiteral("Draft"));

    auto &rs = *ns.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(t));
    ASSERT_TRUE(rs.edit());
    ASSERT_TRUE(rs.setField(QStringLiteral("argomento"), QStringLiteral("Final")));
    EXPECT_EQ(rs.field(QStringLiteral("argomento")).toString(), QStringLiteral("Final")) << "edit buffer is read back";
    ASSERT_TRUE(rs.update());
    EXPECT_EQ(rs.field(QStringLiteral("argomento")).toString(), QStringLiteral("Final"));
    EXPECT_EQ(rs.lastModified(), t);
    EXPECT_EQ(other->field(QStringLiteral("argomento")).toString(), QStringLiteral("Final"));

    // A cancelled edit changes nothing.
    rs.edit();
    rs.setField(QStringLiteral("argomento"), QStringLiteral("Lost"));
    rs.cancelUpdate();
    EXPECT_FALSE(rs.update()) << "update without edit is refused";
    ASSERT_TRUE(rs.seek(t));
    EXPECT_EQ(rs.field(QStringLiteral("argomento")).toString(), QStringLiteral("Final"));

    // A deleted record cannot be read, and its key is never reused.
    const int t2 = addTopic(c, QStringLiteral("second"));
    ASSERT_TRUE(rs.seek(t));
    ASSERT_TRUE(rs.remove());
    EXPECT_FALSE(rs.field(QStringLiteral("argomento")).isValid());
    EXPECT_FALSE(rs.remove()) << "deleting twice is an error";
    ASSERT_TRUE(rs.moveNext()) << "the walk goes on after a deleted record";
    EXPECT_EQ(rs.field(QStringLiteral("idArgomento")).toInt(), t2);
    ASSERT_TRUE(rs.remove());
    const int t3 = addTopic(c, QStringLiteral("third"));
    EXPECT_GT(t3, t2);

    // Saving a record deleted meanwhile through another cursor fails, and says so.
    auto &categories = *ns.rsCategorie;
    categories.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(categories.seek(c));
    ASSERT_TRUE(categories.edit());
    categories.setField(QStringLiteral("Categoria"), QStringLiteral("Renamed"));
    auto another = store::TableRecordset::open(ns.dbNotes, QStringLiteral("Categorie"));
    another->setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(another->seek(c));
    ASSERT_TRUE(another->remove());
    EXPECT_FALSE(categories.update());
    ASSERT_FALSE(ns.errors().isEmpty());
    EXPECT_EQ(ns.errors().constLast().description, QStringLiteral("Record is deleted."));
    EXPECT_EQ(categories.recordCount(), 0) << "nothing was written back";
}

TEST_F(Records, TextLongerThanItsSizeOrOutsideItsTypeIsRefusedAndOnlyAFailureReplacesTheErrors)
{
    auto &rs = *ns.rsCategorie;
    const int size = rs.fieldSize(QStringLiteral("Categoria"));
    EXPECT_EQ(size, 50) << "size comes from the schema";
    EXPECT_EQ(ns.rsArgomenti->fieldSize(QStringLiteral("argomento")), 100);
    EXPECT_EQ(ns.rsArgomenti->fieldSize(QStringLiteral("contenuto")), 0);
    ASSERT_TRUE(rs.addNew());
    EXPECT_TRUE(rs.setField(QStringLiteral("Categoria"), QString(size, QLatin1Char('x'))));
    EXPECT_FALSE(rs.setField(QStringLiteral("Categoria"), QString(size + 1, QLatin1Char('x'))));
    ASSERT_EQ(ns.errors().size(), 1);
    EXPECT_TRUE(ns.errors().first().description.contains(QLatin1String("too small")));
    rs.cancelUpdate();
    addCategory(QStringLiteral("fine"));
    ASSERT_EQ(ns.errors().size(), 1) << "what succeeds keeps the error list; only a failure replaces it";
    EXPECT_TRUE(ns.errors().first().description.contains(QLatin1String("too small")));

    // Values outside their field's type are refused too.
    auto &setup = *ns.rsSetup;
    ASSERT_TRUE(setup.edit());
    EXPECT_FALSE(setup.setField(QStringLiteral("lingua"), 40000)) << "16-bit field";
    ASSERT_EQ(ns.errors().size(), 1);
    EXPECT_FALSE(ns.errors().first().description.contains(QLatin1String("too small")));
    EXPECT_FALSE(setup.setField(QStringLiteral("UltimoAvvio"), QStringLiteral("not a date")));
    EXPECT_FALSE(setup.setField(QStringLiteral("NoSuchField"), 1));
    EXPECT_FALSE(ns.rsCategorie->addNew() && ns.rsCategorie->setField(QStringLiteral("idCategoria"), 5))
        << "the key is the engine's";
    ns.rsCategorie->cancelUpdate();

    // Values of each type come back as that type; an empty field as null.
    const QDateTime when(QDate(2027, 12, 31), QTime(23, 59, 58));
    ASSERT_TRUE(setup.setField(QStringLiteral("UltimoAvvio"), when) && setup.setField(QStringLiteral("SysFontAltezza"), 12.5)
                && setup.setField(QStringLiteral("mostrapulsanti"), false) && setup.setField(QStringLiteral("lingua"), QVariant()));
    ASSERT_TRUE(setup.update());
    EXPECT_EQ(setup.field(QStringLiteral("UltimoAvvio")).toDateTime(), when);
    EXPECT_DOUBLE_EQ(setup.field(QStringLiteral("SysFontAltezza")).toDouble(), 12.5);
    EXPECT_EQ(setup.field(QStringLiteral("mostrapulsanti")).typeId(), QMetaType::Bool);
    EXPECT_TRUE(setup.field(QStringLiteral("lingua")).isNull());
}

TEST_F(Records, WalkingTopicsNeverReadsTheirBodies)
{
    const int c = addCategory(QStringLiteral("Big"));
    for (int i = 0; i < 100; ++i)
        addTopic(c, QStringLiteral("T%1").arg(i), QStringLiteral("body"));
    QStringList sql;
    sqlite3_trace_v2(
        ns.dbNotes.handle(), SQLITE_TRACE_STMT,
        [](unsigned, void *ctx, void *, void *x) -> int {
            static_cast<QStringList *>(ctx)->append(QString::fromUtf8(static_cast<const char *>(x)));
            return 0;
        },
        &sql);
    auto &rs = *ns.rsArgomenti;
    rs.setIndex(QStringLiteral("Categorie"));
    rs.seek(c);
    int n = 0;
    while (!rs.eof() && rs.field(QStringLiteral("idCategoria")).toInt() == c) {
        EXPECT_FALSE(rs.field(QStringLiteral("argomento")).toString().isEmpty());
        rs.moveNext();
        ++n;
    }
    EXPECT_EQ(n, 100);
    for (const QString &s : sql) {
        EXPECT_FALSE(s.contains(QLatin1String("contenuto"), Qt::CaseInsensitive)) << s.toStdString();
    }
    EXPECT_LT(sql.size(), 20) << "rows are read in batches";
    sql.clear();
    rs.setIndex(QStringLiteral("PrimaryKey"));
    rs.moveFirst();
    EXPECT_EQ(rs.field(QStringLiteral("contenuto")).toString(), QStringLiteral("body"));
    EXPECT_TRUE(sql.join(QLatin1Char(' ')).contains(QLatin1String("contenuto"))) << "read when asked for";
    sqlite3_trace_v2(ns.dbNotes.handle(), 0, nullptr, nullptr);
}

TEST_F(Records, WalkSeesRecordsAddedAheadOfIt)
{
    const int c = addCategory(QStringLiteral("Live"));
    addTopic(c, QStringLiteral("a"));
    addTopic(c, QStringLiteral("b"));
    auto &rs = *ns.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    rs.moveFirst();
    auto writer = store::TableRecordset::open(ns.dbNotes, QStringLiteral("Argomenti"));
    writer->addNew();
    writer->setField(QStringLiteral("idCategoria"), c);
    writer->setField(QStringLiteral("argomento"), QStringLiteral("c"));
    ASSERT_TRUE(writer->update());
    QStringList seen;
    for (; !rs.eof(); rs.moveNext())
        seen << rs.field(QStringLiteral("argomento")).toString();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST_F(Records, EmptyTablesAndSnapshotsAreAtBothEndsAndASnapshotKeepsItsRowsAsTheyWereWhenItRan)
{
    auto &categories = *ns.rsCategorie;
    categories.setIndex(QStringLiteral("Categoria"));
    ASSERT_TRUE(categories.moveFirst());
    EXPECT_TRUE(categories.eof() && categories.bof());
    EXPECT_EQ(categories.recordCount(), 0);
    EXPECT_FALSE(categories.moveNext()) << "moving past the end is an error";
    for (const char *sql : {"SELECT * FROM Argomenti WHERE TipoAllarme > 0", "SELECT idArgomento FROM Argomenti"}) {
        auto snap = ns.openQuery(QString::fromLatin1(sql));
        ASSERT_TRUE(snap);
        EXPECT_TRUE(snap->eof() && snap->bof()) << sql;
        EXPECT_EQ(snap->recordCount(), 0);
    }

    const int c = addCategory(QStringLiteral("Snap"));
    const int first = addTopic(c, QStringLiteral("first"), QStringLiteral("b1"));
    const int second = addTopic(c, QStringLiteral("second"), QStringLiteral("b2"));
    const int third = addTopic(c, QStringLiteral("third"), QStringLiteral("b3"));
    auto rs = ns.openQuery(QStringLiteral("SELECT * FROM Argomenti ORDER BY argomento DESC"));
    ASSERT_TRUE(rs);
    auto &t = *ns.rsArgomenti;
    t.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(t.seek(second));
    ASSERT_TRUE(t.remove());
    ASSERT_TRUE(t.seek(third));
    t.edit();
    t.setField(QStringLiteral("argomento"), QStringLiteral("changed"));
    t.setField(QStringLiteral("TipoAllarme"), 1);
    t.setField(QStringLiteral("DataOraAllarme"), QDateTime(QDate(2030, 1, 1), QTime(8, 0)));
    ASSERT_TRUE(t.update());

    QStringList titles;
    QList<int> keys;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        titles << rs->field(QStringLiteral("argomento")).toString();
        keys << rs->field(QStringLiteral("idArgomento")).toInt();
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("third"), QStringLiteral("second"), QStringLiteral("first")}));
    EXPECT_EQ(keys, (QList<int>{third, second, first}));
    rs->moveFirst();
    EXPECT_EQ(rs->field(QStringLiteral("contenuto")).toString(), QStringLiteral("b3"));

    // Names in any case; a new snapshot sees the change.
    rs = ns.openQuery(QStringLiteral("SELECT * FROM ARGOMENTI WHERE TIPOALLARME > 0 ORDER BY DATAORAALLARME"));
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->field(QStringLiteral("DataOraAllarme")).toDateTime(), QDateTime(QDate(2030, 1, 1), QTime(8, 0)));
    EXPECT_EQ(rs->field(QStringLiteral("argomento")).toString(), QStringLiteral("changed"));
    EXPECT_FALSE(rs->bof());
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    rs = ns.openQuery(QStringLiteral("SELECT count(*) AS n FROM Argomenti"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->field(QStringLiteral("N")).toInt(), 2);
    EXPECT_FALSE(ns.openQuery(QStringLiteral("SELECT * FROM Nowhere")));
}
