#include "app/window/RunMainWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <cmath>

#include "app/MainUnit.h"
#include "app/window/AppIcon.h"
#include "app/window/GermanTexts.h"
#include "platform/ScreenMetrics.h"

QStringList WindowStartFiles(const QStringList& arguments)
{
    if (!arguments.contains(QStringLiteral("--window")))
        return {};
    QStringList files;
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QStringLiteral("--")))
            files << QFileInfo(argument).absoluteFilePath();
    }
    return files;
}

int RunMainWindow(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("quillon"));
    QApplication::setWindowIcon(QuillonIcon());
    InstallGermanTexts(application);
    if (QScreen* screen = QApplication::primaryScreen())
        SetScreenResolution(int(std::lround(screen->logicalDotsPerInchY())));

    TMainForm form;
    form.AddFiles(WindowStartFiles(QApplication::arguments().mid(1)));
    form.show();
    return QApplication::exec();
}
