// QTextDocument to 7-bit RTF.

#include "Rtf.h"
#include "RtfCodePages.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QList>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace rtf {

namespace {

int toTwips(double units)
{
    return int(std::lround(units * kTwipsPerUnit));
}

QString familyOf(const QTextCharFormat &f, const QTextDocument *doc)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return doc->defaultFont().family();
}

double pointSizeOf(const QTextCharFormat &f, const QTextDocument *doc)
{
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        return f.fontPointSize();
    const double p = doc->defaultFont().pointSizeF();
    return p > 0 ? p : 12.0;
}

class Writer {
public:
    explicit Writer(const QTextDocument *doc) : m_doc(doc) {}
    QByteArray run();
    bool readsBackWhole() const { return m_whole && m_doc->characterCount() < kMaxText; }

private:
    int fontIndex(const QString &family);
    int colorIndex(const QColor &c);
    void writeText(QStringView text);
    void writeImage(const QTextImageFormat &f);
    void writeParagraph(const QTextBlock &block);
    QByteArray runHeader(const QTextCharFormat &cf);
    void writeFrame(const QTextFrame *frame);
    void writeBlock(const QTextBlock &block, bool inTable, const char *end);
    void writeTable(const QTextTable *table);
    // The note of that mark, as a \footnote group where its mark stands.
    void writeNote(int mark);
    // A paragraph of a note that is written where its mark stands.
    bool writtenAtMark(const QTextBlock &block) const
    {
        return !m_referenced.isEmpty() && m_referenced.contains(block.blockFormat().intProperty(kNoteProperty));
    }
    // What goes between runs when the link changes: the open one's end,
    // the next one's start.
    QByteArray switchLink(const QString &href);

    const QTextDocument *m_doc;
    QStringList m_fonts;
    QList<QColor> m_colors;
    QByteArray m_body;
    int m_symbolFont = -1;
    bool m_whole = true;
    // What a paragraph or a run of a given format starts with, written once:
    // a long topic has thousands of paragraphs in a handful of formats.
    QHash<int, QByteArray> m_paragraphs;
    // By character format: a run's opening, its link target and its note mark.
    struct RunStart {
        QByteArray header;
        QString link;
        int mark = 0;
    };
    QHash<int, RunStart> m_runs;
    QString m_link;  // the target of the hyperlink being written, if any
    // Notes: each one's paragraphs, the marks found in the text, the notes
    // written so far, and the one being written with its number.
    QHash<int, QList<QTextBlock>> m_noteBlocks;
    QSet<int> m_referenced, m_notesWritten;
    int m_footnotes = 0, m_endnotes = 0;
    int m_writingNote = 0, m_writingNumber = 0;
    // Where the last run ended, and the codes it began with.
    qsizetype m_lastRunEnd = -1;
    QByteArray m_lastHeader;
};

int Writer::fontIndex(const QString &family)
{
    qsizetype i = m_fonts.indexOf(family);
    if (i < 0) {
        m_fonts.append(family);
        i = m_fonts.size() - 1;
    }
    return int(i);
}

int Writer::colorIndex(const QColor &c)
{
    const QColor rgb = c.toRgb();
    for (qsizetype i = 0; i < m_colors.size(); ++i)
        if (m_colors[i].rgb() == rgb.rgb())
            return int(i) + 1;
    m_colors.append(rgb);
    return int(m_colors.size());
}

// The byte of the ANSI code page (1252) for a character, or 0 when it has none.
uchar ansiByte(char16_t u)
{
    static const QHash<char16_t, uchar> table = [] {
        QHash<char16_t, uchar> t;
        QStringDecoder dec("windows-1252");
        for (int b = 0x80; b <= 0xff; ++b) {
            const char byte = char(b);
            const QString s = dec.decode(QByteArrayView(&byte, 1));
            dec.resetState();
            if (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter)
                t.insert(s.at(0).unicode(), uchar(b));
        }
        return t;
    }();
    return table.value(u, 0);
}

// Printable ASCII that stands for itself in RTF.
bool plainByte(char16_t u)
{
    return u >= 0x20 && u < 0x80 && u != '\\' && u != '{' && u != '}';
}

