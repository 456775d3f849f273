// The one road of a conversion, shared by the command line and the window:
// where the pages go, what they are called, and the loop over the sheets.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The target directory could not be created.
class EDirectoryError : public std::runtime_error {
public:
    EDirectoryError() : std::runtime_error("Konnte das Verzeichnis nicht erstellen!") {}
};

// The pages of a workbook would have grown past TConversionOptions::MaxOutput;
// none of them is left.
class EOutputLimitError : public std::runtime_error {
public:
    explicit EOutputLimitError(uint64_t limit);
};

struct TConversionOptions {
    bool Utf8 = false;      // pages in UTF-8 instead of Windows-1252
    std::optional<uint64_t> MaxOutput; // the most bytes all pages of the workbook may have together
    std::u16string Password; // of an encrypted workbook; empty for the default one
    std::function<void(double)> OnProgress; // the read's progress, 0..1, after every record
};

// The directory part of a path: everything up to and including its last "/";
// empty when it has none.
std::string DirectoryPartOf(const std::string& path);
// The file-name part of a path less its extension (the text from the last
// full stop of the file-name part on).
std::string BaseNameOf(const std::string& path);
// The directory the pages of TARGET go to, with a trailing "/": its directory
// part, taken relative to `workingDirectory` unless it starts with "/"; the
// working directory itself when TARGET has no directory part.
std::string TargetDirectoryOf(const std::string& target, const std::string& workingDirectory);

// Creates the directory with all missing parents and returns those it
// created, parents first; raises EDirectoryError when it is empty or cannot be
// created.
std::vector<std::string> PrepareTargetDirectory(const std::string& directory);

// The first of directory + base + ".htm", directory + base + "0.htm",
// directory + base + "1.htm", ... that names nothing existing. `directory`
// ends with "/"; the name is built from nothing else, so it always lies in
// that directory.
std::string UniqueOutputName(const std::string& directory, const std::string& base);
// The same search begun at `position` in that sequence (0 for base + ".htm",
// n + 1 for base + n + ".htm"), which is left at the name returned. A caller
// naming many pages passes the same position on, so that the names already
// known taken are not looked at again.
std::string UniqueOutputName(const std::string& directory, const std::string& base, uint64_t& position);

// Called for every sheet before it is saved: its number from 1 and the name
// chosen for its page (a sheet without cells writes no file).
using TSheetSaveEvent = std::function<void(int sheetNumber, const std::string& outputName)>;

// Reads the workbook `source` and writes one page per sheet into `directory`
// (existing, with a trailing "/") named after `base`. Returns the number of
// sheets handed to SaveAsHTML. Every error of the reader and the writer passes
// on; pages already written stay. Pages that would grow past MaxOutput in
// total raise EOutputLimitError, and every page of the workbook written so
// far is removed again.
int ConvertWorkbook(const std::string& source, const std::string& directory, const std::string& base,
                    const TConversionOptions& options = {}, const TSheetSaveEvent& onSheet = {});

// The message of an error as the user sees it: a full stop is appended when
// its last character has a higher code than the full stop.
std::string ErrorMessageText(const std::exception& error);
