// RTF text to QTextDocument.

#include "Rtf.h"
#include "RtfCodePages.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <memory>
#include <tuple>

namespace rtf {

namespace {

using namespace rtf::detail;

constexpr int kMaxDepth = 256;                     // deeper groups are flattened
constexpr qsizetype kMaxPictureHex = 2 * kMaxPictureBytes;  // larger pictures are dropped
constexpr int kListItemsAtOnce = 200;              // bullets in one list before a fresh one
constexpr qsizetype kMaxFieldInst = 8192;          // a field instruction's characters kept
constexpr int kMaxColumns = 64;                    // cells of a table row kept apart
constexpr int kMaxRows = 2000;                     // rows of one table

// The target of a HYPERLINK field's instruction ("HYPERLINK "url" \l
// "place" \o "tip""), or nothing for another field. Backslashes in quoted
// arguments escape the next character.
QString hyperlinkTarget(const QString &instruction)
{
    const QStringView s = QStringView(instruction).trimmed();
    if (!s.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    QString url, place;
    QChar option;  // the switch whose argument comes next
    qsizetype i = 9;
    while (i < s.size()) {
        if (s[i].isSpace()) {
            ++i;
            continue;
        }
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size() && s[i + 1].isLetter()) {
            const QChar name = s[i + 1].toLower();
            // \l, \o and \t take an argument; \h, \m and \n do not.
            option = name == QLatin1Char('l') || name == QLatin1Char('o') || name == QLatin1Char('t') ? name : QChar();
            i += 2;
            continue;
        }
        QString argument;
        if (s[i] == QLatin1Char('"')) {
            for (++i; i < s.size() && s[i] != QLatin1Char('"'); ++i) {
                if (s[i] == QLatin1Char('\\') && i + 1 < s.size())
                    ++i;
                argument += s[i];
            }
            ++i;
        } else {
            for (; i < s.size() && !s[i].isSpace(); ++i)
                argument += s[i];
        }
        if (option == QLatin1Char('l'))
            place = argument;
        else if (option.isNull() && url.isEmpty())
            url = argument;
        option = QChar();
    }
    url = url.trimmed();
    place = place.trimmed();
    if (place.isEmpty())
        return url;
    return url + QLatin1Char('#') + place;
}

// Code page of a font's \fcharset.
struct FontEntry {
    QString name;
    int codePage = 0;  // 0: the document's
};

struct CharState {
    int font = -1;
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    int vAlign = 0;  // 1 superscript, 2 subscript
    int color = 0;
    int background = 0;  // highlight or shading, from the colour table
    int link = 0;        // the target of a hyperlink: 1 + its index in m_links
    int noteMark = 0;    // the mark of note number noteMark (from 1)
    bool operator==(const CharState &) const = default;
};

struct ParaState {
    int align = 0;  // 0 left, 1 centre, 2 right, 3 justified
    int li = 0, fi = 0, ri = 0;
    bool list = false;       // \pn or \ls seen for this paragraph
    bool numbered = false;   // \pnlvlbody / numbered \ls
    int level = 0;           // \ilvl
    bool goesOn = false;     // \pnlvlcont: the item before goes on, unmarked
    int pnStyle = -1;        // the list style a \pn definition names
    // True when both give the same block format.
    bool inTable = false;    // \intbl
    bool sameBlock(const ParaState &o) const
    {
        return align == o.align && li == o.li && fi == o.fi && ri == o.ri && inTable == o.inTable;
    }
};

// The list style a marker as shown ("1.", "a)", "ii.", a bullet) stands for.

enum class Dest {
    Text,
    Skip,
    FontTable,
    FontEntry,
    ColorTable,
    Picture,
    ListText,   // \pntext, \listtext: the marker as shown, not body text
    PnDef,      // \*\pn: bullet definition
    FieldInst,
    Note,       // \footnote: gathered, and shown as paragraphs of the body
    Frame,      // a shape, drawing object or embedded object: only its text
                // box, its picture or its shown result is read
    ShapeName,  // \sn: the name of the shape property that follows
};

struct Group {
    Dest dest = Dest::Text;
    CharState chr;
    ParaState para;
    int uc = 1;
    int fieldLink = 0;  // the target a field's instruction named, for its result
};

class Reader {
public:
    Reader(const QString &in, QTextDocument *doc) : m_in(in), m_doc(doc), m_cursor(doc) {}
    void run();

private:
    // Input
    bool atEnd() const { return m_pos >= m_in.size(); }
    void parseControl();
    void controlWord(QStringView word, bool hasParam, int param);
    // Shapes, drawing objects and embedded objects: true when the word was
    // one of theirs.
    bool frameWord(QStringView word);
    void openGroup();
    void closeGroup();

    // Text
    void addText(QStringView s);
    void addChar(char16_t c) { addText(QStringView(&c, 1)); }
    void addByte(uchar b);
    void flushBytes();
    void flushRun();
    void endParagraph();
    void applyParagraph();
    // The list item of paragraph p: it joins the list its marker goes on
    // from, or starts a list of its own.
    void addListItem(const ParaState &p);
    // What the marker may be read as, the definition's style first.
    QList<ListMarker> markerReadings(const ParaState &p) const;
    static QTextBlockFormat blockFormatOf(const ParaState &p);
    void finishDocument();
    QTextCharFormat charFormat(const CharState &c) const;
    const QTextCharFormat &formatOf(const CharState &c);
    // After a change to the font or colour table.
    void forgetFormats()
    {
        m_formats.clear();
        m_runStateKnown = false;
    }
    int currentCodePage() const;

    // Destinations
    void finishFontEntry();
    void finishPicture();

    Group &top() { return m_stack.last(); }

    const QString &m_in;
    qsizetype m_pos = 0;
    QTextDocument *m_doc;
    QTextCursor m_cursor;
    QList<Group> m_stack;
    int m_overflow = 0;  // groups past the depth bound
    bool m_pendingStar = false;
    // Nothing but blanks read since the last '{': only there does \* mark
    // a destination that may be skipped whole.
    bool m_groupStart = false;
    bool m_documentClosed = false;
    bool m_finished = false;  // what follows the document's last brace is not read

    int m_docCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    QList<QColor> m_colors;  // index 0 is "auto" (invalid colour)

    // font table entry being read
    int m_entryFont = 0;
    int m_entryCharset = -1;
    QString m_entryName;
    // colour being read
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;

    // picture being read
    QByteArray m_picHex;
    QByteArray m_picBin;
    QByteArray m_picFormat;
    int m_picWGoal = 0, m_picHGoal = 0, m_picW = 0, m_picH = 0, m_scaleX = 100, m_scaleY = 100;
    int m_pictures = 0;

