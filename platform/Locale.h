// The user's locale as the number and date formatters need it: separators,
// month and day names, morning/afternoon texts and the date and time patterns.
// All texts are 8-bit Windows-1252 strings (e.g. "M\xE4r"); the patterns use the
// tokens of FormatDateText ("dd.mm.yyyy", "h:mm:ss AMPM").
#pragma once

#include <array>
#include <string>

struct TLocale {
    std::string DecimalSeparator;
    std::string GroupingSeparator; // may be empty: digits are then not grouped
    std::string DateSeparator;     // written for "/" in a date format
    std::string TimeSeparator;     // written for ":" in a date format
    std::array<std::string, 12> ShortMonthNames;
    std::array<std::string, 12> LongMonthNames;
    std::array<std::string, 7> ShortDayNames; // Sunday first
    std::array<std::string, 7> LongDayNames;  // Sunday first
    std::string MorningText;   // "AM"
    std::string AfternoonText; // "PM"
    std::string ShortDatePattern;
    std::string LongDatePattern;
    std::string ShortTimePattern;
    std::string LongTimePattern;
    // Gregorian calendar only: the "e" tokens write the year of the era (the
    // year itself), the "g" tokens this name of the era.
    std::string EraName;
};

// The two built-in records; output made with them is the same everywhere.
const TLocale& LocaleEnUS();
const TLocale& LocaleDeDE();

// The locale of the environment: LC_ALL, then LC_NUMERIC (separators) or
// LC_TIME (names and patterns), then LANG. A name the C library has installed
// is read through newlocale/nl_langinfo_l; a German name ("de", "de_AT.UTF-8"
// ...) the system lacks gives the built-in de_DE; C, POSIX, unset and every
// other name give en_US. Not cached.
TLocale LocaleFromEnvironment();

// The locale every formatter uses unless it is given one: the environment's,
// read once on first use, or the one last set.
const TLocale& UserLocale();
void SetUserLocale(const TLocale& locale);

// A strftime pattern of the C library (D_FMT, T_FMT ...) in the tokens of
// FormatDateText: %d -> dd, %m -> mm, %Y -> yyyy, %H -> hh, %M -> nn, %S -> ss,
// %p -> AMPM and so on; ASCII letters of the pattern are quoted, conversions
// without a counterpart (%Z, %z ...) are dropped. %r expands to `ampmPattern`.
std::string TranslateTimePattern(const std::string& pattern, const std::string& ampmPattern = "%I:%M:%S %p");
