#include "BodyFormatting.h"

#include "Rtf.h"
#include "Session.h"
#include "Utility.h"

#include <QAction>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QTextTable>

#include <optional>

namespace {

constexpr double kIndentStep = 50.0 / rtf::kTwipsPerUnit;  // 50 twips

// Windows colour values keep red in the low byte.
QColor fromColorRef(qint64 v)
{
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

qint64 toColorRef(const QColor &c)
{
    return qint64(c.red()) | (qint64(c.green()) << 8) | (qint64(c.blue()) << 16);
}

// A character property over the selection (or at the insertion point), or
// nothing when the selected text holds more than one value.
template <typename Get>
auto charProperty(const QTextCursor &cursor, Get get) -> std::optional<decltype(get(QTextCharFormat()))>
{
    if (!cursor.hasSelection())
        return get(cursor.charFormat());
    const QTextDocument *doc = cursor.document();
    const int from = cursor.selectionStart(), to = cursor.selectionEnd();
    std::optional<decltype(get(QTextCharFormat()))> value;
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= from || f.position() >= to)
                continue;
            const auto v = get(f.charFormat());
            if (value && *value != v)
                return std::nullopt;
            value = v;
        }
    }
    if (!value)
        return get(cursor.charFormat());
    return value;
}

template <typename Get>
auto blockProperty(const QTextCursor &cursor, Get get) -> std::optional<decltype(get(QTextBlock()))>
{
    const QTextDocument *doc = cursor.document();
    QTextBlock b = doc->findBlock(cursor.selectionStart());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    std::optional<decltype(get(QTextBlock()))> value;
    for (; b.isValid(); b = b.next()) {
        const auto v = get(b);
        if (value && *value != v)
            return std::nullopt;
        value = v;
        if (b == last)
            break;
    }
    return value;
}

template <typename Change>
void forEachBlock(QTextCursor cursor, Change change)
{
    const QTextDocument *doc = cursor.document();
    QTextBlock b = doc->findBlock(cursor.selectionStart());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    for (; b.isValid(); b = b.next()) {
        change(b);
        if (b == last)
            break;
    }
    cursor.endEditBlock();
}

double pointSize(const QTextCharFormat &f, const QTextDocument *doc)
{
    if (f.fontPointSize() > 0)
        return f.fontPointSize();
    return doc->defaultFont().pointSizeF();
}

} // namespace

BodyFormatting::BodyFormatting(Session &session, QTextEdit *body, const std::array<QAction *, 24> &buttons,
                               QWidget *window)
    : m_session(session), m_body(body), m_buttons(buttons), m_window(window)
{
}

bool BodyFormatting::keyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    // Tab never leaves the body by itself.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        if (ctrl)
            m_after->setFocus(Qt::TabFocusReason);
        else if (QTextTable *table = m_body->textCursor().currentTable())
            nextCell(table, shift || key == Qt::Key_Backtab);
        else if (shift || key == Qt::Key_Backtab)
            m_before->setFocus(Qt::BacktabFocusReason);
        else
            m_body->textCursor().insertText(QStringLiteral("\t"));
        return true;
    }
    if (ctrl && key == Qt::Key_I) {
        QTextCharFormat f;
        const auto italic = charProperty(m_body->textCursor(), [](const QTextCharFormat &c) { return c.fontItalic(); });
        if (italic) {
            f.setFontItalic(!*italic);
            m_body->mergeCurrentCharFormat(f);
        }
        refreshButtons();
        return true;
    }
    if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z) {
        const int code = key - Qt::Key_A + 1;
        // Ctrl+C, V, X and Z stay the box's own clipboard and undo, and
        // Ctrl+A, which no command takes, its select-all.
        if (code == 1 || code == 3 || code == 22 || code == 24 || code == 26)
            return false;
        if (!run(code) && m_other)
            m_other(code);
        // The box inserts nothing for control codes; none reaches it here.
        return true;
    }
    return false;
}

bool BodyFormatting::bodyEvent(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        return keyDown(k->key(), k->modifiers());
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep Ctrl-letters and Tab for the body, ahead of any shortcut.
        const auto *k = static_cast<QKeyEvent *>(event);
        // Ctrl+E and Ctrl+H, which no formatting command takes, stay the
        // window's find and history.
        const bool window = (k->key() == Qt::Key_E || k->key() == Qt::Key_H) && (k->modifiers() & Qt::ControlModifier);
        if (((k->modifiers() & Qt::ControlModifier) && !window) || k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab)
            event->accept();
    }
    if (event->type() == QEvent::FocusIn)
        refreshButtons();
    return false;
}

