#include "platform/CodePage.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <string_view>

#include "platform/LittleEndian.h"

namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same number.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The byte of a code point in Windows-1252; false when it has none.
bool AnsiOf(char32_t cp, char& byte)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = static_cast<char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    return false;
}

void AppendQuestionMark(char32_t, std::string& out) { out.push_back('?'); }

// Calls `emit` with each code point; lone surrogates become U+FFFD.
template <class Emit>
void ForEachCodePoint(const std::u16string& text, Emit emit)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            emit(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00), true);
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            emit(0xFFFD, false);
        } else {
            emit(u, false);
        }
    }
}

} // namespace

std::string WideToAnsi(const std::u16string& text) { return WideToAnsi(text, AppendQuestionMark); }

std::string WideToAnsi(const std::u16string& text, TUnmappable unmappable)
{
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp, bool) {
        char byte;
        if (AnsiOf(cp, byte))
            out.push_back(byte);
        else
            unmappable(cp, out);
    });
    return out;
}

size_t AnsiLengthOf(const std::u16string& text)
{
    size_t length = 0;
    ForEachCodePoint(text, [&](char32_t, bool) { ++length; });
    return length;
}

std::u16string AnsiToWide(const std::string& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (unsigned char b : text)
        out.push_back(b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : static_cast<char16_t>(b));
    return out;
}

std::string WideToUtf8(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp, bool) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    });
    return out;
}

std::u16string Utf8ToWide(const std::string& text)
{
    std::u16string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (b < 0x80) { length = 1; cp = b; }
        else if (b >= 0xC2 && b <= 0xDF) { length = 2; cp = b & 0x1F; minimum = 0x80; }
        else if (b >= 0xE0 && b <= 0xEF) { length = 3; cp = b & 0x0F; minimum = 0x800; }
        else if (b >= 0xF0 && b <= 0xF4) { length = 4; cp = b & 0x07; minimum = 0x10000; }

        bool valid = length > 0 && i + length <= n;
        for (size_t k = 1; valid && k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (c & 0x3F);
        }
        if (valid && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;

        if (!valid) {
            // Skip the lead byte and any continuation bytes that follow it.
            out.push_back(0xFFFD);
            ++i;
            while (i < n && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 && b >= 0xC0)
                ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

namespace {

// The iconv name of a Windows code page number; empty for Windows-1252 and
// its stand-ins (ASCII 367, the Mac "1252" 32769) and for UTF-16 (1200).
std::string IconvName(unsigned codePage)
{
    switch (codePage) {
    case 367: case 1200: case 1252: case 32769: return "";
    case 10000: case 32768: return "MACINTOSH";
    default: return "CP" + std::to_string(codePage);
    }
}

} // namespace

TCodePage::TCodePage(unsigned codePage)
{
    const std::string name = IconvName(codePage);
    if (name.empty()) return;
    iconv_t converter = iconv_open("UTF-16LE", name.c_str());
    if (converter != iconv_t(-1)) FConverter = converter;
}

TCodePage::~TCodePage()
{
    if (FConverter) iconv_close(iconv_t(FConverter));
}

std::u16string TCodePage::ToWide(const std::string& bytes) const
{
    if (!FConverter) return AnsiToWide(bytes);
    const iconv_t converter = iconv_t(FConverter);
    iconv(converter, nullptr, nullptr, nullptr, nullptr); // a fresh shift state
    std::u16string out;
    std::string input = bytes;
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outAt = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &in, &inLeft, &outAt, &outLeft);
        const std::string_view converted(buffer, size_t(outAt - buffer));
        for (size_t i = 0; i + 1 < converted.size(); i += 2) out.push_back(char16_t(ReadU16(converted, i)));
        if (result != size_t(-1) || errno == E2BIG) continue;
        // An undefined or cut-off sequence: one replacement, one byte further.
        out.push_back(u'\uFFFD');
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}
