#include "BrowserFixture.h"
#include "Rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>
#include <QHelpEvent>
#include <QToolTip>
#include <QToolButton>

class Formatting : public BrowserFixture {
protected:
    void SetUp() override
    {
        BrowserFixture::SetUp();
        e = openTopic(QStringLiteral("Agenda"));
        body = e->rtfContenuto;
        body->setPlainText(QStringLiteral("alpha beta gamma\nsecond line"));
    }
    // Selects characters [from, to) of the body.
    void selectRange(int from, int to)
    {
        QTextCursor c(body->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        body->setTextCursor(c);
    }
    // The format of character pos of the body, or of another editor's text.
    QTextCharFormat formatAt(int pos, QTextEdit *text = nullptr)
    {
        QTextCursor c((text ? text : body)->document());
        c.setPosition(pos + 1);
        return c.charFormat();
    }
    void ctrl(Qt::Key key, Qt::KeyboardModifiers extra = {})
    {
        QTest::keyClick(body, key, Qt::ControlModifier | extra);
    }
    frmNuovoArg *e = nullptr;
    QTextEdit *body = nullptr;
};

TEST_F(Formatting, CtrlLettersWithoutACommandTypeNothing)
{
    selectRange(0, 0);
    for (Qt::Key k : {Qt::Key_E, Qt::Key_J, Qt::Key_K, Qt::Key_M})
        ctrl(k);
    EXPECT_EQ(body->toPlainText(), QStringLiteral("alpha beta gamma\nsecond line"));
}

TEST_F(Formatting, BoldOnAMixedSelectionChangesNothing)
{
    selectRange(0, 5);
    ctrl(Qt::Key_B);
    EXPECT_EQ(formatAt(0).fontWeight(), QFont::Bold);
    EXPECT_TRUE(e->ToolbarButtons[8]->isChecked());
    selectRange(0, 10);  // "alpha" bold, " beta" not
    EXPECT_FALSE(e->ToolbarButtons[8]->isChecked()) << "a mixed selection shows the button up";
    ctrl(Qt::Key_B);
    EXPECT_EQ(formatAt(0).fontWeight(), QFont::Bold);
    EXPECT_NE(formatAt(7).fontWeight(), QFont::Bold);
    EXPECT_FALSE(e->ToolbarButtons[8]->isChecked());
}

TEST_F(Formatting, ItalicHasTheButtonCtrlOAndCtrlI)
{
    selectRange(6, 10);
    e->Toolbar1_ButtonClick(e->ToolbarButtons[9]);
    EXPECT_TRUE(formatAt(6).fontItalic());
    EXPECT_TRUE(e->ToolbarButtons[9]->isChecked());
    selectRange(6, 10);
    ctrl(Qt::Key_O);
    EXPECT_FALSE(formatAt(6).fontItalic());
    ctrl(Qt::Key_I);
    EXPECT_TRUE(formatAt(6).fontItalic());
    EXPECT_EQ(body->toPlainText(), QStringLiteral("alpha beta gamma\nsecond line")) << "Ctrl+I inserts no tab";
    ctrl(Qt::Key_A);
    EXPECT_EQ(body->textCursor().selectedText().size(), body->toPlainText().size()) << "Ctrl+A still selects all";
}

TEST_F(Formatting, SizeStepsByOnePointAndNeverBelowOne)
{
    selectRange(0, 5);
    QTextCharFormat two;
    two.setFontPointSize(2);
    body->mergeCurrentCharFormat(two);
    ctrl(Qt::Key_S);
    EXPECT_DOUBLE_EQ(formatAt(0).fontPointSize(), 1.0);
    ctrl(Qt::Key_S);
    EXPECT_DOUBLE_EQ(formatAt(0).fontPointSize(), 1.0);
    ctrl(Qt::Key_G);
    ctrl(Qt::Key_G);
    EXPECT_DOUBLE_EQ(formatAt(0).fontPointSize(), 3.0);
}

TEST_F(Formatting, IndentStepsByFiftyTwipsAndNeverBelowZero)
{
    selectRange(0, 3);
    ctrl(Qt::Key_D);
    EXPECT_DOUBLE_EQ(body->document()->firstBlock().blockFormat().leftMargin(), 0.0) << "refused below zero";
    ctrl(Qt::Key_Q);
    ctrl(Qt::Key_Q);
    EXPECT_NEAR(body->document()->firstBlock().blockFormat().leftMargin() * 15, 100.0, 1e-9);
    ctrl(Qt::Key_D);
    EXPECT_NEAR(body->document()->firstBlock().blockFormat().leftMargin() * 15, 50.0, 1e-9);
    EXPECT_DOUBLE_EQ(body->document()->lastBlock().blockFormat().leftMargin(), 0.0) << "other paragraphs untouched";
}

TEST_F(Formatting, TabTypesATabAndItsModifiersMoveTheFocus)
{
    selectRange(5, 5);
    e->activateWindow();
    body->setFocus();
    QTest::keyClick(body, Qt::Key_Tab);
    EXPECT_EQ(body->toPlainText().left(7), QStringLiteral("alpha\t "));
    QTest::keyClick(body, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(e->focusWidget(), e->txtArgomento);
    body->setFocus();
    QTest::keyClick(body, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(e->focusWidget(), e->cmdTimer);
    body->setFocus();
    QTest::keyClick(body, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(e->focusWidget(), e->cmdTimer);
}

TEST_F(Formatting, AlignmentButtonsFollowTheSelectionBulletsTurnOnAndOffAndTheFormattingIsSaved)
{
    // Which of the left, centre and right buttons are down.
    const auto aligned = [&] {
        QString down;
        for (int b : {16, 17, 18})
            down += e->ToolbarButtons[size_t(b)]->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
        return down;
    };
    selectRange(0, 2);
    ctrl(Qt::Key_T);
    EXPECT_EQ(aligned(), QStringLiteral("-x-"));
    selectRange(20, 22);  // the left-aligned second paragraph
    EXPECT_EQ(aligned(), QStringLiteral("x--"));
    selectRange(0, 22);  // both: the buttons stay as they were
    EXPECT_EQ(aligned(), QStringLiteral("x--"));
    selectRange(0, 2);
    ctrl(Qt::Key_R);
    EXPECT_EQ(aligned(), QStringLiteral("--x"));
    ctrl(Qt::Key_L);
    EXPECT_EQ(aligned(), QStringLiteral("x--"));

    selectRange(0, 22);
    ctrl(Qt::Key_N);
    EXPECT_TRUE(body->document()->firstBlock().textList());
    EXPECT_EQ(body->document()->firstBlock().textList(), body->document()->lastBlock().textList());
    EXPECT_TRUE(e->ToolbarButtons[14]->isChecked());
    ctrl(Qt::Key_N);
    EXPECT_FALSE(body->document()->firstBlock().textList());
    EXPECT_FALSE(e->ToolbarButtons[14]->isChecked());
    for (QTextBlock b = body->document()->firstBlock(); b.isValid(); b = b.next())
        EXPECT_EQ(b.blockFormat().indent(), 0) << "no indent left behind";

    selectRange(0, 5);
    ctrl(Qt::Key_B);
    selectRange(0, 2);
    ctrl(Qt::Key_T);
    e->cmdSalva_Click();
    frmNuovoArg *again = openTopic(QStringLiteral("Agenda"));
    EXPECT_EQ(again->rtfContenuto->textCursor().position(), 0) << "a stored body opens at its start";
    EXPECT_EQ(formatAt(1, again->rtfContenuto).fontWeight(), QFont::Bold);
    EXPECT_EQ(again->rtfContenuto->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_TRUE(again->ProvaChiusura()) << "a loaded body counts as unchanged";
}

TEST_F(Formatting, FontAndColourDialogsApplyAndRememberTheirChoiceAndChangeNothingWhenCancelled)
{
    const SetupRow setup = setupRow();
    selectRange(0, 5);
    const QTextCharFormat before = formatAt(0);
    services.dialogs.expectFont(std::nullopt);
    ctrl(Qt::Key_F);
    services.dialogs.expectColor(std::nullopt);
    ctrl(Qt::Key_W);
    EXPECT_EQ(formatAt(0), before);
    EXPECT_EQ(setup.field(QStringLiteral("EditFont")).toString(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(setup.field(QStringLiteral("Editcolore")).toInt(), 0);
    services.dialogs.expectColor(QColor(0x12, 0x34, 0x56));
    ctrl(Qt::Key_W);
    EXPECT_EQ(formatAt(0).foreground().color(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(setup.field(QStringLiteral("Editcolore")).toInt(), 0x563412) << "red in the low byte";

    services.dialogs.expectFont(platform::Dialogs::FontChoice{QStringLiteral("DejaVu Serif"), 14, true, false, true, true});
    ctrl(Qt::Key_F);
    EXPECT_EQ(services.dialogs.lastFontShown.family, QStringLiteral("MS Sans Serif")) << "a new database's font";
    const QTextCharFormat f = formatAt(0);
    EXPECT_EQ(f.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
    EXPECT_DOUBLE_EQ(f.fontPointSize(), 14);
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_TRUE(f.fontUnderline());
    EXPECT_FALSE(f.fontStrikeOut()) << "strikethrough is not given to the selection";
    EXPECT_EQ(setup.field(QStringLiteral("EditFont")).toString(), QStringLiteral("DejaVu Serif"));
    EXPECT_DOUBLE_EQ(setup.field(QStringLiteral("EditFontAltezza")).toDouble(), 14);
    EXPECT_EQ(setup.field(QStringLiteral("EditFontAttributi")).toString(), QStringLiteral("BSU"));
    EXPECT_EQ(body->toPlainText().left(5), QStringLiteral("alpha")) << "the key is used up";

    // The next editor types in the remembered font, struck through too; the
    // font is no edit to take back.
    frmNuovoArg *fresh = newTopic();
    EXPECT_FALSE(fresh->rtfContenuto->document()->isUndoAvailable());
    fresh->rtfContenuto->undo();
    EXPECT_FALSE(fresh->rtfContenuto->document()->isModified());
    // Moving the insertion point in the empty box does not lose it.
    fresh->rtfContenuto->setTextCursor(QTextCursor(fresh->rtfContenuto->document()));
    QTest::keyClicks(fresh->rtfContenuto, QStringLiteral("typed"));
    const QTextCharFormat typed = formatAt(1, fresh->rtfContenuto);
    EXPECT_EQ(typed.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
    EXPECT_DOUBLE_EQ(typed.fontPointSize(), 14);
    EXPECT_TRUE(typed.fontStrikeOut());
    EXPECT_EQ(typed.fontWeight(), QFont::Bold);

    services.dialogs.expectFont(platform::Dialogs::FontChoice{QStringLiteral("DejaVu Sans"), 9, true, false, false, true});
    fresh->FormatCommand(6);
    EXPECT_EQ(setup.field(QStringLiteral("EditFontAttributi")).toString(), QStringLiteral("BU"));
}

// Ctrl+click hands a web or mail link to the user's program for it; a link
// to a file or a program is refused with a message; a plain click edits.
TEST_F(Formatting, CtrlClickOpensAWebOrMailLinkOnly)
{
    const struct {
        const char *href;
        bool opened;
    } cases[] = {
        {"https://example.org/a?b=1", true},
        {"mailto:someone@example.org", true},
        {"file:///usr/bin/xterm", false},
        {"#chapter2", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.href);
        body->clear();
        QTextCursor cursor(body->document());
        cursor.insertText(QStringLiteral("see "));
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(QString::fromUtf8(c.href));
        cursor.insertText(QStringLiteral("the site"), link);
        selectRange(0, 0);
        cursor.setPosition(6);
        const QPoint at = body->cursorRect(cursor).center();
        services.desktop.opened.clear();
        QTest::mouseClick(body->viewport(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(services.desktop.opened.isEmpty()) << "a plain click only places the cursor";
        if (!c.opened)
            services.dialogs.expectMsgBox();
        QTest::mouseClick(body->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
        EXPECT_EQ(services.desktop.opened, c.opened ? QStringList{QString::fromUtf8(c.href)} : QStringList{});
    }
}

// In a table Tab goes to the next cell, row after row, and past the last
// adds a row; Shift+Tab goes back. Outside one Tab types a tab.
TEST_F(Formatting, TabMovesThroughATablesCellsAndGrowsIt)
{
    QTextCursor c(body->document());
    c.movePosition(QTextCursor::End);
    QTextTable *table = c.insertTable(2, 2);
    QTextCharFormat large;
    large.setFontPointSize(15);
    table->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("below"), large);
    body->setTextCursor(table->cellAt(0, 0).firstCursorPosition());
    const auto cellOfCursor = [&] {
        const QTextTableCell cell = table->cellAt(body->textCursor());
        return std::pair{cell.row(), cell.column()};
    };
    const std::pair<int, int> forward[] = {{0, 1}, {1, 0}, {1, 1}, {2, 0}};
    for (const auto &next : forward) {
        QTest::keyClick(body, Qt::Key_Tab);
        EXPECT_EQ(cellOfCursor(), next);
    }
    EXPECT_EQ(table->rows(), 3) << "Tab past the last cell adds a row";
    EXPECT_EQ(body->textCursor().charFormat().fontPointSize(), 15) << "with the look of the text above";
    QTest::keyClick(body, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(cellOfCursor(), std::pair(1, 1));
    QTest::keyClicks(body, QStringLiteral("typed"));
    EXPECT_EQ(table->cellAt(1, 1).firstCursorPosition().block().text(), QStringLiteral("typed"));
    EXPECT_EQ(body->toPlainText().count(u'\t'), 0) << "no tab typed in a table";
}

// Text typed at a link's end is not part of the link, nor looks like it;
// typed within, it is. The same for a note's mark.
TEST_F(Formatting, TypingAtTheEndOfALinkOrANoteMarkLeavesIt)
{
    body->clear();
    QTextCursor c(body->document());
    c.insertText(QStringLiteral("see "));
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/"));
    link.setFontUnderline(true);
    link.setForeground(QColor::fromRgb(rtf::kLinkRgb));
    c.insertText(QStringLiteral("site"), link);
    selectRange(0, 0);
    selectRange(8, 8);  // as a click at its end
    QTest::keyClicks(body, QStringLiteral("X"));
    EXPECT_FALSE(formatAt(8).isAnchor());
    EXPECT_FALSE(formatAt(8).fontUnderline());
    selectRange(6, 6);
    QTest::keyClicks(body, QStringLiteral("Y"));
    EXPECT_EQ(formatAt(6).anchorHref(), QStringLiteral("https://example.org/"));
    EXPECT_EQ(body->toPlainText(), QStringLiteral("see siYteX"));

    // Nor is text typed after a note's mark part of the mark.
    ASSERT_TRUE(rtf::read(QByteArray(R"({\rtf1 Body{\super\chftn{\footnote\pard\plain {\super\chftn} The note.}} here.\par})"),
                          body->document()));
    selectRange(0, 0);
    selectRange(5, 5);
    QTest::keyClicks(body, QStringLiteral("Z"));
    EXPECT_EQ(formatAt(4).intProperty(rtf::kNoteMarkProperty), 1);
    EXPECT_EQ(formatAt(5).intProperty(rtf::kNoteMarkProperty), 0);
}

// Hovering a note's mark shows the note's text.
TEST_F(Formatting, ANotesMarkShowsTheNoteInATip)
{
    ASSERT_TRUE(rtf::read(QByteArray(R"({\rtf1 Body{\super\chftn{\footnote\pard\plain {\super\chftn} The note.}} here.\par})"),
                          body->document()));
    QTextCursor mark(body->document());
    mark.setPosition(4);
    const QPoint at = body->cursorRect(mark).center() + QPoint(2, 0);
    QHelpEvent hover(QEvent::ToolTip, at, body->viewport()->mapToGlobal(at));
    QApplication::sendEvent(body->viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("1 The note."));
}
