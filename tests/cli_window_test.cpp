// The command line and the window program: quillon runs without Qt and hands
// the window over to quillon-window beside it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "fixtures/RunProgram.h"

namespace {

std::string CommandOutput(const std::string& command)
{
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return output;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, got);
    return output;
}

} // namespace

TEST(CliWindow, CommandLineDoesNotLoadQt)
{
    const std::string libraries = CommandOutput("ldd '" QUILLON_BINARY "' 2>&1");
    if (libraries.find("libc.so") == std::string::npos)
        GTEST_SKIP() << "ldd cannot list the program's libraries: " << libraries;
    EXPECT_EQ(libraries.find("Qt"), std::string::npos) << libraries;
}

TEST(CliWindow, WindowWithoutADisplayIsAnError)
{
    const TProgramResult run = RunProgram(QUILLON_BINARY, {"--window", "a.xls", "b.xls"}, "",
                                          {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("Kein Fenster"), std::string::npos) << run.Err;
}

#ifdef QUILLON_WINDOW_BINARY
// With a display the window program takes over the process; a platform Qt
// does not know makes it fail at once, which shows that it ran.
TEST(CliWindow, WindowArgumentsStartTheWindowProgram)
{
    for (const std::vector<std::string>& arguments : {std::vector<std::string> {"--window", "a.xls", "b.xls"},
                                                     std::vector<std::string> {}, {"one.xls"}}) {
        const TProgramResult run = RunProgram(QUILLON_BINARY, arguments, "", {{"QT_QPA_PLATFORM", "no-such-platform"}});
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_NE(run.Err.find("no-such-platform"), std::string::npos) << testing::PrintToString(arguments) << run.Err;
    }
    const TProgramResult plain =
        RunProgram(QUILLON_BINARY, {"--dump", "missing.xls"}, "", {{"QT_QPA_PLATFORM", "no-such-platform"}});
    EXPECT_EQ(plain.ExitCode, 1) << "options other than --window keep to the command line";
    EXPECT_EQ(plain.Err.find("no-such-platform"), std::string::npos) << plain.Err;
}
#endif
