// The text a cell shows: its value under the number format of its XF
// record, in the workbook's date system and the user locale.
#pragma once

#include <string>

#include "model/Cell.h"

// The display text of a stored cell as its record has it.
std::u16string DisplayText(const TStoredCell& cell);
// The same for a cell holding a number, as the 8-bit text the formatters
// write (DisplayText is its UTF-16 form); false for every other value.
bool NumberDisplayText(const TStoredCell& cell, std::string& text);

// The same for a cell object.
inline std::u16string DisplayText(const TCell& cell) { return DisplayText(TStoredCell::Of(cell)); }
inline bool NumberDisplayText(const TCell& cell, std::string& text)
{
    return NumberDisplayText(TStoredCell::Of(cell), text);
}
