#include "platform/processstart.h"

#include <QApplication>

#include <gtest/gtest.h>

// Every test runs headless on Qt's offscreen platform, right to left as the
// program does.
int main(int argc, char** argv) {
    velmoran::ProcessStart::prepare();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setLayoutDirection(Qt::RightToLeft);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
