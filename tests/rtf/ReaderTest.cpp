#include "QtPrinters.h"
#include "Rtf.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QTextDocument *load(const char *rtfText, QTextDocument &doc)
{
    EXPECT_TRUE(rtf::read(QByteArray(rtfText), &doc));
    return &doc;
}

QTextCharFormat formatAt(const QTextDocument &doc, const QString &word)
{
    const QString text = doc.toPlainText();
    const qsizetype at = text.indexOf(word);
    EXPECT_GE(at, 0) << word.toStdString();
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(int(at) + 1);
    return c.charFormat();
}

} // namespace

TEST(RtfReader, RichEditStyleBodyKeepsBulletsIndentsColoursAndAccents)
{
    QTextDocument doc;
    load(R"({\rtf1\ansi\ansicpg1252\deff0\deflang1040{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fnil\fcharset2 Symbol;}}
{\colortbl ;\red255\green0\blue0;\red0\green128\blue0;}
\viewkind4\uc1\pard\f0\fs20 Perch\'e9 \cf1 rosso\cf0  e \cf2\b verde\b0\cf0\par
\pard{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}\fi-720\li720 primo\par
{\pntext\f1\'b7\tab}secondo\par
\pard\li1440 rientrato\par
\pard\qc centrato\par
}
)",
         doc);
    ASSERT_EQ(doc.blockCount(), 5) << "the closing mark adds no paragraph";
    EXPECT_EQ(rtf::plainText(&doc), u"Perché rosso e verde\nprimo\nsecondo\nrientrato\ncentrato"_s);
    EXPECT_EQ(formatAt(doc, u"rosso"_s).foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat verde = formatAt(doc, u"verde"_s);
    EXPECT_EQ(verde.foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(verde.fontWeight(), QFont::Bold);
    EXPECT_EQ(verde.fontFamilies().toStringList().value(0), u"Arial"_s);
    EXPECT_DOUBLE_EQ(verde.fontPointSize(), 10.0);
    EXPECT_FALSE(formatAt(doc, u"Perch"_s).hasProperty(QTextFormat::ForegroundBrush));

    const QTextBlock primo = doc.findBlockByNumber(1), secondo = doc.findBlockByNumber(2);
    ASSERT_TRUE(primo.textList());
    EXPECT_EQ(primo.textList(), secondo.textList());
    EXPECT_EQ(primo.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_DOUBLE_EQ(primo.blockFormat().leftMargin() * rtf::kTwipsPerUnit, 720);
    EXPECT_DOUBLE_EQ(primo.blockFormat().textIndent() * rtf::kTwipsPerUnit, -720);
    const QTextBlock rientrato = doc.findBlockByNumber(3);
    EXPECT_FALSE(rientrato.textList()) << "\\pard ends the list";
    EXPECT_DOUBLE_EQ(rientrato.blockFormat().leftMargin() * rtf::kTwipsPerUnit, 1440);
    EXPECT_EQ(doc.findBlockByNumber(4).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

// Sources and the text they read as (null: reading them is all that
// counts), and text that is no RTF at all.
TEST(RtfReader, TextTableAndTextThatIsNotRtf)
{
    const struct {
        const char *rtf, *text;
    } cases[] = {
        // Code pages of the document and of fonts.
        {R"({\rtf1\ansi\ansicpg1250{\fonttbl{\f0 Arial CE;}{\f1\fcharset204 Arial Cyr;}{\f2\fcharset161 Arial Greek;}})"
         R"(\f0 \'9e\'e8\'ef \f1 \'cf\'f0\'e8\'e2\'e5\'f2 \f2 \'e1\'e2\'e3})",
         "žčď Привет αβγ"},
        {R"({\rtf1\ansi\ansicpg950{\fonttbl{\f0\fcharset136 MingLiU;}}\f0 \'a4\'a4\'a4\'e5})", "中文"},
        // Unicode escapes skip their fallback, which runs on past the
        // escape; a control word counts as one character of it.
        {R"({\rtf1\ansi\uc1 a\u8364?b {\uc2\u8364\'80\'80 c} \u-10179?\u-8694? d\u233\'e9 e})", "a€b € c 😊 dé e"},
        {R"({\rtf1\ansi\uc3\u8364 xyz!\uc2\u233\tab q r\uc0\u233 s})", "€!é rés"},
        // Unknown destinations, fields, binary data.
        {R"({\rtf1\ansi{\*\unknowndest hidden text}{\*\generator Riched20;}shown )"
         R"({\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt link text}} )"
         R"({\info{\title not body}}{\stylesheet{\s1 heading;}}\bin4 {}}}after\par} trailing)",
         "shown link text after"},
        // Malformed input ends with what could be read; nothing after the
        // document's last brace is.
        {"{\\rtf1 abc {\\b def", "abc def"},
        {"{\\rtf1 x}}}}}} y", "x"},
        {"{\\rtf1 \\'zz\\'4", nullptr},
        {"{\\rtf1 \\u99999999999999 a\\", nullptr},
        {"{\\rtf1 \\bin999999999 tail}", nullptr},
        {"{\\rtf1 {\\pict\\pngblip 89504e47zz}after}", nullptr},
        {"{\\rtf1 \\fs-5 \\fs999999 \\uc-3 \\ucX small}", nullptr},
        // A few stray characters before the document are passed over.
        {"\r\n/{\\rtf1 stray start}", "stray start"},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        EXPECT_TRUE(rtf::read(QByteArray(c.rtf), &doc)) << c.rtf;
        EXPECT_TRUE(!c.text || rtf::plainText(&doc).toStdString() == c.text) << c.rtf << " read as " << rtf::plainText(&doc).toStdString();
    }
    // Text that is not RTF is refused, and the document kept.
    QTextDocument doc;
    doc.setPlainText(u"kept"_s);
    QString error;
    EXPECT_FALSE(rtf::read(QByteArray("just words"), &doc, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(doc.toPlainText(), u"kept"_s);
}

TEST(RtfReader, FormatsFollowGroupsNumbersAndLateTables)
{
    QTextDocument doc;
    load(R"({\rtf1 {\b one}two{\b three}\par four \fs40 five \fs0030 six \fs99999999999 seven \fs- eight})", doc);
    EXPECT_EQ(rtf::plainText(&doc), u"onetwothree\nfour five six seven eight"_s);
    for (const auto &[word, weight] : {std::pair{u"one"_s, QFont::Bold}, {u"two"_s, QFont::Normal}, {u"three"_s, QFont::Bold}, {u"four"_s, QFont::Normal}})
        EXPECT_EQ(formatAt(doc, word).fontWeight(), weight) << word.toStdString();
    // Leading zeros are read; a number out of range is no size.
    for (const auto &[word, points] : {std::pair{u"five"_s, 20.0}, {u"six"_s, 15.0}, {u"seven"_s, 15.0}, {u"eight"_s, 15.0}})
        EXPECT_EQ(formatAt(doc, word).fontPointSize(), points) << word.toStdString();

    // A colour table after the text: the same state gives a new colour.
    load(R"({\rtf1\cf1 before{\colortbl;\red255\green0\blue0;}after})", doc);
    EXPECT_FALSE(formatAt(doc, u"before"_s).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatAt(doc, u"after"_s).foreground().color(), QColor(255, 0, 0));
}

TEST(RtfReader, FilesMadeForThePurposeReadAsTheirMarkersAndNotesShow)
{
    // Each file's text as its source shows it (that a save keeps it is the
    // corpus round trip's check, which reads these files too).
    const struct {
        const char *file;
        const char *text;
    } cases[] = {
        {"lists.rtf",
         "I. Upper roman\na) letter under I\ni. roman under a\nii. second roman under a\nb) second letter\n"
         "II. second upper roman\na) letter under II starts again\nFirst list:\n1. one\n2. two\n"
         "A paragraph between, and the list goes on:\n3. three\n4. \n1. a list of its own\n2. its second\n"
         "bullet\n\nbullet after an empty one\na. first letter\nb. b\nc. c\nd. d\ne. e\nf. f\ng. g\nh. h\n"
         "i. ninth letter, not a roman one\nj. "},
        {"notes.rtf",
         "Body with a note1 here.\n1 First note, bold.\nSecond2 and an endnotei.\n2 Note of two\nparagraphs.\n"
         "Own mark* and the end.\n* Starred note.\ni The endnote."},
        {"east-asian-fonts.rtf", "中文 Chinese 日本 Japanese Latin"},
    };
    for (const auto &c : cases) {
        QFile f(QStringLiteral(QUORVEL_RTF_FILES "/") + QLatin1String(c.file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.file;
        QTextDocument doc, saved;
        ASSERT_TRUE(rtf::read(f.readAll(), &doc) && rtf::read(rtf::write(&doc), &saved));
        EXPECT_EQ(rtf::plainText(&doc).toStdString(), c.text) << c.file;
        if (QLatin1String(c.file) == QLatin1String("east-asian-fonts.rtf")) {  // the names survive a save
            EXPECT_EQ(formatAt(saved, u"中文"_s).fontFamilies().toStringList().value(0), u"宋体"_s);
            EXPECT_EQ(formatAt(saved, u"日本"_s).fontFamilies().toStringList().value(0), u"ＭＳ ゴシック"_s);
        }
    }
}

TEST(RtfReader, DeepNestingAndRandomBytesNeverBreakIt)
{
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(200000, '{');
    deep += "inside";
    deep += QByteArray(200000, '}');
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(deep, &doc));
    EXPECT_EQ(rtf::plainText(&doc), u"inside"_s);

    QRandomGenerator rng(1234);
    const char alphabet[] = "{}\\'abcdefuxpqr0123456789 -*;\n\x80\xe9";
    for (int round = 0; round < 200; ++round) {
        QByteArray junk = "{\\rtf1 ";
        const int n = int(rng.bounded(2000));
        for (int i = 0; i < n; ++i)
            junk += alphabet[rng.bounded(int(sizeof alphabet) - 1)];
        QTextDocument d;
        ASSERT_TRUE(rtf::read(junk, &d));
        // Whatever was read can be written and read again.
        QTextDocument again;
        ASSERT_TRUE(rtf::read(rtf::write(&d), &again));
        ASSERT_EQ(rtf::plainText(&again), rtf::plainText(&d)) << "round " << round << "\n" << rtf::write(&d).toStdString();
    }
}

TEST(RtfReader, LongListsKeepEveryItemAndTheirNumbers)
{
    for (const bool numbered : {false, true}) {
        SCOPED_TRACE(numbered ? "numbered" : "bulleted");
        QByteArray source = "{\\rtf1\\ansi ";
        for (int i = 1; i <= 450; ++i)
            source += (numbered ? "{\\pntext " + QByteArray::number(i) + ".\\tab}{\\*\\pn\\pnlvlbody\\pndec}"
                                : QByteArray("{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}"))
                + "item " + QByteArray::number(i) + "\\par\n";
        QTextDocument doc;
        ASSERT_TRUE(rtf::read(source + "after}", &doc));
        int listed = 0;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            listed += b.textList() && b.textList()->format().style() == (numbered ? QTextListFormat::ListDecimal : QTextListFormat::ListDisc);
        EXPECT_EQ(listed, 450);
        EXPECT_FALSE(doc.lastBlock().textList()) << "the paragraph after the list is outside it";
        const QStringList lines = rtf::plainText(&doc).split(u'\n');
        ASSERT_EQ(lines.size(), 451);
        const QString number = numbered ? u"450. "_s : QString();
        EXPECT_EQ(lines.at(449), number + u"item 450"_s) << "one list, counted through";
        EXPECT_EQ(lines.at(450), u"after"_s);
    }
}
