#include "BrowserFixture.h"

#include <QTextDocument>

using Lists = BrowserFixture;

TEST_F(Lists, StartReopensTheLastCategoryWithItsTopicsSorted)
{
    EXPECT_TRUE(main->list().isTopicMode());
    EXPECT_EQ(main->labCategoria->text(), QStringLiteral("beta"));
    EXPECT_EQ(main->list().ShownCategoryId(), categories["beta"]);
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("Agenda"), QStringLiteral("marmellata"), QStringLiteral("Summary")}));
    // UltimoArg names no listed topic: the first entry is selected.
    EXPECT_EQ(main->lstArgomenti->currentRow(), 0);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Agenda")) << "selecting shows the text in the search box";
    EXPECT_FALSE(main->mnuRinomina->isEnabled());
}

TEST_F(Lists, TheCategoryListIsSortedPreselectsTheOpenOneAndOffersNoTopicCommand)
{
    main->cmdCambia_Click();
    EXPECT_FALSE(main->list().isTopicMode());
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("Zeta")}));
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("beta"));
    EXPECT_TRUE(main->mnuRinomina->isEnabled());
    for (QAction *a : {main->mnuTaglia, main->mnuCopia, main->mnuIncolla, main->mnuSposta, main->mnuSpostaTutti})
        EXPECT_FALSE(a->isEnabled());
}

TEST_F(Lists, ANewCategoryTakesItsSortedPlaceSelected)
{
    main->cmdCambia_Click();
    services.dialogs.expectInputBox(QStringLiteral("Gamma"));
    main->cmdInserisci_Click();
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("Gamma"),
                                        QStringLiteral("Zeta")}));
    EXPECT_EQ(main->lstArgomenti->currentRow(), 2);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Gamma"));
    EXPECT_EQ(storedCategory(main->list().SelectedKey()), QStringLiteral("Gamma")) << "the entry's key is the new category's";
}

TEST_F(Lists, TheLastTopicIsSelectedAtStartWhenItIsListed)
{
    // With no category at all the start ends on the category list: the
    // first start's test.
    stop();
    setSetup(QStringLiteral("UltimoArg"), topics["Summary"]);
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    ASSERT_TRUE(main->lstArgomenti->currentItem());
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("Summary"));
}

TEST_F(Lists, OpeningACategoryListsItsTopicsUnselectedAndIsRemembered)
{
    openCategory(QStringLiteral("Zeta"));
    EXPECT_TRUE(main->list().isTopicMode());
    EXPECT_EQ(main->list().ShownCategoryId(), categories["Zeta"]);
    EXPECT_EQ(listTexts(), QStringList{QStringLiteral("Far")});
    EXPECT_EQ(main->lstArgomenti->currentRow(), -1) << "no topic is selected after filling";
    EXPECT_FALSE(main->mnuRinomina->isEnabled());
    EXPECT_EQ(main->StatusPanel1->text(), QStringLiteral("List of available topics"));
    EXPECT_EQ(setupRow().field(QStringLiteral("UltimaCat")).toInt(), categories["Zeta"]);
    for (QAction *a : {main->mnuTaglia, main->mnuCopia, main->mnuIncolla, main->mnuSposta, main->mnuSpostaTutti})
        EXPECT_TRUE(a->isEnabled());
}

TEST_F(Lists, EnterOpensACategoryToo)
{
    main->cmdCambia_Click();
    select(QStringLiteral("Alpha"));
    main->lstArgomenti->setFocus();
    QTest::keyClick(main->lstArgomenti, Qt::Key_Return);
    EXPECT_TRUE(main->list().isTopicMode());
    EXPECT_EQ(main->labCategoria->text(), QStringLiteral("Alpha"));
    EXPECT_TRUE(listTexts().isEmpty()) << "an empty category lists nothing";
    EXPECT_TRUE(main->mnuRinomina->isEnabled());
    EXPECT_EQ(setupRow().field(QStringLiteral("UltimaCat")).toInt(), categories["Alpha"]);
}

