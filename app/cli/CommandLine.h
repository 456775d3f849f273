// The command line: `quillon [options] SOURCE TARGET` converts one workbook,
// `quillon --dump SOURCE` lists what the reader made of it, `quillon --window
// FILE...` opens the window with the files in its list.
#pragma once

#include <string>
#include <vector>

#include "app/Conversion.h"

struct TCommandLine {
    enum TAction { Convert, Dump, Window, Help, Version, Usage };
    TAction Action = Usage;
    TConversionOptions Options;
    std::vector<std::string> Files; // the arguments that are not options, in order
    std::string Error;              // set for a usage error (unknown option, bad value)
};

// Splits the arguments after the program name. Arguments starting with "--"
// are options; the others are SOURCE and TARGET (further ones are ignored).
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// True when the arguments ask for the window: "--window", or no option and
// fewer than two files. The window starts then (where there is one).
bool WantsWindow(int argc, char** argv);

// True when a window can be shown: a display (X11 or Wayland) or a Qt
// platform chosen through QT_QPA_PLATFORM. Without one the program keeps to
// the command line instead of failing inside the toolkit.
bool WindowSystemAvailable();

// Runs the command line and returns the exit status: 0 success, 1 a failed
// conversion or listing, 2 a usage error.
int RunCommandLine(int argc, char** argv);

// The German usage text with this platform's paths.
std::string UsageText();
