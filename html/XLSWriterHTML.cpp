#include "html/XLSWriterHTML.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <fstream>
#include <ostream>

#include "html/BlockRows.h"
#include "html/CellStyle.h"
#include "html/PageText.h"
#include "model/Sheet.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "styles/HList.h"
#include "styles/XLSFormat.h"
#include "styles/XLSFormatStr.h"

namespace {

// The page is assembled in memory and handed to the stream in chunks of this size.
constexpr size_t kChunkSize = 1 << 16;
// Rows per block that one core makes while the other makes and writes others.
constexpr int kBlockRows = 128;

// The stored cell at `col` of a row whose cells `rowCells` lists in column
// order, or -1, for columns asked for from left to right: `next` keeps the place.
int StoredAt(const TCells& cells, const std::vector<uint32_t>& rowCells, size_t& next, int col)
{
    while (next < rowCells.size() && cells.ColOf(int(rowCells[next])) < col)
        ++next;
    return next < rowCells.size() && cells.ColOf(int(rowCells[next])) == col ? int(rowCells[next]) : -1;
}

void AppendNumber(std::string& text, long long n)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, n);
    text.append(digits, result.ptr);
}


bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }
bool IsTrimmed(char16_t c) { return c <= 32; }

template <class TText>
void AppendAscii(TText& out, std::string_view ascii)
{
    out.append(ascii.begin(), ascii.end());
}

// Cell texts of 8 or 16 bits alike: ends trimmed of characters up to 32,
// "<" and ">" as "_", "&" as "&amp;", and "&nbsp;" for an empty result.
template <class TText>
void AppendEscapedCellText(TText& out, const TText& text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsTrimmed(text[first]))
        ++first;
    while (last > first && IsTrimmed(text[last - 1]))
        --last;
    if (first == last) {
        AppendAscii(out, "&nbsp;");
        return;
    }
    for (size_t i = first; i < last; ++i) {
        const auto c = text[i];
        if (c == '<' || c == '>')
            out.push_back('_');
        else if (c == '&')
            AppendAscii(out, "&amp;");
        else
            out.push_back(c);
    }
}

// A text inside a double-quoted attribute: "&", "\"", "<" and ">" as entities.
template <class TText>
TText EscapedAttributeText(const TText& text)
{
    TText safe;
    safe.reserve(text.size());
    for (const auto c : text) {
        switch (c) {
        case '&': AppendAscii(safe, "&amp;"); break;
        case '"': AppendAscii(safe, "&quot;"); break;
        case '<': AppendAscii(safe, "&lt;"); break;
        case '>': AppendAscii(safe, "&gt;"); break;
        default: safe.push_back(c);
        }
    }
    return safe;
}

bool IsAscii(const std::string& text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

TXLSWriterHTML::TXLSWriterHTML(TSheet* sheet, bool utf8) : FSheet(sheet), FUtf8(utf8) {}

TXLSWriterHTML::~TXLSWriterHTML() = default;

void TXLSWriterHTML::SaveToFile(const std::string& fileName, const TRangeRect& range)
{
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file)
        throw EFileError(EFileError::CreateMessage(fileName));
    SaveToStream(file, range);
    file.close();
    if (!file)
        throw EFileError(EFileError::WriteMessage(fileName));
}

void TXLSWriterHTML::SaveToStream(std::ostream& stream, const TRangeRect& range)
{
    FStream = &stream;
    FRange = range;
    FBytesWritten = 0;
    try {
        WritePage();
    } catch (...) {
        // What was assembled before the failure still reaches the stream.
        try {
            Flush();
        } catch (...) {
        }
        FStream = nullptr;
        throw;
    }
    Flush();
    FStream = nullptr;
}

void TXLSWriterHTML::WritePage()
{
    // Read here, once: the formatting threads only read them.
    FLocale = &UserLocale();
    FDate1904 = FSheet->Workbook() && FSheet->Workbook()->Date1904;
    Write("<html>\r\n");
    if (FUtf8)
        Write("<meta charset=\"utf-8\">\r\n");
    try {
        BuildStyleClasses();
        WriteStyleSheet();
        WriteTable();
    } catch (...) {
        FreeStyleClasses();
        throw;
    }
    FreeStyleClasses();
    Write("</html>");
}