TEST_F(Lists, OpeningATopicTwiceBringsItsEditorForward)
{
    frmNuovoArg *first = openTopic(QStringLiteral("Summary"));
    first->showMinimized();
    main->OpenTopic();
    EXPECT_EQ(session->finestre.editors().size(), 1);
    EXPECT_FALSE(first->isMinimized()) << "the open editor is restored";
}

TEST_F(Lists, LocatingATopicOpensItsCategoryAndSelectsIt)
{
    main->Individua(topics["Far"]);
    EXPECT_TRUE(main->list().isTopicMode());
    EXPECT_EQ(main->list().ShownCategoryId(), categories["Zeta"]);
    ASSERT_TRUE(main->lstArgomenti->currentItem());
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("Far"));
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Far"));
    EXPECT_FALSE(main->mnuRinomina->isEnabled());

    const QStringList before = listTexts();
    main->Individua(99999);
    EXPECT_EQ(listTexts(), before) << "a deleted topic changes nothing";
    EXPECT_TRUE(main->list().isTopicMode());
}

TEST_F(Lists, SearchBoxFollowsOnlyASelectedEntry)
{
    main->list().FillTopicList();
    main->txtCerca->setText(QStringLiteral("typed"));
    // Focus and a current entry without a selection change nothing.
    main->lstArgomenti->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("typed"));
    select(QStringLiteral("Summary"));
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Summary"));
    // A click on the entry already selected copies its text again.
    main->txtCerca->setText(QStringLiteral("edited"));
    const QRect summary = main->lstArgomenti->visualItemRect(main->lstArgomenti->currentItem());
    QTest::mouseClick(main->lstArgomenti->viewport(), Qt::LeftButton, {}, summary.center());
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Summary"));
}

TEST_F(Lists, HoveringShowsTheWholeEntryTextAsTypedAndNothingBelowTheLast)
{
    main->list().FillTopicList();
    const QRect r = main->lstArgomenti->visualItemRect(main->lstArgomenti->item(1));
    QTest::mouseMove(main->lstArgomenti->viewport(), r.center());
    EXPECT_EQ(main->lstArgomenti->toolTip(), QStringLiteral("marmellata"));
    main->lstArgomenti_MouseMove(QPoint(5, main->lstArgomenti->viewport()->height() - 2));
    EXPECT_EQ(main->lstArgomenti->toolTip(), QString());
    // Text that looks like markup is shown as typed, in the tip and the label.
    main->lstArgomenti->item(1)->setText(QStringLiteral("<b>bold</b> & co"));
    main->lstArgomenti_MouseMove(r.center());
    QTextDocument shown;
    shown.setHtml(main->lstArgomenti->toolTip());
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("<b>bold</b> & co"));
    EXPECT_EQ(main->labCategoria->textFormat(), Qt::PlainText);
}

TEST_F(Lists, ChangesMadeWithoutAWindowShowInTheListAndTheOpenEditor)
{
    frmNuovoArg *editor = openTopic(QStringLiteral("Summary"));
    ASSERT_EQ(session->topics.rename(topics["Agenda"], QStringLiteral("Diary")), notes::Found::Yes);
    ASSERT_TRUE(session->topics.move(topics["Summary"], categories["Zeta"]));
    ASSERT_EQ(session->topics.remove(topics["marmellata"]), notes::Found::Yes);
    EXPECT_EQ(listTexts(), QStringList{QStringLiteral("Diary")});
    EXPECT_EQ(editor->categoryId(), categories["Zeta"]) << "the editor saves where its topic is now";
    QList<int> keys;
    ASSERT_TRUE(session->topics.addMany(categories["beta"], QString(), {{QStringLiteral("Bread"), QString(), QString()}},
                                        QDateTime::currentDateTime(), &keys));
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("Bread"), QStringLiteral("Diary")}));
    EXPECT_EQ(main->list().SelectedKey(), keys.value(0)) << "a topic added is selected";
}
