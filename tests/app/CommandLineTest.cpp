#include "Avvio.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using Avvio::GetCommandLine;

TEST(CommandLine, WordsAreSplitAtBlanksAfterAnEmptyElementZeroAndAPerMilleSignIsABlank)
{
    const QStringList w = GetCommandLine(QStringLiteral("  /M \t /data/notes   x"));
    EXPECT_EQ(w, (QStringList{QString(), QStringLiteral("/M"), QStringLiteral("/data/notes"), QStringLiteral("x")}));
    EXPECT_EQ(GetCommandLine(QString()), QStringList{QString()});
    EXPECT_EQ(GetCommandLine(QStringLiteral(" \t ")), QStringList{QString()});

    EXPECT_EQ(GetCommandLine(QStringLiteral("/home/me/My‰Notes other")).value(1), QStringLiteral("/home/me/My Notes"));
    // A raw code-137 byte read as Latin-1 counts too.
    EXPECT_EQ(GetCommandLine(QStringLiteral("a") + QChar(0x89) + QStringLiteral("b"))[1], QStringLiteral("a b"));
    EXPECT_EQ(GetCommandLine(QStringLiteral("‰‰"))[1], QStringLiteral("  "));

    // Words beyond the maximum are dropped.
    const QStringList many = GetCommandLine(QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12"));
    ASSERT_EQ(many.size(), 11);
    EXPECT_EQ(many[10], QStringLiteral("10"));
    EXPECT_EQ(GetCommandLine(QStringLiteral("a b c"), 2), (QStringList{QString(), QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(CommandLine, SlashWordsAreSwitchesUnlessTheyAreFolderPaths)
{
    // A folder at the root (/notes) is a folder; a lone slash is none.
    for (const char *word : {"/M", " /x ", "/"})
        EXPECT_TRUE(Avvio::IsSwitch(QString::fromLatin1(word))) << word;
    for (const char *word : {"/notes", "/home/me/Notes", "/data/", "notes"})
        EXPECT_FALSE(Avvio::IsSwitch(QString::fromLatin1(word))) << word;
}