void Writer::writeText(QStringView text)
{
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Runs of plain characters are copied in one go.
        qsizetype end = i;
        while (end < n && plainByte(p[end]))
            ++end;
        if (end > i) {
            const qsizetype at = m_body.size();
            m_body.resize(at + (end - i));
            char *out = m_body.data() + at;
            for (qsizetype k = i; k < end; ++k)
                *out++ = char(p[k]);
            i = end;
            if (i == n)
                break;
        }
        const ushort u = p[i];
        if (u == '\\' || u == '{' || u == '}') {
            m_body += '\\';
            m_body += char(u);
        } else if (u == '\t') {
            m_body += "\\tab ";
        } else if (u == QChar::LineSeparator || u == '\n' || u == '\r') {
            m_body += "\\line ";
        } else if (u == 0xa0) {
            m_body += "\\~";
        } else if (u == QChar::ObjectReplacementCharacter) {
            continue;  // pictures are written from their format
        } else if (u < 0x20) {
            continue;
        } else {
            // The Unicode value for readers that know it, then the byte of
            // the ANSI code page (or '?') for those that do not.
            m_body += "\\u" + QByteArray::number(qint16(u));
            // A '?' as a hex byte: some readers drop the blank that follows
            // a plain one.
            const uchar b = ansiByte(u);
            m_body += "\\'" + QByteArray::number(b ? b : uchar('?'), 16).rightJustified(2, '0');
        }
    }
}

void Writer::writeImage(const QTextImageFormat &f)
{
    const QVariant res = m_doc->resource(QTextDocument::ImageResource, QUrl(f.name()));
    QByteArray data;
    QByteArray kind = "png";
    if (res.typeId() == QMetaType::QByteArray) {
        data = res.toByteArray();
        if (data.startsWith("\xff\xd8"))
            kind = "jpeg";
        else if (!data.startsWith("\x89PNG"))
            data.clear();
    }
    if (data.isEmpty()) {
        QImage image;
        if (res.typeId() == QMetaType::QImage)
            image = res.value<QImage>();
        else if (res.typeId() == QMetaType::QPixmap || res.canConvert<QImage>())
            image = res.value<QImage>();
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = "png";
    }
    if (data.size() > kMaxPictureBytes)
        m_whole = false;
    QImage probe;
    probe.loadFromData(data);
    m_body += "{\\pict\\" + kind + "blip\\picw" + QByteArray::number(probe.width()) + "\\pich"
        + QByteArray::number(probe.height());
    if (f.width() > 0)
        m_body += "\\picwgoal" + QByteArray::number(toTwips(f.width()));
    if (f.height() > 0)
        m_body += "\\pichgoal" + QByteArray::number(toTwips(f.height()));
    m_body += '\n';
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        m_body += hex.mid(i, 128) + '\n';
    m_body += '}';
}

