#include "app/window/AppIcon.h"

#include <QtGlobal>

static void InitQuillonResources()
{
    // The resources live in a static library: they must be registered by hand.
    Q_INIT_RESOURCE(quillon);
}

QIcon QuillonIcon()
{
    static bool registered = (InitQuillonResources(), true);
    (void)registered;
    QIcon icon;
    for (int size : {16, 32, 48, 64, 256})
        icon.addFile(QStringLiteral(":/quillon/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}
