#include "PlainRtf.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using rtf::plainToRtf;
using rtf::rtfToPlain;

TEST(PlainRtf, WritesSevenBitRtfThatReadsBackTheSameText)
{
    const QString text = QStringLiteral("Prima riga {graffe} e \\barra\nperché €\tTab\n\U0001F600 fine");
    const QString rtf = plainToRtf(text);
    EXPECT_TRUE(rtf.startsWith(QLatin1String("{\\rtf1")));
    for (QChar c : rtf)
        ASSERT_LT(c.unicode(), 0x80) << "only 7-bit characters";
    EXPECT_EQ(rtfToPlain(rtf), text);
    EXPECT_EQ(rtfToPlain(plainToRtf(QString())), QString());
}

TEST(PlainRtf, ReadsWhatOtherWritersProduce)
{
    const QString wordpad = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator Riched20 5.50.99.2050;}\\viewkind4\\uc1\\pard\\lang1040\\f0\\fs20 Citt\\'e0 \\b bold\\b0 "
        "\\u8364?uro\\par\nseconda\\par\n}");
    EXPECT_EQ(rtfToPlain(wordpad), QStringLiteral("Città bold€uro\nseconda")) << "the blank after \\b0 ends the word";
    EXPECT_EQ(rtfToPlain(QStringLiteral("not rtf at all")), QStringLiteral("not rtf at all"));
}

TEST(PlainRtf, MalformedInputEndsWithWhatCouldBeRead)
{
    EXPECT_EQ(rtfToPlain(QStringLiteral("{\\rtf1 abc {\\b def")), QStringLiteral("abc def"));
    EXPECT_EQ(rtfToPlain(QStringLiteral("{\\rtf1 x}}}} y")), QStringLiteral("x y"));
    EXPECT_EQ(rtfToPlain(QStringLiteral("{\\rtf1 \\'zz\\'4")), QString());
    EXPECT_EQ(rtfToPlain(QStringLiteral("{\\rtf1 \\u99999999999999 a\\")), QStringLiteral("a"));
}
