// The main of the window tests: the application exists only when tests run,
// not while the test runner lists them (then there may be no display).
#include <gtest/gtest.h>

#include <QApplication>

#include "desktop/qt_platform.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    tlv::desktop::prepare_application(application);
    return RUN_ALL_TESTS();
}