void TXLSWriterHTML::BuildStyleClasses()
{
    // The classes are numbered in the order their first positions come;
    // the table asks again for each position's XF and finds its class.
    FStyleTexts = std::make_unique<THashedStringList>(8191, HashKindCrc);
    TCells& cells = FSheet->Cells();
    TCells::TRowWalk walk(cells);
    std::vector<uint32_t> rowCells;
    // Most positions repeat an XF met before, whose look is made already.
    std::vector<uint8_t> met(size_t(std::max(0, FSheet->StyleTables()->XFTable->Count())));
    for (int row = FRange.FirstRow; row <= FRange.LastRow; ++row) {
        rowCells.clear();
        walk.RowIndexes(row, rowCells);
        size_t next = 0;
        for (int col = FRange.FirstCol; col <= FRange.LastCol; ++col) {
            // A stored cell from the row's list; at other positions, the pending cell GetCell gives.
            const int index = StoredAt(cells, rowCells, next, col);
            const int32_t xf = index >= 0 ? cells.XFIndexOf(index) : cells.GetCell(row, col)->XFIndex();
            if (xf >= 0 && size_t(xf) < met.size()) {
                if (met[size_t(xf)])
                    continue;
                met[size_t(xf)] = 1;
            }
            FormatLookOf(xf);
        }
    }
}

const TXLSWriterHTML::TFormatLook& TXLSWriterHTML::FormatLookOf(int32_t xfIndex)
{
    // The style text depends only on the XF record, so what was found for an
    // XF index holds for every later position with that index.
    const auto [entry, added] = FLookOfXF.try_emplace(xfIndex, TFormatLook{0, false, nullptr, {}});
    if (added) {
        const TStyleTables& tables = *FSheet->StyleTables();
        const TXFRecord xf = tables.XFTable->GetOrDefault(xfIndex);
        const TVirtualFontTable& fonts = *tables.FontTable;
        const TFontRecord font = xf.FontIndex < fonts.Count() ? fonts.Get(xf.FontIndex) : TFontRecord::Default();
        const TPalette& palette = tables.Palette ? *tables.Palette : TPalette::Default();
        const std::string text = StyleText(xf, font, FUtf8, palette);
        int index = FStyleTexts->IndexOf(text);
        if (index < 0)
            index = FStyleTexts->Add(text);
        // A position outside the list shows as "General".
        static const std::string general;
        const TFormatStrings& formats = *tables.FormatStrings;
        const std::string* format = xf.FormatIndex < formats.Count() ? &formats.At(xf.FormatIndex).Format : &general;
        std::string tag = "<td class=\"xl";
        AppendNumber(tag, index);
        tag += '"';
        entry->second = TFormatLook{index, xf.Merged != 0, format, std::move(tag)};
    }
    return entry->second;
}

void TXLSWriterHTML::WriteStyleSheet()
{
    Write("<style>\r\n");
    std::string piece;
    for (int n = 0; n < FStyleTexts->Count(); ++n) {
        piece = ".xl";
        AppendNumber(piece, n);
        piece += "\r\n {";
        piece += FStyleTexts->Get(n);
        piece += "}\r\n";
        Write(piece);
    }
    Write("</style>\r\n");
}

void TXLSWriterHTML::WriteTable()
{
    FColumnExtents.clear();
    long long tableWidth = 0;
    for (int col = FRange.FirstCol; col <= FRange.LastCol; ++col) {
        FColumnExtents.push_back(FSheet->Columns().GetColumn(col)->SizePixels() + 1);
        tableWidth += FColumnExtents.back();
    }
    FRowExtents.clear();
    for (int row = FRange.FirstRow; row <= FRange.LastRow; ++row)
        FRowExtents.push_back(FSheet->Rows().GetRow(row)->SizePixels() + 1);

    std::string piece = "<table cellpadding=0 cellspacing=0 border=0 width=";
    AppendNumber(piece, tableWidth);
    piece += " style=\"border-collapse:collapse;\">\r\n";
    Write(piece);

    FColumnSums.assign(1, 0);
    for (int extent : FColumnExtents) FColumnSums.push_back(FColumnSums.back() + extent);
    FRowSums.assign(1, 0);
    for (int extent : FRowExtents) FRowSums.push_back(FRowSums.back() + extent);
    FMergedAreas.Build(*FSheet, FRange);
    FColumnTags.clear();
    for (int extent : FColumnExtents) {
        std::string tag = " width=";
        AppendNumber(tag, extent);
        tag += " height=";
        FColumnTags.push_back(std::move(tag));
    }

    // Rows come from both cores and are written here, in order.
    FPageLooks = FLookOfXF;
    FPageLookByXF.clear();
    for (const auto& [xf, look] : FPageLooks)
        if (xf >= 0 && xf < 65536) {
            if (size_t(xf) >= FPageLookByXF.size())
                FPageLookByXF.resize(size_t(xf) + 1, nullptr);
            FPageLookByXF[size_t(xf)] = &look;
        }
    TBlockRows rows(FRange.FirstRow, FRange.LastRow, kBlockRows,
                    [this](int first, int last, std::string& out, bool second) {
                        return MakeRows(first, last, out, second);
                    });
    rows.WriteAll([this](std::string_view text) { Write(text); });
    Write("</table>\r\n");
}

