#include "app/Conversion.h"

#include <filesystem>
#include <limits>
#include <vector>

#include "html/SaveAsHTML.h"
#include "html/XLSWriterHTML.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "reading/XLSFile.h"

std::string DirectoryPartOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.rfind('.'));
}

std::string TargetDirectoryOf(const std::string& target, const std::string& workingDirectory)
{
    const std::string directory = DirectoryPartOf(target);
    if (!directory.empty() && directory.front() == '/')
        return directory;
    return WithTrailingSlash(workingDirectory) + directory;
}

std::vector<std::string> PrepareTargetDirectory(const std::string& directory)
{
    std::vector<std::string> created;
    if (!ForceDirectories(directory, &created))
        throw EDirectoryError();
    return created;
}

namespace {

// The name at `position` in the sequence base.htm, base0.htm, base1.htm, ...
std::string OutputNameAt(const std::string& directory, const std::string& base, uint64_t position)
{
    if (position == 0)
        return directory + base + ".htm";
    return directory + base + std::to_string(position - 1) + ".htm";
}

} // namespace

std::string UniqueOutputName(const std::string& directory, const std::string& base, uint64_t& position)
{
    while (FileExists(OutputNameAt(directory, base, position)))
        ++position;
    return OutputNameAt(directory, base, position);
}

std::string UniqueOutputName(const std::string& directory, const std::string& base)
{
    uint64_t position = 0;
    return UniqueOutputName(directory, base, position);
}

EOutputLimitError::EOutputLimitError(uint64_t limit)
    : std::runtime_error("Die Seiten w\xC3\xA4ren gr\xC3\xB6\xC3\x9F" "er als --max-output erlaubt (" +
                         std::to_string(limit) + " Bytes); keine Seite geschrieben")
{
}

int ConvertWorkbook(const std::string& source, const std::string& directory, const std::string& base,
                    const TConversionOptions& options, const TSheetSaveEvent& onSheet)
{
    TXLSFile file;
    file.OnProgress = options.OnProgress;
    file.OpenFile(Utf8ToWide(source), options.Password);
    TSheets& sheets = file.Workbook().Sheets();
    const uint64_t limit = options.MaxOutput.value_or(std::numeric_limits<uint64_t>::max());
    uint64_t written = 0;
    std::vector<std::string> pages; // the names handed out: each was free until this run
    // Every name before the last one handed out is taken, so each search
    // starts there; it stays free when that sheet had no cells.
    uint64_t position = 0;
    int saved = 0;
    try {
        for (int i = 0; i < sheets.Count(); ++i) {
            const std::string name = UniqueOutputName(directory, base, position);
            if (onSheet)
                onSheet(i + 1, name);
            pages.push_back(name);
            written += SaveAsHTML(*sheets.Items(i), name, options.Utf8, limit - written);
            ++saved;
        }
    } catch (const EPageLimitError&) {
        std::error_code ignored;
        for (const std::string& page : pages)
            std::filesystem::remove(page, ignored);
        throw EOutputLimitError(limit);
    }
    return saved;
}

std::string ErrorMessageText(const std::exception& error)
{
    std::string text = error.what();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}
