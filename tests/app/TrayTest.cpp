#include "BrowserFixture.h"

using TrayIcon = BrowserFixture;

TEST_F(TrayIcon, MinimizeHidesEveryWindowBehindOneIconAndAClickBringsThemBack)
{
    frmNuovoArg *a = openTopic(QStringLiteral("Agenda"));
    frmNuovoArg *b = openTopic(QStringLiteral("Summary"));
    ASSERT_TRUE(a && b);
    main->setWindowState(main->windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->isVisible(); }));
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(b->isVisible());
    EXPECT_TRUE(services.tray.shown);
    EXPECT_EQ(services.tray.tip, QStringLiteral("Quorvel"));
    services.tray.click();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(b->isVisible());
    EXPECT_FALSE(services.tray.shown);
    EXPECT_FALSE(main->isMinimized());

    // Commands from another copy do the same.
    services.instance.receive(QStringLiteral("MIN"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->isVisible(); }));
    EXPECT_TRUE(services.tray.shown);
    services.instance.receive(QStringLiteral("something else"));
    EXPECT_FALSE(main->isVisible());
    services.instance.receive(QStringLiteral("RES"));
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(services.tray.shown);
}

TEST_F(TrayIcon, WithoutANotificationAreaMinimizingKeepsTheProgramReachable)
{
    services.tray.available = false;
    main->setWindowState(main->windowState() | Qt::WindowMinimized);
    QTest::qWait(50);
    EXPECT_TRUE(main->isVisible()) << "minimized, not hidden";
    EXPECT_FALSE(services.tray.shown);
}