// The paragraph's opening: its format, and its list's marker. Paragraphs
// outside lists open alike when their formats are the same.
void Writer::writeParagraph(const QTextBlock &block)
{
    const bool cached = !block.textList();
    if (cached) {
        if (const auto it = m_paragraphs.constFind(block.blockFormatIndex()); it != m_paragraphs.cend()) {
            m_body += *it;
            return;
        }
    }
    const qsizetype at = m_body.size();
    const QTextBlockFormat bf = block.blockFormat();
    m_body += "\\pard";
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        m_body += "\\qc";
    else if (a & Qt::AlignRight)
        m_body += "\\qr";
    else if (a & Qt::AlignJustify)
        m_body += "\\qj";
    else
        m_body += "\\ql";
    // The indent levels of the paragraph and of its list are part of its
    // left indent: readers know only the margin.
    double indentLevels = bf.indent();
    if (const QTextList *list = block.textList())
        indentLevels += list->format().indent();
    const int li = toTwips(bf.leftMargin() + indentLevels * m_doc->indentWidth());
    const int fi = toTwips(bf.textIndent());
    const int ri = toTwips(bf.rightMargin());
    if (li)
        m_body += "\\li" + QByteArray::number(li);
    if (fi)
        m_body += "\\fi" + QByteArray::number(fi);
    if (ri)
        m_body += "\\ri" + QByteArray::number(ri);
    if (QTextList *list = block.textList()) {
        // The marker as shown, which the reader goes by, and the list's
        // definition for readers that number for themselves.
        const QTextListFormat lf = list->format();
        const int level = qBound(0, lf.property(kListLevelProperty).toInt(), 8);
        if (level)
            m_body += "\\ilvl" + QByteArray::number(level);
        static const QHash<int, QByteArray> numbering = {
            {QTextListFormat::ListDecimal, "\\pndec"},     {QTextListFormat::ListLowerAlpha, "\\pnlcltr"},
            {QTextListFormat::ListUpperAlpha, "\\pnucltr"}, {QTextListFormat::ListLowerRoman, "\\pnlcrm"},
            {QTextListFormat::ListUpperRoman, "\\pnucrm"},
        };
        if (const auto it = numbering.constFind(lf.style()); it != numbering.cend()) {
            // Built here rather than taken from the list, which turns
            // the marker round in a right-to-left paragraph.
            Writer marker(m_doc);
            marker.writeText(lf.numberPrefix() + detail::numberText(lf.style(), list->itemNumber(block) + 1)
                             + lf.numberSuffix());
            Writer before(m_doc), after(m_doc);
            before.writeText(lf.numberPrefix());
            after.writeText(lf.numberSuffix());
            m_body += "{\\pntext " + marker.m_body + "\\tab}{\\*\\pn\\pnlvlbody" + *it + "\\pnstart1\\pnindent0";
            if (!before.m_body.isEmpty())
                m_body += "{\\pntxtb " + before.m_body + '}';
            m_body += "{\\pntxta " + after.m_body + "}}";
        } else {
            if (m_symbolFont < 0)
                m_symbolFont = fontIndex(QStringLiteral("Symbol"));
            const QByteArray sf = QByteArray::number(m_symbolFont);
            m_body += "{\\pntext\\f" + sf + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + sf
                + "\\pnindent0{\\pntxtb\\'b7}}";
        }
    }
    if (cached)
        m_paragraphs.insert(block.blockFormatIndex(), m_body.mid(at));
}

QByteArray Writer::switchLink(const QString &href)
{
    if (href == m_link)
        return {};
    QByteArray between;
    if (!m_link.isEmpty())
        between += "}}";
    m_link = href;
    if (href.isEmpty())
        return between;
    // A field's arguments escape backslashes; a quote ends them.
    QString target = href;
    target.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("%22"));
    QString instruction = QStringLiteral("HYPERLINK \"%1\"").arg(target);
    if (target.startsWith(QLatin1Char('#')))
        instruction = QStringLiteral("HYPERLINK \\l \"%1\"").arg(target.mid(1));
    Writer field(m_doc);
    field.writeText(instruction);
    // The instruction in a group of its own, as word processors write it:
    // some readers take it only so.
    return between + "{\\field{\\*\\fldinst {" + field.m_body + "}}{\\fldrslt ";
}

// A run's opening group and formatting, up to the text.
QByteArray Writer::runHeader(const QTextCharFormat &cf)
{
    QByteArray h = "{\\f" + QByteArray::number(fontIndex(familyOf(cf, m_doc)));
    h += "\\fs" + QByteArray::number(int(std::lround(pointSizeOf(cf, m_doc) * 2)));
    if (cf.fontWeight() >= QFont::Bold)
        h += "\\b";
    if (cf.fontItalic())
        h += "\\i";
    if (cf.fontUnderline())
        h += "\\ul";
    if (cf.fontStrikeOut())
        h += "\\strike";
    if (cf.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        h += "\\super";
    else if (cf.verticalAlignment() == QTextCharFormat::AlignSubScript)
        h += "\\sub";
    if (cf.hasProperty(QTextFormat::ForegroundBrush) && cf.foreground().style() != Qt::NoBrush)
        h += "\\cf" + QByteArray::number(colorIndex(cf.foreground().color()));
    if (cf.hasProperty(QTextFormat::BackgroundBrush) && cf.background().style() != Qt::NoBrush)
        h += "\\highlight" + QByteArray::number(colorIndex(cf.background().color()));
    return h + ' ';
}

void Writer::writeFrame(const QTextFrame *frame)
{
    if (frame == m_doc->rootFrame() && frame->childFrames().isEmpty() && m_referenced.isEmpty()) {
        // Paragraphs only, the most common body.
        for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next())
            writeBlock(block, false, "\\par\n");
        return;
    }
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child))
                writeTable(table);
            else
                writeFrame(child);
        } else {
            const QTextBlock block = it.currentBlock();
            // A note's paragraphs go where its mark stands; those of a note
            // whose mark is gone stay where they are.
            if (!writtenAtMark(block))
                writeBlock(block, false, "\\par\n");
        }
    }
}

