// The preferences kept with the notes, typed, without a window.

#include "db/StoreFixture.h"
#include "notes/Settings.h"

using Settings = StoreFixture;

// The others are read back where the windows use them.
TEST_F(Settings, TheEditorsColourReadsBackAsWritten)
{
    notes::Settings s(ns);
    ASSERT_TRUE(s.setEditorColour(0xff0000));
    EXPECT_EQ(s.editorColour(), 0xff0000);
}

TEST_F(Settings, AFontWithAnEmptyFieldIsNoFont)
{
    notes::Settings s(ns);
    ASSERT_TRUE(s.setEditorFont({u"DejaVu Serif"_s, 12, u"I"_s}));
    ASSERT_TRUE(ns.dbNotes.exec(u"UPDATE Setup SET EditFontAttributi = NULL"_s));
    EXPECT_FALSE(s.editorFont());
}

TEST_F(Settings, AWriteTheStoreRefusesIsFalseAndChangesNothing)
{
    notes::Settings s(ns);
    ASSERT_TRUE(s.setLastCategory(3));
    ASSERT_TRUE(ns.dbNotes.exec(u"CREATE TRIGGER refuse BEFORE UPDATE ON Setup BEGIN SELECT RAISE(ABORT, 'no'); END"_s));
    EXPECT_FALSE(s.setLastCategory(4));
    EXPECT_EQ(s.lastCategory(), 3);
}
