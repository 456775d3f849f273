// The window is a program of its own, quillon-window beside this one, so that
// the command line never loads the toolkit.
#pragma once

#include <string>

// quillon-window in the directory of the running executable.
std::string WindowProgramPath();

// Replaces this process with the window program, handing on the arguments.
// Returns only when that fails, with the exit status after the message on
// standard error.
int OpenWindow(int argc, char** argv);