void Writer::writeBlock(const QTextBlock &block, bool inTable, const char *end)
{
    writeParagraph(block);
    if (inTable)
        m_body += "\\intbl";
    // A blank ends the last control word; after a group it would be text.
    if (!m_body.endsWith('}'))
        m_body += ' ';
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid())
            continue;
        const QTextCharFormat cf = frag.charFormat();
        if (cf.isImageFormat()) {
            writeImage(cf.toImageFormat());
            continue;
        }
        // A run with nothing to write (only marks of pictures that are
        // not there) is left out: read back, it would be no run at all.
        // Its fonts and colours are counted only once it has text.
        const qsizetype start = m_body.size();
        // A note's mark that shows the number it would be given is written
        // as that number, for readers that number notes themselves.
        const int key = frag.charFormatIndex();
        auto found = m_runs.constFind(key);
        if (found == m_runs.cend())
            found = m_runs.insert(key, {runHeader(cf), cf.isAnchor() ? cf.anchorHref() : QString(),
                                        cf.intProperty(kNoteMarkProperty)});
        const RunStart &run = *found;
        const int mark = run.mark;
        const bool noteHere = mark > 0 && !m_writingNote && m_referenced.contains(mark) && !m_notesWritten.contains(mark);
        int number = 0;
        if (noteHere) {
            const bool endnote = m_noteBlocks.value(mark).value(0).blockFormat().boolProperty(kEndnoteProperty);
            number = (endnote ? m_endnotes : m_footnotes) + 1;
        } else if (mark > 0 && mark == m_writingNote) {
            number = m_writingNumber;
        }
        if (number > 0 && frag.text() == QString::number(number))
            m_body += "\\chftn ";
        else
            writeText(frag.text());
        if (m_body.size() == start)
            continue;
        const QByteArray link = switchLink(run.link);
        const QByteArray &header = run.header;
        // A run whose codes are those of the run just before it goes on
        // in that one: the two read back as one run, which a second save
        // would write as one.
        if (link.isEmpty() && start == m_lastRunEnd && header == m_lastHeader)
            m_body.remove(start - 1, 1);
        else if (link.isEmpty())
            m_body.insert(start, header);
        else
            m_body.insert(start, link + header);
        // The note goes inside its mark's group, which its number takes
        // its look from; the format table may grow meanwhile.
        if (noteHere) {
            writeNote(mark);
            m_lastHeader = m_runs.value(key).header;
        } else {
            m_lastHeader = header;
        }
        m_body += '}';
        m_lastRunEnd = m_body.size();
    }
    if (!m_link.isEmpty())
        m_body += switchLink(QString());
    m_body += end;
}

