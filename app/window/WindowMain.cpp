// quillon-window: started by quillon for the window (see app/cli/OpenWindow.h).
#include "app/window/RunMainWindow.h"

int main(int argc, char** argv)
{
    return RunMainWindow(argc, argv);
}
