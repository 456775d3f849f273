// The interactive start: the application object, the main window and the
// message loop. Only this path creates a QApplication, so the command line
// works without a display.
#pragma once

// True when a window can be shown: a display (X11 or Wayland) or a Qt
// platform chosen through QT_QPA_PLATFORM. Without one the program keeps to
// the command line instead of failing inside the toolkit.
bool WindowSystemAvailable();

int RunMainWindow(int argc, char** argv);
