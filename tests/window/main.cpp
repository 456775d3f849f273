// One QApplication for every window test, with Qt's German texts. The offscreen platform is the
// default; QUILLON_SCREENSHOT_DIR (see the screenshot test) lets a real
// display such as Xvfb take its place.
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "app/window/GermanTexts.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("QUILLON_SCREENSHOT_DIR"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing a test does may reach the user's own settings.
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QDir::tempPath() + "/quillon-window-tests");

    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // As quillon-window does: Qt's own texts in German.
    InstallGermanTexts(application);
    return RUN_ALL_TESTS();
}
