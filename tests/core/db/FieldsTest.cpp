#include "StoreFixture.h"

// The Setup record refuses what its fields' widths and types cannot hold,
// and a new database is never made over an existing file.
using Fields = StoreFixture;

TEST_F(Fields, AValueThatDoesNotFitIsRefusedAndOnlyAFailureReplacesTheErrors)
{
    store::SingleRow &setup = *ns.setup;
    const int width = setup.fieldSize(u"SysFontAttributi"_s);
    ASSERT_GT(width, 0);
    EXPECT_TRUE(setup.write({{u"SysFontAttributi"_s, QString(width, u'B')}}));
    EXPECT_FALSE(setup.write({{u"SysFontAttributi"_s, QString(width + 1, u'B')}}));
    const auto tooSmall = [&] { return ns.errors().size() == 1 && ns.errors().first().description.contains(u"too small"_s); };
    EXPECT_TRUE(tooSmall());
    EXPECT_TRUE(setup.write({{u"lingua"_s, 1}}));
    EXPECT_TRUE(tooSmall()) << "what succeeds keeps the error list; only a failure replaces it";

    EXPECT_FALSE(setup.write({{u"lingua"_s, 0}, {u"lingua"_s, 40000}})) << "16-bit field";
    ASSERT_EQ(ns.errors().size(), 1);
    EXPECT_FALSE(tooSmall());
    EXPECT_EQ(setup.field(u"lingua"_s).toInt(), 1) << "all or nothing";
    EXPECT_FALSE(setup.write({{u"UltimoAvvio"_s, u"not a date"_s}}));
    EXPECT_FALSE(setup.write({{u"NoSuchField"_s, 1}}));
}

TEST_F(Fields, AnExistingFileIsNeverCreatedOver)
{
    QString err;
    EXPECT_FALSE(store::NoteStore::createDatabase(dir.file(store::kDatabaseFileName), QDateTime(), &err));
}
