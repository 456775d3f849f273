#include "app/cli/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "app/cli/Dump.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace {

constexpr const char* kVersion = "Quillon 1.0";

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Applies one "--" argument; false with `line.Error` set when it is unknown.
bool ApplyOption(const std::string& option, TCommandLine& line, bool& dump, bool& window, bool& help,
                 bool& version)
{
    if (option == "--help")
        help = true;
    else if (option == "--version")
        version = true;
    else if (option == "--dump")
        dump = true;
    else if (option == "--window")
        window = true;
    else if (option == "--encoding=utf-8" || option == "--encoding=UTF-8")
        line.Options.Utf8 = true;
    else if (option == "--encoding=windows-1252")
        line.Options.Utf8 = false;
    else if (StartsWith(option, "--password="))
        line.Options.Password = Utf8ToWide(option.substr(11));
    else {
        line.Error = "Unbekannte Option: " + option;
        return false;
    }
    return true;
}

int Convert(const TCommandLine& line)
{
    const std::string& source = line.Files[0];
    const std::string& target = line.Files[1];
    const std::string directory = TargetDirectoryOf(target, WorkingDirectory());
    PrepareTargetDirectory(directory);
    ConvertWorkbook(source, directory, BaseNameOf(target), line.Options);
    return 0;
}

int Run(const TCommandLine& line)
{
    switch (line.Action) {
    case TCommandLine::Help:
        std::cout << UsageText();
        return 0;
    case TCommandLine::Version:
        std::cout << kVersion << "\n";
        return 0;
    case TCommandLine::Usage:
        if (!line.Error.empty())
            std::cerr << line.Error << "\n";
        std::cerr << UsageText();
        return 2;
    case TCommandLine::Window:
        // Reached only when no window can be shown (see main).
        std::cerr << "Kein Fenster m\xC3\xB6glich: keine Anzeige (DISPLAY, WAYLAND_DISPLAY) oder ohne Fenster gebaut.\n";
        return 1;
    case TCommandLine::Dump:
        return DumpWorkbookFile(line.Files[0], line.Options.Password, std::cout);
    case TCommandLine::Convert:
        return Convert(line);
    }
    return 2;
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    TCommandLine line;
    bool dump = false, window = false, help = false, version = false;
    for (const std::string& argument : arguments) {
        if (StartsWith(argument, "--")) {
            if (!ApplyOption(argument, line, dump, window, help, version))
                return line; // Usage with the error
        } else {
            line.Files.push_back(argument);
        }
    }
    if (help)
        line.Action = TCommandLine::Help;
    else if (version)
        line.Action = TCommandLine::Version;
    else if (window)
        line.Action = TCommandLine::Window;
    else if (dump && !line.Files.empty())
        line.Action = TCommandLine::Dump;
    else if (!dump && line.Files.size() >= 2)
        line.Action = TCommandLine::Convert;
    return line;
}

bool WantsWindow(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (ParseCommandLine(arguments).Action == TCommandLine::Window)
        return true;
    for (const std::string& argument : arguments)
        if (StartsWith(argument, "--"))
            return false;
    return arguments.size() < 2;
}

bool WindowSystemAvailable()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

int RunCommandLine(int argc, char** argv)
{
    const TCommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    try {
        return Run(line);
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << ErrorMessageText(error) << "\n";
        return 1;
    }
}

std::string UsageText()
{
    return "Aufruf: quillon [OPTIONEN] QUELLE.xls ZIEL.htm\n"
           "       quillon --dump [OPTIONEN] QUELLE.xls\n"
           "       quillon --window [DATEI.xls...]\n"
           "\n"
           "Wandelt jedes Blatt der Arbeitsmappe QUELLE in eine HTML-Seite im Verzeichnis\n"
           "von ZIEL um: ZIEL.htm, ZIEL0.htm, ZIEL1.htm, ... (vorhandene Dateien bleiben).\n"
           "Der Aufruf per Kommandozeile ist auch m\xC3\xB6glich:\n"
           "  quillon /pfad/test.xls /pfad/out/out.htm\n"
           "\n"
           "Optionen:\n"
           "  --encoding=utf-8     Seiten in UTF-8 statt Windows-1252 schreiben\n"
           "  --password=KENNWORT  Kennwort einer verschl\xC3\xBCsselten Arbeitsmappe\n"
           "  --dump               Zellen der Arbeitsmappe als Liste ausgeben (UTF-8)\n"
           "  --window             das Fenster mit den DATEIEN in der Liste \xC3\xB6" "ffnen\n"
           "  --help               diese Hilfe anzeigen\n"
           "  --version            Version anzeigen\n";
}
