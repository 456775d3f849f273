#include "app/cli/CommandLine.h"
#ifdef QUILLON_WINDOW
#include "app/cli/OpenWindow.h"
#endif

int main(int argc, char** argv)
{
#ifdef QUILLON_WINDOW
    if (WantsWindow(argc, argv) && WindowSystemAvailable())
        return OpenWindow(argc, argv);
#endif
    return RunCommandLine(argc, argv);
}
