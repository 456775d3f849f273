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

// The Windows code page of a file's 8-bit text (the CODEPAGE record of
// older workbooks): 1250-1258, 874, 932, 936, 949, 950 and the other pages
// the C library's iconv knows. Windows-1252, and every page the C library
// cannot convert, keep the rules of AnsiToWide.
class TCodePage {
public:
    explicit TCodePage(unsigned codePage = 1252);
    ~TCodePage();
    TCodePage(const TCodePage&) = delete;
    TCodePage& operator=(const TCodePage&) = delete;

    // True when the bytes are Windows-1252 text as they stand.
    bool IsAnsi() const { return FConverter == nullptr; }
    // Every byte sequence the page does not define becomes U+FFFD; never fails.
    std::u16string ToWide(const std::string& bytes) const;

private:
    void* FConverter = nullptr; // the iconv descriptor, or none for Windows-1252
};
