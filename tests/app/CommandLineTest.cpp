#include "Avvio.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using Avvio::GetCommandLine;

TEST(CommandLine, WordsAreSplitAtBlanksAndTabsAfterAnEmptyElementZero)
{
    const QStringList w = GetCommandLine(QStringLiteral("  /M \t /data/notes   x"));
    EXPECT_EQ(w, (QStringList{QString(), QStringLiteral("/M"), QStringLiteral("/data/notes"), QStringLiteral("x")}));
    EXPECT_EQ(GetCommandLine(QString()), QStringList{QString()});
    EXPECT_EQ(GetCommandLine(QStringLiteral(" \t ")), QStringList{QString()});
}

TEST(CommandLine, PerMilleSignStandsForABlankInsideAWord)
{
    const QStringList w = GetCommandLine(QStringLiteral("/home/me/My‰Notes other"));
    ASSERT_EQ(w.size(), 3);
    EXPECT_EQ(w[1], QStringLiteral("/home/me/My Notes"));
    // A raw code-137 byte read as Latin-1 counts too.
    EXPECT_EQ(GetCommandLine(QStringLiteral("a") + QChar(0x89) + QStringLiteral("b"))[1], QStringLiteral("a b"));
    EXPECT_EQ(GetCommandLine(QStringLiteral("‰‰"))[1], QStringLiteral("  "));
}

TEST(CommandLine, WordsBeyondTheMaximumAreDropped)
{
    const QStringList w = GetCommandLine(QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12"));
    ASSERT_EQ(w.size(), 11);
    EXPECT_EQ(w[10], QStringLiteral("10"));
    const QStringList two = GetCommandLine(QStringLiteral("a b c"), 2);
    EXPECT_EQ(two, (QStringList{QString(), QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(CommandLine, SlashWordsAreSwitchesUnlessTheyAreFolderPaths)
{
    EXPECT_TRUE(Avvio::IsSwitch(QStringLiteral("/M")));
    EXPECT_TRUE(Avvio::IsSwitch(QStringLiteral(" /x ")));
    EXPECT_FALSE(Avvio::IsSwitch(QStringLiteral("/notes"))) << "a folder at the root";
    EXPECT_TRUE(Avvio::IsSwitch(QStringLiteral("/"))) << "a lone slash is no folder";
    EXPECT_FALSE(Avvio::IsSwitch(QStringLiteral("/home/me/Notes")));
    EXPECT_FALSE(Avvio::IsSwitch(QStringLiteral("/data/")));
    EXPECT_FALSE(Avvio::IsSwitch(QStringLiteral("notes")));
}
