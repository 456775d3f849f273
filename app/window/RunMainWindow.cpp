#include "app/window/RunMainWindow.h"

#include <QApplication>
#include <QScreen>
#include <cmath>

#include "app/MainUnit.h"
#include "app/window/AppIcon.h"
#include "platform/ScreenMetrics.h"

bool WindowSystemAvailable()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return false;
}

int RunMainWindow(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("quillon"));
    QApplication::setWindowIcon(QuillonIcon());
    if (QScreen* screen = QApplication::primaryScreen())
        SetScreenResolution(int(std::lround(screen->logicalDotsPerInchY())));

    TMainForm form;
    form.show();
    return QApplication::exec();
}
