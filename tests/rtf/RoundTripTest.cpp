#include "Paragraphs.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTextTable>

namespace {

QTextCharFormat chars(const QString &family, double points, bool b, bool i, bool u, bool s, QColor color = {})
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(points);
    f.setFontWeight(b ? QFont::Bold : QFont::Normal);
    f.setFontItalic(i);
    f.setFontUnderline(u);
    f.setFontStrikeOut(s);
    if (color.isValid())
        f.setForeground(color);
    return f;
}

QTextBlockFormat paragraph(Qt::Alignment alignment, double marginTwips = 0, double indentTwips = 0, int indentLevels = 0)
{
    QTextBlockFormat f;
    f.setAlignment(alignment);
    f.setLeftMargin(marginTwips / rtf::kTwipsPerUnit);
    f.setTextIndent(indentTwips / rtf::kTwipsPerUnit);
    f.setIndent(indentLevels);
    return f;
}

// Every attribute the editor can give, each in a paragraph of its own.
void buildSample(QTextDocument &doc)
{
    const QString sans = u"DejaVu Sans"_s, serif = u"DejaVu Serif"_s;
    const QTextCharFormat plain = chars(sans, 10, false, false, false, false);
    QTextCursor c(&doc);
    c.setBlockFormat(paragraph(Qt::AlignLeft));
    c.insertText(u"Plain "_s, plain);
    c.insertText(u"bold "_s, chars(sans, 10, true, false, false, false));
    c.insertText(u"italic "_s, chars(serif, 12, false, true, false, false));
    c.insertText(u"under "_s, chars(serif, 14.5, false, false, true, false));
    c.insertText(u"struck"_s, chars(u"DejaVu Sans Mono"_s, 8, false, false, false, true));
    c.insertBlock(paragraph(Qt::AlignHCenter));
    c.insertText(u"Centred red {braces} \\ back"_s, chars(sans, 11, true, true, true, true, QColor(200, 10, 20)));
    c.insertBlock(paragraph(Qt::AlignRight, 1440));
    c.insertText(u"Right, indented one inch: città, € 5, Ελληνικά, 日本語, \U0001F600 and\ttab"_s,
                 chars(sans, 9, false, false, false, false, QColor(0, 0, 255)));
    c.insertText(QString(QChar::LineSeparator) + u"after a line break"_s, chars(sans, 9, false, false, false, false));
    c.insertBlock(paragraph(Qt::AlignLeft, 720, -360));
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDisc);
    lf.setIndent(0);
    c.createList(lf);
    c.insertText(u"first bullet"_s, plain);
    c.insertBlock();  // stays in the list
    c.insertText(u"second bullet"_s, plain);
    c.insertBlock(paragraph(Qt::AlignLeft));
    c.insertText(u"after the list"_s, plain);
    c.insertBlock(paragraph(Qt::AlignJustify));
    c.insertText(u"justified"_s, plain);
    // Indent levels of a list and of a paragraph: readers know only the
    // margin, so the text must begin where it did.
    c.insertBlock(paragraph(Qt::AlignLeft));
    lf.setIndent(1);
    c.createList(lf);
    c.insertText(u"bullet one level in"_s, plain);
    c.insertBlock(paragraph(Qt::AlignLeft, 300, 0, 2));
    c.insertText(u"two levels and a margin in"_s, plain);
}

} // namespace

TEST(RtfRoundTrip, EveryAttributeComesBackAsItWasWritten)
{
    QTextDocument original;
    buildSample(original);
    const QByteArray rtf = rtf::write(&original);
    for (char ch : rtf)
        ASSERT_LT(uchar(ch), 0x80) << "the writer emits 7-bit RTF";

    QTextDocument back;
    ASSERT_TRUE(rtf::read(rtf, &back));
    EXPECT_EQ(paragraphsOf(back), paragraphsOf(original)) << rtf.toStdString();
    EXPECT_EQ(rtf::write(&back).toStdString(), rtf.toStdString()) << "written again, the same RTF";
    EXPECT_TRUE(rtf.contains("\\u26085\\'3f")) << "a '?' fallback as a hex byte, which every reader reads";
}

