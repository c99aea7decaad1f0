// The preferences kept with the notes, typed, without a window.

#include "db/StoreFixture.h"
#include "notes/Settings.h"

using Settings = StoreFixture;

TEST_F(Settings, EachPreferenceReadsBackWhatWasWritten)
{
    notes::Settings s(ns);
    const QDateTime run(QDate(2026, 12, 7), QTime(9, 30));
    ASSERT_TRUE(s.setLanguage(1) && s.setLastRun(run) && s.setLastCategory(7)
                && s.setSystemFont({u"DejaVu Sans"_s, 9.5, u"B"_s}) && s.setEditorFont({u"DejaVu Serif"_s, 12, QString()})
                && s.setEditorColour(0xff0000) && s.setEditorSize(9120, 7200) && s.setShowButtons(true));
    EXPECT_EQ(s.language(), 1);
    EXPECT_EQ(s.lastRun(), run);
    EXPECT_EQ(s.lastCategory(), 7);
    EXPECT_EQ(s.systemFont()->face + u' ' + QString::number(s.systemFont()->size) + u' ' + s.systemFont()->style,
              u"DejaVu Sans 9.5 B"_s);
    EXPECT_EQ(s.editorFont()->style, QString()) << "a plain font is set, not empty";
    EXPECT_EQ(s.editorColour(), 0xff0000);
    EXPECT_EQ(s.editorSize(), std::make_pair(9120.0, 7200.0));
    EXPECT_TRUE(s.showButtons());
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
