#include "StoreFixture.h"
#include "db/Sqlite.h"
#include "db/Recordset.h"

// The cursors the core keeps over the Setup record and the tables' fields.
class Records : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        // Seeks go by key unless a test picks another index.
        ASSERT_TRUE(ns.rsArgomenti->setIndex(u"PrimaryKey"_s) && ns.rsCategorie->setIndex(u"PrimaryKey"_s));
    }
};

TEST_F(Records, SeekEditAndDeleteAreSeenByEveryCursorAndAFailureWritesNothing)
{
    const int c = addCategory(u"Home"_s);
    EXPECT_GT(addCategory(u"Beta"_s), c);
    const int t = addTopic(c, u"Groceries"_s, u"milk"_s);
    auto &rs = *ns.rsArgomenti;
    EXPECT_TRUE(rs.seek(t));
    EXPECT_FALSE(rs.noMatch());
    EXPECT_EQ(text(rs, "argomento") + u'|' + text(rs, "contenuto"), u"Groceries|milk"_s);
    EXPECT_FALSE(rs.seek(t + 100));
    EXPECT_TRUE(rs.noMatch());
    EXPECT_FALSE(rs.field(u"argomento"_s).isValid()) << "no current record after a failed seek";
    EXPECT_FALSE(ns.errors().isEmpty());

    // A seek that fails on an error is no "no match", and leaves nothing
    // current for an edit to reach.
    ASSERT_TRUE(rs.seek(t));
    ASSERT_TRUE(ns.dbNotes.exec(u"ALTER TABLE Argomenti RENAME TO Elsewhere"_s));
    EXPECT_FALSE(rs.seek(t));
    EXPECT_FALSE(rs.noMatch());
    ASSERT_TRUE(ns.dbNotes.exec(u"ALTER TABLE Elsewhere RENAME TO Argomenti"_s));
    EXPECT_FALSE(rs.edit()) << "the record current before the seek is not edited";

    // A walk sees records added ahead of it through another cursor.
    rs.moveFirst();
    auto other = store::TableRecordset::open(ns.dbNotes, u"Argomenti"_s);
    ASSERT_TRUE(other->addNew() && other->setField(u"idCategoria"_s, c) && other->setField(u"argomento"_s, u"added"_s) && other->update());
    const int added = int(other->lastModified());
    QStringList seen;
    for (; !rs.eof(); rs.moveNext())
        seen << text(rs, "argomento");
    EXPECT_EQ(seen, (QStringList{u"Groceries"_s, u"added"_s}));

    // An edited record stays current, and the other cursor sees the change.
    ASSERT_TRUE(other->setIndex(u"PrimaryKey"_s) && other->seek(t));
    EXPECT_EQ(text(*other, "argomento"), u"Groceries"_s);
    ASSERT_TRUE(rs.seek(t) && rs.edit() && rs.setField(u"argomento"_s, u"Final"_s));
    EXPECT_EQ(text(rs, "argomento"), u"Final"_s) << "edit buffer is read back";
    ASSERT_TRUE(rs.update());
    EXPECT_EQ(text(rs, "argomento"), u"Final"_s);
    EXPECT_EQ(rs.lastModified(), t);
    EXPECT_EQ(text(*other, "argomento"), u"Final"_s);

    ASSERT_TRUE(rs.edit() && rs.setField(u"argomento"_s, u"Lost"_s));
    rs.cancelUpdate();
    EXPECT_FALSE(rs.update()) << "update without edit is refused";
    ASSERT_TRUE(rs.seek(t));
    EXPECT_EQ(text(rs, "argomento"), u"Final"_s);

    // A deleted record cannot be read, and its key is never reused.
    ASSERT_TRUE(rs.seek(t) && rs.remove());
    EXPECT_FALSE(rs.field(u"argomento"_s).isValid());
    EXPECT_FALSE(rs.remove()) << "deleting twice is an error";
    ASSERT_TRUE(rs.moveNext()) << "the walk goes on after a deleted record";
    EXPECT_EQ(rs.field(u"idArgomento"_s).toInt(), added);
    ASSERT_TRUE(rs.remove());
    EXPECT_GT(addTopic(c, u"third"_s), added);

    // Saving a record deleted meanwhile through another cursor fails, and says so.
    auto &categories = *ns.rsCategorie;
    ASSERT_TRUE(categories.seek(c) && categories.edit() && categories.setField(u"Categoria"_s, u"Renamed"_s));
    auto another = store::TableRecordset::open(ns.dbNotes, u"Categorie"_s);
    ASSERT_TRUE(another->setIndex(u"PrimaryKey"_s) && another->seek(c) && another->remove());
    EXPECT_FALSE(categories.update());
    ASSERT_FALSE(ns.errors().isEmpty());
    EXPECT_EQ(ns.errors().constLast().description, u"Record is deleted."_s);
    EXPECT_EQ(categories.recordCount(), 1) << "nothing was written back: Beta alone is left";
}

TEST_F(Records, TextLongerThanItsSizeOrOutsideItsTypeIsRefusedAndOnlyAFailureReplacesTheErrors)
{
    auto &rs = *ns.rsCategorie;
    const int size = rs.fieldSize(u"Categoria"_s);
    EXPECT_EQ(size, 50) << "size comes from the schema";
    EXPECT_EQ(ns.rsArgomenti->fieldSize(u"argomento"_s), 100);
    EXPECT_EQ(ns.rsArgomenti->fieldSize(u"contenuto"_s), 0);
    ASSERT_TRUE(rs.addNew());
    EXPECT_TRUE(rs.setField(u"Categoria"_s, QString(size, u'x')));
    EXPECT_FALSE(rs.setField(u"Categoria"_s, QString(size + 1, u'x')));
    const auto tooSmall = [&] { return ns.errors().size() == 1 && ns.errors().first().description.contains(u"too small"_s); };
    EXPECT_TRUE(tooSmall());
    rs.cancelUpdate();
    addCategory(u"fine"_s);
    EXPECT_TRUE(tooSmall()) << "what succeeds keeps the error list; only a failure replaces it";

    auto &setup = *ns.rsSetup;
    ASSERT_TRUE(setup.edit());
    EXPECT_FALSE(setup.setField(u"lingua"_s, 40000)) << "16-bit field";
    ASSERT_EQ(ns.errors().size(), 1);
    EXPECT_FALSE(tooSmall());
    EXPECT_FALSE(setup.setField(u"UltimoAvvio"_s, u"not a date"_s));
    EXPECT_FALSE(setup.setField(u"NoSuchField"_s, 1));

    // Values of each type come back as that type; an empty field as null.
    const QDateTime when(QDate(2027, 12, 31), QTime(23, 59, 58));
    ASSERT_TRUE(setup.setField(u"UltimoAvvio"_s, when) && setup.setField(u"SysFontAltezza"_s, 12.5)
                && setup.setField(u"mostrapulsanti"_s, false) && setup.setField(u"lingua"_s, QVariant()));
    ASSERT_TRUE(setup.update());
    EXPECT_EQ(setup.field(u"UltimoAvvio"_s).toDateTime(), when);
    EXPECT_DOUBLE_EQ(setup.field(u"SysFontAltezza"_s).toDouble(), 12.5);
    EXPECT_EQ(setup.field(u"mostrapulsanti"_s).typeId(), QMetaType::Bool);
    EXPECT_TRUE(setup.field(u"lingua"_s).isNull());
}

TEST_F(Records, AnExistingFileIsNeverCreatedOver)
{
    QString err;
    EXPECT_FALSE(store::NoteStore::createDatabase(dir.file(store::kDatabaseFileName), QDateTime(), &err));
}
