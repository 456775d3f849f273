#include "app/cli/CommandLine.h"
#ifdef QUILLON_WINDOW
#include "app/window/RunMainWindow.h"
#endif

int main(int argc, char** argv)
{
#ifdef QUILLON_WINDOW
    if (WantsWindow(argc, argv) && WindowSystemAvailable())
        return RunMainWindow(argc, argv);
#endif
    return RunCommandLine(argc, argv);
}
