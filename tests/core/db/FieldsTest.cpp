#include "StoreFixture.h"

// The fields' widths and types as the schema declares them, and the Setup
// record written through them.
using Fields = StoreFixture;

TEST_F(Fields, WidthsComeFromTheSchema)
{
    EXPECT_EQ(ns.fieldSize(u"Categorie"_s, u"Categoria"_s), 50);
    EXPECT_EQ(ns.fieldSize(u"Argomenti"_s, u"argomento"_s), 100);
    EXPECT_EQ(ns.fieldSize(u"Argomenti"_s, u"contenuto"_s), 0) << "a memo has no width";
}

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

TEST_F(Fields, ValuesOfEachTypeComeBackAsThatTypeAndAnEmptyOneAsNull)
{
    store::SingleRow &setup = *ns.setup;
    const QDateTime when(QDate(2027, 12, 31), QTime(23, 59, 58));
    ASSERT_TRUE(setup.write({{u"UltimoAvvio"_s, when}, {u"SysFontAltezza"_s, 12.5}, {u"mostrapulsanti"_s, false},
                             {u"lingua"_s, QVariant()}}));
    EXPECT_EQ(setup.field(u"UltimoAvvio"_s).toDateTime(), when);
    EXPECT_DOUBLE_EQ(setup.field(u"SysFontAltezza"_s).toDouble(), 12.5);
    EXPECT_EQ(setup.field(u"mostrapulsanti"_s).typeId(), QMetaType::Bool);
    EXPECT_TRUE(setup.field(u"lingua"_s).isNull());
}

TEST_F(Fields, AnExistingFileIsNeverCreatedOver)
{
    QString err;
    EXPECT_FALSE(store::NoteStore::createDatabase(dir.file(store::kDatabaseFileName), QDateTime(), &err));
}
