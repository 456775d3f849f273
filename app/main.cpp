#include "app/cli/CommandLine.h"
#include "platform/HugePageHeap.h"
#ifdef QUILLON_WINDOW
#include "app/cli/OpenWindow.h"
#endif

int main(int argc, char** argv)
{
#ifdef QUILLON_WINDOW
    if (WantsWindow(argc, argv) && WindowSystemAvailable())
        return OpenWindow(argc, argv);
#endif
    UseHugePagesForHeap(size_t{8} << 20); // a small workbook's whole conversion
    return RunCommandLine(argc, argv);
}
