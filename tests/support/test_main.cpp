#include "skin/interface_font.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Every test runs headless with a real (offscreen) application object, so
// widgets, fonts and pixmaps behave as in the program.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    // The shipped skins the build draws, unless a run points elsewhere.
    if (qEnvironmentVariableIsEmpty("ZAMBREL_SKINS_DIR"))
        qputenv("ZAMBREL_SKINS_DIR", QByteArrayLiteral(ZAMBREL_TEST_SKINS_DIR));
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    zambrel::skin::preferSimplifiedChineseFace();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
