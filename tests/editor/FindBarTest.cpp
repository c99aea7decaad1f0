#include "BrowserFixture.h"
#include "FindBar.h"

#include <QCheckBox>
#include <QTextCursor>

TEST(FindOccurrences, WordsAndPatternsLeftToRight)
{
    struct Case {
        const char *pattern;
        bool matchCase, wholeWord;
        QList<TextMatch> expected;
    };
    const QString text = QStringLiteral("Città, citta e CITTÀ: cat 42 a 7 citazioni; ascat.");
    const Case cases[] = {
        {"città", false, false, {{0, 5}, {15, 5}}},
        {"Città", true, false, {{0, 5}}},
        {"cit?", false, true, {}},
        {"cit??", false, true, {{0, 5}, {7, 5}, {15, 5}}},
        {"c*t", false, false, {{0, 3}, {7, 3}, {15, 3}, {22, 3}, {33, 3}, {46, 3}}},
        {"*cat*", false, false, {{22, 3}, {46, 3}}},  // stars at the ends add nothing
        {"cat", false, true, {{22, 3}}},
        {"##", false, false, {{26, 2}}},
        {"[!a-z]#", false, false, {{25, 2}, {30, 2}}},
        {"[abc", false, false, {}},  // an open bracket is a character
        {"*", false, false, {}},
        {"a*;", false, false, {{11, 32}}},  // a star spans as little as it can
    };
    for (const Case &c : cases)
        EXPECT_EQ(findOccurrences(text, QString::fromUtf8(c.pattern), c.matchCase, c.wholeWord), c.expected)
            << c.pattern << " case " << c.matchCase << " word " << c.wholeWord;
    // A piece that never comes ends the walk at once, however long the text.
    const QString many = QStringLiteral("foo ").repeated(200000);
    EXPECT_TRUE(findOccurrences(many, QStringLiteral("foo*bar"), false, false).isEmpty());
}

using FindInTopic = BrowserFixture;

TEST_F(FindInTopic, KeysOpenStepAndCloseTheBarWithoutTouchingTheText)
{
    const QString body = QStringLiteral("uno due uno\ntre uno");
    storeFields(topics["Agenda"], {{"contenuto", body}, {"ContenutoTxt", body}});
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(e));
    QTextCursor c = e->rtfContenuto->textCursor();
    c.setPosition(4);
    c.setPosition(7, QTextCursor::KeepAnchor);
    e->rtfContenuto->setTextCursor(c);
    e->rtfContenuto->setFocus();

    // Ctrl+E from the body, where every other Ctrl-letter formats: the
    // selected word is looked for.
    QTest::keyClick(e->rtfContenuto, Qt::Key_E, Qt::ControlModifier);
    FindBar *bar = e->barTrova;
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->txtTrova->text(), QStringLiteral("due"));
    EXPECT_EQ(bar->labConteggio->text(), QStringLiteral("1 of 1"));

    bar->txtTrova->setText(QStringLiteral("UNO"));
    QTest::keyClick(bar->txtTrova, Qt::Key_Return);
    EXPECT_EQ(bar->labConteggio->text(), QStringLiteral("2 of 3")) << "found as typed: the first after the selection";
    QTest::keyClick(e->rtfContenuto, Qt::Key_F8);
    QTest::keyClick(e->rtfContenuto, Qt::Key_F8);
    EXPECT_EQ(bar->current(), 0) << "wraps round";
    QTest::keyClick(e->rtfContenuto, Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(e->rtfContenuto->textCursor().selectionStart(), 16);
    bar->chkMaiuscole->setChecked(true);
    EXPECT_EQ(bar->labConteggio->text(), QStringLiteral("No match"));
    bar->chkMaiuscole->setChecked(false);
    EXPECT_TRUE(e->ProvaChiusura()) << "finding never changes the text";

    // Typing in the body counts again without moving the insertion point.
    QTextCursor end(e->rtfContenuto->document());
    end.movePosition(QTextCursor::End);
    e->rtfContenuto->setTextCursor(end);
    e->rtfContenuto->insertPlainText(QStringLiteral(" uno"));
    QTRY_COMPARE(bar->matches().size(), 4);
    EXPECT_EQ(e->rtfContenuto->textCursor().position(), e->rtfContenuto->document()->characterCount() - 1);

    QTest::keyClick(bar->txtTrova, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(e->rtfContenuto->extraSelections().isEmpty());
    EXPECT_TRUE(e->rtfContenuto->hasFocus());
}
