#include "BrowserFixture.h"
#include "frmCategorie.h"

#include <QPushButton>
#include <QTextEdit>

class Clipboard : public BrowserFixture {
protected:
    int countTitled(const QString &title) { return int(listTexts().count(title)); }
    void openCategory(const QString &name)
    {
        main->cmdCambia_Click();
        select(name);
        main->lstArgomenti_DblClick();
    }
    // Answers the destination chooser with the category named name (or
    // cancels when name is empty).
    std::unique_ptr<ModalDriver> chooseDestination(const QString &name, int *preselected = nullptr)
    {
        return whenShown<frmCategorie>([name, preselected](frmCategorie *d) {
            if (preselected)
                *preselected = d->lstCategorie->currentRow();
            if (name.isEmpty()) {
                d->cmdAnnulla->click();
                return;
            }
            for (int i = 0; i < d->lstCategorie->count(); ++i)
                if (d->lstCategorie->item(i)->text() == name)
                    d->lstCategorie->setCurrentRow(i);
            d->cmdConferma->click();
        });
    }
};

TEST_F(Clipboard, CopyAndPasteTwiceGivesThreeTopics)
{
    EXPECT_FALSE(main->ToolbarButtons[8]->isEnabled()) << "Paste is off until something is copied";
    select(QStringLiteral("Summary"));
    main->lstArgomenti->setFocus();
    QTest::keyClick(main->lstArgomenti, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(main->ToolbarButtons[8]->isEnabled());
    main->mnuIncolla_Click();
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("Summary"));
    QTest::keyClick(main->lstArgomenti, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(countTitled(QStringLiteral("Summary")), 3);
    // The copy keeps the source's update time and body.
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(main->SelectedKey()));
    EXPECT_EQ(rs.field(QStringLiteral("ultimoaggiornamento")).toDateTime(), QDateTime(QDate(2025, 5, 4), QTime(3, 2)));
    EXPECT_EQ(rs.field(QStringLiteral("ContenutoTxt")).toString(), QStringLiteral("Body of Summary"));

    // A topic that was never saved has no date, and is pasted without one.
    rs.edit();
    rs.setField(QStringLiteral("ultimoaggiornamento"), QVariant());
    ASSERT_TRUE(rs.update());
    main->mnuCopia_Click();
    main->mnuIncolla_Click();
    EXPECT_EQ(countTitled(QStringLiteral("Summary")), 4);
    ASSERT_TRUE(rs.seek(main->SelectedKey()));
    EXPECT_TRUE(rs.field(QStringLiteral("ultimoaggiornamento")).isNull());
    EXPECT_TRUE(services.dialogs.shown().isEmpty()) << "no error";
}

TEST_F(Clipboard, ATopicThatCannotBeReadIsNotCopied)
{
    auto &db = session->store.dbNotes;
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE Argomenti RENAME COLUMN contenuto TO elsewhere")));
    select(QStringLiteral("Agenda"));
    services.dialogs.expectMsgBox();
    main->mnuTaglia_Click();
    EXPECT_EQ(services.dialogs.shown().size(), 1) << "the error is shown";
    EXPECT_FALSE(main->ToolbarButtons[8]->isEnabled()) << "nothing to paste";
    ASSERT_TRUE(db.exec(QStringLiteral("ALTER TABLE Argomenti RENAME COLUMN elsewhere TO contenuto")));
}

TEST_F(Clipboard, CutPastesElsewhereAndNotIntoItsOwnCategory)
{
    select(QStringLiteral("Agenda"));
    main->mnuTaglia_Click();
    main->mnuIncolla_Click();
    EXPECT_EQ(countTitled(QStringLiteral("Agenda")), 1) << "nothing happens in its own category";
    openCategory(QStringLiteral("Zeta"));
    main->mnuIncolla_Click();
    EXPECT_EQ(countTitled(QStringLiteral("Agenda")), 1);
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    EXPECT_FALSE(rs.seek(topics["Agenda"])) << "the cut topic is gone";
    main->mnuIncolla_Click();
    EXPECT_EQ(countTitled(QStringLiteral("Agenda")), 2) << "a second paste is a copy";
}

TEST_F(Clipboard, ACutTopicSavedBeforeThePasteKeepsItsNewText)
{
    select(QStringLiteral("Agenda"));
    main->mnuTaglia_Click();
    frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(editor);
    editor->rtfContenuto->setPlainText(QStringLiteral("written after the cut"));
    editor->cmdSalva_Click();
    openCategory(QStringLiteral("Zeta"));
    main->mnuIncolla_Click();
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    EXPECT_FALSE(rs.seek(topics["Agenda"])) << "the cut is complete";
    ASSERT_TRUE(rs.seek(main->SelectedKey()));
    EXPECT_EQ(rs.field(QStringLiteral("ContenutoTxt")).toString(), QStringLiteral("written after the cut"));
}

