// The interactive start: the application object, the main window and the
// message loop. Only this path creates a QApplication, so the command line
// works without a display.
#pragma once

int RunMainWindow(int argc, char** argv);