TEST(RtfRoundTrip, PicturesAreKeptAsPngAndJpeg)
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    QTextDocument doc;
    doc.addResource(QTextDocument::ImageResource, QUrl(u"img://1"_s), image);
    QTextCursor(&doc).insertHtml(u"before <img src=\"img://1\" width=\"60\" height=\"40\"> after"_s);
    const QByteArray rtf = rtf::write(&doc);
    EXPECT_TRUE(rtf.contains("\\pngblip"));

    QTextDocument back;
    ASSERT_TRUE(rtf::read(rtf, &back));
    EXPECT_EQ(rtf::plainText(&back), u"before  after"_s);
    const QTextImageFormat picture = formatAt(back, QString(QChar::ObjectReplacementCharacter)).toImageFormat();
    ASSERT_FALSE(picture.name().isEmpty()) << "a picture is read";
    EXPECT_EQ(QSizeF(picture.width(), picture.height()), QSizeF(60, 40));
    QImage loaded;
    ASSERT_TRUE(loaded.loadFromData(back.resource(QTextDocument::ImageResource, QUrl(picture.name())).toByteArray()));
    EXPECT_EQ(loaded.size(), QSize(6, 4));
    EXPECT_EQ(loaded.pixelColor(2, 2), QColor(10, 200, 30));

    // A JPEG is read and written back as one.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(image.save(&buffer, "JPG"));
    const QByteArray rtfText = "{\\rtf1\\ansi x{\\*\\shppict{\\pict\\jpegblip\\picwgoal240\\pichgoal240 " + jpeg.toHex()
        + "}}{\\nonshppict{\\pict\\wmetafile8 0102}}y}";
    ASSERT_TRUE(rtf::read(rtfText, &back));
    EXPECT_EQ(rtf::plainText(&back), u"xy"_s) << "the metafile copy is skipped";
    const QByteArray written = rtf::write(&back);
    EXPECT_TRUE(written.contains("\\jpegblip"));
    EXPECT_TRUE(written.contains(jpeg.toHex().left(40)));
    EXPECT_TRUE(written.contains("\\picwgoal240"));
}

TEST(RtfRoundTrip, EmptyParagraphsAtEitherEndAreKept)
{
    // What is stored as the plain-text copy must be what the body reads back
    // as, or an unchanged topic would count as changed when reopened.
    for (const QString &text : {QString(), u"\n"_s, u"abc"_s, u"abc\n"_s, u"abc\n\n"_s, u"\nabc"_s, u"a\n\nb\n"_s}) {
        QTextDocument doc;
        doc.setPlainText(text);
        QTextDocument back;
        ASSERT_TRUE(rtf::read(rtf::write(&doc), &back));
        EXPECT_EQ(back.toPlainText(), text) << text.toStdString();
        EXPECT_EQ(back.blockCount(), doc.blockCount()) << text.toStdString();
    }
}

TEST(RtfRoundTrip, EveryCorpusFileIsTheSameSavedTwiceAndKeepsItsTextAndOursReadAsTheirSourcesShow)
{
    // Real files of other programs (beside the repository, when there) and
    // our own: a save changes no text, and a second save nothing at all.
    // Ours, made for the purpose, read as their sources show them (list
    // markers and notes), and their East Asian font names survive a save.
    const QHash<QString, const char *> ours{
        {u"lists.rtf"_s,
         "I. Upper roman\na) letter under I\ni. roman under a\nii. second roman under a\nb) second letter\n"
         "II. second upper roman\na) letter under II starts again\nFirst list:\n1. one\n2. two\n"
         "A paragraph between, and the list goes on:\n3. three\n4. \n1. a list of its own\n2. its second\n"
         "bullet\n\nbullet after an empty one\na. first letter\nb. b\nc. c\nd. d\ne. e\nf. f\ng. g\nh. h\n"
         "i. ninth letter, not a roman one\nj. "},
        {u"notes.rtf"_s,
         "Body with a note1 here.\n1 First note, bold.\nSecond2 and an endnotei.\n2 Note of two\nparagraphs.\n"
         "Own mark* and the end.\n* Starred note.\ni The endnote."},
        {u"east-asian-fonts.rtf"_s, "中文 Chinese 日本 Japanese Latin"},
    };
    QStringList files;
    for (const QString &dir : {QStringLiteral(QUORVEL_RTF_CORPUS), QStringLiteral(QUORVEL_RTF_FILES)})
        for (const QFileInfo &fi : QDir(dir).entryInfoList({u"*.rtf"_s}, QDir::Files, QDir::Name))
            files << fi.filePath();
    ASSERT_FALSE(files.isEmpty());
    int stable = 0, plain = 0, oursSeen = 0;
    for (const QString &path : files) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        QTextDocument source, once;
        const bool isRtf = rtf::read(f.readAll(), &source);
        const bool isOurs = path.startsWith(QLatin1String(QUORVEL_RTF_FILES "/"));
        oursSeen += isOurs;
        if (isOurs) {
            EXPECT_EQ(rtf::plainText(&source), QString::fromUtf8(ours.value(QFileInfo(path).fileName()))) << path.toStdString();
        }
        if (!isRtf) {
            ++plain;  // shown as the text it is; nothing to save twice
            continue;
        }
        const QByteArray first = rtf::write(&source);
        ASSERT_TRUE(rtf::read(first, &once));
        EXPECT_EQ(rtf::plainText(&once).toStdString(), rtf::plainText(&source).toStdString()) << path.toStdString();
        const QByteArray second = rtf::write(&once);
        EXPECT_EQ(second.toStdString(), first.toStdString()) << path.toStdString();
        stable += second == first;
        if (isOurs && path.endsWith(u"/east-asian-fonts.rtf"_s)) {
            EXPECT_EQ(formatAt(once, u"中文"_s).fontFamilies().toStringList().value(0), u"宋体"_s);
            EXPECT_EQ(formatAt(once, u"日本"_s).fontFamilies().toStringList().value(0), u"ＭＳ ゴシック"_s);
        }
    }
    EXPECT_EQ(oursSeen, ours.size()) << "each of ours is read";
    std::printf("%d of %lld RTF files stable when saved twice (%d plain text)\n", stable,
                static_cast<long long>(files.size() - plain), plain);
}