void BodyFormatting::nextCell(QTextTable *table, bool back)
{
    // In a table Tab goes from cell to cell, row after row; past the last
    // cell it adds a row. Shift+Tab goes back, and stops at the first.
    const QTextTableCell cell = table->cellAt(m_body->textCursor());
    int row = cell.row();
    int column = cell.column() + (back ? -1 : cell.columnSpan());
    if (column < 0) {
        if (row == 0) {
            m_before->setFocus(Qt::BacktabFocusReason);
            return;
        }
        --row;
        column = table->columns() - 1;
    } else if (column >= table->columns()) {
        column = 0;
        ++row;
        if (row >= table->rows()) {
            table->appendRows(1);
            // Its cells take the look of the text above them.
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell above = table->cellAt(row - 1, c);
                QTextCursor(table->cellAt(row, c).firstCursorPosition())
                    .setBlockCharFormat(above.lastCursorPosition().charFormat());
            }
        }
    }
    QTextCursor to = table->cellAt(row, column).firstCursorPosition();
    to.setPosition(table->cellAt(row, column).lastPosition(), QTextCursor::KeepAnchor);
    m_body->setTextCursor(to);
}

template <typename Get, typename Set>
void BodyFormatting::toggle(Get get, Set set)
{
    const auto v = charProperty(m_body->textCursor(), get);
    if (!v)
        return;  // mixed: no single value to turn over
    QTextCharFormat f;
    set(f, !*v);
    m_body->mergeCurrentCharFormat(f);
}

void BodyFormatting::align(Qt::Alignment a)
{
    forEachBlock(m_body->textCursor(), [&](const QTextBlock &b) {
        QTextCursor c(b);
        QTextBlockFormat bf = b.blockFormat();
        bf.setAlignment(a);
        c.setBlockFormat(bf);
    });
}

void BodyFormatting::indent(double step)
{
    const QTextCursor cursor = m_body->textCursor();
    const auto v = blockProperty(cursor, [](const QTextBlock &b) { return b.blockFormat().leftMargin(); });
    if (!v || *v + step < -1e-9)
        return;  // mixed, or below zero: refused
    forEachBlock(cursor, [&](const QTextBlock &b) {
        QTextCursor c(b);
        QTextBlockFormat bf = b.blockFormat();
        bf.setLeftMargin(*v + step);
        c.setBlockFormat(bf);
    });
}

void BodyFormatting::resize(double step)
{
    const QTextDocument *doc = m_body->document();
    const auto v = charProperty(m_body->textCursor(), [doc](const QTextCharFormat &c) { return pointSize(c, doc); });
    if (!v || *v + step < 1)
        return;
    QTextCharFormat f;
    f.setFontPointSize(*v + step);
    m_body->mergeCurrentCharFormat(f);
}

void BodyFormatting::toggleList()
{
    QTextCursor cursor = m_body->textCursor();
    const auto listed = blockProperty(cursor, [](const QTextBlock &b) { return b.textList() != nullptr; });
    if (!listed)
        return;
    cursor.beginEditBlock();
    if (*listed) {
        forEachBlock(cursor, [](const QTextBlock &b) {
            if (QTextList *l = b.textList()) {
                // Leaving a list hands the list's indent to the paragraph;
                // it goes back where it was instead.
                const int ownIndent = b.blockFormat().indent();
                l->remove(b);
                QTextCursor c(b);
                QTextBlockFormat f = c.blockFormat();
                f.setIndent(ownIndent);
                c.setBlockFormat(f);
            }
        });
    } else {
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDisc);
        lf.setIndent(1);
        cursor.createList(lf);
    }
    cursor.endEditBlock();
}

