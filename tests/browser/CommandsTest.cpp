#include "BrowserFixture.h"

using Commands = BrowserFixture;

TEST_F(Commands, ANewTopicSavedJoinsTheListAtItsPlaceAndIsSelected)
{
    frmNuovoArg *editor = newTopic();
    EXPECT_EQ(editor->topicId(), -1);
    EXPECT_EQ(listTexts().size(), 3) << "nothing is listed before the save";
    editor->txtArgomento->setText(QStringLiteral("Lista"));
    editor->rtfContenuto->setPlainText(QStringLiteral("uova\nlatte"));
    editor->cmdSalva->click();
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("Agenda"), QStringLiteral("Lista"), QStringLiteral("marmellata"),
                                        QStringLiteral("Summary")}));
    EXPECT_EQ(main->lstArgomenti->currentRow(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return session->finestre.editors().isEmpty(); })) << "the editor closes";
    const QVariant key = main->lstArgomenti->currentItem()->data(Qt::UserRole);
    EXPECT_EQ(storedField(key, "idCategoria").toInt(), categories["beta"]);
    EXPECT_EQ(storedField(key, "ContenutoTxt").toString(), QStringLiteral("uova\nlatte"));
    EXPECT_TRUE(storedField(key, "contenuto").toString().startsWith(QLatin1String("{\\rtf")));
    EXPECT_EQ(storedField(key, "ultimoaggiornamento").toDateTime(), services.clock.current);
    EXPECT_EQ(storedField(key, "TipoAllarme").toInt(), 0);
}

TEST_F(Commands, ATopicWithoutTitleIsSavedAndListedUntitled)
{
    frmNuovoArg *editor = newTopic();
    editor->rtfContenuto->setPlainText(QStringLiteral("no title"));
    editor->cmdSalva->click();
    ASSERT_EQ(listTexts().size(), 4);
    EXPECT_EQ(listTexts().first(), QString());
    EXPECT_EQ(storedField(main->lstArgomenti->item(0)->data(Qt::UserRole), "argomento").toString(), QString());
}

TEST_F(Commands, DeletingNeedsASelectionAYesNoEditorOpenOnTheTopicAndForACategoryNoTopics)
{
    main->lstArgomenti->setCurrentRow(-1);
    main->cmdCancella_Click();  // nothing selected: nothing asked
    select(QStringLiteral("Agenda"));
    services.dialogs.expectMsgBox(platform::vbNo);
    main->cmdCancella_Click();
    EXPECT_EQ(listTexts().size(), 3);
    const auto &ask = services.dialogs.shown().constLast();
    EXPECT_EQ(ask.prompt, QStringLiteral("Confirm deletion?"));
    EXPECT_EQ(ask.style, platform::vbYesNo | platform::vbQuestion);

    services.dialogs.expectMsgBox(platform::vbYes);
    main->cmdCancella_Click();
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("marmellata"), QStringLiteral("Summary")}));
    EXPECT_EQ(main->lstArgomenti->currentRow(), -1);
    EXPECT_EQ(main->list().SelectedKey(), -1);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Agenda")) << "no neighbour's text slipped into the box";
    EXPECT_FALSE(hasTopic(topics["Agenda"]));

    const auto refusal = [&](const char *name) {  // what deleting name is refused with
        select(QString::fromLatin1(name));
        services.dialogs.expectMsgBox(platform::vbYes);
        services.dialogs.expectMsgBox();
        main->cmdCancella_Click();
        return services.dialogs.shown().constLast().prompt;
    };
    frmNuovoArg *editor = openTopic(QStringLiteral("Summary"));
    editor->showMinimized();
    EXPECT_EQ(refusal("Summary"), QStringLiteral("Close the topic window first."));
    EXPECT_EQ(listTexts().size(), 2);
    EXPECT_FALSE(editor->isMinimized()) << "the editor was brought forward";

    // A category with topics is not deleted, nor an empty one with a new
    // topic being written in it; an empty one is.
    main->cmdCambia_Click();
    EXPECT_EQ(refusal("beta"), QStringLiteral("The category is not empty."));
    EXPECT_EQ(listTexts().size(), 3);
    openCategory(QStringLiteral("Alpha"));
    frmNuovoArg *fresh = newTopic();
    main->cmdCambia_Click();
    EXPECT_EQ(refusal("Alpha"), QStringLiteral("Close the topic window first."));
    EXPECT_EQ(listTexts().size(), 3);
    fresh->cmdAnnulla_Click();

    select(QStringLiteral("Alpha"));
    services.dialogs.expectMsgBox(platform::vbYes);
    main->cmdCancella_Click();
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("beta"), QStringLiteral("Zeta")}));
    EXPECT_EQ(stored::count(session->store.dbNotes, QStringLiteral("Categorie")), 2);
}

TEST_F(Commands, RenameProposesTheCurrentTextAndNamesAreCutToTheFieldButListedInFull)
{
    select(QStringLiteral("Agenda"));
    services.dialogs.expectInputBox(std::nullopt);
    main->mnuRinomina_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().title, QStringLiteral("Rename topic"));
    EXPECT_EQ(services.dialogs.shown().constLast().defaultText, QStringLiteral("Agenda"));

    const int width = session->topics.titleWidth();
    const QString longTitle = QString(width + 20, QLatin1Char('t'));
    services.dialogs.expectInputBox(longTitle);
    main->mnuRinomina_Click();
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), longTitle);
    EXPECT_EQ(storedField(topics["Agenda"], "argomento").toString(), QString(width, QLatin1Char('t')));

    main->cmdCambia_Click();
    select(QStringLiteral("Zeta"));
    services.dialogs.expectInputBox(QStringLiteral("Omega"));
    main->mnuRinomina_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().title, QStringLiteral("Rename category"));
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("Omega"));

    // A new category's name is cut to the field but listed in full.
    services.dialogs.expectInputBox(std::nullopt);
    main->cmdInserisci_Click();
    services.dialogs.expectInputBox(QString());
    main->cmdInserisci_Click();
    EXPECT_EQ(listTexts().size(), 3) << "cancel and an empty answer add nothing";

    const int room = stored::width(session->store.dbNotes, QStringLiteral("Categorie"), QStringLiteral("Categoria"));
    // A character outside the basic plane straddles the width: it goes whole.
    const QString name = QString(room - 1, QLatin1Char('n')) + QStringLiteral("\U0001F600tail");
    services.dialogs.expectInputBox(name);
    main->cmdInserisci_Click();
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), name);
    EXPECT_EQ(stored::field(session->store.dbNotes, QStringLiteral("Categorie"), QStringLiteral("Categoria"),
                            QStringLiteral("idCategoria"), main->list().SelectedKey()).toString(),
              QString(room - 1, QLatin1Char('n'))) << "the stored name";
}
