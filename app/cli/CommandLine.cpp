#include "app/cli/CommandLine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <limits>

#include "app/cli/Dump.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace {

constexpr const char* kVersion = "Quillon 1.0";

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A byte count: decimal digits, then optionally K, M or G (times 1024, 1024²
// or 1024³, either letter case). False for anything else and for counts
// beyond 64 bits.
bool ParseByteSize(const std::string& text, uint64_t& bytes)
{
    size_t digits = 0;
    uint64_t value = 0;
    for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits)
        if (__builtin_mul_overflow(value, uint64_t{10}, &value) ||
            __builtin_add_overflow(value, uint64_t(text[digits] - '0'), &value))
            return false;
    if (digits == 0 || text.size() - digits > 1)
        return false;
    unsigned shift = 0;
    if (digits < text.size()) {
        switch (text[digits]) {
        case 'K': case 'k': shift = 10; break;
        case 'M': case 'm': shift = 20; break;
        case 'G': case 'g': shift = 30; break;
        default: return false;
        }
    }
    if (shift && value > (std::numeric_limits<uint64_t>::max() >> shift))
        return false;
    bytes = value << shift;
    return true;
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
    else if (StartsWith(option, "--max-output=")) {
        uint64_t bytes = 0;
        if (!ParseByteSize(option.substr(13), bytes)) {
            line.Error = "Ung\xC3\xBCltige Gr\xC3\xB6\xC3\x9F" "e: " + option;
            return false;
        }
        line.Options.MaxOutput = bytes;
    } else {
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
    const std::vector<std::string> created = PrepareTargetDirectory(directory);
    try {
        ConvertWorkbook(source, directory, BaseNameOf(target), line.Options);
    } catch (const EOutputLimitError&) {
        // Its pages are gone again: so are the directories made for them.
        RemoveEmptyDirectories(created);
        throw;
    }
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
           "Gelesen werden Arbeitsmappen von Excel 2.x bis Excel 2003 (BIFF2 bis BIFF8).\n"
           "Der Aufruf per Kommandozeile ist auch m\xC3\xB6glich:\n"
           "  quillon /pfad/test.xls /pfad/out/out.htm\n"
           "\n"
           "Optionen:\n"
           "  --encoding=utf-8     Seiten in UTF-8 statt Windows-1252 schreiben\n"
           "  --password=KENNWORT  Kennwort einer verschl\xC3\xBCsselten Arbeitsmappe\n"
           "  --max-output=GR\xC3\x96SSE  alle Seiten zusammen h\xC3\xB6" "chstens so viele Bytes (Zahl,\n"
           "                       dahinter wahlweise K, M oder G); sonst Abbruch, und\n"
           "                       keine Seite der Arbeitsmappe bleibt\n"
           "  --dump               Zellen der Arbeitsmappe als Liste ausgeben (UTF-8)\n"
           "  --window             das Fenster mit den DATEIEN in der Liste \xC3\xB6" "ffnen\n"
           "  --help               diese Hilfe anzeigen\n"
           "  --version            Version anzeigen\n";
}
