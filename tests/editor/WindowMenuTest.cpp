#include "BrowserFixture.h"

#include "frmListaFinestre.h"

using WindowsMenu = BrowserFixture;

TEST_F(WindowsMenu, ShowsTheNineOldestEditorsOthersInTheWindowListAndMinimizesAndRestoresOnlyEditors)
{
    const auto visibleEntries = [this] {
        QStringList out;
        for (size_t i = 1; i <= 9; ++i)
            if (main->mnuFinestra[i]->isVisible())
                out << main->mnuFinestra[i]->text();
        return out;
    };
    EXPECT_FALSE(main->bar10->isVisible());
    EXPECT_TRUE(visibleEntries().isEmpty());
    main->mnuMinimizza_Click();  // nothing to do, and no harm

    // A new topic is listed as <NA> until it has a title, which it follows.
    QList<frmNuovoArg *> editors{newTopic()};
    EXPECT_EQ(main->mnuFinestra[1]->text(), QStringLiteral("<NA>"));
    editors[0]->txtArgomento->setText(QStringLiteral("Idea"));
    EXPECT_EQ(main->mnuFinestra[1]->text(), QStringLiteral("Idea"));
    EXPECT_EQ(editors[0]->windowTitle(), QStringLiteral("Idea"));
    editors[0]->txtArgomento->clear();
    EXPECT_EQ(main->mnuFinestra[1]->text(), QString()) << "not <NA> again";
    EXPECT_EQ(editors[0]->windowTitle(), QString());
    editors[0]->txtArgomento->setText(QStringLiteral("w0"));
    for (int i = 1; i < 10; ++i) {
        editors << newTopic();
        editors.constLast()->txtArgomento->setText(QStringLiteral("w%1").arg(i));
    }
    EXPECT_TRUE(main->bar10->isVisible());
    EXPECT_TRUE(main->mnuFinestraAltre->isVisible());
    QStringList expected;
    for (int i = 0; i < 9; ++i)
        expected << QStringLiteral("w%1").arg(i);
    EXPECT_EQ(visibleEntries(), expected);

    editors[1]->cmdAnnulla->click();
    expected.removeAt(1);
    expected << QStringLiteral("w9");
    EXPECT_EQ(visibleEntries(), expected);
    EXPECT_FALSE(main->mnuFinestraAltre->isVisible());
    EXPECT_EQ(main->mnuFinestra[2]->data().toInt(), editors[2]->windowNumber());

    // Numbers are never given twice.
    frmNuovoArg *tenth = newTopic();
    EXPECT_EQ(tenth->windowNumber(), 10);

    // The window list shows every editor; Enter switches to the oldest, which
    // comes back normal.
    tenth->txtArgomento->setText(QStringLiteral("w10"));
    editors[0]->showMaximized();
    editors[0]->showMinimized();
    QStringList listed;
    auto driver = whenShown<frmListaFinestre>([&listed](frmListaFinestre *d) {
        for (int i = 0; i < d->lstFinestre->count(); ++i)
            listed << d->lstFinestre->item(i)->text();
        QTest::keyClick(d->lstFinestre, Qt::Key_Return);
    });
    main->mnuFinestraAltre->trigger();
    ASSERT_EQ(listed.size(), 10);
    EXPECT_EQ(listed.first(), QStringLiteral("w0"));
    EXPECT_EQ(listed.last(), QStringLiteral("w10"));
    EXPECT_FALSE(editors[0]->isMinimized());
    EXPECT_FALSE(editors[0]->isMaximized());

    auto escape = whenShown<frmListaFinestre>([](frmListaFinestre *d) { QTest::keyClick(d->lstFinestre, Qt::Key_Escape); });
    editors[1]->showMinimized();
    main->mnuFinestraAltre_Click();
    EXPECT_TRUE(editors[1]->isMinimized()) << "closed without a choice: no window changes";

    // Minimize and restore all touch only editors; restore makes a maximized
    // one normal, as the Window menu does.
    frmNuovoArg *b = openTopic(QStringLiteral("Summary"));
    b->showMaximized();
    main->mnuMinimizza_Click();
    EXPECT_TRUE(editors[2]->isMinimized());
    EXPECT_TRUE(b->isMinimized());
    EXPECT_FALSE(main->isMinimized());
    main->mnuMassimizza_Click();
    EXPECT_FALSE(editors[2]->isMinimized());
    EXPECT_FALSE(b->isMaximized());
    editors[2]->showMaximized();
    main->mnuFinestra_Click(2);
    EXPECT_FALSE(editors[2]->isMaximized());
}
