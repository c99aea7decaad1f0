#include "BrowserFixture.h"
#include "FindBar.h"

class Find : public BrowserFixture {
protected:
    void find(const QString &text)
    {
        services.dialogs.expectInputBox(text);
        main->mnuTrovaArgomenti_Click();
    }
};

TEST_F(Find, TheListHoldsWhatTheLikeScanGivesInItsOrder)
{
    // Which topics a pattern finds is the store's, walked over a table of
    // patterns in tests/store; the list shows them all, in order.
    for (const char *text : {"*", "body of [a-m]"}) {
        find(QString::fromUtf8(text));
        const frmListaArgomenti *r = results();
        ASSERT_TRUE(r) << text;
        // The statement of the design, with the LIKE matcher, over every row.
        store::Statement like(session->store.dbNotes, QStringLiteral("SELECT idArgomento, argomento FROM Argomenti "
                                                                     "WHERE ContenutoTxt LIKE ?1 OR argomento LIKE ?1"));
        like.bind(1, QLatin1Char('*') + QString::fromUtf8(text) + QLatin1Char('*'));
        QStringList expected, shown;
        while (like.step())
            expected << QString::number(like.columnInt(0)) + QLatin1Char(' ') + like.columnText(1);
        for (int i = 0; i < r->lstArgomenti->count(); ++i)
            shown << QString::number(r->lstArgomenti->key(i)) + QLatin1Char(' ') + r->lstArgomenti->text(i);
        EXPECT_FALSE(expected.isEmpty()) << text;
        EXPECT_EQ(shown, expected) << text;
        EXPECT_EQ(r->lstArgomenti->currentRow(), 0);
    }
}

TEST_F(Find, NoResultOrACancelKeepsTheOldList)
{
    find(QStringLiteral("far away"));
    frmListaArgomenti *r = results();
    ASSERT_TRUE(r);
    services.dialogs.expectInputBox(QStringLiteral("nowhere to be found"));
    services.dialogs.expectMsgBox();
    main->mnuTrovaArgomenti_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().prompt, QStringLiteral("No topic found."));
    services.dialogs.expectInputBox(std::nullopt);
    main->mnuTrovaArgomenti_Click();  // cancelled: nothing
    ASSERT_EQ(results(), r);
    EXPECT_EQ(r->lstArgomenti->text(0), QStringLiteral("Far")) << "the old list is kept";
}

TEST_F(Find, ShowOpensTheTopicWithWhatWasFoundOrBringsItsEditorForward)
{
    find(QStringLiteral("far away"));
    results()->cmdMostra->click();
    frmNuovoArg *e = editorOf(topics["Far"]);
    ASSERT_TRUE(e);
    // What was looked for is shown, selected and counted; the text is untouched.
    EXPECT_TRUE(e->barTrova->isVisible());
    EXPECT_EQ(e->rtfContenuto->textCursor().selectedText(), QStringLiteral("far away"));
    EXPECT_EQ(e->barTrova->labConteggio->text(), QStringLiteral("1 of 1"));
    EXPECT_TRUE(e->ProvaChiusura());
    e->barTrova->CloseBar();
    results()->cmdMostra_Click();
    EXPECT_EQ(session->finestre.editors().size(), 1) << "the open editor comes forward instead";
    EXPECT_TRUE(e->barTrova->isVisible()) << "and shows the occurrences again";
}

TEST_F(Find, MovesAndNewTopicsGoWhereTheListShowsNotWhereTheResultIs)
{
    find(QStringLiteral("far away"));
    results()->cmdMostra_Click();
    delete editorOf(topics["Far"]);
    // The list still shows "beta", while the topic shown is in "Zeta".
    ASSERT_EQ(main->list().ShownCategoryId(), categories["beta"]);
    select(QStringLiteral("Agenda"));
    auto driver = chooseCategory(QStringLiteral("Zeta"));
    main->mnuSposta_Click();
    EXPECT_FALSE(listTexts().contains(QStringLiteral("Agenda")));
    EXPECT_EQ(storedField(topics["Agenda"], "idCategoria").toInt(), categories["Zeta"]) << "moved, not refused";
    // A move into the category shown is refused.
    select(QStringLiteral("Summary"));
    auto same = chooseCategory(QStringLiteral("beta"));
    main->mnuSposta_Click();
    EXPECT_TRUE(listTexts().contains(QStringLiteral("Summary")));
}

TEST_F(Find, ANewTopicSavedAfterAResultIsShownJoinsTheListShown)
{
    frmNuovoArg *fresh = newTopic();
    fresh->txtArgomento->setText(QStringLiteral("Fresh"));
    find(QStringLiteral("far away"));
    results()->cmdMostra_Click();
    ASSERT_EQ(main->list().ShownCategoryId(), categories["beta"]);
    fresh->cmdSalva_Click();
    EXPECT_TRUE(listTexts().contains(QStringLiteral("Fresh")));
}

TEST_F(Find, SelectShowsTheTopicInItsCategorysList)
{
    find(QStringLiteral("far away"));
    results()->cmdIndividua->click();
    EXPECT_EQ(main->labCategoria->text(), QStringLiteral("Zeta"));
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("Far"));
}

TEST_F(Find, ADeletedTopicsLineIsRemovedAndNothingIsSelected)
{
    find(QStringLiteral("Body of"));
    frmListaArgomenti *r = results();
    ASSERT_TRUE(r);
    ASSERT_EQ(r->lstArgomenti->count(), 3);
    r->lstArgomenti->setCurrentRow(0);
    deleteBehindTheWindows(r->lstArgomenti->key(0));
    services.dialogs.expectMsgBox();
    r->cmdMostra_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().prompt, QStringLiteral("Topic deleted."));
    EXPECT_EQ(r->lstArgomenti->count(), 2);
    EXPECT_FALSE(r->lstArgomenti->selectionModel()->hasSelection());
    // Show and Select act on a selected line only, not on one merely current.
    r->lstArgomenti->selectionModel()->setCurrentIndex(r->lstArgomenti->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    main->lstArgomenti->setCurrentRow(-1);
    main->lstArgomenti->clearSelection();
    r->cmdMostra_Click();
    r->cmdIndividua_Click();
    EXPECT_EQ(main->list().SelectedKey(), -1) << "nothing located";
    EXPECT_TRUE(session->finestre.editors().isEmpty());
    EXPECT_EQ(services.dialogs.shown().size(), 2) << "the question of the find and the one error, nothing more";
    EXPECT_FALSE(session->finestre.AllWindowsClosed()) << "the results window counts as open";
}