    QByteArray m_bytes;   // \'xx bytes waiting to be decoded together
    int m_skip = 0;       // fallback characters still to skip after \uN
    ParaState m_blockPara;  // what the block being filled was made from
    bool m_blockFormatKnown = false;
    // Formats built so far, one per character state: a document switches
    // among a few, and a shared format compares equal at once. Cleared when
    // the font or colour tables change.
    std::vector<std::pair<CharState, QTextCharFormat>> m_formats;
    QString m_run;        // text waiting to be inserted with m_runFormat
    QTextCharFormat m_runFormat;
    CharState m_runState;  // a state m_runFormat was built from
    bool m_runStateKnown = false;
    QString m_marker;     // the list marker text of this paragraph
    qsizetype m_written = 0;
    bool m_anyText = false;
    // The lists paragraphs may join, by level, indent and style: how many
    // items each holds, the number its first one showed, and whether a
    // paragraph outside it came since.
    struct ListRun {
        QTextList *list = nullptr;  // none: its items show their numbers as text
        int items = 0;
        int first = 1;
        bool interrupted = false;
        QString prefix, suffix;
    };
    // The item's number as text at the start of its paragraph, for a list
    // that starts past 1: the document's lists always count from 1.
    void writeNumber(const ListRun &run, QTextListFormat::Style style, int number);
    void interruptLists()
    {
        for (auto &entry : m_lists)
            entry.second.interrupted = true;
    }
    // Tables: the row being defined (\trowd, then each cell's properties up
    // to its \cellx), the table being filled and the cell the text goes to.
    struct CellDef {
        int right = 0;       // twips from the row's left edge
        int shading = 0;     // colour table index
        bool border = false;
    };
    QList<CellDef> m_rowCells;
    CellDef m_nextCell;
    int m_rowLeft = 0, m_rowGap = -1;
    bool m_borderSide = false;  // a \clbrdr word waits for its style
    QTextTable *m_table = nullptr;
    int m_row = 0, m_col = 0;
    bool m_cellPlaced = false;  // the cursor is in cell (m_row, m_col)
    bool m_rowEnded = false;    // \row seen: the next cell starts a row
    bool m_runInTable = false;  // where the text being gathered goes
    void placeCursor(bool inTable);
    void joinTable();
    void startTable();
    void endTable();
    void endCell();
    void endRow();
    void formatRow(int row);
    bool tableWord(QStringView w, bool hasParam, int param);
    QString m_fieldInst;        // the instruction of the field being read
    QStringList m_links;        // hyperlink targets, as CharState::link counts them
    QString m_shapeProperty;   // the name of the shape property being read
    bool m_shapeShown = false;  // the last shape showed its text or picture
    // Footnotes and endnotes, numbered apart, as their number shows.
    void finishNote();
    void addNoteText(const QString &text, const CharState &state);
    QString noteNumber(bool endnote, int n) const;
    // A note's text as read: runs of text in their states, paragraphs
    // parted by U+2029.
    struct Note {
        int mark = 0;  // its number among all notes, from 1
        bool end = false;
        QList<std::pair<QString, CharState>> runs;
        qsizetype size = 0;
    };
    // Places them once the body is whole; a note goes into a block of its
    // own after the cursor, or into the cursor's own, empty one.
    void placeNotes();
    void insertNote(QTextCursor &at, const Note &note, bool ownBlock);
    Note m_note;
    QList<Note> m_footnoteList, m_endnoteList;
    int m_noteCount = 0;
    bool m_noteIsEnd = false;
    bool m_pendingReference = false;  // a \chftn in the body waits for its note
    int m_footnotes = 0, m_endnotes = 0;
    QTextListFormat::Style m_footnoteStyle = QTextListFormat::ListDecimal;
    QTextListFormat::Style m_endnoteStyle = QTextListFormat::ListDecimal;
    std::map<std::tuple<int, int, int>, ListRun> m_lists;
};

void Reader::run()
{
    m_doc->clear();
    m_cursor = QTextCursor(m_doc);
    m_stack.append(Group{});
    m_colors.append(QColor());
    while (!atEnd() && !m_documentClosed) {
        const QChar c = m_in.at(m_pos);
        if (c == QLatin1Char('{')) {
            ++m_pos;
            flushBytes();
            openGroup();
            m_groupStart = true;
        } else if (c == QLatin1Char('}')) {
            ++m_pos;
            flushBytes();
            closeGroup();
            m_groupStart = false;
        } else if (c == QLatin1Char('\\')) {
            parseControl();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            ++m_pos;
        } else {
            m_groupStart = false;
            const ushort u = c.unicode();
            if (u < 0x100 && u >= 0x80) {
                ++m_pos;
                addByte(uchar(u));
                continue;
            }
            // A run of plain characters goes in at once.
            const qsizetype start = m_pos;
            while (m_pos < m_in.size()) {
                const ushort v = m_in.at(m_pos).unicode();
                if (v == '{' || v == '}' || v == '\\' || v == '\r' || v == '\n' || (v >= 0x80 && v < 0x100))
                    break;
                ++m_pos;
            }
            addText(QStringView(m_in).mid(start, m_pos - start));
        }
    }
    finishDocument();
}

void Reader::finishDocument()
{
    if (m_finished)
        return;
    m_finished = true;
    flushBytes();
    flushRun();
    if (m_table)
        endTable();
    // Text after the last paragraph mark is a paragraph of its own; the mark
    // that ends a document adds no empty paragraph after it. A table is
    // always followed by a paragraph.
    if (m_cursor.block().length() > 1 || !m_cursor.block().previous().isValid()
        || QTextCursor(m_cursor.block().previous()).currentTable()) {
        applyParagraph();
    } else {
        // Joining the empty block to the one before would give that one the
        // empty block's format: an empty list item would leave its list.
        const QTextBlock last = m_cursor.block().previous();
        const QTextBlockFormat kept = last.blockFormat();
        m_cursor.movePosition(QTextCursor::End);
        m_cursor.deletePreviousChar();
        if (m_cursor.blockFormat() != kept)
            m_cursor.setBlockFormat(kept);
    }
    if (!m_footnoteList.isEmpty() || !m_endnoteList.isEmpty())
        placeNotes();
}

void Reader::placeNotes()
{
    // The editor has no place for notes apart: each becomes paragraphs of
    // its own that begin with its number, marked as the note they are, a
    // footnote right under the paragraph that holds its mark, in the same
    // cell, endnotes at the end. They are placed once the body is whole, as
    // its marks stand: while reading, a paragraph can still be split by a
    // table it runs into, or end in a cell left without a paragraph mark.
    QHash<int, int> markAt;  // note number -> position of its mark
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int mark = frag.charFormat().intProperty(kNoteMarkProperty);
            if (mark > 0 && !markAt.contains(mark))
                markAt.insert(mark, frag.position());
        }
    QList<std::pair<int, const Note *>> under;  // mark position, footnote
    QList<const Note *> atEnd, endnotes;
    for (const Note &note : std::as_const(m_footnoteList)) {
        const auto found = markAt.constFind(note.mark);
        if (found != markAt.cend())
            under.append({*found, &note});
        else
            atEnd.append(&note);
    }
    // Notes whose mark is lost, to a hidden or cut text, go to the end
    // before the endnotes: saved, they are paragraphs where they stand, and
    // read back the endnotes come after them again.
    for (const Note &note : std::as_const(m_endnoteList))
        (markAt.contains(note.mark) ? endnotes : atEnd).append(&note);
    atEnd += endnotes;
    // From the last so that each insertion leaves the positions before it.
    std::stable_sort(under.begin(), under.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = under.size() - 1; i >= 0; --i) {
        const QTextBlock block = m_doc->findBlock(under[i].first);
        QTextCursor at(m_doc);
        at.setPosition(block.position() + block.length() - 1);
        insertNote(at, *under[i].second, false);
    }
    QTextCursor end(m_doc);
    end.movePosition(QTextCursor::End);
    // In an empty document the first one is the first paragraph.
    bool ownBlock = m_doc->isEmpty() && !end.block().previous().isValid();
    for (const Note *note : std::as_const(atEnd)) {
        insertNote(end, *note, ownBlock);
        ownBlock = false;
    }
    m_footnoteList.clear();
    m_endnoteList.clear();
}

void Reader::insertNote(QTextCursor &at, const Note &note, bool ownBlock)
{
    QTextBlockFormat bf;
    bf.setProperty(kNoteProperty, note.mark);
    if (note.end)
        bf.setProperty(kEndnoteProperty, true);
    if (ownBlock)
        at.setBlockFormat(bf);
    else
        at.insertBlock(bf, QTextCharFormat());
    for (const auto &[text, state] : note.runs) {
        if (text == QChar(QChar::ParagraphSeparator))
            at.insertBlock(bf, QTextCharFormat());
        else
            at.insertText(text, formatOf(state));
    }
}

void Reader::addNoteText(const QString &text, const CharState &state)
{
    if (m_note.size >= kMaxText || text.isEmpty())
        return;
    m_note.size += text.size();
    if (!m_note.runs.isEmpty() && m_note.runs.last().second == state && text != QChar(QChar::ParagraphSeparator)
        && m_note.runs.last().first != QChar(QChar::ParagraphSeparator))
        m_note.runs.last().first += text;
    else
        m_note.runs.append({text, state});
}

void Reader::openGroup()
{
    if (m_stack.size() >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    Group g = top();
    m_stack.append(g);
    m_skip = 0;
}

void Reader::closeGroup()
{
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.size() <= 1)
        return;  // unbalanced: ignore the extra brace
    const Dest d = top().dest;
    // An entry ends with its own group, not with a group inside its name.
    const Dest outer = m_stack[m_stack.size() - 2].dest;
    if ((d == Dest::FontEntry && outer != Dest::FontEntry) || (d == Dest::FontTable && !m_entryName.isEmpty()))
        finishFontEntry();
    if (d == Dest::Picture)
        finishPicture();
    if (m_stack.size() == 2) {
        // The document's own group ends: its paragraph properties still hold.
        finishDocument();
        m_documentClosed = true;
    }
    const Group closed = top();
    m_stack.removeLast();
    // Paragraph properties follow the group structure too, except that the
    // list marker groups only describe the paragraph they belong to.
    if ((closed.dest == Dest::ListText || closed.dest == Dest::PnDef) && !closed.para.goesOn) {
        top().para.list = true;
        top().para.numbered = top().para.numbered || closed.para.numbered;
        if (closed.para.pnStyle >= 0)
            top().para.pnStyle = closed.para.pnStyle;
    }
    m_skip = 0;
    if (closed.dest == Dest::Note && top().dest != Dest::Note)
        finishNote();
    if (closed.dest == Dest::FieldInst && top().dest != Dest::FieldInst) {
        const QString target = hyperlinkTarget(m_fieldInst);
        m_fieldInst.clear();
        if (!target.isEmpty()) {
            m_links.append(target);
            top().fieldLink = int(m_links.size());
        }
    }
}

void Reader::parseControl()
{
    ++m_pos;  // the backslash
    const bool groupStart = m_groupStart;
    m_groupStart = false;
    if (atEnd())
        return;
    const QChar c = m_in.at(m_pos);
    if (c == QLatin1Char('\'')) {
        ++m_pos;
        bool ok = false;
        const int b = m_pos + 2 <= m_in.size() ? QStringView(m_in).mid(m_pos, 2).toInt(&ok, 16) : 0;
        m_pos = std::min(m_pos + 2, m_in.size());
        if (ok)
            addByte(uchar(b));
        return;
    }
    if (!c.isLetter() || c.unicode() >= 0x80) {
        ++m_pos;
        flushBytes();
        switch (c.unicode()) {
        case '\\': case '{': case '}':
            addChar(c.unicode());
            break;
        case '~':
            addChar(0x00a0);
            break;
        case '_':
            addChar(0x2011);
            break;
        case '*':
            // Elsewhere it marks nothing: taking it for one would skip the
            // rest of the group it stands in, a whole body at times.
            m_pendingStar = groupStart;
            break;
        case '\r': case '\n':
            if (top().dest == Dest::Text)
                endParagraph();
            break;
        case '\t':
            addChar(u'\t');
            break;
        default:
            break;  // \- optional hyphen, \: and \| : nothing to show
        }
        return;
    }
    const qsizetype start = m_pos;
    while (!atEnd() && m_pos - start < 32 && m_in.at(m_pos).unicode() < 0x80 && m_in.at(m_pos).isLetter())
        ++m_pos;
    const QStringView word = QStringView(m_in).mid(start, m_pos - start);
    bool hasParam = false;
    int param = 0;
    const auto isDigit = [this] { return !atEnd() && m_in.at(m_pos) >= QLatin1Char('0') && m_in.at(m_pos) <= QLatin1Char('9'); };
    if (isDigit() || (!atEnd() && m_in.at(m_pos) == QLatin1Char('-'))) {
        const bool negative = m_in.at(m_pos) == QLatin1Char('-');
        if (negative)
            ++m_pos;
        qint64 value = 0;
        bool digits = false;
        for (; isDigit(); ++m_pos) {
            // Past eleven digits it is out of range anyway: stop growing.
            if (value < 100'000'000'000)
                value = value * 10 + (m_in.at(m_pos).unicode() - '0');
            digits = true;
        }
        if (negative)
            value = -value;
        // A number out of range is no parameter at all.
        hasParam = digits && value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
        param = hasParam ? int(value) : 0;
    }
    if (!atEnd() && m_in.at(m_pos) == QLatin1Char(' '))
        ++m_pos;
    if (word != QLatin1String("bin"))
        flushBytes();
    controlWord(word, hasParam, param);
}

void Reader::controlWord(QStringView w, bool hasParam, int param)
{
    Group &g = top();
    const bool star = m_pendingStar;
    m_pendingStar = false;
    const bool on = !hasParam || param != 0;

    // The words of body text come first: they are most of a document.
    if (g.dest == Dest::Text && !star) {
        const qsizetype len = w.size();
        const QChar c0 = w.at(0);
        if (len == 1 && c0 == QLatin1Char('u') && hasParam) {
            if (param >= -32768 && param <= 65535)
                addChar(char16_t(param < 0 ? param + 65536 : param));
            m_skip = g.uc;
            return;
        }
        if (len == 3 && w == QLatin1String("par")) {
            endParagraph();
            return;
        }
        if (len == 1 && c0 == QLatin1Char('b')) {
            g.chr.bold = on;
            return;
        }
        if (len == 1 && c0 == QLatin1Char('i')) {
            g.chr.italic = on;
            return;
        }
        if (len == 1 && c0 == QLatin1Char('f') && hasParam) {
            g.chr.font = param;
            return;
        }
        if (len == 2 && w == QLatin1String("fs") && hasParam) {
            g.chr.halfPoints = qBound(1, param, 3276);
            return;
        }
        if (len == 2 && w == QLatin1String("cf") && hasParam) {
            g.chr.color = param;
            return;
        }
        if (len == 3 && w == QLatin1String("tab")) {
            addChar(u'\t');
            return;
        }
    }

    // Nothing in a skipped group is read; \bin's bytes are passed over, as
    // they may hold braces.
    if (g.dest == Dest::Skip) {
        if (w == QLatin1String("bin") && hasParam && param > 0)
            m_pos += std::min<qsizetype>(param, m_in.size() - m_pos);
        return;
    }
    if (frameWord(w))
        return;

    // Destinations.
    // Sorted, for a binary search.
    static const QLatin1String skipped[] = {
        QLatin1String("aftnsep"), QLatin1String("aftnsepc"), QLatin1String("annotation"), QLatin1String("atnauthor"),
        QLatin1String("atnid"), QLatin1String("bkmkend"), QLatin1String("bkmkstart"), QLatin1String("blipuid"),
        QLatin1String("colorschememapping"), QLatin1String("comment"), QLatin1String("datastore"),
        QLatin1String("docvar"), QLatin1String("falt"), QLatin1String("filetbl"), QLatin1String("fontemb"),
        QLatin1String("fontfile"), QLatin1String("footer"), QLatin1String("footerf"), QLatin1String("footerl"),
        QLatin1String("footerr"), QLatin1String("footnote"), QLatin1String("ftnsep"), QLatin1String("ftnsepc"),
        QLatin1String("generator"), QLatin1String("header"), QLatin1String("headerf"), QLatin1String("headerl"),
        QLatin1String("headerr"), QLatin1String("info"), QLatin1String("latentstyles"),
        QLatin1String("listoverridetable"), QLatin1String("listtable"), QLatin1String("macpict"),
        QLatin1String("mmathPr"), QLatin1String("nonshppict"), QLatin1String("objdata"),
        QLatin1String("panose"), QLatin1String("pgdsctbl"), QLatin1String("pntxta"), QLatin1String("pntxtb"),
        QLatin1String("private"), QLatin1String("revtbl"), QLatin1String("rsidtbl"),
        QLatin1String("sn"), QLatin1String("sp"), QLatin1String("stylesheet"), QLatin1String("sv"),
        QLatin1String("tc"), QLatin1String("template"), QLatin1String("themedata"), QLatin1String("txe"),
        QLatin1String("userprops"), QLatin1String("wgrffmtfilter"), QLatin1String("xe"), QLatin1String("xmlnstbl"),
    };
    if (w == QLatin1String("fonttbl")) {
        g.dest = Dest::FontTable;
        m_entryName.clear();
        m_entryCharset = -1;
        return;
    }
    if (w == QLatin1String("colortbl")) {
        g.dest = Dest::ColorTable;
        // Entry 0 is the first one, usually empty ("auto").
        m_colors.clear();
        m_colorSet = false;
        return;
    }
    if (w == QLatin1String("pict")) {
        g.dest = Dest::Picture;
        m_picHex.clear();
        m_picBin.clear();
        m_picFormat.clear();
        m_picWGoal = m_picHGoal = m_picW = m_picH = 0;
        m_scaleX = m_scaleY = 100;
        return;
    }
    if (w == QLatin1String("pntext") || w == QLatin1String("listtext")) {
        g.dest = Dest::ListText;
        g.para.list = true;
        m_marker.clear();
        return;
    }
    if (w == QLatin1String("pn")) {
        g.dest = Dest::PnDef;
        g.para.list = true;
        return;
    }
    if (w == QLatin1String("fldinst")) {
        g.dest = Dest::FieldInst;
        m_fieldInst.clear();
        return;
    }
    if (w == QLatin1String("footnote") && g.dest == Dest::Text) {
        flushBytes();
        m_note = Note{};
        m_note.mark = m_noteCount + 1;
        // A note numbered by its source (\chftn) gets its number in the
        // text when it ends; another's mark is the character before it.
        if (!m_pendingReference) {
            flushRun();
            QTextCursor before(m_cursor);
            // Between cells the cursor is still in the cell before; a
            // picture is no mark.
            const QTextCharFormat last = before.charFormat();
            if (!before.atBlockStart() && !last.hasProperty(kNoteMarkProperty) && !last.isImageFormat()
                && (!m_table || m_cellPlaced)) {
                before.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
                QTextCharFormat mark;
                mark.setProperty(kNoteMarkProperty, m_note.mark);
                before.mergeCharFormat(mark);
            } else {
                m_pendingReference = true;  // nothing to mark: its number is shown
            }
        }
        g.dest = Dest::Note;
        m_noteIsEnd = false;
        return;
    }
    struct Less {
        bool operator()(QLatin1String a, QStringView b) const { return b.compare(a) > 0; }
        bool operator()(QStringView a, QLatin1String b) const { return a.compare(b) < 0; }
    };
    if (std::binary_search(std::begin(skipped), std::end(skipped), w, Less{})) {
        g.dest = Dest::Skip;
        return;
    }
    if (star && w != QLatin1String("shppict")) {
        // A destination this reader does not know.
        g.dest = Dest::Skip;
        return;
    }

    if (g.dest == Dest::FieldInst) {
        if (w == QLatin1String("u") && hasParam) {
            addChar(char16_t(param < 0 ? param + 65536 : param));
            m_skip = g.uc;
        }
        return;
    }

    // Font table entries.
    if (g.dest == Dest::FontTable || g.dest == Dest::FontEntry) {
        if (w == QLatin1String("f") && hasParam) {
            if (!m_entryName.isEmpty())
                finishFontEntry();
            g.dest = m_stack.size() >= 2 && m_stack[m_stack.size() - 2].dest == Dest::FontTable ? Dest::FontEntry
                                                                                                : Dest::FontTable;
            m_entryFont = param;
            m_entryName.clear();
            m_entryCharset = -1;
        } else if (w == QLatin1String("fcharset") && hasParam) {
            m_entryCharset = param;
        } else if (w == QLatin1String("cpg") && hasParam) {
            m_entryCharset = -1000 - qBound(0, param, 65535);  // code pages are small numbers
        } else if (w == QLatin1String("u") && hasParam) {
            // Names outside the code page come as \uN with a fallback, as in text.
            m_entryName += QChar(char16_t(param < 0 ? param + 65536 : param));
            m_skip = g.uc;
        } else if (w == QLatin1String("uc") && hasParam) {
            g.uc = qBound(0, param, 8);
        }
        return;
    }
    if (g.dest == Dest::ColorTable) {
        if (w == QLatin1String("red")) {
            m_red = qBound(0, param, 255);
            m_colorSet = true;
        } else if (w == QLatin1String("green")) {
            m_green = qBound(0, param, 255);
            m_colorSet = true;
        } else if (w == QLatin1String("blue")) {
            m_blue = qBound(0, param, 255);
            m_colorSet = true;
        }
        return;
    }
    if (g.dest == Dest::Picture) {
        if (w == QLatin1String("pngblip"))
            m_picFormat = "png";
        else if (w == QLatin1String("jpegblip"))
            m_picFormat = "jpeg";
        else if (w == QLatin1String("picwgoal"))
            m_picWGoal = param;
        else if (w == QLatin1String("pichgoal"))
            m_picHGoal = param;
        else if (w == QLatin1String("picw"))
            m_picW = param;
        else if (w == QLatin1String("pich"))
            m_picH = param;
        else if (w == QLatin1String("picscalex") && hasParam)
            m_scaleX = param;
        else if (w == QLatin1String("picscaley") && hasParam)
            m_scaleY = param;
        else if (w == QLatin1String("bin") && hasParam && param > 0) {
            const qsizetype n = std::min<qsizetype>(param, m_in.size() - m_pos);
            if (m_picBin.size() + n <= kMaxPictureHex / 2)
                for (qsizetype i = 0; i < n; ++i)
                    m_picBin.append(char(m_in.at(m_pos + i).unicode() & 0xff));
            m_pos += n;
        }
        return;
    }
    if (g.dest == Dest::PnDef) {
        static const std::pair<const char *, QTextListFormat::Style> styles[] = {
            {"pndec", QTextListFormat::ListDecimal},       {"pnlcltr", QTextListFormat::ListLowerAlpha},
            {"pnucltr", QTextListFormat::ListUpperAlpha},  {"pnlcrm", QTextListFormat::ListLowerRoman},
            {"pnucrm", QTextListFormat::ListUpperRoman},
        };
        if (w == QLatin1String("pnlvlblt")) {
            g.para.numbered = false;
            g.para.pnStyle = QTextListFormat::ListDisc;
        } else if (w == QLatin1String("pnlvlcont")) {
            g.para.goesOn = true;
        } else if (w == QLatin1String("pnlvlbody")) {
            g.para.numbered = true;
        }
        for (const auto &[word, style] : styles)
            if (w == QLatin1String(word)) {
                g.para.numbered = true;
                g.para.pnStyle = style;
            }
        return;
    }

    // \bin outside a picture: its bytes are data, not text.
    if (w == QLatin1String("bin")) {
        if (hasParam && param > 0)
            m_pos += std::min<qsizetype>(param, m_in.size() - m_pos);
        return;
    }

    // Document.
    if (w == QLatin1String("ansicpg") && hasParam) {
        m_docCodePage = param;
    } else if (w == QLatin1String("deff") && hasParam) {
        m_defaultFont = param;
        g.chr.font = param;
    } else if (w == QLatin1String("uc") && hasParam) {
        g.uc = qBound(0, param, 8);
    } else if (w == QLatin1String("u") && hasParam) {
        if (g.dest == Dest::Text || g.dest == Dest::ListText || g.dest == Dest::Note)
            addChar(char16_t(param < 0 ? param + 65536 : param));
        m_skip = g.uc;
    }
    // Fields: a hyperlink's result is its text.
    else if (w == QLatin1String("field")) {
        g.fieldLink = 0;
    } else if (w == QLatin1String("fldrslt")) {
        g.chr.link = g.fieldLink;
    }
    // Notes.
    else if (w == QLatin1String("chftn")) {
        if (g.dest == Dest::Note) {
            CharState marked = g.chr;
            marked.noteMark = m_note.mark;
            addNoteText(noteNumber(m_noteIsEnd, (m_noteIsEnd ? m_endnotes : m_footnotes) + 1), marked);
        }
        else if (g.dest == Dest::Text)
            m_pendingReference = true;
    } else if (w == QLatin1String("ftnalt")) {
        m_noteIsEnd = g.dest == Dest::Note;
    } else if (w.startsWith(QLatin1String("ftnn")) || w.startsWith(QLatin1String("aftnn"))) {
        static const std::pair<const char *, QTextListFormat::Style> styles[] = {
            {"ar", QTextListFormat::ListDecimal},       {"alc", QTextListFormat::ListLowerAlpha},
            {"auc", QTextListFormat::ListUpperAlpha},   {"rlc", QTextListFormat::ListLowerRoman},
            {"ruc", QTextListFormat::ListUpperRoman},
        };
        const bool end = w.startsWith(QLatin1Char('a'));
        for (const auto &[suffix, style] : styles)
            if (w.mid(end ? 5 : 4) == QLatin1String(suffix))
                (end ? m_endnoteStyle : m_footnoteStyle) = style;
    }
    // Characters.
    else if (w == QLatin1String("super")) {
        g.chr.vAlign = 1;
    } else if (w == QLatin1String("sub")) {
        g.chr.vAlign = 2;
    } else if (w == QLatin1String("nosupersub")) {
        g.chr.vAlign = 0;
    }
    // Characters.
    else if (w == QLatin1String("plain")) {
        g.chr = CharState{};
        g.chr.font = m_defaultFont;
    } else if (w == QLatin1String("b")) {
        g.chr.bold = on;
    } else if (w == QLatin1String("i")) {
        g.chr.italic = on;
    } else if (w == QLatin1String("ul") || w == QLatin1String("uld") || w == QLatin1String("uldb")
               || w == QLatin1String("ulw") || w == QLatin1String("uldash") || w == QLatin1String("ulth")
               || w == QLatin1String("ulwave")) {
        g.chr.underline = on;
    } else if (w == QLatin1String("ulnone")) {
        g.chr.underline = false;
    } else if (w == QLatin1String("strike") || w == QLatin1String("striked")) {
        g.chr.strike = on;
    } else if (w == QLatin1String("v")) {
        g.chr.hidden = on;
    } else if (w == QLatin1String("f") && hasParam) {
        g.chr.font = param;
    } else if (w == QLatin1String("fs") && hasParam) {
        g.chr.halfPoints = qBound(1, param, 3276);
    } else if (w == QLatin1String("cf") && hasParam) {
        g.chr.color = param;
    } else if ((w == QLatin1String("highlight") || w == QLatin1String("chcbpat") || w == QLatin1String("cb")) && hasParam) {
        g.chr.background = param;
    }
    else if (tableWord(w, hasParam, param)) {
    }
    // Paragraphs.
    else if (w == QLatin1String("pard")) {
        g.para = ParaState{};
    } else if (w == QLatin1String("ql")) {
        g.para.align = 0;
    } else if (w == QLatin1String("qc")) {
        g.para.align = 1;
    } else if (w == QLatin1String("qr")) {
        g.para.align = 2;
    } else if (w == QLatin1String("qj")) {
        g.para.align = 3;
    } else if (w == QLatin1String("li") && hasParam) {
        g.para.li = param;
    } else if (w == QLatin1String("fi") && hasParam) {
        g.para.fi = param;
    } else if (w == QLatin1String("ri") && hasParam) {
        g.para.ri = param;
    } else if (w == QLatin1String("ls") && hasParam && param > 0) {
        g.para.list = true;
    } else if (w == QLatin1String("ilvl") && hasParam) {
        g.para.level = qBound(0, param, 8);
    } else if (w == QLatin1String("par") || w == QLatin1String("sect") || w == QLatin1String("page")) {
        if (g.dest == Dest::Text)
            endParagraph();
        else if (g.dest == Dest::Note)
            addNoteText(QChar(QChar::ParagraphSeparator), g.chr);
    } else if (w == QLatin1String("line")) {
        addChar(QChar::LineSeparator);
    } else if (w == QLatin1String("tab") || w == QLatin1String("nestcell")) {
        addChar(u'\t');
    } else if (w == QLatin1String("emdash")) {
        addChar(0x2014);
    } else if (w == QLatin1String("endash")) {
        addChar(0x2013);
    } else if (w == QLatin1String("bullet")) {
        addChar(0x2022);
    } else if (w == QLatin1String("lquote")) {
        addChar(0x2018);
    } else if (w == QLatin1String("rquote")) {
        addChar(0x2019);
    } else if (w == QLatin1String("ldblquote")) {
        addChar(0x201c);
    } else if (w == QLatin1String("rdblquote")) {
        addChar(0x201d);
    } else if (w == QLatin1String("emspace") || w == QLatin1String("enspace") || w == QLatin1String("qmspace")) {
        addChar(u' ');
    }
}

bool Reader::frameWord(QStringView w)
{
    Group &g = top();
    const bool inFrame = g.dest == Dest::Frame || g.dest == Dest::ShapeName;
    if (g.dest != Dest::Text && !inFrame)
        return false;
    // In body text only words that begin a shape, a drawing or an object.
    if (!inFrame && w.front() != QLatin1Char('s') && w.front() != QLatin1Char('d') && w.front() != QLatin1Char('o'))
        return false;
    if (w == QLatin1String("shpinst") || w == QLatin1String("do") || w == QLatin1String("object")) {
        g.dest = Dest::Frame;
        m_shapeProperty.clear();
        if (w == QLatin1String("shpinst"))
            m_shapeShown = false;
        return true;
    }
    // What a shape looks like to a reader that does not know shapes: skipped
    // when the shape itself was shown.
    if (w == QLatin1String("shprslt")) {
        if (m_shapeShown)
            g.dest = Dest::Skip;
        return true;
    }
    if (!inFrame)
        return false;
    if (w == QLatin1String("shptxt") || w == QLatin1String("dptxbxtext") || w == QLatin1String("result")) {
        g.dest = Dest::Text;
        m_shapeShown = true;
    } else if (w == QLatin1String("sn")) {
        g.dest = Dest::ShapeName;
        m_shapeProperty.clear();
    } else if (w == QLatin1String("pict")) {
        // Of a shape's pictures only the one it shows (its "pib"); fills
        // and the like are not part of the text.
        if (m_shapeProperty != QLatin1String("pib"))
            return g.dest = Dest::Skip, true;
        m_shapeShown = true;
        return false;
    } else if (w == QLatin1String("bin") || w == QLatin1String("objdata")) {
        return false;
    }
    return true;
}

bool Reader::tableWord(QStringView w, bool hasParam, int param)
{
    Group &g = top();
    if (g.dest != Dest::Text)
        return false;
    switch (w.front().unicode()) {
    case 'b': case 'c': case 'i': case 'r': case 't':
        break;
    default:
        return false;
    }
    if (w == QLatin1String("intbl")) {
        if (!g.para.inTable)
            joinTable();
        g.para.inTable = true;
    } else if (w == QLatin1String("cell")) {
        endCell();
    } else if (w == QLatin1String("row")) {
        endRow();
    } else if (w == QLatin1String("trowd")) {
        m_rowCells.clear();
        m_nextCell = {};
        m_rowLeft = 0;
        m_rowGap = -1;
        m_borderSide = false;
    } else if (w == QLatin1String("trleft") && hasParam) {
        m_rowLeft = param;
    } else if (w == QLatin1String("trgaph") && hasParam) {
        m_rowGap = qBound(0, param, 1440);
    } else if (w == QLatin1String("cellx") && hasParam) {
        // Boundaries are kept growing: a cell is at least a twip wide.
        const int before = m_rowCells.isEmpty() ? m_rowLeft : m_rowCells.last().right;
        m_nextCell.right = std::max(param, before + 1);
        if (m_rowCells.size() < kMaxColumns)
            m_rowCells.append(m_nextCell);
        m_nextCell = {};
        m_borderSide = false;
    } else if (w == QLatin1String("clcbpat") && hasParam) {
        m_nextCell.shading = param;
    } else if (w == QLatin1String("clbrdrt") || w == QLatin1String("clbrdrl") || w == QLatin1String("clbrdrb")
               || w == QLatin1String("clbrdrr")) {
        m_borderSide = true;
    } else if (w.startsWith(QLatin1String("brdr"))) {
        // A side's style: any line but none gives the cell a border.
        if (m_borderSide && w != QLatin1String("brdrnone") && w != QLatin1String("brdrnil") && !w.startsWith(QLatin1String("brdrw"))
            && !w.startsWith(QLatin1String("brdrcf")))
            m_nextCell.border = true;
    } else {
        return false;
    }
    return true;
}

void Reader::joinTable()
{
    // Text of this paragraph read before it said it lies in a table goes
    // into the table with it; paragraphs gathered before it stay outside.
    if (!m_run.isEmpty() && !m_runInTable) {
        const qsizetype joined = m_run.lastIndexOf(QChar(QChar::ParagraphSeparator));
        if (joined >= 0) {
            const QString rest = m_run.mid(joined + 1);
            m_run.truncate(joined + 1);
            flushRun();
            m_run = rest;
        }
        m_runInTable = true;
    }
}

void Reader::placeCursor(bool inTable)
{
    if (!inTable) {
        if (m_table)
            endTable();
        return;
    }
    if (!m_table) {
        startTable();
    } else if (!m_cellPlaced) {
        if (m_rowEnded) {
            if (m_table->rows() >= kMaxRows) {
                // Past the bound a table goes on as another one.
                endTable();
                startTable();
            } else {
                m_table->appendRows(1);
                ++m_row;
                m_col = 0;
                m_rowEnded = false;
            }
        }
        if (m_table && !m_cellPlaced) {
            if (m_col >= m_table->columns()) {
                if (m_table->columns() >= kMaxColumns)
                    m_col = m_table->columns() - 1;  // the rest share the last cell
                else
                    m_table->appendColumns(m_col + 1 - m_table->columns());
            }
            m_cursor = m_table->cellAt(m_row, m_col).lastCursorPosition();
            m_cellPlaced = true;
        }
    }
}

void Reader::startTable()
{
    // The table goes right after the paragraph before it: put at an empty
    // block it would leave that block before it as an empty paragraph.
    const QTextBlock here = m_cursor.block();
    if (here.length() == 1 && here.previous().isValid() && !QTextCursor(here.previous()).currentTable()) {
        const QTextBlockFormat kept = here.previous().blockFormat();
        m_cursor.deletePreviousChar();
        if (m_cursor.blockFormat() != kept)
            m_cursor.setBlockFormat(kept);
    }
    QTextTableFormat tf;
    tf.setCellSpacing(0);
    tf.setCellPadding(m_rowGap >= 0 ? m_rowGap / kTwipsPerUnit : 2);
    const bool border = std::any_of(m_rowCells.begin(), m_rowCells.end(), [](const CellDef &c) { return c.border; });
    tf.setBorder(border ? 1 : 0);
    tf.setBorderStyle(border ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    if (border)
        tf.setBorderCollapse(true);
    QList<QTextLength> widths;
    int left = m_rowLeft;
    for (const CellDef &c : std::as_const(m_rowCells)) {
        widths.append(QTextLength(QTextLength::FixedLength, (c.right - left) / kTwipsPerUnit));
        left = c.right;
    }
    tf.setColumnWidthConstraints(widths);
    tf.setAlignment(Qt::AlignLeft);
    m_table = m_cursor.insertTable(1, std::max<int>(1, int(m_rowCells.size())), tf);
    m_row = m_col = 0;
    m_rowEnded = false;
    m_cellPlaced = true;
    m_cursor = m_table->cellAt(0, 0).firstCursorPosition();
    m_blockFormatKnown = false;
    interruptLists();
}

void Reader::endTable()
{
    if (!m_rowEnded && m_table->rows() > 0)
        formatRow(m_row);
    m_cursor.setPosition(m_table->lastPosition() + 1);
    // The paragraph after the table is outside any list the one before was in.
    QTextBlockFormat after = m_cursor.blockFormat();
    after.clearProperty(QTextFormat::ObjectIndex);
    m_cursor.setBlockFormat(after);
    m_table = nullptr;
    m_cellPlaced = false;
    m_rowEnded = false;
    m_blockFormatKnown = false;
    interruptLists();
}

void Reader::endCell()
{
    flushRun();
    placeCursor(true);
    applyParagraph();
    ++m_col;
    m_cellPlaced = false;
    // The next cell's first paragraph starts in a block of its own format.
    m_blockFormatKnown = false;
}

void Reader::endRow()
{
    flushRun();
    if (!m_table)
        return;  // a row with no cell
    formatRow(m_row);
    m_rowEnded = true;
    m_cellPlaced = false;
}

// The shading of the row's cells, from the row's definition.
void Reader::formatRow(int row)
{
    for (int c = 0; c < m_table->columns() && c < m_rowCells.size(); ++c) {
        const int shading = m_rowCells[c].shading;
        if (shading > 0 && shading < m_colors.size() && m_colors[shading].isValid()) {
            QTextTableCell cell = m_table->cellAt(row, c);
            QTextTableCellFormat f = cell.format().toTableCellFormat();
            f.setBackground(m_colors[shading]);
            cell.setFormat(f);
        }
    }
}

int Reader::currentCodePage() const
{
    const Group &g = m_stack.last();
    if (g.dest == Dest::FontEntry || g.dest == Dest::FontTable) {
        if (m_entryCharset <= -1000)
            return -1000 - m_entryCharset;
        const int cp = m_entryCharset >= 0 ? codePageOfCharset(m_entryCharset) : 0;
        return cp ? cp : m_docCodePage;
    }
    const auto it = m_fonts.constFind(g.chr.font);
    if (it != m_fonts.cend() && it->codePage)
        return it->codePage;
    return m_docCodePage;
}

void Reader::addByte(uchar b)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    const Dest d = top().dest;
    if (d == Dest::Picture || d == Dest::Skip || d == Dest::ColorTable || d == Dest::PnDef)
        return;
    m_bytes.append(char(b));
}

void Reader::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QByteArray bytes = m_bytes;
    m_bytes.clear();
    const int cp = currentCodePage();
    QString text;
    if (cp == 42) {
        for (char c : bytes)
            text += symbolChar(uchar(c));
    } else {
        QStringDecoder dec(codecName(cp).constData());
        if (!dec.isValid())
            dec = QStringDecoder("windows-1252");
        text = dec.decode(bytes);
    }
    const Dest d = top().dest;
    if (d == Dest::FontTable || d == Dest::FontEntry)
        m_entryName += text;
    else
        addText(text);
}

void Reader::addText(QStringView s)
{
    // Bytes waiting for their code page come first.
    flushBytes();
    // Control characters other than the tab are not text, nor is the
    // document's own mark for a picture (\u-4).
    const auto isControl = [](QChar c) {
        return (c.unicode() < 0x20 && c != QLatin1Char('\t')) || c == QChar::ObjectReplacementCharacter;
    };
    // The fallback characters of a \uN are not shown.
    while (m_skip > 0 && !s.isEmpty()) {
        if (!isControl(s.front()))
            --m_skip;
        s = s.mid(1);
    }
    if (s.isEmpty())
        return;
    Group &g = top();
    if (g.dest != Dest::Text) {
        QString t = s.toString();
        t.removeIf(isControl);
        switch (g.dest) {
        case Dest::FontTable:
        case Dest::FontEntry:
            m_entryName += t;
            break;
        case Dest::ColorTable:
            if (t.contains(QLatin1Char(';'))) {
                forgetFormats();
                m_colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
                m_red = m_green = m_blue = 0;
                m_colorSet = false;
            }
            break;
        case Dest::Picture:
            for (QChar c : t)
                if (isxdigit(c.unicode() < 0x80 ? c.toLatin1() : 'x') && m_picHex.size() < kMaxPictureHex)
                    m_picHex.append(c.toLatin1());
            break;
        case Dest::ListText:
            m_marker += t;
            break;
        case Dest::ShapeName:
            m_shapeProperty += t.trimmed();
            break;
        case Dest::FieldInst:
            if (m_fieldInst.size() < kMaxFieldInst)
                m_fieldInst += t;
            break;
        case Dest::Note:
            if (!g.chr.hidden)
                addNoteText(t, g.chr);
            break;
        default:
            break;
        }
        return;
    }
    if (g.chr.hidden || m_written >= kMaxText)
        return;
    // Text in the state of the run being gathered joins it without a look
    // at formats.
    // Text gathered outside a table does not run on into one, nor back.
    if (!m_run.isEmpty() && m_runInTable != g.para.inTable)
        flushRun();
    if (m_run.isEmpty())
        m_runInTable = g.para.inTable;
    if (m_run.isEmpty() || !m_runStateKnown || !(g.chr == m_runState)) {
        const QTextCharFormat &f = formatOf(g.chr);
        if (!m_run.isEmpty() && f != m_runFormat)
            flushRun();
        if (m_run.isEmpty())
            m_runFormat = f;
        m_runState = g.chr;
        m_runStateKnown = true;
    }
    const qsizetype before = m_run.size();
    if (std::none_of(s.begin(), s.end(), isControl)) {
        m_run += s;
    } else {
        for (QChar c : s)
            if (!isControl(c))
                m_run += c;
    }
    m_written += m_run.size() - before;
}

const QTextCharFormat &Reader::formatOf(const CharState &c)
{
    for (const auto &[state, format] : m_formats)
        if (state == c)
            return format;
    if (m_formats.size() >= 64)
        m_formats.clear();
    m_formats.emplace_back(c, charFormat(c));
    return m_formats.back().second;
}

QTextCharFormat Reader::charFormat(const CharState &c) const
{
    QTextCharFormat f;
    const auto it = m_fonts.constFind(c.font);
    if (it != m_fonts.cend() && !it->name.isEmpty())
        f.setFontFamilies({it->name});
    f.setFontPointSize(c.halfPoints / 2.0);
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setFontStrikeOut(c.strike);
    if (c.vAlign)
        f.setVerticalAlignment(c.vAlign == 1 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
    const bool coloured = c.color > 0 && c.color < m_colors.size() && m_colors[c.color].isValid();
    if (coloured)
        f.setForeground(m_colors[c.color]);
    if (c.background > 0 && c.background < m_colors.size() && m_colors[c.background].isValid())
        f.setBackground(m_colors[c.background]);
    if (c.noteMark > 0)
        f.setProperty(kNoteMarkProperty, c.noteMark);
    if (c.link > 0 && c.link <= m_links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_links[c.link - 1]);
        // A link looks like one where its source gave it no look of its own.
        if (!c.underline && !coloured) {
            f.setFontUnderline(true);
            f.setForeground(QColor::fromRgb(kLinkRgb));
        }
    }
    return f;
}

// Half of a surrogate pair without its other half is no character: it
// shows, and is kept, as the replacement character.
void replaceLoneSurrogates(QString &text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate())
            ++i;
        else
            text[i] = QChar::ReplacementCharacter;
    }
}

