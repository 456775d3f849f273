// The program's icon, built into the executable.
#pragma once

#include <QIcon>

QIcon QuillonIcon();