// Links as other programs write them, and as this one does, keep their
// targets through read, write and read; the text around them stays out.
TEST(RtfRoundTrip, ALinkKeepsItsTarget)
{
    const struct {
        const char *rtf, *target;
    } cases[] = {
        {R"({\rtf1 see {\field{\*\fldinst {\rtlch HYPERLINK "https://example.org/a?b=1" }}{\fldrslt {\ul\cf0 the site}}} now})",
         "https://example.org/a?b=1"},
        {R"({\rtf1 see {\field{\*\fldinst HYPERLINK "file:///C:\\\\notes\\\\a b.txt" \\o "tip"}{\fldrslt the site}} now})",
         "file:///C:\\notes\\a b.txt"},
        {R"({\rtf1 see {\field{\*\fldinst HYPERLINK \\l "chapter2"}{\fldrslt the site}} now})", "#chapter2"},
        {R"({\rtf1 see {\field{\*\fldinst HYPERLINK https://x.test/\u233?}{\fldrslt the site}} now})", "https://x.test/\u00e9"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rtf);
        QTextDocument source, back;
        ASSERT_TRUE(rtf::read(QByteArray(c.rtf), &source));
        const QByteArray written = rtf::write(&source);
        ASSERT_TRUE(rtf::read(written, &back));
        for (const QTextDocument *doc : {&source, &back}) {
            EXPECT_EQ(rtf::plainText(doc), u"see the site now"_s);
            EXPECT_EQ(formatAt(*doc, u"the site"_s).anchorHref(), QString::fromUtf8(c.target)) << written.toStdString();
            EXPECT_EQ(formatAt(*doc, u"site"_s).anchorHref(), QString::fromUtf8(c.target));
            EXPECT_FALSE(formatAt(*doc, u"now"_s).isAnchor());
            EXPECT_TRUE(formatAt(*doc, u"site"_s).fontUnderline()) << "it looks like a link";
        }
        EXPECT_EQ(rtf::write(&back).toStdString(), written.toStdString());
    }
}

TEST(RtfRoundTrip, AHighlightKeepsItsColour)
{
    QTextDocument source, back;
    ASSERT_TRUE(rtf::read(QByteArray(R"({\rtf1{\colortbl;\red255\green255\blue0;\red0\green255\blue0;})"
                                     R"(plain {\highlight1 marked} {\chcbpat2 shaded}\highlight1\plain  after})"),
                          &source));
    const QByteArray written = rtf::write(&source);
    ASSERT_TRUE(rtf::read(written, &back));
    for (const QTextDocument *doc : {&source, &back}) {
        EXPECT_EQ(formatAt(*doc, u"marked"_s).background().color(), QColor(255, 255, 0)) << written.toStdString();
        EXPECT_EQ(formatAt(*doc, u"shaded"_s).background().color(), QColor(0, 255, 0));
        EXPECT_EQ(formatAt(*doc, u"after"_s).background().style(), Qt::NoBrush);
        EXPECT_EQ(formatAt(*doc, u"plain"_s).background().style(), Qt::NoBrush);
    }
    EXPECT_EQ(rtf::write(&back).toStdString(), written.toStdString());
}