void Reader::flushRun()
{
    if (m_run.isEmpty())
        return;
    placeCursor(m_runInTable);
    replaceLoneSurrogates(m_run);
    m_cursor.insertText(m_run, m_runFormat);
    m_run.clear();
    m_anyText = true;
}

QTextBlockFormat Reader::blockFormatOf(const ParaState &p)
{
    QTextBlockFormat bf;
    static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    bf.setAlignment(aligns[p.align]);
    bf.setLeftMargin(std::max(0, p.li) / kTwipsPerUnit);
    bf.setTextIndent(p.fi / kTwipsPerUnit);
    bf.setRightMargin(std::max(0, p.ri) / kTwipsPerUnit);
    return bf;
}

void Reader::endParagraph()
{
    flushBytes();
    if (m_written >= kMaxText)
        return;
    const ParaState &p = top().para;
    if (!p.list && m_blockFormatKnown && p.sameBlock(m_blockPara) && !m_run.isEmpty()) {
        // Same format as the paragraph before: the break joins the text
        // being gathered, and the document makes the blocks in one go.
        m_run += QChar(QChar::ParagraphSeparator);
        ++m_written;
        m_marker.clear();
        interruptLists();
        return;
    }
    flushRun();
    placeCursor(p.inTable);
    applyParagraph();
    // The next block starts outside any list: joining a list and leaving it
    // again would each cost a walk of the whole list.
    QTextBlockFormat next = m_cursor.blockFormat();
    next.clearProperty(QTextFormat::ObjectIndex);
    m_cursor.insertBlock(next);
    // A paragraph mark ends list membership until the next \pn or \ls.
    top().para.list = false;
}

