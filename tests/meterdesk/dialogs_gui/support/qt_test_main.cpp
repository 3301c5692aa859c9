// Entry of the Qt widget tests: one QApplication for the whole program, on the offscreen
// platform unless the environment picks another (QT_QPA_PLATFORM=xcb to watch them run).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
