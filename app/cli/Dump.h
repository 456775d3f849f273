// The inspection listing: what the reader made of a workbook, one line per
// stored cell, in UTF-8.
#pragma once

#include <iosfwd>
#include <string>

class TWorkbook;
class TVariant;

// For each sheet "# sheet N: NAME", then per stored cell in row-major order
// the tab-separated fields: cell name, value kind, value, display text and
// formula text. Cells of merged areas that hold no value, formula or
// hyperlink are left out.
void DumpWorkbook(TWorkbook& workbook, std::ostream& out);
// Reads the file with the default switches and lists it; returns 0. Reader
// errors pass on.
int DumpWorkbookFile(const std::string& source, const std::u16string& password, std::ostream& out);

// "empty", "number", "date", "string", "boolean" or "error".
std::string DumpValueKind(const TVariant& value);
// Numbers in the shortest round-trip form with ".", dates as
// yyyy-mm-ddThh:mm:ss, strings escaped, booleans TRUE / FALSE, error values
// as the sheet shows them (#DIV/0!, #N/A ...).
std::string DumpValueText(const TVariant& value);
// UTF-8 with tab, CR, LF and backslash written as \t, \r, \n and \\.
std::string DumpEscape(const std::u16string& text);
