// Bracket codes of number formats resolved before classing and formatting.
#include "styles/BracketCodes.h"

#include <cstdlib>

#include "styles/FormatParts.h" // IsQuote

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsElapsedCode(const std::string& code)
{
    if (code.empty()) return false;
    const char unit = Lower(code[0]);
    if (unit != 'h' && unit != 'm' && unit != 's') return false;
    for (char c : code)
        if (Lower(c) != unit) return false;
    return true;
}

// The system formats of a locale code: the low 16 bits of the LCID.
enum class TSystemFormat { None, LongDate, Time };

TSystemFormat SystemFormatOf(const std::string& lcid)
{
    std::string lower;
    for (char c : lcid) lower += Lower(c);
    if (lower == "x-sysdate") return TSystemFormat::LongDate;
    if (lower == "x-systime") return TSystemFormat::Time;
    if (lower.empty() || lower.size() > 8 || lower.find_first_not_of("0123456789abcdef") != std::string::npos)
        return TSystemFormat::None;
    const unsigned long value = std::strtoul(lower.c_str(), nullptr, 16) & 0xFFFF;
    if (value == 0xF800) return TSystemFormat::LongDate;
    if (value == 0xF400) return TSystemFormat::Time;
    return TSystemFormat::None;
}

// The symbol as quoted text, so that its letters, points and commas stay text.
std::string QuotedSymbol(std::string symbol)
{
    if (symbol.empty()) return "";
    const char quote = symbol.find('"') == std::string::npos ? '"' : '\'';
    std::string clean;
    for (char c : symbol)
        if (c != quote) clean += c;
    return quote + clean + quote;
}

} // namespace

std::string ResolveBracketCodes(const std::string& format)
{
    std::string out;
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (IsQuote(c)) {
            // quoted text stays as it is, quotes and all
            size_t end = format.find(c, i + 1);
            end = end == std::string::npos ? format.size() : end + 1;
            out.append(format, i, end - i);
            i = end;
            continue;
        }
        if (c == '\\' && i + 1 < format.size()) {
            out.append(format, i, 2);
            i += 2;
            continue;
        }
        if (c != '[') {
            out += c;
            ++i;
            continue;
        }
        const size_t close = format.find(']', i + 1);
        if (close == std::string::npos) {
            // no code closes after this: the rest is text (and the scan stays linear)
            out.append(format, i, std::string::npos);
            break;
        }
        const std::string code = format.substr(i + 1, close - i - 1);
        i = close + 1;
        if (IsElapsedCode(code)) {
            out += '[' + code + ']';
        } else if (!code.empty() && code[0] == '$') {
            const size_t dash = code.find('-');
            const std::string symbol = code.substr(1, dash == std::string::npos ? std::string::npos : dash - 1);
            const TSystemFormat system =
                dash == std::string::npos ? TSystemFormat::None : SystemFormatOf(code.substr(dash + 1));
            if (system == TSystemFormat::LongDate) return "dddddd";
            if (system == TSystemFormat::Time) return "tt";
            out += QuotedSymbol(symbol);
        }
    }
    return out;
}