namespace {

// A table's rows, each cell's text, width, shading, and the table's border.
QStringList tableOf(const QTextDocument &doc)
{
    QStringList out;
    for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
        const auto *table = qobject_cast<QTextTable *>(frame);
        if (!table)
            continue;
        const QTextTableFormat tf = table->format();
        out << u"table border %1"_s.arg(tf.border());
        for (int r = 0; r < table->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                QTextCursor text(cell.firstCursorPosition());
                text.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
                const QBrush shade = cell.format().background();
                cells << u"%1|%2|%3"_s.arg(text.selectedText().replace(QChar::ParagraphSeparator, u'/'),
                                           QString::number(tf.columnWidthConstraints().value(c).rawValue()),
                                           shade.style() == Qt::NoBrush ? u"-"_s : shade.color().name());
            }
            out << cells.join(u"  "_s);
        }
    }
    return out;
}

} // namespace

// A table as a word processor writes it comes back a table, read, written
// and read again: rows, cells and their paragraphs, widths, shading, borders.
TEST(RtfRoundTrip, ATableKeepsItsStructure)
{
    const QByteArray source = R"({\rtf1\ansi{\colortbl;\red255\green255\blue0;}before\par
\trowd\trgaph108\trleft-108\clbrdrt\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clcbpat1\cellx1332\clbrdrt\brdrs\cellx4332
\pard\intbl\b Name\b0\cell\pard\intbl first line\par second line\cell\row
\trowd\trgaph108\trleft-108\clbrdrt\brdrs\cellx1332\clbrdrt\brdrs\cellx4332
\pard\intbl\cell\pard\intbl last\cell\row
\pard after\par})";
    QTextDocument read, back;
    ASSERT_TRUE(rtf::read(source, &read));
    const QStringList expected{u"table border 1"_s, u"Name|96|#ffff00  first line/second line|200|-"_s, u"|96|-  last|200|-"_s};
    EXPECT_EQ(tableOf(read), expected);
    EXPECT_EQ(rtf::plainText(&read), u"before\nName\tfirst line\nsecond line\t\n\tlast\t\nafter"_s)
        << "rows as lines, cells ended by tabs, nothing before or after the table";
    EXPECT_TRUE(formatAt(read, u"Name"_s).fontWeight() == QFont::Bold);
    const QByteArray written = rtf::write(&read);
    ASSERT_TRUE(rtf::read(written, &back));
    EXPECT_EQ(tableOf(back), expected) << written.toStdString();
    EXPECT_EQ(rtf::plainText(&back), rtf::plainText(&read));
    EXPECT_EQ(rtf::write(&back).toStdString(), written.toStdString());
}