// A table as RTF rows: each row's definition (cell edges, shading, borders)
// before its cells, each paragraph marked as in the table, each cell ended
// by \cell and each row by \row. Merged cells are written as merged; a
// table inside a cell is written as its paragraphs.
void Writer::writeTable(const QTextTable *table)
{
    const QTextTableFormat tf = table->format();
    const int columns = table->columns();
    // Column widths in twips: fixed ones as they are, percentages of a page's
    // text width, the rest sharing what is left.
    constexpr double kPageTwips = 9360;  // 6.5 inches
    const QList<QTextLength> constraints = tf.columnWidthConstraints();
    QList<double> widths(columns, 0);
    double used = 0;
    int open = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength l = constraints.value(c);
        if (l.type() == QTextLength::FixedLength)
            widths[c] = l.rawValue() * kTwipsPerUnit;
        else if (l.type() == QTextLength::PercentageLength)
            widths[c] = l.rawValue() / 100.0 * kPageTwips;
        else
            ++open;
        used += widths[c];
    }
    for (int c = 0; c < columns; ++c)
        if (constraints.value(c).type() == QTextLength::VariableLength)
            widths[c] = std::max(720.0, (kPageTwips - used) / open);
    const bool border = tf.border() > 0 && tf.borderStyle() != QTextFrameFormat::BorderStyle_None;
    const QByteArray gap = QByteArray::number(toTwips(std::max(0.0, tf.cellPadding())));
    for (int r = 0; r < table->rows(); ++r) {
        m_body += "\\trowd\\trgaph" + gap;
        double right = 0;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() == r && cell.column() == c) {
                if (cell.columnSpan() > 1)
                    m_body += "\\clmgf";
                if (cell.rowSpan() > 1)
                    m_body += "\\clvmgf";
            } else {
                m_body += cell.column() != c ? "\\clmrg" : "\\clvmrg";
            }
            const QBrush shading = cell.format().background();
            if (shading.style() != Qt::NoBrush)
                m_body += "\\clcbpat" + QByteArray::number(colorIndex(shading.color()));
            if (border)
                m_body += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
            right += widths[c];
            m_body += "\\cellx" + QByteArray::number(qint64(std::lround(right)));
        }
        m_body += '\n';
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                m_body += "\\pard\\intbl\\cell\n";
                continue;
            }
            // The cell's paragraphs, but for those of notes written where
            // their marks stand.
            QList<QTextBlock> blocks;
            const int last = cell.lastPosition();
            for (QTextBlock b = m_doc->findBlock(cell.firstPosition()); b.isValid() && b.position() <= last; b = b.next())
                if (!writtenAtMark(b))
                    blocks.append(b);
            if (blocks.isEmpty())
                m_body += "\\pard\\intbl\\cell\n";
            for (qsizetype i = 0; i < blocks.size(); ++i)
                writeBlock(blocks[i], true, i + 1 < blocks.size() ? "\\par\n" : "\\cell\n");
        }
        m_body += "\\row\n";
    }
}

void Writer::writeNote(int mark)
{
    const QList<QTextBlock> blocks = m_noteBlocks.value(mark);
    const bool end = blocks.value(0).blockFormat().boolProperty(kEndnoteProperty);
    m_notesWritten.insert(mark);
    m_writingNote = mark;
    m_writingNumber = ++(end ? m_endnotes : m_footnotes);
    // A link the mark is in stays open around the note.
    const QString link = std::exchange(m_link, QString());
    // Its text takes nothing from the look of the mark it stands in.
    m_body += end ? "{\\footnote\\ftnalt\\plain" : "{\\footnote\\plain";
    for (qsizetype i = 0; i < blocks.size(); ++i)
        writeBlock(blocks[i], false, i + 1 < blocks.size() ? "\\par\n" : "");
    m_body += '}';
    m_link = link;
    m_writingNote = 0;
    m_lastRunEnd = -1;
}

QByteArray Writer::run()
{
    m_body.reserve(m_doc->characterCount() + m_doc->characterCount() / 8 + 256);
    // Notes: their paragraphs, and which of them a mark in the text refers to.
    const QList<QTextFormat> formats = m_doc->allFormats();
    if (std::any_of(formats.begin(), formats.end(), [](const QTextFormat &f) { return f.hasProperty(kNoteProperty); }))
        for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next())
            if (const int note = block.blockFormat().intProperty(kNoteProperty); note > 0)
                m_noteBlocks[note].append(block);
    if (!m_noteBlocks.isEmpty())
        for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next())
            if (block.blockFormat().intProperty(kNoteProperty) == 0)
                for (auto it = block.begin(); !it.atEnd(); ++it)
                    if (const int mark = it.fragment().charFormat().intProperty(kNoteMarkProperty);
                        mark > 0 && m_noteBlocks.contains(mark))
                        m_referenced.insert(mark);
    // Every paragraph ends with its mark, the last one too: readers drop
    // the mark that ends a document, so a final empty paragraph survives.
    writeFrame(m_doc->rootFrame());

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    if (m_fonts.isEmpty())
        m_fonts.append(m_doc->defaultFont().family());
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        const bool symbol = i == m_symbolFont;
        out += "{\\f" + QByteArray::number(i) + (symbol ? "\\ftech\\fcharset2 " : "\\fnil\\fcharset0 ");
        Writer nameWriter(m_doc);
        nameWriter.writeText(m_fonts[i]);
        out += nameWriter.m_body + ";}";
    }
    out += "}\n";
    if (!m_colors.isEmpty()) {
        out += "{\\colortbl ;";
        for (const QColor &c : m_colors)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                + QByteArray::number(c.blue()) + ';';
        out += "}\n";
    }
    out += m_body;
    out += "\n}\n";
    return out;
}

} // namespace

