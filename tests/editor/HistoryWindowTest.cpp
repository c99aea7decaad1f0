// An editor's History brings back an earlier text; the Deleted topics window
// brings back a deleted topic. Both through the real windows.

#include "BrowserFixture.h"
#include "DeletedTopicsWindow.h"
#include "HistoryWindow.h"
#include "ModalDriver.h"

#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class Histories : public BrowserFixture {
protected:
    // Saves the text as Agenda's, through its editor.
    void saveAgenda(const QString &text)
    {
        frmNuovoArg *e = openTopic(u"Agenda"_s);
        ASSERT_NE(e, nullptr);
        e->rtfContenuto->setPlainText(text);
        e->cmdSalva_Click();
    }
    QString storedAgenda()
    {
        return stored::field(session->store.dbNotes, u"Argomenti"_s, u"ContenutoTxt"_s, u"idArgomento"_s, topics["Agenda"])
            .toString();
    }
};

TEST_F(Histories, TheEditorsHistoryRestoresAnEarlierTextIntoTheOpenEditor)
{
    saveAgenda(u"first"_s);
    saveAgenda(u"second"_s);
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    QString shown;
    auto driver = whenShown<HistoryWindow>([&](HistoryWindow *w) {
        ASSERT_EQ(w->versions().size(), 2);
        w->select(0);
        shown = w->preview()->toPlainText();
        w->restoreButton()->click();
    });
    e->mnuCronologiaNA_Click();
    EXPECT_EQ(shown, u"first"_s);
    EXPECT_EQ(e->rtfContenuto->toPlainText(), u"first"_s);
    EXPECT_TRUE(e->ProvaChiusura()) << "nothing unsaved after the restore";
    EXPECT_EQ(storedAgenda(), u"first"_s);
    bool ok = false;
    EXPECT_EQ(session->history.versionsOf(topics["Agenda"], &ok).size(), 3) << "the replaced text is a version too";
}

TEST_F(Histories, RestoreAsNewTopicAddsTheVersionBesideAndKeepsTheEditorsText)
{
    saveAgenda(u"first"_s);
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    int added = -1;
    auto driver = whenShown<HistoryWindow>([&](HistoryWindow *w) {
        w->restoreAsNewButton()->click();
        added = w->addedTopic();
    });
    e->mnuCronologiaNA_Click();
    ASSERT_GT(added, 0);
    EXPECT_EQ(stored::field(session->store.dbNotes, u"Argomenti"_s, u"ContenutoTxt"_s, u"idArgomento"_s, added),
              u"Body of Agenda"_s);
    EXPECT_EQ(e->rtfContenuto->toPlainText(), u"first"_s);
    EXPECT_NE(rowOf(u"Agenda"_s), -1);
    EXPECT_EQ(listTexts().count(u"Agenda"_s), 2) << "both listed";
}

TEST_F(Histories, CtrlHInTheBodyOpensTheHistoryAndTypesNothing)
{
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    e->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(e));
    e->rtfContenuto->setFocus();
    auto driver = whenShown<HistoryWindow>([](HistoryWindow *w) { w->reject(); });
    QTest::keyClick(e->rtfContenuto, Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(driver->ran());
    EXPECT_EQ(e->rtfContenuto->toPlainText(), u"Body of Agenda"_s);
}

TEST_F(Histories, NoVersionReplacesTextTheEditorHasNotSaved)
{
    saveAgenda(u"first"_s);
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    e->rtfContenuto->insertPlainText(u"typed, not saved "_s);
    services.dialogs.expectMsgBox();
    auto driver = whenShown<HistoryWindow>([&](HistoryWindow *w) {
        w->restoreButton()->click();
        w->reject();
    });
    e->mnuCronologiaNA_Click();
    ASSERT_FALSE(services.dialogs.shown().isEmpty());
    EXPECT_EQ(services.dialogs.shown().constLast().prompt,
              u"This window has unsaved changes: save or undo them before restoring a version."_s);
    EXPECT_EQ(e->rtfContenuto->toPlainText(), u"typed, not saved first"_s);
    EXPECT_EQ(storedAgenda(), u"first"_s);
}

TEST_F(Histories, ADeletedTopicFoundByPatternComesBackIntoItsCategorysList)
{
    select(u"Agenda"_s);
    services.dialogs.expectMsgBox(platform::vbYes);
    main->cmdCancella_Click();
    ASSERT_EQ(rowOf(u"Agenda"_s), -1);
    QStringList listed;
    auto driver = whenShown<DeletedTopicsWindow>([&](DeletedTopicsWindow *w) {
        w->findBox()->setText(u"ag?nda"_s);
        for (int row = 0; row < w->list()->topLevelItemCount(); ++row)
            listed << w->list()->topLevelItem(row)->text(0) + u'|' + w->list()->topLevelItem(row)->text(1);
        w->list()->topLevelItem(0)->setSelected(true);
        w->restoreButton()->click();
        EXPECT_EQ(w->list()->topLevelItemCount(), 0);
        w->reject();
    });
    main->mnuEliminati_Click();
    EXPECT_EQ(listed, QStringList{u"Agenda|beta"_s});
    EXPECT_NE(rowOf(u"Agenda"_s), -1);
    EXPECT_EQ(storedAgenda(), u"Body of Agenda"_s);
}

TEST_F(Histories, RestoreIntoBringsADeletedTopicIntoTheCategoryChosen)
{
    select(u"Agenda"_s);
    services.dialogs.expectMsgBox(platform::vbYes);
    main->cmdCancella_Click();
    auto chooser = whenShown<frmCategorie>([](frmCategorie *d) {
        const auto zeta = d->lstCategorie->findItems(u"Zeta"_s, Qt::MatchExactly);
        ASSERT_EQ(zeta.size(), 1);
        d->lstCategorie->setCurrentItem(zeta[0]);
        d->cmdConferma_Click();
    });
    auto driver = whenShown<DeletedTopicsWindow>([](DeletedTopicsWindow *w) {
        w->list()->topLevelItem(0)->setSelected(true);
        w->restoreIntoButton()->click();
        w->reject();
    });
    main->mnuEliminati_Click();
    int category = -1;
    ASSERT_EQ(session->topics.categoryOf(topics["Agenda"], &category), notes::Found::Yes);
    EXPECT_EQ(category, categories["Zeta"]);
}
