// Texts of the workbook in the bytes of a page: UTF-8, or Windows-1252 in
// which every character the code page cannot show is written in the notation
// of its place, so that no character is lost.
#pragma once

#include <string>

// For the markup: a character Windows-1252 lacks as a numeric character
// reference ("&#26085;"). Escape the text for HTML first: the references must
// not be escaped again.
std::string PageText(const std::u16string& text, bool utf8);
// For the style sheet, where references are not read: as a CSS escape
// ("\65E5 ", the blank ends it).
std::string StyleSheetText(const std::u16string& text, bool utf8);
