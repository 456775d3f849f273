// Quoted text in number and date formats.
#include "styles/FormatParts.h"

bool IsQuote(char c) { return c == '"' || c == '\''; }

size_t CopyQuoted(const std::string& f, size_t i, std::string& out)
{
    const char quote = f[i];
    size_t end = f.find(quote, i + 1);
    if (end == std::string::npos) end = f.size();
    out.append(f, i + 1, end - i - 1);
    return end < f.size() ? end + 1 : end;
}

std::string UnquotedText(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (IsQuote(text[i])) { i = CopyQuoted(text, i, out); continue; }
        out += text[i++];
    }
    return out;
}

std::string OutsideQuotes(const std::string& text)
{
    std::string out, quoted;
    for (size_t i = 0; i < text.size();) {
        if (IsQuote(text[i])) { i = CopyQuoted(text, i, quoted); continue; }
        out += text[i++];
    }
    return out;
}
