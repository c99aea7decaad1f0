#include "Rtf.h"
#include "Str.h"
#include "BrowserFixture.h"

#include <QTextCursor>

using Editor = BrowserFixture;

TEST_F(Editor, LoadsTheTopicAndItsUpdateTimeAndTheCloseChecksSeeTitleTextAndFormattingChanges)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Agenda"));
    EXPECT_EQ(e->labModifica->text(), QStringLiteral("Last update: 04/05/25 03:02"));
    EXPECT_EQ(e->categoryId(), categories["beta"]);
    // Empty alarm fields: type 0 and the moment of loading.
    EXPECT_EQ(e->alarm().type(), 0);
    EXPECT_EQ(e->alarm().time(), store::WallTime::of(services.clock.current));
    EXPECT_TRUE(e->ProvaChiusura()) << "nothing changed";

    e->activateWindow();
    e->txtArgomento->setFocus();
    QTest::keyClick(e->txtArgomento, Qt::Key_Return);
    EXPECT_EQ(e->txtArgomento->text(), QStringLiteral("Agenda"));
    EXPECT_EQ(e->focusWidget(), e->rtfContenuto);

    e->txtArgomento->setText(QStringLiteral("agenda"));
    EXPECT_FALSE(e->ProvaChiusura()) << "case matters";
    e->txtArgomento->setText(QStringLiteral("Agenda"));
    EXPECT_TRUE(e->ProvaChiusura());

    e->rtfContenuto->append(QStringLiteral("more"));
    EXPECT_FALSE(e->ProvaChiusura());
    e->rtfContenuto->setPlainText(QStringLiteral("Body of Agenda"));
    e->rtfContenuto->document()->setModified(false);

    frmNuovoArg *f = openTopic(QStringLiteral("Summary"));
    QTextCursor c(f->rtfContenuto->document());
    c.select(QTextCursor::Document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);
    EXPECT_EQ(f->rtfContenuto->toPlainText(), QStringLiteral("Body of Summary"));
    EXPECT_FALSE(f->ProvaChiusura()) << "formatting alone is a change too";

    frmNuovoArg *fresh = newTopic();
    EXPECT_FALSE(fresh->ProvaChiusura()) << "a new topic is never taken as saved";

    // The desktop session does not end over them. Refused with its message
    // where the session lets us ask: on a real desktop, in tests/e2e. Where
    // it does not, refused without a word.
    EXPECT_FALSE(main->QueryEndSession(false));
    EXPECT_TRUE(services.dialogs.shown().isEmpty());
    EXPECT_EQ(session->finestre.editors().size(), 3) << "nothing is closed: the session may yet go on";
    f->cmdSalva->click();
    e->cmdAnnulla_Click();
    fresh->cmdAnnulla_Click();
    EXPECT_TRUE(main->QueryEndSession(true));
    EXPECT_TRUE(main->close());
}

TEST_F(Editor, AnUnreadableTopicIsShownReadOnlyAndNeverSaved)
{
    auto &db = session->store.dbNotes;
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE Argomenti RENAME COLUMN contenuto TO elsewhere")));
    services.dialogs.expectMsgBox();
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    EXPECT_EQ(services.dialogs.shown().size(), 1) << "the error is shown";
    EXPECT_FALSE(e->cmdSalva->isEnabled());
    EXPECT_TRUE(e->rtfContenuto->isReadOnly());
    e->cmdSalva_Click();
    EXPECT_TRUE(e->ProvaChiusura()) << "nothing of the user's to keep: the program may end";
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE Argomenti RENAME COLUMN elsewhere TO contenuto")));
    EXPECT_EQ(storedField(topics["Agenda"], "contenuto").toString(), QStringLiteral("Body of Agenda")) << "kept";
    EXPECT_EQ(storedField(topics["Agenda"], "ultimoaggiornamento").toDateTime(), QDateTime(QDate(2025, 5, 4), QTime(3, 2)))
        << "not saved";
}