bool TXLSWriterHTML::MakeRows(int first, int last, std::string& out, bool second)
{
    TCells& cells = FSheet->Cells();
    TCells::TRowWalk walk(cells);
    std::vector<uint32_t> rowCells;
    int32_t lastXF = -1;
    const TFormatLook* look = nullptr;
    // A cell's whole tag per column, for the look and the row height it was made for.
    struct TCellTag {
        const TFormatLook* Look = nullptr;
        int Height = -1;
        std::string Text;
    };
    std::vector<TCellTag> cellTags(FColumnTags.size());
    for (int row = first; row <= last; ++row) {
        out += "<tr>\r\n";
        rowCells.clear();
        walk.RowIndexes(row, rowCells);
        const int rowHeight = RowExtent(row);
        size_t next = 0;
        for (int col = FRange.FirstCol; col <= FRange.LastCol; ++col) {
            const int index = StoredAt(cells, rowCells, next, col);
            const bool stored = index >= 0;
            // An empty position's format is the pending cell's, which only this thread may make.
            if (!stored && second)
                return false;
            const int32_t xf = stored ? cells.XFIndexOf(index) : cells.GetCell(row, col)->XFIndex();
            if (xf != lastXF) {
                const TFormatLook* known = xf >= 0 && size_t(xf) < FPageLookByXF.size() ? FPageLookByXF[size_t(xf)] : nullptr;
                if (!known) {
                    const auto found = FPageLooks.find(xf);
                    known = found != FPageLooks.end() ? &found->second : nullptr;
                }
                if (!known && second)
                    return false;
                look = known ? known : &FormatLookOf(xf);
                lastXF = xf;
            }
            TRangeRect area;
            const bool spans = look->Merged && FMergedAreas.Find(row, col, area);
            if (spans && (area.FirstRow != row || area.FirstCol != col))
                continue;
            if (spans && second && !area.Inside(FRange))
                return false; // extents outside the page come from the row and column stores

            long long width = 0, height = 0;
            if (!spans) {
                // The common case, from ready-made pieces.
                width = ColumnExtent(col);
                height = rowHeight;
                TCellTag& tag = cellTags[size_t(col - FRange.FirstCol)];
                if (tag.Look != look || tag.Height != rowHeight) {
                    tag.Look = look;
                    tag.Height = rowHeight;
                    tag.Text = look->CellTag + FColumnTags[size_t(col - FRange.FirstCol)];
                    AppendNumber(tag.Text, rowHeight);
                    tag.Text += '>';
                }
                out += tag.Text;
            } else {
                out += look->CellTag;
                out += " colspan=";
                AppendNumber(out, area.LastCol - area.FirstCol + 1);
                out += " rowspan=";
                AppendNumber(out, area.LastRow - area.FirstRow + 1);
                out += ' ';
                width = ColumnsExtent(area.FirstCol, area.LastCol);
                height = RowsExtent(area.FirstRow, area.LastRow);
                out += " width=";
                AppendNumber(out, width);
                out += " height=";
                AppendNumber(out, height);
                out += '>';
            }

            // The text of a hidden row or column would widen it in the browser.
            const bool hidden = spans ? width == area.LastCol - area.FirstCol + 1 || height == area.LastRow - area.FirstRow + 1
                                      : width == 1 || height == 1;
            if (!hidden) {
                if (!stored) {
                    out += "&nbsp;"; // no text and no link
                } else {
                    const TStoredCell cell = cells.Stored(index);
                    const std::u16string& link = cell.Hyperlink();
                    if (!link.empty()) {
                        out += "<a href=\"";
                        out += PageText(EscapedAttributeText(link), FUtf8);
                        out += "\">";
                    }
                    AppendCellPageText(out, cell, *look, FMemos[second ? 1 : 0]);
                    if (!link.empty())
                        out += "</a>";
                }
            }
            out += "</td>\r\n";
        }
        out += "</tr>\r\n";
    }
    return true;
}

void TXLSWriterHTML::FreeStyleClasses()
{
    FStyleTexts.reset();
    FLookOfXF = {};
    FPageLooks = {};
    FPageLookByXF = {};
    FColumnTags = {};
    FMemos[0] = {};
    FMemos[1] = {};
    FMergedAreas.Clear();
}

