// Handlers of a sheet's row and column properties, merged areas, page setup
// and view settings.
#include "reading/XLSReader.h"

#include <algorithm>

#include "model/Workbook.h"
#include "platform/ScreenMetrics.h"
#include "reading/RecordCursor.h"

void TXLSReader::HandleRow()
{
    if (FOptions.ReadRowInfo) {
        TEasyStream& data = FCursor->Data();
        uint16_t index = 0, height = 0, options = 0, xf = 0;
        data.ReadWord(index);
        data.Skip(4); // first and last column
        data.ReadWord(height);
        data.Skip(4); // reserved
        data.ReadWord(options);
        data.ReadWord(xf);

        TSheet& sheet = CurrentSheet();
        TRow* row = sheet.Rows().GetRow(index);
        // Height in twips in the low 15 bits; bit 15 set: the row has the
        // default height (some writers store the word as 0x8000).
        if (options & 0x20) row->SetHeightPixels(0);
        else if (!(height & 0x8000)) row->SetHeight(height / 20.0);
        for (int level = 0; level < (options & 0x07); ++level) sheet.GroupRows(index, index);
        // GroupRows gets the row again: a row still pending has been replaced
        // by a stored one, and the pending one freed.
        row = sheet.Rows().GetRow(index);
        if (!(options & 0x40)) row->ClearCustomSize();
        if ((options & 0x80) && xf < FWorkbook.XFTable().Count()) row->SetXFIndex(xf);
    }
    FCursor->Consumed = true;
}

void TXLSReader::HandleColInfo()
{
    if (FOptions.ReadColumnInfo) {
        TEasyStream& data = FCursor->Data();
        uint16_t first = 0, last = 0, width = 0, xf = 0, options = 0;
        data.ReadWord(first);
        data.ReadWord(last);
        data.ReadWord(width);
        data.ReadWord(xf);
        data.ReadWord(options);
        last = std::min<uint16_t>(last, 255);

        TSheet& sheet = CurrentSheet();
        for (int index = first; index <= last; ++index) {
            TColumn& column = *sheet.Columns().GetColumn(index);
            if (options & 0x01) column.SetWidthPixels(0);
            else column.SetWidth(FileWidthToChars(width));
            column.SetXFIndex(xf);
        }
        for (int level = 0; level < ((options >> 8) & 0x07); ++level) sheet.GroupColumns(first & 0xFF, last & 0xFF);
    }
    FCursor->Consumed = true;
}

void TXLSReader::HandleMergeCells()
{
    TEasyStream& data = FCursor->Data();
    data.Skip(2); // the count: the body says how many areas there are
    TSheet& sheet = CurrentSheet();
    while (data.Remaining() >= 8) {
        uint16_t firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
        data.ReadWord(firstRow);
        data.ReadWord(lastRow);
        data.ReadWord(firstCol);
        data.ReadWord(lastCol);
        // Columns end at 255, as for COLINFO; an area that ends before it
        // begins merges nothing and is passed over.
        lastCol = std::min<uint16_t>(lastCol, 255);
        if (firstRow > lastRow || firstCol > lastCol)
            continue;
        TRange& range = *sheet.Ranges().Add();
        range.Add(firstRow, lastRow, uint8_t(firstCol), uint8_t(lastCol));
        range.Merge();
    }
    FCursor->Consumed = true;
}

namespace {

// The part of `text` after the first "&" + code, up to the first of the two
// other section codes; false when the code does not occur.
bool HeaderSection(const std::string& text, char code, std::string& section)
{
    const size_t at = text.find(std::string("&") + code);
    if (at == std::string::npos) return false;
    const std::string rest = text.substr(at + 2);
    size_t end = rest.size();
    for (const char* other : {"&L", "&C", "&R"})
        if (other[1] != code) end = std::min(end, rest.find(other));
    section = rest.substr(0, end);
    return true;
}

} // namespace

void TXLSReader::ReadHeaderText(std::string& left, std::string& center, std::string& right)
{
    TEasyStream& data = FCursor->Data();
    FCursor->Consumed = true;
    if (data.Size() == 0) return;
    uint16_t count = 0;
    uint8_t option = 0;
    data.ReadWord(count);
    data.ReadByte(option);
    SplitHeaderText(ReadAnsiText(count, option & 1), left, center, right);
}

void TXLSReader::SplitHeaderText(const std::string& text, std::string& left, std::string& center, std::string& right)
{
    HeaderSection(text, 'L', left);
    HeaderSection(text, 'C', center);
    HeaderSection(text, 'R', right);
}

