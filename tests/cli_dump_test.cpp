// The inspection listing of `quillon --dump`.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "fixtures/RunProgram.h"
#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "styles/XLSFormat.h"

namespace {

// The listing under the neutral locale, so that display texts are the same everywhere.
TProgramResult Dump(const std::string& source)
{
    return RunProgram(QUILLON_BINARY, {"--dump", source}, "", {{"LC_ALL", "C"}});
}

std::vector<uint8_t> Tokens(std::initializer_list<int> bytes) { return {bytes.begin(), bytes.end()}; }

TEST(CliDumpTest, ListsEveryStoredCellOfOurFixture)
{
    TWorkbookBuilder book;
    for (int i = 0; i < 16; ++i)
        book.XF();
    book.XF(TXFSpec{.FormatCode = 22}); // 16: m/d/yy h:mm
    TSheetBuilder& first = book.Sheet(u"Zahlen \u00DC");
    first.Number(1, 27, 0.1)                        // AB2, written before A1
        .Number(0, 0, 12)                           // A1
        .Number(0, 1, 45658.75, 16)                 // B1: 2025-01-01 18:00
        .Label(0, 2, u"tab\there\\ line\r\nend")    // C1
        .BoolErr(0, 3, 1, false)                    // D1
        .BoolErr(0, 4, 7, true)                     // E1: an error value
        .Formula(1, 0, NumberResult(3), Tokens({0x1E, 1, 0, 0x1E, 2, 0, 0x03})) // A2: 1+2
        .Number(2, 0, -1234567.125);                // A3
    book.Sheet(u"Leer");
    book.Sheet(u"Drei").Label(4, 2, u"\u0416", true);
    TScratchDir dir;
    WriteWholeFile(dir.File("book.xls"), book.FileBytes());

    const TProgramResult run = Dump(dir.File("book.xls"));
    TWorkbook workbook;
    const std::string builtIn22 = workbook.FormatStrings().Get(workbook.FormatStrings().PositionOf(22)).Format;
    const std::string dateText = WideToUtf8(DisplayTextOf(TVariant::Date(45658.75), builtIn22, LocaleEnUS()));
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, "# sheet 1: Zahlen \xC3\x9C\n"
                       "A1\tnumber\t12\t12\t\n"
                       "B1\tdate\t2025-01-01T18:00:00\t" + dateText + "\t\n"
                       "C1\tstring\ttab\\there\\\\ line\\r\\nend\ttab\\there\\\\ line\\r\\nend\t\n"
                       "D1\tboolean\tTRUE\tTRUE\t\n"
                       "E1\terror\t#DIV/0!\t#DIV/0!\t\n"
                       "A2\tnumber\t3\t3\t1+2\n"
                       "AB2\tnumber\t0.1\t0.1\t\n"
                       "A3\tnumber\t-1234567.125\t-1234567.125\t\n"
                       "# sheet 2: Leer\n"
                       "# sheet 3: Drei\n"
                       "C5\tstring\t\xD0\x96\t\xD0\x96\t\n");
}

// A merged area stores every cell it covers; the listing shows those that
// hold something, and a blank cell with a format of its own outside a merge.
TEST(CliDumpTest, MergedCellsThatHoldNothingAreLeftOut)
{
    TWorkbookBuilder book;
    for (int i = 0; i < 16; ++i)
        book.XF();
    book.XF({.FillPattern = 1}); // 16
    TSheetBuilder& sheet = book.Sheet(u"S");
    sheet.Label(0, 0, u"top")
        .Number(2, 2, 5) // inside the area, not its first cell
        .Blank(5, 5, 16)
        .Record(BiffId::MergeCells, TBiffBody().U16(2).U16(0).U16(2).U16(0).U16(2).U16(4).U16(4).U16(0).U16(255));
    TScratchDir dir;
    WriteWholeFile(dir.File("merged.xls"), book.FileBytes());
    const TProgramResult run = Dump(dir.File("merged.xls"));
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "# sheet 1: S\n"
                       "A1\tstring\ttop\ttop\t\n"
                       "C3\tnumber\t5\t5\t\n"
                       "F6\tempty\t\t\t\n");
}

TEST(CliDumpTest, FailuresGoToStandardError)
{
    TScratchDir dir;
    const TProgramResult run = Dump(dir.File("missing.xls"));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_FALSE(run.Err.empty());
}

// A workbook written by Debian's python3-xlwt, an independent writer: the
// listing shows its formulas as xlwt stored them.
TEST(CliDumpTest, WorkbookWrittenByXlwt)
{
    const char* python = "/usr/bin/python3";
    if (!std::filesystem::exists(python) || std::system("/usr/bin/python3 -c 'import xlwt' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3-xlwt is not installed";
    TScratchDir dir;
    const std::string script = dir.File("write.py"), book = dir.File("xlwt.xls");
    WriteWholeFile(script, std::string(R"(import sys, xlwt
wb = xlwt.Workbook()
ws = wb.add_sheet('Daten')
other = wb.add_sheet('Other')
ws.write(0, 0, 2)
ws.write(1, 0, 3.5)
ws.write(2, 0, 'Text')
ws.write(0, 1, xlwt.Formula('A1+A2*2'))
ws.write(1, 1, xlwt.Formula('SUM(A1:A2)'))
ws.write(2, 1, xlwt.Formula('IF(A1>1,"big","small")'))
ws.write(3, 1, xlwt.Formula('$A$1-Other!B2'))
other.write(1, 1, 10)
wb.save(sys.argv[1])
)"));
    ASSERT_EQ(std::system(("/usr/bin/python3 " + script + " " + book).c_str()), 0);

    const TProgramResult run = Dump(book);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string& out = run.Out;
    EXPECT_EQ(out.find("# sheet 1: Daten\n"), 0u) << out;
    EXPECT_NE(out.find("A1\tnumber\t2\t2\t\n"), std::string::npos) << out;
    EXPECT_NE(out.find("A2\tnumber\t3.5\t3.5\t\n"), std::string::npos) << out;
    EXPECT_NE(out.find("A3\tstring\tText\tText\t\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\tA1+A2*2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\tSUM(A1:A2)\n"), std::string::npos) << out;
    // Arguments joined by ";", sheet names always quoted: the decoder's text form.
    EXPECT_NE(out.find("\tIF(A1>1;\"big\";\"small\")\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\t$A$1-'Other'!B2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("# sheet 2: Other\nB2\tnumber\t10\t10\t\n"), std::string::npos) << out;
}

} // namespace