int TXLSWriterHTML::ColumnExtent(int col)
{
    if (col >= FRange.FirstCol && col <= FRange.LastCol)
        return FColumnExtents[static_cast<size_t>(col - FRange.FirstCol)];
    return FSheet->Columns().GetColumn(col)->SizePixels() + 1;
}

int TXLSWriterHTML::RowExtent(int row)
{
    if (row >= FRange.FirstRow && row <= FRange.LastRow)
        return FRowExtents[static_cast<size_t>(row - FRange.FirstRow)];
    return FSheet->Rows().GetRow(row)->SizePixels() + 1;
}

long long TXLSWriterHTML::ColumnsExtent(int first, int last)
{
    // A merged area lies inside the page (its cells are stored); the loop
    // serves what might lie outside.
    if (first >= FRange.FirstCol && last <= FRange.LastCol)
        return FColumnSums[size_t(last - FRange.FirstCol + 1)] - FColumnSums[size_t(first - FRange.FirstCol)];
    long long sum = 0;
    for (int c = first; c <= last; ++c)
        sum += ColumnExtent(c);
    return sum;
}

long long TXLSWriterHTML::RowsExtent(int first, int last)
{
    if (first >= FRange.FirstRow && last <= FRange.LastRow)
        return FRowSums[size_t(last - FRange.FirstRow + 1)] - FRowSums[size_t(first - FRange.FirstRow)];
    long long sum = 0;
    for (int r = first; r <= last; ++r)
        sum += RowExtent(r);
    return sum;
}

void TXLSWriterHTML::AppendCellPageText(std::string& piece, const TStoredCell& cell, const TFormatLook& look,
                                        TPageTextMemo& memo) const
{
    const TVariant& value = cell.Value();
    const size_t start = piece.size();
    if (value.IsWide() || value.IsString()) {
        const int64_t slot = cell.TextSlot();
        const std::string* known = slot >= 0 ? memo.Text(static_cast<uint32_t>(slot)) : memo.Text(&value);
        if (known) {
            piece += *known;
            return;
        }
        AppendCellPageText(piece, value, look);
        const std::string_view text = std::string_view(piece).substr(start);
        if (slot >= 0)
            memo.Keep(static_cast<uint32_t>(slot), text);
        else
            memo.Keep(&value, text);
    } else if (value.IsDate()) {
        const uint64_t bits = std::bit_cast<uint64_t>(value.AsDouble());
        if (memo.AppendDate(look.NumberFormat, bits, piece))
            return;
        AppendCellPageText(piece, value, look);
        memo.KeepDate(look.NumberFormat, bits, std::string_view(piece).substr(start));
    } else {
        AppendCellPageText(piece, value, look);
    }
}

void TXLSWriterHTML::AppendCellPageText(std::string& piece, const TVariant& value, const TFormatLook& look) const
{
    if (!value.IsNumeric()) {
        // Escaped before the conversion, which may add character references.
        std::u16string escaped;
        AppendEscapedCellText(escaped, DisplayTextOf(value, std::string(), *FLocale));
        piece += PageText(escaped, FUtf8);
        return;
    }
    // A number's text comes from the formatters as 8-bit text; plain ASCII
    // reads the same in both encodings and needs no trip through UTF-16.
    const std::string text = NumberText(*look.NumberFormat, value, *FLocale, FDate1904);
    if (IsAscii(text)) {
        AppendHTMLCellText(piece, text);
        return;
    }
    std::u16string escaped;
    AppendEscapedCellText(escaped, AnsiToWide(text));
    piece += PageText(escaped, FUtf8);
}

std::string TXLSWriterHTML::HTMLCellText(const std::string& text)
{
    std::string safe;
    AppendHTMLCellText(safe, text);
    return safe;
}

void TXLSWriterHTML::AppendHTMLCellText(std::string& out, const std::string& text)
{
    AppendEscapedCellText(out, text);
}

std::string TXLSWriterHTML::HTMLAttributeText(const std::string& text) { return EscapedAttributeText(text); }

void TXLSWriterHTML::Write(std::string_view piece)
{
    // A block of rows is large already: it goes to the stream without a copy.
    if (piece.size() >= kChunkSize) {
        Flush();
        WriteOut(piece);
        return;
    }
    FBuffer += piece;
    if (FBuffer.size() >= kChunkSize)
        Flush();
}

void TXLSWriterHTML::Flush()
{
    WriteOut(FBuffer);
    FBuffer.clear();
}

void TXLSWriterHTML::WriteOut(std::string_view bytes)
{
    if (bytes.empty())
        return;
    if (bytes.size() > FByteLimit - FBytesWritten)
        throw EPageLimitError();
    FBytesWritten += bytes.size();
    FStream->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!*FStream)
        throw EFileError("Stream write error");
}