// A footnote comes back a footnote, read, written and read again: its mark
// in the text, its paragraphs under the one that refers to it with their
// looks, and a \footnote group where its mark stands for other readers.
TEST(RtfRoundTrip, AFootnoteKeepsItsMarkAndItsText)
{
    const QByteArray source = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0 Body{\super\chftn{\footnote\pard\plain\f0 {\super\chftn} A {\i noted} word.\par And more.}} here.\par after\par})";
    QTextDocument read, back;
    ASSERT_TRUE(rtf::read(source, &read));
    const QByteArray written = rtf::write(&read);
    ASSERT_TRUE(rtf::read(written, &back));
    EXPECT_TRUE(written.contains("{\\footnote")) << written.toStdString();
    for (const QTextDocument *doc : {&read, &back}) {
        EXPECT_EQ(rtf::plainText(doc), u"Body1 here.\n1 A noted word.\nAnd more.\nafter"_s);
        const QTextCharFormat mark = formatAt(*doc, u"1 here"_s);
        EXPECT_EQ(mark.intProperty(rtf::kNoteMarkProperty), 1);
        EXPECT_EQ(mark.verticalAlignment(), QTextCharFormat::AlignSuperScript);
        EXPECT_EQ(formatAt(*doc, u"1 A"_s).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        EXPECT_TRUE(formatAt(*doc, u"noted"_s).fontItalic());
        EXPECT_NE(formatAt(*doc, u"word"_s).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        EXPECT_EQ(doc->findBlock(int(doc->toPlainText().indexOf(u"And more"_s))).blockFormat().intProperty(rtf::kNoteProperty), 1);
        EXPECT_EQ(doc->lastBlock().blockFormat().intProperty(rtf::kNoteProperty), 0);
    }
    EXPECT_EQ(rtf::write(&back).toStdString(), written.toStdString());
}

// A footnote goes right under the paragraph that holds its mark, in the
// same cell, however that paragraph ends: by a paragraph mark, by a cell's
// end, by the table it ran into, by a table left without one, or by the end
// of the document. Saved and read again, it is where it was.
TEST(RtfRoundTrip, AFootnoteStaysUnderTheParagraphOfItsMark)
{
    // Where a paragraph is: its cell as "row,column", or "body".
    const auto placeOf = [](const QTextDocument &doc, const QString &text) {
        QTextCursor c(const_cast<QTextDocument *>(&doc));
        c.setPosition(int(doc.toPlainText().indexOf(text)));
        const QTextTable *table = c.currentTable();
        if (!table)
            return u"body"_s;
        const QTextTableCell cell = table->cellAt(c);
        return u"%1,%2"_s.arg(cell.row()).arg(cell.column());
    };
    const struct {
        const char *rtf, *markText, *placed;
    } cases[] = {
        {R"({\rtf1\trowd\cellx1000\cellx2000\intbl A{\footnote X}\cell B\cell\row\pard after\par})", "A", "0,0"},
        {R"({\rtf1\trowd\cellx1000\cellx2000\intbl A\cell{\footnote X}B\cell\row\pard after\par})", "1B", "0,1"},
        {R"({\rtf1\intbl A{\footnote X}\pard\par after\par})", "A", "0,0"},
        {R"({\rtf1\intbl{\footnote X}\pard\par after\par})", "1", "0,0"},
        {R"({\rtf1 before{\footnote X} more\intbl in\cell\row\pard after\par})", "before", "body"},
        {R"({\rtf1\trowd\cellx1000\intbl A{\footnote X}})", "A", "0,0"},
    };
    for (const auto &c : cases) {
        QTextDocument read, back;
        ASSERT_TRUE(rtf::read(QByteArray(c.rtf), &read));
        ASSERT_TRUE(rtf::read(rtf::write(&read), &back));
        for (const QTextDocument *doc : {&read, &back}) {
            const QString markText = QString::fromUtf8(c.markText);
            const QTextBlock mark = doc->findBlock(int(doc->toPlainText().indexOf(markText)));
            ASSERT_TRUE(mark.isValid() && mark.next().isValid()) << c.rtf;
            EXPECT_EQ(mark.next().text(), u"X"_s) << c.rtf << "\n" << doc->toPlainText().toStdString();
            EXPECT_EQ(mark.next().blockFormat().intProperty(rtf::kNoteProperty), 1) << c.rtf;
            EXPECT_EQ(placeOf(*doc, u"X"_s), QString::fromUtf8(c.placed)) << c.rtf;
            EXPECT_EQ(placeOf(*doc, markText), QString::fromUtf8(c.placed)) << c.rtf;
        }
        EXPECT_EQ(rtf::plainText(&back), rtf::plainText(&read)) << c.rtf;
    }
}

// What the writer makes of a table, a link and a footnote, another program
// (pandoc) reads as a table, a link and a footnote again.
TEST(RtfRoundTrip, AnotherProgramReadsTheStructuresWritten)
{
    if (QStandardPaths::findExecutable(u"pandoc"_s).isEmpty())
        GTEST_SKIP() << "pandoc is not installed (tools/deps.sh installs it)";
    const struct {
        const char *rtf, *html;
    } cases[] = {
        {R"({\rtf1 \trowd\cellx1000\cellx2000\pard\intbl A\cell B\cell\row\pard after\par})", "<td><p>B</p></td>"},
        {R"({\rtf1 see {\field{\*\fldinst HYPERLINK "https://example.org/"}{\fldrslt the site}}\par})",
         "href=\"https://example.org/\""},
        {R"({\rtf1 Body{\super\chftn{\footnote\pard\plain {\super\chftn} The note.}} here.\par})", "footnote"},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        ASSERT_TRUE(rtf::read(QByteArray(c.rtf), &doc));
        QProcess pandoc;
        pandoc.start(u"pandoc"_s, {u"-f"_s, u"rtf"_s, u"-t"_s, u"html"_s});
        pandoc.write(rtf::write(&doc));
        pandoc.closeWriteChannel();
        ASSERT_TRUE(pandoc.waitForFinished(30000));
        const QByteArray html = pandoc.readAllStandardOutput();
        EXPECT_TRUE(html.contains(c.html)) << c.rtf << "\n" << html.toStdString();
    }
}
