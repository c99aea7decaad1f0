#include "BrowserFixture.h"

// Commands from another copy, and a minimize where the desktop has no
// notification area. The tray itself (clicks, every window hidden and back
// in place) is walked on a real desktop in tests/e2e.
using TrayIcon = BrowserFixture;

TEST_F(TrayIcon, CommandsFromAnotherCopyAndAMinimizeWithoutANotificationArea)
{
    main->CommandReceived(QStringLiteral("MIN"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->isVisible(); }));
    EXPECT_TRUE(services.tray.shown);
    main->CommandReceived(QStringLiteral("something else"));
    EXPECT_FALSE(main->isVisible());
    main->CommandReceived(QStringLiteral("RES"));
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(services.tray.shown);

    services.tray.available = false;
    main->setWindowState(main->windowState() | Qt::WindowMinimized);
    QTest::qWait(50);
    EXPECT_TRUE(main->isVisible()) << "minimized, not hidden";
    EXPECT_FALSE(services.tray.shown);
}
