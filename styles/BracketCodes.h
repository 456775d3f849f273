// Codes in square brackets in a number format: "[Red]", "[Color10]",
// "[<=99999999]", "[$\x80-407]", "[h]" and so on. They are instructions, not
// text: only a currency symbol and the elapsed-time codes show in the result.
#pragma once

#include <string>

// The format with its bracket codes resolved, outside quotes:
// - "[$SYMBOL-LCID]" becomes SYMBOL as quoted text ("[$-407]" nothing);
//   an LCID whose low 16 bits are F800 (the locale's long date) or F400 (the
//   locale's time) makes the whole format "dddddd" or "tt";
// - the elapsed-time codes "[h]", "[mm]", "[ss]" (a run of one of h, m, s)
//   stay as they are;
// - every other code (colours, conditions, ...) is removed.
// An unclosed "[" and an escaped "\[" stay as text.
std::string ResolveBracketCodes(const std::string& format);
