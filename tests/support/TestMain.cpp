#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Windows need a platform even where there is no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // One locale for every run, the one without a collation of its own, so
    // that list orders do not depend on who runs the tests.
    qputenv("LC_ALL", "C.UTF-8");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
