// Workbooks of Excel 5.0/95 (BIFF5/7 in a "Book" stream) and Excel 2.x-4.0
// (bare BIFF2-4 record streams): the same model as a BIFF8 workbook.
#include <gtest/gtest.h>

#include <stdexcept>

#include "fixtures/BiffWriter.h"
#include "fixtures/CfbWriter.h"
#include "fixtures/OlderBiff.h"
#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "reading/CFile.h"
#include "styles/XLSError.h"

namespace {

const TSheet& FirstSheet(const TXLSFile& file) { return *file.Workbook().Sheets().Items(0); }

const TCell& CellAt(const TXLSFile& file, int row, int col)
{
    const TCell* cell = FirstSheet(file).Cells().FindCell(row, col);
    if (!cell) throw std::runtime_error("no cell");
    return *cell;
}

std::u16string TextOf(const TVariant& value)
{
    return value.IsWide() ? value.AsWide() : AnsiToWide(value.AsString());
}

TXFRecord XFOf(const TXLSFile& file, const TCell& cell) { return file.Workbook().XFTable().Get(cell.XFIndex()); }

std::string FormatOf(const TXLSFile& file, const TCell& cell)
{
    return file.Workbook().FormatStrings().Get(cell.FormatIndex()).Format;
}

class OlderVersions : public testing::TestWithParam<int> {};

} // namespace

TEST_P(OlderVersions, CellsTextsFontsFormatsAndXFs)
{
    const int version = GetParam();
    auto file = OpenXlsBytes(OlderSampleFile({.Version = version}));
    const TWorkbook& book = file->Workbook();
    ASSERT_EQ(book.Sheets().Count(), version == 5 ? 2 : 1);
    // BIFF2-4 files hold one sheet, named after the file.
    EXPECT_EQ(FirstSheet(*file).Name(), version == 5 ? u"Text" : u"book");

    EXPECT_EQ(TextOf(CellAt(*file, 0, 0).Value()), u"Text");
    EXPECT_EQ(CellAt(*file, 0, 1).Value().AsDouble(), 3.5);
    EXPECT_EQ(CellAt(*file, 0, 2).Value().AsDouble(), 100);
    EXPECT_TRUE(CellAt(*file, 0, 3).Value().IsBoolean());
    EXPECT_TRUE(CellAt(*file, 0, 3).Value().AsBoolean());
    EXPECT_EQ(TextOf(CellAt(*file, 0, 4).Value()), u"Text"); // the STRING after the FORMULA
    EXPECT_EQ(CellAt(*file, 0, 6).Value().AsDouble(), 8.5);
    EXPECT_EQ(CellAt(*file, 0, 6).Formula(), "B1+5");
    EXPECT_TRUE(CellAt(*file, 1, 0).Value().IsDate());
    EXPECT_EQ(CellAt(*file, 1, 0).Value().AsDouble(), 46); // serial 45: 1900-02-14
    if (version == 5) {
        EXPECT_EQ(TextOf(CellAt(*file, 2, 0).Value()), u"rich");
    }

    // XF 1: font 5 of the file, which is table entry 4; "0.000"; right.
    const TXFRecord number = XFOf(*file, CellAt(*file, 0, 1));
    EXPECT_EQ(FormatOf(*file, CellAt(*file, 0, 1)), "0.000");
    EXPECT_EQ(number.HAlign, 3);
    EXPECT_EQ(number.Locked, 1);
    const TFontRecord font = book.FontTable().Get(number.FontIndex);
    EXPECT_EQ(number.FontIndex, 4);
    EXPECT_EQ(font.Name(), u"Courier");
    EXPECT_EQ(font.Bold, 1);
    EXPECT_EQ(font.Size, 14);

    // XF 3 on the formatted empty cell: solid red, thin bottom border (BIFF2:
    // no fill, and the border only).
    const TCell& blank = CellAt(*file, 0, 5);
    EXPECT_TRUE(blank.Value().IsEmpty());
    const TXFRecord styled = XFOf(*file, blank);
    EXPECT_EQ(styled.BorderStyle[BorderBottom], 1);
    if (version >= 3) {
        EXPECT_EQ(styled.FillPattern, 1);
        EXPECT_EQ(styled.FillColor, 3); // red
    }
}

