#include "html/PageText.h"

#include <cstdio>

#include "platform/CodePage.h"

namespace {

void AppendCharacterReference(char32_t codePoint, std::string& out)
{
    out += "&#" + std::to_string(static_cast<unsigned long>(codePoint)) + ';';
}

void AppendCssEscape(char32_t codePoint, std::string& out)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "\\%lX ", static_cast<unsigned long>(codePoint));
    out += hex;
}

} // namespace

std::string PageText(const std::u16string& text, bool utf8)
{
    return utf8 ? WideToUtf8(text) : WideToAnsi(text, AppendCharacterReference);
}

std::string StyleSheetText(const std::u16string& text, bool utf8)
{
    return utf8 ? WideToUtf8(text) : WideToAnsi(text, AppendCssEscape);
}