bool BodyFormatting::run(int code)
{
    switch (code) {
    case 2:
        toggle([](const QTextCharFormat &c) { return c.fontWeight() >= QFont::Bold; },
               [](QTextCharFormat &f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
        break;
    case 4:
        indent(-kIndentStep);
        break;
    case 6:
        fontDialog();
        return true;
    case 7:
        resize(1);
        break;
    case 12:
        align(Qt::AlignLeft);
        break;
    case 14:
        toggleList();
        break;
    case 15:
        toggle([](const QTextCharFormat &c) { return c.fontItalic(); },
               [](QTextCharFormat &f, bool on) { f.setFontItalic(on); });
        break;
    case 17:
        indent(kIndentStep);
        break;
    case 18:
        align(Qt::AlignRight);
        break;
    case 19:
        resize(-1);
        break;
    case 20:
        align(Qt::AlignHCenter);
        break;
    case 21:
        toggle([](const QTextCharFormat &c) { return c.fontUnderline(); },
               [](QTextCharFormat &f, bool on) { f.setFontUnderline(on); });
        break;
    case 23:
        colourDialog();
        return true;
    default:
        return false;
    }
    refreshButtons();
    return true;
}

void BodyFormatting::fontDialog()
{
    platform::Dialogs::FontChoice initial;
    if (const auto stored = m_session.settings.editorFont()) {
        const QString &a = stored->style;
        initial = {stored->face, stored->size, a.contains(QLatin1Char('B')), a.contains(QLatin1Char('I')),
                   a.contains(QLatin1Char('S')), a.contains(QLatin1Char('U'))};
    } else {
        initial = {QStringLiteral("MS Sans Serif"), 8, false, false, false, false};
    }
    const auto chosen = m_session.dialogs().ChooseFont(m_window, initial);
    if (!chosen) {
        refreshButtons();
        return;
    }
    // Strikethrough is remembered for new text but not given to the selection.
    QTextCharFormat f;
    f.setFontFamilies({chosen->family});
    f.setFontPointSize(chosen->pointSize);
    f.setFontWeight(chosen->bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(chosen->italic);
    f.setFontUnderline(chosen->underline);
    m_body->mergeCurrentCharFormat(f);
    // Remembered for the next editors when it can be; the text has it anyway.
    static_cast<void>(m_session.settings.setEditorFont(
        {chosen->family, chosen->pointSize, StyleLetters(chosen->bold, chosen->italic, chosen->strikeOut, chosen->underline)}));
    refreshButtons();
}

void BodyFormatting::colourDialog()
{
    const auto stored = m_session.settings.editorColour();
    const auto chosen = m_session.dialogs().ChooseColor(m_window, stored ? fromColorRef(*stored) : QColor());
    if (!chosen)
        return;
    // Remembered for the next editors when it can be; the text has it anyway.
    static_cast<void>(m_session.settings.setEditorColour(toColorRef(*chosen)));
    QTextCharFormat f;
    f.setForeground(*chosen);
    m_body->mergeCurrentCharFormat(f);
    refreshButtons();
}

void BodyFormatting::applyEditorFont()
{
    const auto font = m_session.settings.editorFont();
    const auto colour = m_session.settings.editorColour();
    QTextCharFormat f;
    if (!font || font->size <= 0 || !colour) {
        f.setFontFamilies({QStringLiteral("MS Sans Serif")});
        f.setFontPointSize(8);
        f.setFontWeight(QFont::Normal);
        f.setFontItalic(false);
        f.setFontStrikeOut(false);
        f.setFontUnderline(false);
    } else {
        const QString &a = font->style;
        f.setFontFamilies({font->face});
        f.setFontPointSize(font->size);
        f.setFontWeight(a.contains(QLatin1Char('B')) ? QFont::Bold : QFont::Normal);
        f.setFontItalic(a.contains(QLatin1Char('I')));
        f.setFontStrikeOut(a.contains(QLatin1Char('S')));
        f.setFontUnderline(a.contains(QLatin1Char('U')));
        f.setForeground(fromColorRef(*colour));
    }
    // Only the insertion point, at the start: text already there keeps its
    // own format.
    QTextCursor c = m_body->textCursor();
    c.movePosition(QTextCursor::Start);
    // An empty body holds the format in its paragraph too, where a click in
    // the box (which drops the insertion point's own format) still finds it.
    if (m_body->document()->isEmpty())
        c.mergeBlockCharFormat(f);
    m_body->setTextCursor(c);
    m_body->mergeCurrentCharFormat(f);
}

void BodyFormatting::refreshButtons()
{
    const QTextCursor cursor = m_body->textCursor();
    const auto pressed = [&](size_t button, std::optional<bool> v) { m_buttons[button]->setChecked(v.value_or(false)); };
    pressed(8, charProperty(cursor, [](const QTextCharFormat &c) { return c.fontWeight() >= QFont::Bold; }));
    pressed(9, charProperty(cursor, [](const QTextCharFormat &c) { return c.fontItalic(); }));
    pressed(10, charProperty(cursor, [](const QTextCharFormat &c) { return c.fontUnderline(); }));
    pressed(14, blockProperty(cursor, [](const QTextBlock &b) { return b.textList() != nullptr; }));
    const auto a = blockProperty(cursor, [](const QTextBlock &b) {
        const Qt::Alignment h = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        return h & Qt::AlignHCenter ? 1 : (h & Qt::AlignRight ? 2 : 0);
    });
    // A selection over several alignments leaves the three buttons alone.
    if (a) {
        m_buttons[16]->setChecked(*a == 0);
        m_buttons[17]->setChecked(*a == 1);
        m_buttons[18]->setChecked(*a == 2);
    }
}

