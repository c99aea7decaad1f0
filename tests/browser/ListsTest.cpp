#include "BrowserFixture.h"

using Lists = BrowserFixture;

TEST_F(Lists, StartReopensTheLastCategoryWithItsTopicsSorted)
{
    EXPECT_TRUE(main->list().isTopicMode());
    EXPECT_EQ(main->labCategoria->text(), QStringLiteral("beta"));
    EXPECT_EQ(main->list().ShownCategoryId(), categories["beta"]);
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("Agenda"), QStringLiteral("marmellata"), QStringLiteral("Summary")}));
    // UltimoArg names no listed topic: the first entry is selected.
    EXPECT_EQ(main->lstArgomenti->currentRow(), 0);
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
