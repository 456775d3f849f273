// Number formats: their classes, the cleaning of a format for the formatters,
// the number and date formatters and the display text of a cell value.
// Formatted texts are 8-bit Windows-1252 strings; display texts are UTF-16.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "styles/Variant.h"
#include "platform/Locale.h"

struct TNumberFormat;

// A format the number formatter refuses ("Format string too long").
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Format classes: "general", "double", "integer", "date", "text" or empty.
// The classes of a text ignore its bracket codes: "[$-407]dd.mm.yyyy" is a date.
std::string ClassifyCode(int code);
std::string ClassifyText(const std::string& format);
// The class of the code; when that is empty and the text is not, of the text.
std::string FormatClassOf(int code, const std::string& format);
std::string FormatClassOf(const TNumberFormat& format);

// The first section of a format with its bracket codes resolved
// (ResolveBracketCodes) and without "general", "_-", "_", "(", ")", "\", "-*"
// and "*" (case-insensitive), as the formatters receive it.
std::string CleanFormat(const std::string& format);

// The column name of a zero-based column: 0 -> "A", 26 -> "AA", 255 -> "IV".
std::string ColumnLetters(int column);

// `x` under the one-section number format `f`; the empty format gives the
// general form (at most 15 significant digits), which formula text uses for
// number constants. Throws EConvertError for a format over 224 characters.
std::string FormatNumberText(const std::string& f, double x, const TLocale& locale);
std::string FormatNumberText(const std::string& f, double x); // the user locale

// The date value `d` (days since 1899-12-30, time of day as fraction) under the
// date format `f`; the empty format behaves as "c". `date1904` tells the
// workbook's date system, which the elapsed-time tokens "[h]", "[m]", "[s]"
// need to count from the serial the file stored.
std::string FormatDateText(const std::string& f, double d, const TLocale& locale, bool date1904 = false);
std::string FormatDateText(const std::string& f, double d); // the user locale, 1900 system

// The error codes of cell values and their texts: 0x00 "#NULL!", 0x07
// "#DIV/0!", 0x0F "#VALUE!", 0x17 "#REF!", 0x1D "#NAME?", 0x24 "#NUM!",
// 0x2A "#N/A"; other codes are no error value (empty text).
bool IsErrorCode(int code);
std::string ErrorValueText(int code);

// The text a page shows for a value under the (uncleaned) format text of its cell.
std::u16string DisplayTextOf(const TVariant& value, const std::string& formatText, const TLocale& locale,
                             bool date1904 = false);
// The same for a number (IsNumeric), as the 8-bit text the formatters write.
std::string NumberText(const std::string& formatText, const TVariant& value, const TLocale& locale, bool date1904);