void Reader::applyParagraph()
{
    const ParaState &p = top().para;
    const QTextBlockFormat bf = blockFormatOf(p);
    // A new block takes the format of the one before: most paragraphs need
    // no change.
    if (m_cursor.blockFormat() != bf)
        m_cursor.setBlockFormat(bf);
    m_blockPara = p;
    m_blockFormatKnown = !p.list;
    if (p.list)
        addListItem(p);
    else
        interruptLists();
    m_marker.clear();
}

QList<ListMarker> Reader::markerReadings(const ParaState &p) const
{
    QList<ListMarker> readings = readMarker(m_marker, p.numbered);
    if (p.pnStyle < 0)
        return readings;
    // The definition's style settles an ambiguous marker.
    QList<ListMarker> named;
    for (const ListMarker &r : readings)
        if (r.style == p.pnStyle)
            named << r;
    if (!named.isEmpty())
        return named;
    if (m_marker.trimmed().isEmpty())
        return {{QTextListFormat::Style(p.pnStyle), 0, {}, {}}};
    return readings;
}

namespace {
// What follows a list's number: the marker's own, or a full stop.
QString suffixOf(const ListMarker &m)
{
    return m.suffix.isEmpty() ? QStringLiteral(".") : m.suffix;
}

bool isBullet(QTextListFormat::Style st)
{
    return st == QTextListFormat::ListDisc || st == QTextListFormat::ListCircle || st == QTextListFormat::ListSquare;
}
} // namespace

