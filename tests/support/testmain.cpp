#include <QApplication>

#include <gtest/gtest.h>

// Every test binary runs under a QApplication on the offscreen platform, so
// widget tests and Qt's event machinery work without a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
