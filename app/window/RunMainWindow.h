// The interactive start of quillon-window: the application object with Qt's
// German texts, the main window and the message loop.
#pragma once

#include <QStringList>

// The workbooks to list at start: with "--window" among the arguments (after
// the program name), every other argument that is not an option, made
// absolute against the working directory; without it none.
QStringList WindowStartFiles(const QStringList& arguments);

int RunMainWindow(int argc, char** argv);