void Reader::addListItem(const ParaState &p)
{
    // The marker as shown says which list an item belongs to: an item whose
    // number goes on from a list's last joins it, even past paragraphs
    // outside it or items of other lists and levels; another starts a list
    // of its own. A sublist that starts afresh shows it by its first number.
    const QList<ListMarker> readings = markerReadings(p);
    for (const ListMarker &r : readings) {
        const auto it = m_lists.find({p.level, p.li, int(r.style)});
        if (it == m_lists.end())
            continue;
        ListRun &run = it->second;
        const bool fits = r.number > 0 ? r.number == run.first + run.items && r.prefix == run.prefix && r.suffix == run.suffix
                                       : !run.interrupted;
        if (!run.list) {
            if (fits && r.number > 0) {
                writeNumber(run, r.style, r.number);
                ++run.items;
                return;
            }
            continue;
        }
        // Every item added costs a walk of its list, so a bulleted list goes
        // on in a fresh one now and then, which looks the same; a numbered
        // one must stay whole to count on.
        if (fits && !(isBullet(r.style) && run.items >= kListItemsAtOnce)) {
            run.list->add(m_cursor.block());
            ++run.items;
            run.interrupted = false;
            return;
        }
    }
    const ListMarker *chosen = &readings.first();
    for (const ListMarker &r : readings)
        if (r.number == 1) {
            chosen = &r;
            break;
        }
    ListRun &run = m_lists[{p.level, p.li, int(chosen->style)}];
    run = ListRun{};
    run.items = 1;
    run.first = std::max(1, chosen->number);
    run.prefix = chosen->prefix;
    run.suffix = chosen->suffix;
    if (run.first > 1) {
        writeNumber(run, chosen->style, run.first);
        return;
    }
    QTextListFormat lf;
    lf.setStyle(chosen->style);
    lf.setIndent(0);
    if (!isBullet(chosen->style)) {
        lf.setNumberPrefix(chosen->prefix);
        lf.setNumberSuffix(suffixOf(*chosen));
    }
    if (p.level > 0)
        lf.setProperty(kListLevelProperty, p.level);
    run.list = m_cursor.createList(lf);
}