TEST_F(Editor, ABodyLeftAsLoadedKeepsWhatItDoesNotShowUntilEdited)
{
    const QString body = QStringLiteral("{\\rtf1\\ansi{\\*\\olddest kept for later}Shown text\\par}");
    storeFields(topics["Agenda"], {{"contenuto", body}});
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    EXPECT_EQ(e->rtfContenuto->toPlainText(), QStringLiteral("Shown text"));
    e->txtArgomento->setText(QStringLiteral("Renamed"));
    e->cmdSalva->click();
    EXPECT_EQ(storedField(topics["Agenda"], "contenuto").toString(), body) << "a title change keeps the body whole";
    EXPECT_EQ(storedField(topics["Agenda"], "ContenutoTxt").toString(), QStringLiteral("Shown text"));

    e = openTopic(QStringLiteral("Renamed"), QStringLiteral("Agenda"));
    e->rtfContenuto->append(QStringLiteral("more"));
    e->cmdSalva->click();
    EXPECT_FALSE(storedField(topics["Agenda"], "contenuto").toString().contains(QLatin1String("kept for later")));
}

TEST_F(Editor, ATitleIsCutWholeToItsWidthAndListedInFull)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    // A character outside the basic plane straddles the width: it goes whole.
    const int width = session->topics.titleWidth();
    const QString title = QString(width - 1, QLatin1Char('a')) + QStringLiteral("\U0001F600");
    e->txtArgomento->setText(title);
    e->cmdSalva->click();
    EXPECT_EQ(storedField(topics["Agenda"], "argomento").toString(), QString(width - 1, QLatin1Char('a')));
    EXPECT_EQ(main->lstArgomenti->item(rowOf(title))->text(), title) << "the list shows the full title";
}

TEST_F(Editor, AFailedSaveKeepsTheWindowAndItsText)
{
    // Over a topic deleted meanwhile, then with a picture past what the
    // reader keeps (stored, it would reopen without it), refused before the
    // store is touched.
    frmNuovoArg *e = openTopic(QStringLiteral("Summary"));
    e->rtfContenuto->setPlainText(QStringLiteral("precious"));
    ASSERT_EQ(session->topics.remove(topics["Summary"]), notes::Found::Yes);
    services.dialogs.expectMsgBox();
    e->cmdSalva->click();
    ASSERT_EQ(services.dialogs.shown().size(), 1);
    EXPECT_EQ(services.dialogs.shown().constLast().style, platform::vbExclamation);
    QTextDocument *doc = e->rtfContenuto->document();
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("img://huge")),
                     QByteArray("\x89PNG", 4) + QByteArray(rtf::kMaxPictureBytes, 'x'));
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    QTextImageFormat f;
    f.setName(QStringLiteral("img://huge"));
    c.insertImage(f);
    services.dialogs.expectMsgBox();
    e->cmdSalva->click();
    ASSERT_EQ(services.dialogs.shown().size(), 2) << "the one box, nothing from the store";
    EXPECT_EQ(services.dialogs.shown().constLast().prompt, session->GetString(Str::TextTooLarge));
    EXPECT_TRUE(e->isVisible());
    EXPECT_TRUE(e->rtfContenuto->toPlainText().startsWith(QStringLiteral("precious")));
    EXPECT_EQ(session->finestre.editors().size(), 1);
}

TEST_F(Editor, TheEditMenuAndTheToolbarCutCopyPasteAndUndoInTheBody)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    const auto button = [e](const char *name) {
        for (QAction *b : e->ToolbarButtons)
            if (b && b->data().toString() == QLatin1String(name))
                e->Toolbar1_ButtonClick(b);
    };
    const auto selectFirstWord = [e] {
        QTextCursor c(e->rtfContenuto->document());
        c.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        e->rtfContenuto->setTextCursor(c);
    };
    const std::function<void()> copy[] = {[e] { e->mnuCopiaNA_Click(); }, [&] { button("Copia"); }};
    const std::function<void()> paste[] = {[e] { e->mnuIncollaNA_Click(); }, [&] { button("Incolla"); }};
    const std::function<void()> cut[] = {[e] { e->mnuTagliaNA_Click(); }, [&] { button("Taglia"); }};
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "the Edit menu" : "the toolbar");
        selectFirstWord();
        copy[way]();
        e->rtfContenuto->moveCursor(QTextCursor::End);
        paste[way]();
        EXPECT_EQ(e->rtfContenuto->toPlainText(), QStringLiteral("Body of AgendaBody"));
        e->mnuAnnullaNA_Click();
        EXPECT_EQ(e->rtfContenuto->toPlainText(), QStringLiteral("Body of Agenda"));
        selectFirstWord();
        cut[way]();
        EXPECT_EQ(e->rtfContenuto->toPlainText(), QStringLiteral(" of Agenda"));
        e->mnuAnnullaNA_Click();
    }
}