QByteArray write(const QTextDocument *doc, bool *readsBackWhole)
{
    Writer writer(doc);
    QByteArray out = writer.run();
    if (readsBackWhole)
        *readsBackWhole = writer.readsBackWhole();
    return out;
}

QString writeText(const QTextDocument *doc)
{
    return QString::fromLatin1(write(doc));
}

namespace {

QString blockText(const QTextBlock &block)
{
    // Numbers of numbered lists are part of what the reader sees; bullets
    // are not.
    QString text;
    if (QTextList *list = block.textList()) {
        const auto style = list->format().style();
        if (style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle
            && style != QTextListFormat::ListSquare)
            text += list->itemText(block) + QLatin1Char(' ');
    }
    return text + block.text();
}

void appendLines(QTextFrame::iterator it, QStringList &lines, bool aligned);

// A table's rows as lines of text in columns: each column as wide as its
// widest line, two blanks between columns, a cell's paragraphs one under
// the other.
void appendAligned(const QTextTable *table, QStringList &lines)
{
    const int rows = table->rows(), columns = table->columns();
    QList<QList<QStringList>> grid(rows, QList<QStringList>(columns));
    QList<qsizetype> widths(columns, 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue;
            QStringList inCell;
            appendLines(cell.begin(), inCell, true);
            for (QString &line : inCell) {
                line.replace(QChar::LineSeparator, QLatin1Char(' ')).replace(QLatin1Char('\t'), QLatin1Char(' '));
                widths[c] = std::max(widths[c], line.size());
            }
            grid[r][c] = inCell;
        }
    for (int r = 0; r < rows; ++r) {
        qsizetype height = 1;
        for (const QStringList &cell : std::as_const(grid[r]))
            height = std::max(height, cell.size());
        for (qsizetype k = 0; k < height; ++k) {
            QString line;
            for (int c = 0; c < columns; ++c) {
                if (c > 0)
                    line += QLatin1String("  ");
                line += grid[r][c].value(k).leftJustified(widths[c]);
            }
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            lines << line;
        }
    }
}

// The lines of the paragraphs and tables from it on. A table row is one
// line, each cell's text followed by a tab, or, aligned, lines in columns.
void appendLines(QTextFrame::iterator it, QStringList &lines, bool aligned)
{
    for (; !it.atEnd(); ++it) {
        const QTextFrame *frame = it.currentFrame();
        if (!frame) {
            lines << blockText(it.currentBlock());
            continue;
        }
        const auto *table = qobject_cast<const QTextTable *>(frame);
        if (!table) {
            appendLines(frame->begin(), lines, aligned);
            continue;
        }
        if (aligned) {
            appendAligned(table, lines);
            continue;
        }
        for (int r = 0; r < table->rows(); ++r) {
            QString row;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                QStringList inCell;
                appendLines(cell.begin(), inCell, false);
                row += inCell.join(QLatin1Char('\n')) + QLatin1Char('\t');
            }
            lines << row;
        }
    }
}

QString textOf(const QTextDocument *doc, bool aligned)
{
    QStringList lines;
    appendLines(doc->rootFrame()->begin(), lines, aligned);
    QString text = lines.join(QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    return text;
}

} // namespace

QString plainText(const QTextDocument *doc)
{
    return textOf(doc, false);
}

QString alignedText(const QTextDocument *doc)
{
    return textOf(doc, true);
}

} // namespace rtf