void Reader::writeNumber(const ListRun &run, QTextListFormat::Style style, int number)
{
    // A paragraph outside any list, as it reads back.
    interruptLists();
    QTextCursor start(m_cursor.block());
    // In the look of the item's first text, but not part of a picture, a
    // link or a note's mark that text begins with.
    QTextCharFormat f = start.block().begin().atEnd() ? m_cursor.charFormat()
                                                       : start.block().begin().fragment().charFormat();
    if (f.isImageFormat())
        f = formatOf(top().chr);
    f.clearProperty(kNoteMarkProperty);
    f.clearProperty(QTextFormat::IsAnchor);
    f.clearProperty(QTextFormat::AnchorHref);
    start.insertText(run.prefix + numberText(style, number) + suffixOf(ListMarker{style, number, run.prefix, run.suffix})
                         + QLatin1Char('\t'),
                     f);
}

QString Reader::noteNumber(bool endnote, int n) const
{
    return numberText(endnote ? m_endnoteStyle : m_footnoteStyle, n);
}

void Reader::finishNote()
{
    m_note.end = m_noteIsEnd;
    const int n = ++(m_note.end ? m_endnotes : m_footnotes);
    ++m_noteCount;
    for (auto &run : m_note.runs)
        replaceLoneSurrogates(run.first);
    // Its paragraphs are its own: the breaks at its end are not.
    while (!m_note.runs.isEmpty() && m_note.runs.last().first == QChar(QChar::ParagraphSeparator))
        m_note.runs.removeLast();
    (m_note.end ? m_endnoteList : m_footnoteList) << m_note;
    // The reference in the body shows the note's number where the source
    // numbered it itself.
    if (m_pendingReference) {
        m_pendingReference = false;
        const int kept = top().chr.noteMark;
        top().chr.noteMark = m_note.mark;
        addText(noteNumber(m_note.end, n));
        top().chr.noteMark = kept;
    }
    m_note = Note{};
}

