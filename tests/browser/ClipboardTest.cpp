#include "BrowserFixture.h"

using Clipboard = BrowserFixture;

TEST_F(Clipboard, CopyAndPasteTwiceGivesThreeTopicsAndAnUnreadableTopicIsNotCopied)
{
    // A topic that cannot be read is not copied.
    auto &db = session->store.dbNotes;
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE Argomenti RENAME COLUMN contenuto TO elsewhere")));
    select(QStringLiteral("Agenda"));
    services.dialogs.expectMsgBox();
    main->mnuTaglia_Click();
    EXPECT_EQ(services.dialogs.shown().size(), 1) << "the error is shown";
    EXPECT_FALSE(main->ToolbarButtons[8]->isEnabled()) << "nothing to paste";
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE Argomenti RENAME COLUMN elsewhere TO contenuto")));

    select(QStringLiteral("Summary"));
    main->lstArgomenti->setFocus();
    QTest::keyClick(main->lstArgomenti, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(main->ToolbarButtons[8]->isEnabled());
    main->mnuIncolla_Click();
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("Summary"));
    QTest::keyClick(main->lstArgomenti, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(listTexts().count(QStringLiteral("Summary")), 3);
    EXPECT_EQ(storedField(main->list().SelectedKey(), "ultimoaggiornamento").toDateTime(),
              QDateTime(QDate(2025, 5, 4), QTime(3, 2)));
    EXPECT_EQ(storedField(main->list().SelectedKey(), "ContenutoTxt").toString(), QStringLiteral("Body of Summary"));

    // A topic that was never saved has no date, and is pasted without one.
    storeFields(main->list().SelectedKey(), {{"ultimoaggiornamento", QVariant()}});
    main->mnuCopia_Click();
    main->mnuIncolla_Click();
    EXPECT_EQ(listTexts().count(QStringLiteral("Summary")), 4);
    EXPECT_TRUE(storedField(main->list().SelectedKey(), "ultimoaggiornamento").isNull());
    EXPECT_EQ(services.dialogs.shown().size(), 1) << "no other error";
}

TEST_F(Clipboard, CutActsAsCopyWhileItsEditorIsOpenAndPastesTheTextSavedSinceWithoutAlarm)
{
    storeFields(topics["Agenda"], {{"TipoAllarme", 2}, {"DataOraAllarme", QDateTime(QDate(2030, 1, 1), QTime(9, 0))}});
    frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
    select(QStringLiteral("Agenda"));
    main->mnuTaglia_Click();
    main->mnuIncolla_Click();
    EXPECT_EQ(listTexts().count(QStringLiteral("Agenda")), 1) << "nothing happens in its own category";
    openCategory(QStringLiteral("Zeta"));
    main->mnuIncolla_Click();
    EXPECT_EQ(listTexts().count(QStringLiteral("Agenda")), 1);
    EXPECT_TRUE(hasTopic(topics["Agenda"])) << "kept while its editor is open";

    // Once the editor is closed the cut completes, with the text saved since.
    editor->rtfContenuto->setPlainText(QStringLiteral("written after the cut"));
    editor->cmdSalva_Click();
    main->mnuIncolla_Click();
    EXPECT_EQ(listTexts().count(QStringLiteral("Agenda")), 2);
    EXPECT_FALSE(hasTopic(topics["Agenda"])) << "the cut topic is gone";
    EXPECT_EQ(storedField(main->list().SelectedKey(), "ContenutoTxt").toString(), QStringLiteral("written after the cut"));
    EXPECT_EQ(storedField(main->list().SelectedKey(), "TipoAllarme").toInt(), 0) << "a pasted topic has no alarm";
    main->mnuIncolla_Click();
    EXPECT_EQ(listTexts().count(QStringLiteral("Agenda")), 3) << "a further paste is a copy";
}

TEST_F(Clipboard, MoveWithItsEditorOpenKeepsTheAlarmAndFirstPreselectsTheOpenCategory)
{
    storeFields(topics["Agenda"], {{"TipoAllarme", 2}, {"DataOraAllarme", QDateTime(QDate(2030, 1, 1), QTime(9, 0))}});
    openTopic(QStringLiteral("Agenda"));
    int preselected = -2;
    select(QStringLiteral("Agenda"));
    auto driver = chooseCategory(QStringLiteral("Zeta"), &preselected);
    main->mnuSposta_Click();
    EXPECT_TRUE(driver->ran());
    EXPECT_EQ(preselected, 1) << "first use: the open category (beta) is preselected";
    EXPECT_EQ(rowOf(QStringLiteral("Agenda")), -1);
    EXPECT_EQ(main->list().SelectedKey(), -1);
    EXPECT_EQ(storedField(topics["Agenda"], "idCategoria").toInt(), categories["Zeta"]);
    EXPECT_EQ(storedField(topics["Agenda"], "TipoAllarme").toInt(), 2);
}

TEST_F(Clipboard, MoveAllWhoseCommitFailsChangesNothingAndOneThatWorksEmptiesTheList)
{
    // A check the store makes only at commit time, failing for any move.
    auto &db = session->store.dbNotes;
    ASSERT_TRUE(db.exec(QStringLiteral("PRAGMA foreign_keys = ON")));
    ASSERT_TRUE(db.exec(QStringLiteral(
        "CREATE TABLE guard (x INTEGER REFERENCES Categorie (idCategoria) DEFERRABLE INITIALLY DEFERRED)")));
    ASSERT_TRUE(db.exec(QStringLiteral(
        "CREATE TRIGGER guard_move AFTER UPDATE OF idCategoria ON Argomenti BEGIN INSERT INTO guard VALUES (-1); END")));
    frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
    {
        auto driver = chooseCategory(QStringLiteral("Alpha"));
        services.dialogs.expectMsgBox();
        main->mnuSpostaTutti_Click();
    }
    EXPECT_EQ(services.dialogs.shown().size(), 1) << "the error is shown";
    EXPECT_EQ(listTexts().size(), 3) << "the list shows the topics still there";
    EXPECT_EQ(editor->categoryId(), categories["beta"]);
    EXPECT_EQ(storedField(topics["Summary"], "idCategoria").toInt(), categories["beta"]);
    EXPECT_TRUE(db.exec(QStringLiteral("BEGIN"))) << "no transaction left open";
    db.exec(QStringLiteral("ROLLBACK"));

    // Without the check: moved, and the chooser remembers the destination.
    ASSERT_TRUE(db.exec(QStringLiteral("DROP TRIGGER guard_move")));
    editor->cmdAnnulla_Click();
    auto first = chooseCategory(QStringLiteral("Alpha"));
    main->mnuSpostaTutti_Click();
    EXPECT_EQ(main->lstArgomenti->count(), 0);
    openCategory(QStringLiteral("Alpha"));
    EXPECT_EQ(listTexts().size(), 3);
    int preselected = -2;
    select(QStringLiteral("Agenda"));
    auto second = chooseCategory(QString(), &preselected);
    main->mnuSposta_Click();
    EXPECT_EQ(preselected, 0) << "the last destination, Alpha, is preselected";
    EXPECT_EQ(listTexts().size(), 3) << "cancelled: nothing moved";
}
