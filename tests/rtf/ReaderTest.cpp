#include "Paragraphs.h"

#include <QBuffer>
#include <QImage>

TEST(RtfReader, RichEditStyleBodyKeepsBulletsIndentsColoursAndAccents)
{
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(QByteArray(R"({\rtf1\ansi\ansicpg1252\deff0\deflang1040{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fnil\fcharset2 Symbol;}}
{\colortbl ;\red255\green0\blue0;\red0\green128\blue0;}
\viewkind4\uc1\pard\f0\fs20 Perch\'e9 \cf1 rosso\cf0  e \cf2\b verde\b0\cf0\par
\pard{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}\fi-720\li720 primo\par
{\pntext\f1\'b7\tab}secondo\par
\pard\li1440 rientrato\par
\pard\qc centrato\par
}
)"),
                          &doc));
    // Margins in pixels of 15 twips; the bullets are one list, which \pard ends.
    EXPECT_EQ(paragraphsOf(doc), (QStringList{u"1 0 0 0: [Perché |Arial 10 0000 -] [rosso|Arial 10 0000 #ff0000] [ e |Arial 10 0000 -] "
                                              "[verde|Arial 10 1000 #008000]"_s,
                                              u"1 48 -48 -1#0: [primo|Arial 10 0000 -]"_s, u"1 48 -48 -1#0: [secondo|Arial 10 0000 -]"_s,
                                              u"1 96 0 0: [rientrato|Arial 10 0000 -]"_s, u"4 0 0 0: [centrato|Arial 10 0000 -]"_s}))
        << "the closing mark adds no paragraph";
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
        // A body written before paragraphs had their closing mark reads as it did.
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard one\\par\n\\pard two}", "one\ntwo"},
        // \* marks a destination only right after '{'; elsewhere it skips nothing.
        {R"({\rtf1 {\b\*\unknownword kept} after})", "kept after"},
        // A font's UTF-8 code page.
        {R"({\rtf1{\fonttbl{\f0\cpg65001 Noto;}}\f0 \'e4\'b8\'ad\'e5\'9c\'8b})", "中國"},
        // Half a surrogate pair is the replacement character.
        {R"({\rtf1 a\u-10179?b})", "a\xEF\xBF\xBD" "b"},
        // A text box's text, once: the shape's, or the old drawing object's
        // when there is no shape; an object's shown result.
        {R"({\rtf1 before {\shp{\*\shpinst{\sp{\sn shapeType}{\sv 202}}{\shptxt boxed}})"
         R"({\shprslt{\*\do\dobxcolumn\dptxbx{\dptxbxtext fallback}}}} after})",
         "before boxed after"},
        {R"({\rtf1 {\*\do\dobxcolumn\dptxbx{\dptxbxtext old box}\dpx0}})", "old box"},
        {R"({\rtf1 {\object\objemb{\*\objclass Word.Document}{\*\objdata 0102}{\result shown}}})", "shown"},
        // Numbers as their lists show them: a sublist goes on past an item of
        // another list; an item that cannot join a list keeps its number; a
        // paragraph that goes on an item shows none.
        {R"({\rtf1 \pard\ls1{\listtext 1.\tab}one\par \pard\ls1\ilvl1\li720{\listtext a.\tab}sub\par )"
         R"(\pard\ls4{\listtext 1.\tab}other\par \pard\ls1\ilvl1\li720{\listtext b.\tab}sub two\par})",
         "1. one\na. sub\n1. other\nb. sub two"},
        {R"({\rtf1 \pard\ls2{\listtext 7.\tab}seventh\par \pard\ls2{\listtext 8.\tab}eighth\par})", "7.\tseventh\n8.\teighth"},
        {R"({\rtf1 {\pntext 1.\tab}{\*\pn\pnlvlbody\pndec}item\par {\*\pn\pnlvlcont\pndec}goes on\par})", "1. item\ngoes on"},
        // A paragraph is in a table when it says so before its end, after its
        // text too; the paragraphs before it are not.
        {R"({\rtf1 before\par\trowd\cellx1000\cellx2000 one\intbl\cell two\cell\row\pard after\par})", "before\none\ttwo\t\nafter"},
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
    // Leading zeros are read; a number out of range is no size.
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(QByteArray(R"({\rtf1 {\b one}two{\b three}\par four \fs40 five \fs0030 six \fs99999999999 seven \fs- eight})"), &doc));
    EXPECT_EQ(paragraphsOf(doc), (QStringList{u"1 0 0 0: [one| 12 1000 -] [two| 12 0000 -] [three| 12 1000 -]"_s,
                                              u"1 0 0 0: [four | 12 0000 -] [five | 20 0000 -] [six seven eight| 15 0000 -]"_s}));
    // A colour table after the text: the same state gives a new colour.
    ASSERT_TRUE(rtf::read(QByteArray(R"({\rtf1\cf1 before{\colortbl;\red255\green0\blue0;}after})"), &doc));
    EXPECT_EQ(paragraphsOf(doc), QStringList{u"1 0 0 0: [before| 12 0000 -] [after| 12 0000 #ff0000]"_s});
}

// Each paragraph of a cell has its own look, the first of a cell too, though
// it follows a paragraph of the same look in the cell before.
TEST(RtfReader, EachParagraphOfACellKeepsItsAlignment)
{
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(QByteArray(R"({\rtf1\trowd\cellx1000\cellx2000\intbl\qc A\cell\qc B\par\qr C\cell\row\pard after\par})"), &doc));
    QStringList aligned;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (!b.text().isEmpty())
            aligned << b.text() + u' ' + QString::number(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
    EXPECT_EQ(aligned, (QStringList{u"A 4"_s, u"B 4"_s, u"C 2"_s, u"after 1"_s}));
}

TEST(RtfReader, DeepNestingNeverBreaksIt)
{
    const QByteArray deep = "{\\rtf1 " + QByteArray(200000, '{') + "inside" + QByteArray(200000, '}');
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(deep, &doc));
    EXPECT_EQ(rtf::plainText(&doc), u"inside"_s);
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
        EXPECT_EQ(lines.at(449), (numbered ? u"450. "_s : QString()) + u"item 450"_s) << "one list, counted through";
        EXPECT_EQ(lines.at(450), u"after"_s);
    }
}

// The picture an embedded object shows and the one a shape shows are read;
// a shape's fill is not part of the text.
TEST(RtfReader, PicturesOfObjectsAndShapesAreShown)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QByteArray pict = "{\\pict\\pngblip " + png.toHex() + "}";
    const struct {
        QByteArray rtf;
        int pictures;
    } cases[] = {
        {"{\\object\\objemb{\\*\\objdata 0102}{\\result " + pict + "}}", 1},
        {"{\\shp{\\*\\shpinst{\\sp{\\sn fillBlip}{\\sv " + pict + "}}{\\sp{\\sn pib}{\\sv " + pict + "}}}}", 1},
        {"{\\shp{\\*\\shpinst{\\sp{\\sn fillBlip}{\\sv " + pict + "}}}}", 0},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        ASSERT_TRUE(rtf::read("{\\rtf1 " + c.rtf + "}", &doc));
        EXPECT_EQ(rtf::write(&doc).count("\\pngblip"), c.pictures) << c.rtf.left(60).toStdString();
    }
}