void Reader::finishFontEntry()
{
    QString name = m_entryName;
    const qsizetype semi = name.indexOf(QLatin1Char(';'));
    if (semi >= 0)
        name.truncate(semi);
    // A name is text a writer can put back: no control characters, breaks
    // or objects.
    name.removeIf([](QChar c) {
        return c.unicode() < 0x20 || c == QChar::ObjectReplacementCharacter || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator;
    });
    name = name.trimmed();
    FontEntry e;
    e.name = name;
    if (m_entryCharset <= -1000)
        e.codePage = -1000 - m_entryCharset;
    else if (m_entryCharset >= 0)
        e.codePage = codePageOfCharset(m_entryCharset);
    if (name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        e.codePage = 42;
    m_fonts.insert(m_entryFont, e);
    forgetFormats();
    m_entryName.clear();
    m_entryCharset = -1;
}

void Reader::finishPicture()
{
    if (m_picFormat.isEmpty())
        return;
    QByteArray data = m_picBin;
    if (data.isEmpty())
        data = QByteArray::fromHex(m_picHex);
    m_picHex.clear();
    m_picBin.clear();
    QImage image;
    if (data.isEmpty() || !image.loadFromData(data, m_picFormat.constData()))
        return;
    flushRun();
    // In the paragraph's place, as its text would be: in or out of a table.
    placeCursor(top().para.inTable);
    const QString name = QStringLiteral("rtfimage://%1").arg(++m_pictures);
    // The original bytes are kept, so that a JPEG is written back as it came.
    m_doc->addResource(QTextDocument::ImageResource, QUrl(name), data);
    QTextImageFormat f;
    f.setName(name);
    const double w = m_picWGoal > 0 ? m_picWGoal / kTwipsPerUnit : image.width();
    const double h = m_picHGoal > 0 ? m_picHGoal / kTwipsPerUnit : image.height();
    f.setWidth(w * m_scaleX / 100.0);
    f.setHeight(h * m_scaleY / 100.0);
    m_cursor.insertImage(f);
    m_anyText = true;
}

} // namespace

