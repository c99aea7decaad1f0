#include "BrowserFixture.h"
#include "EditorLayout.h"
#include "Twips.h"

#include <QToolButton>

using EditorWindowLayout = BrowserFixture;

TEST_F(EditorWindowLayout, ALowWindowHasNoBodyAndKeepsTheCalendarsHeight)
{
    const EditorLayout low = computeEditorLayout(5895, 2600);
    EXPECT_DOUBLE_EQ(low.rect("rtfContenuto").height(), 0);
    EXPECT_DOUBLE_EQ(low.rect("frmAllarme").height(), 150);
    EXPECT_DOUBLE_EQ(low.rect("Calendar1").width(), 5570) << "the width still applies";
    EXPECT_LT(low.rect("Calendar1").height(), 0) << "a calendar height below zero is skipped";
    EXPECT_DOUBLE_EQ(computeEditorLayout(5895, 3050).rect("Calendar1").height(), 0) << "a height of zero is one";
    EXPECT_DOUBLE_EQ(low.rect("cmdSalva").top(), 1350) << "the buttons still move";
    EXPECT_DOUBLE_EQ(computeEditorLayout(500, 6000).rect("txtArgomento").width(), 0) << "clamped at zero";
}

TEST_F(EditorWindowLayout, TheEditorPlacesItsControlsByTheRules)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    e->resize(600, 500);
    QCoreApplication::processEvents();
    const double W = twips::fromPixels(e->frameGeometry().width());
    const double H = twips::fromPixels(e->frameGeometry().height());
    EXPECT_NEAR(e->cmdSalva->x(), twips::toPixels(W - 2340), 1);
    EXPECT_NEAR(e->cmdSalva->y(), twips::toPixels(H - 1250), 1);
    EXPECT_NEAR(e->rtfContenuto->height(), twips::toPixels(H - 2600), 1);
}

TEST_F(EditorWindowLayout, TheStripChoiceIsKeptForTheNextEditor)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    EXPECT_TRUE(e->frmPulsanti->isVisibleTo(e)) << "a new database shows the buttons";
    e->imgChiudi->click();
    EXPECT_FALSE(e->frmPulsanti->isVisibleTo(e));
    EXPECT_TRUE(e->frmScritte->isVisibleTo(e));
    e->cmdAnnulla->click();
    frmNuovoArg *next = openTopic(QStringLiteral("Summary"));
    EXPECT_TRUE(next->frmScritte->isVisibleTo(next));
    next->imgApri->click();
    EXPECT_TRUE(session->settings.showButtons());
}

TEST_F(EditorWindowLayout, TheLastEditorsOuterSizeIsTheNextOnes)
{
    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    e->resize(640, 480);
    const QSize outer = e->frameGeometry().size();
    e->cmdAnnulla->click();
    const auto stored = session->settings.editorSize();
    ASSERT_TRUE(stored);
    EXPECT_NEAR(stored->first, outer.width() * 15, 1);
    EXPECT_NEAR(stored->second, outer.height() * 15, 1);
    frmNuovoArg *next = openTopic(QStringLiteral("Summary"));
    EXPECT_EQ(next->frameGeometry().size(), outer) << "the outer size is kept, not grown by the frame";
}