void TXLSReader::HandleHeader()
{
    TPageSetup& setup = CurrentSheet().PageSetup();
    ReadHeaderText(setup.HeaderLeft, setup.HeaderCenter, setup.HeaderRight);
}

void TXLSReader::HandleFooter()
{
    TPageSetup& setup = CurrentSheet().PageSetup();
    ReadHeaderText(setup.FooterLeft, setup.FooterCenter, setup.FooterRight);
}

void TXLSReader::HandleMargin()
{
    TPageSetup& setup = CurrentSheet().PageSetup();
    double inches = 0;
    FCursor->Data().ReadDouble(inches);
    switch (FCursor->Record().Id) {
    case 0x0026: setup.LeftMargin = inches; break;
    case 0x0027: setup.RightMargin = inches; break;
    case 0x0028: setup.TopMargin = inches; break;
    default: setup.BottomMargin = inches; break;
    }
    FCursor->Consumed = true;
}

uint16_t TXLSReader::ReadOptionWord()
{
    uint16_t word = 0;
    FCursor->Data().ReadWord(word);
    FCursor->Consumed = true;
    return word;
}

std::pair<uint16_t, uint16_t> TXLSReader::ReadTwoWords()
{
    uint16_t first = 0, second = 0;
    FCursor->Data().ReadWord(first);
    FCursor->Data().ReadWord(second);
    FCursor->Consumed = true;
    return {first, second};
}

void TXLSReader::HandlePrintHeaders()
{
    CurrentSheet().PageSetup().PrintHeadings = ReadOptionWord() == 1;
}

void TXLSReader::HandlePrintGridLines()
{
    CurrentSheet().PageSetup().PrintGridLines = ReadOptionWord() == 1;
}

void TXLSReader::HandleHCenter()
{
    CurrentSheet().PageSetup().CenterHorizontally = ReadOptionWord() == 1;
}

void TXLSReader::HandleVCenter()
{
    CurrentSheet().PageSetup().CenterVertically = ReadOptionWord() == 1;
}

void TXLSReader::HandleSetup()
{
    TPageSetup& setup = CurrentSheet().PageSetup();
    TEasyStream& data = FCursor->Data();
    uint16_t paper = 0, scale = 0, startPage = 0, fitWidth = 0, fitHeight = 0, options = 0;
    data.ReadWord(paper);
    data.ReadWord(scale);
    data.ReadWord(startPage);
    data.ReadWord(fitWidth);
    data.ReadWord(fitHeight);
    data.ReadWord(options);
    data.Skip(4); // horizontal and vertical resolution
    double headerMargin = 0, footerMargin = 0;
    data.ReadDouble(headerMargin);
    data.ReadDouble(footerMargin);

    setup.PaperSize = uint8_t(paper);
    setup.Scale = int16_t(scale);
    setup.StartPageNumber = (options & 0x80) ? int16_t(startPage) : int16_t(-1);
    setup.FitWidth = int16_t(fitWidth);
    setup.FitHeight = int16_t(fitHeight);
    setup.OverThenDown = options & 0x01;
    setup.Portrait = options & 0x02;
    setup.BlackAndWhite = options & 0x08;
    setup.DraftQuality = options & 0x10;
    setup.HeaderMargin = headerMargin;
    setup.FooterMargin = footerMargin;
    FCursor->Consumed = true;
}

void TXLSReader::HandleWsBool()
{
    TPageSetup& setup = CurrentSheet().PageSetup();
    const uint16_t options = ReadOptionWord();
    setup.SummaryRowsAbove = !(options & 0x0040);
    setup.SummaryColsLeft = !(options & 0x0080);
    setup.UseScale = !(options & 0x0100); // set: fit to pages
}

void TXLSReader::HandleWindow2()
{
    TSheet& sheet = CurrentSheet();
    const uint16_t options = ReadOptionWord();
    sheet.ShowGridLines = options & 0x0002;
    sheet.ShowHeadings = options & 0x0004;
    sheet.ShowZeros = options & 0x0010;
    sheet.PageBreakPreview = options & 0x0800;
}

void TXLSReader::HandlePane()
{
    TSheet& sheet = CurrentSheet();
    const auto [columns, rows] = ReadTwoWords();
    sheet.FrozenColumns = uint8_t(columns);
    sheet.FrozenRows = rows;
}

void TXLSReader::HandleScl()
{
    TSheet& sheet = CurrentSheet();
    const auto [numerator, denominator] = ReadTwoWords();
    if (denominator != 0) sheet.Zoom = unsigned(numerator) * 100 / denominator;
}