namespace {


// Where the document starts: "{\rtf" at the beginning, or after a few stray
// characters that other readers pass over too.
qsizetype rtfStart(QStringView text)
{
    const qsizetype at = text.indexOf(QLatin1String("{\\rtf"));
    return at >= 0 && at < 64 ? at : -1;
}
} // namespace

bool looksLikeRtf(const QByteArray &data)
{
    return rtfStart(QString::fromLatin1(data.left(80))) >= 0;
}

bool looksLikeRtf(const QString &text)
{
    return rtfStart(QStringView(text).left(80)) >= 0;
}

bool read(const QString &text, QTextDocument *doc, QString *error)
{
    const qsizetype start = rtfStart(QStringView(text).left(80));
    if (start < 0) {
        if (error)
            *error = QStringLiteral("not an RTF document (it does not begin with {\\rtf)");
        return false;
    }
    const QString body = start > 0 ? text.mid(start) : text;
    // One edit, with no undo history: a loaded body starts a fresh history,
    // and the document is told of the change once.
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    {
        QTextCursor batch(doc);
        batch.beginEditBlock();
        Reader reader(body, doc);
        reader.run();
        batch.endEditBlock();
    }
    doc->setUndoRedoEnabled(undo);
    return true;
}

bool read(const QByteArray &data, QTextDocument *doc, QString *error)
{
    return read(QString::fromLatin1(data), doc, error);
}

} // namespace rtf
