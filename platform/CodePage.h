// Conversions between UTF-16 and the system's 8-bit code page (Windows-1252
// in this build), and between UTF-16 and UTF-8.
#pragma once

#include <string>

// Every character Windows-1252 cannot show becomes "?"; a surrogate pair
// becomes one "?". U+0081, U+008D, U+008F, U+0090 and U+009D map back to the
// bytes AnsiToWide gives them, so that conversions round-trip.
std::string WideToAnsi(const std::u16string& text);
// The same with each character Windows-1252 cannot show (a surrogate pair
// as one code point, a lone surrogate as U+FFFD) handed to `unmappable`,
// which appends what stands for it.
using TUnmappable = void (*)(char32_t codePoint, std::string& out);
std::string WideToAnsi(const std::u16string& text, TUnmappable unmappable);
// Total: the bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which Windows-1252 leaves
// undefined, become U+0081 and so on.
std::u16string AnsiToWide(const std::string& text);

// Lone surrogates become U+FFFD.
std::string WideToUtf8(const std::u16string& text);
// Every malformed sequence becomes U+FFFD; never fails.
std::u16string Utf8ToWide(const std::string& text);

// Length of WideToAnsi(text) without building it.
size_t AnsiLengthOf(const std::u16string& text);
