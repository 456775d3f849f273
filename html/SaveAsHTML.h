// One worksheet's page written into a file.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

class TSheet;

// Writes the sheet's page into the file and returns its size; a sheet without
// stored cells creates no file and returns 0. `utf8`: UTF-8 instead of
// Windows-1252. A page that would grow past `byteLimit` bytes raises
// EPageLimitError, its file partly written.
uint64_t SaveAsHTML(TSheet& sheet, const std::string& fileName, bool utf8 = false,
                    uint64_t byteLimit = std::numeric_limits<uint64_t>::max());