INSTANTIATE_TEST_SUITE_P(Biff, OlderVersions, testing::Values(2, 3, 4, 5),
                         [](const testing::TestParamInfo<int>& info) { return "Biff" + std::to_string(info.param); });

TEST(OlderVersions, EightBitTextInTheWorkbooksCodePage)
{
    struct {
        uint16_t CodePage;
        std::string Bytes;
        std::u16string Text;
    } cases[] = {
        {1251, "\xcf\xf0\xe8\xe2\xe5\xf2", u"\u041f\u0440\u0438\u0432\u0435\u0442"}, // Privet
        {932, "\x93\xfa\x96\x7b\x8c\xea", u"\u65e5\u672c\u8a9e"},                   // Shift-JIS: Nihongo
        {1252, "Caf\xe9", u"Caf\u00e9"},
    };
    for (const auto& c : cases) {
        for (int version : {3, 5}) {
            SCOPED_TRACE(testing::Message() << "code page " << c.CodePage << ", BIFF" << version);
            auto file = OpenXlsBytes(OlderSampleFile({.Version = version, .CodePage = c.CodePage, .Text = c.Bytes}));
            const TVariant& label = CellAt(*file, 0, 0).Value();
            EXPECT_EQ(TextOf(label), c.Text);
            // Windows-1252 text stays 8-bit, as in BIFF8 files.
            EXPECT_EQ(label.IsString(), c.CodePage == 1252);
            EXPECT_EQ(TextOf(CellAt(*file, 0, 4).Value()), c.Text);
            if (version == 5) {
                EXPECT_EQ(FirstSheet(*file).Name(), c.Text);
            }
        }
    }
}

TEST(OlderVersions, Biff4WorkbookHasItsSheets)
{
    auto file = OpenXlsBytes(OlderSampleFile({.Version = 4, .Workbook4 = true}));
    const TSheets& sheets = file->Workbook().Sheets();
    ASSERT_EQ(sheets.Count(), 2);
    EXPECT_EQ(sheets.Items(0)->Name(), u"One");
    EXPECT_EQ(sheets.Items(1)->Name(), u"Two");
    EXPECT_EQ(sheets.Items(0)->Cells().FindCell(0, 1)->Value().AsDouble(), 3.5);
    EXPECT_EQ(sheets.Items(1)->Cells().FindCell(0, 0)->Value().AsDouble(), 2);
}

TEST(OlderVersions, WorkbookStreamComesBeforeBookInAnyCase)
{
    TWorkbookBuilder newer;
    newer.Sheet(u"Newer").Number(0, 0, 8);
    const std::vector<uint8_t> older = OlderSampleStream({.Version = 5});
    auto both = OpenXlsBytes(TCfbWriter().AddStream("Book", older).AddStream("Workbook", newer.Stream()).Bytes());
    EXPECT_EQ(FirstSheet(*both).Name(), u"Newer");
    auto book = OpenXlsBytes(XlsFileBytes(older, 512, "BOOK"));
    EXPECT_EQ(FirstSheet(*book).Name(), u"Text");
}

TEST(OlderVersions, WhatIsStillRefusedKeepsItsMessage)
{
    // Neither a compound document nor a BIFF2-4 stream: a BIFF8 BOF alone,
    // and plain text.
    TBiffWriter bare;
    bare.Bof().Eof();
    for (const std::vector<uint8_t>& bytes : {bare.Bytes(), std::vector<uint8_t> {'h', 'e', 'l', 'l', 'o'}}) {
        try {
            OpenXlsBytes(bytes);
            ADD_FAILURE() << "no exception";
        } catch (const ECFileError& e) {
            EXPECT_STREQ(e.what(), "Can not open a docfile");
        }
    }
    // A compound document with neither "Workbook" nor "Book".
    EXPECT_EQ(OpenErrorCode(XlsFileBytes(OlderSampleStream({.Version = 5}), 512, "Books")), 2);
}

TEST(OlderVersions, ObfuscatedFilesAreRefusedWithTheEncryptionMessage)
{
    for (int version : {2, 4, 5}) {
        try {
            OpenXlsBytes(OlderSampleFile({.Version = version, .FilePass = true}));
            ADD_FAILURE() << "no exception for BIFF" << version;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Error: data is protected, and this encryption type not supported.");
        }
    }
}
