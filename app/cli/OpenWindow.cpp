#include "app/cli/OpenWindow.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <vector>

#include <unistd.h>

#include "platform/FileSystem.h"

std::string WindowProgramPath()
{
    return ProgramDirectory() + "quillon-window";
}

int OpenWindow(int argc, char** argv)
{
    const std::string program = WindowProgramPath();
    std::vector<char*> arguments(argv, argv + argc);
    arguments[0] = const_cast<char*>(program.c_str());
    arguments.push_back(nullptr);
    execv(program.c_str(), arguments.data());
    std::cerr << "Kann das Fenster nicht starten (" << program << "): " << std::strerror(errno) << "\n";
    return 1;
}