TEST_F(Clipboard, CutWithItsEditorOpenActsAsCopyUntilTheEditorCloses)
{
    frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(editor);
    select(QStringLiteral("Agenda"));
    main->mnuTaglia_Click();
    openCategory(QStringLiteral("Zeta"));
    main->mnuIncolla_Click();
    EXPECT_EQ(countTitled(QStringLiteral("Agenda")), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), main.get()) << "the list has the focus back, in its window";
    EXPECT_EQ(QApplication::focusWidget(), main->lstArgomenti);
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    EXPECT_TRUE(rs.seek(topics["Agenda"])) << "kept while its editor is open";
    editor->cmdAnnulla->click();
    main->mnuIncolla_Click();
    EXPECT_EQ(countTitled(QStringLiteral("Agenda")), 2);
    EXPECT_FALSE(rs.seek(topics["Agenda"])) << "now the cut completes";
}

TEST_F(Clipboard, MoveKeepsTheAlarmCutAndPasteDropsIt)
{
    {
        auto &rs = *session->store.rsArgomenti;
        rs.setIndex(QStringLiteral("PrimaryKey"));
        for (const char *t : {"Agenda", "Summary"}) {
            ASSERT_TRUE(rs.seek(topics[QString::fromLatin1(t)]));
            rs.edit();
            rs.setField(QStringLiteral("TipoAllarme"), 2);
            rs.setField(QStringLiteral("DataOraAllarme"), QDateTime(QDate(2030, 1, 1), QTime(9, 0)));
            ASSERT_TRUE(rs.update());
        }
    }
    int preselected = -2;
    select(QStringLiteral("Agenda"));
    auto driver = chooseDestination(QStringLiteral("Zeta"), &preselected);
    main->mnuSposta_Click();
    EXPECT_TRUE(driver->ran());
    EXPECT_EQ(preselected, 1) << "first use: the open category (beta) is preselected";
    EXPECT_EQ(rowOf(QStringLiteral("Agenda")), -1);
    EXPECT_EQ(main->SelectedKey(), -1);
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(topics["Agenda"]));
    EXPECT_EQ(rs.field(QStringLiteral("idCategoria")).toInt(), categories["Zeta"]);
    EXPECT_EQ(rs.field(QStringLiteral("TipoAllarme")).toInt(), 2);

    select(QStringLiteral("Summary"));
    main->mnuTaglia_Click();
    openCategory(QStringLiteral("Alpha"));
    main->mnuIncolla_Click();
    ASSERT_TRUE(rs.seek(main->SelectedKey()));
    EXPECT_EQ(rs.field(QStringLiteral("TipoAllarme")).toInt(), 0) << "a pasted topic has no alarm";
}

TEST_F(Clipboard, MoveAllEmptiesTheListAndTheChooserRemembersTheDestination)
{
    auto first = chooseDestination(QStringLiteral("Alpha"));
    main->mnuSpostaTutti_Click();
    EXPECT_EQ(main->lstArgomenti->count(), 0);
    openCategory(QStringLiteral("Alpha"));
    EXPECT_EQ(listTexts().size(), 3);
    int preselected = -2;
    select(QStringLiteral("Agenda"));
    auto second = chooseDestination(QString(), &preselected);
    main->mnuSposta_Click();
    EXPECT_EQ(preselected, 0) << "the last destination, Alpha, is preselected";
    EXPECT_EQ(listTexts().size(), 3) << "cancelled: nothing moved";
}

TEST_F(Clipboard, MoveAllWhoseCommitFailsChangesNothingAndSaysSo)
{
    // A check the store makes only at commit time, failing for any move.
    auto &db = session->store.dbNotes;
    ASSERT_TRUE(db.exec(QStringLiteral("PRAGMA foreign_keys = ON")));
    ASSERT_TRUE(db.exec(QStringLiteral(
        "CREATE TABLE guard (x INTEGER REFERENCES Categorie (idCategoria) DEFERRABLE INITIALLY DEFERRED)")));
    ASSERT_TRUE(db.exec(QStringLiteral(
        "CREATE TRIGGER guard_move AFTER UPDATE OF idCategoria ON Argomenti BEGIN INSERT INTO guard VALUES (-1); END")));
    frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
    ASSERT_TRUE(editor);
    auto driver = chooseDestination(QStringLiteral("Alpha"));
    services.dialogs.expectMsgBox();
    main->mnuSpostaTutti_Click();
    EXPECT_EQ(services.dialogs.shown().size(), 1) << "the error is shown";
    EXPECT_EQ(listTexts().size(), 3) << "the list shows the topics still there";
    EXPECT_EQ(editor->idCategoria, categories["beta"]);
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(topics["Summary"]));
    EXPECT_EQ(rs.field(QStringLiteral("idCategoria")).toInt(), categories["beta"]);
    EXPECT_TRUE(db.exec(QStringLiteral("BEGIN"))) << "no transaction left open";
    db.exec(QStringLiteral("ROLLBACK"));
}

TEST_F(Clipboard, MovedTopicsOpenEditorSavesIntoTheNewCategory)
{
    frmNuovoArg *editor = openTopic(QStringLiteral("Summary"));
    ASSERT_TRUE(editor);
    select(QStringLiteral("Summary"));
    auto driver = chooseDestination(QStringLiteral("Zeta"));
    main->mnuSposta_Click();
    EXPECT_EQ(editor->idCategoria, categories["Zeta"]);
    editor->txtArgomento->setText(QStringLiteral("Summary 2"));
    editor->cmdSalva_Click();
    auto &rs = *session->store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(rs.seek(topics["Summary"]));
    EXPECT_EQ(rs.field(QStringLiteral("idCategoria")).toInt(), categories["Zeta"]);
}
