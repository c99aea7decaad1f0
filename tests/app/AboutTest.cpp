#include "AppFixture.h"
#include "Informazioni.h"

#include <QAction>
#include <QLabel>
#include <QTest>

class About : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        makeDatabase(defaultFolder(), 1);
        ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    }
};

TEST_F(About, FiveClicksOnTheNameSwapThePictureAndLinksOpen)
{
    QImage logo, afterFive, afterSix;
    bool stayed = false;
    auto driver = whenShown<Informazioni>([&](Informazioni *w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvel v") + QStringLiteral("%1.%2.%3").arg(QUORVEL_VERSION_MAJOR).arg(QUORVEL_VERSION_MINOR).arg(QUORVEL_VERSION_PATCH));
        logo = w->imgOstwick->pixmap().toImage();
        for (int i = 0; i < 5; ++i)
            QTest::mouseClick(w->Label4, Qt::LeftButton);
        afterFive = w->imgOstwick->pixmap().toImage();
        QTest::mouseClick(w->Label4, Qt::LeftButton);
        afterSix = w->imgOstwick->pixmap().toImage();
        QTest::mouseClick(w->Label6, Qt::LeftButton);
        QTest::mouseClick(w->Label7, Qt::LeftButton);
        QTest::mouseClick(w->Image2, Qt::LeftButton);
        QTest::mouseDClick(w->Image2, Qt::LeftButton);
        stayed = w->isVisible();
        QTest::keyClick(w, Qt::Key_A);  // any key closes it
    });
    main->mnuInformazioni->trigger();
    EXPECT_TRUE(driver->ran());
    EXPECT_NE(afterFive, logo);
    EXPECT_EQ(afterSix, afterFive) << "a sixth click changes nothing";
    EXPECT_TRUE(stayed) << "links and the small picture leave the window open";
    EXPECT_EQ(services.desktop.opened,
              (QStringList{QStringLiteral("mailto:") + Informazioni::kEmail, Informazioni::kWeb}));

    QImage reopened;
    auto again = whenShown<Informazioni>([&](Informazioni *w) {
        reopened = w->imgOstwick->pixmap().toImage();
        QTest::mouseClick(w->Label8, Qt::LeftButton);  // a click elsewhere closes it
    });
    main->mnuInformazioni_Click();
    EXPECT_EQ(reopened, logo) << "the logo is back";
}
