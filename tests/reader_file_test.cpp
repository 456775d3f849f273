// The file facade: opening, the "Workbook" stream lookup, clearing, the
// switches' defaults and the progress callback.
#include <gtest/gtest.h>

#include <functional>

#include "fixtures/CfbWriter.h"
#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "reading/CFile.h"
#include "styles/XLSError.h"

namespace {

std::vector<uint8_t> OneSheetStream(const std::u16string& name)
{
    TWorkbookBuilder book;
    book.Sheet(name).Number(0, 0, 1.5);
    return book.Stream();
}

std::vector<std::u16string> SheetNames(const TWorkbook& workbook)
{
    std::vector<std::u16string> names;
    for (int i = 0; i < workbook.Sheets().Count(); ++i) names.push_back(workbook.Sheets().Items(i)->Name());
    return names;
}

} // namespace

TEST(ReaderFile, NewFacadeHasOneSheetAndTheDefaultSwitches)
{
    TXLSFile file;
    EXPECT_EQ(file.Workbook().Sheets().Count(), 1);
    EXPECT_FALSE(file.Loaded());
    EXPECT_FALSE(file.OnProgress);
    EXPECT_TRUE(file.ReadOptions.ReadBlankCells);
    EXPECT_TRUE(file.ReadOptions.ReadRowInfo);
    EXPECT_TRUE(file.ReadOptions.ReadColumnInfo);
    EXPECT_TRUE(file.ReadOptions.ReadFormulas);
    EXPECT_FALSE(file.ReadOptions.StrictFormulas);
}

TEST(ReaderFile, MissingFileFailsToOpenAndClearsTheWorkbook)
{
    TScratchDir dir;
    TXLSFile file;
    try {
        file.OpenFile(Utf8ToWide(dir.File("absent.xls")));
        FAIL() << "no exception";
    } catch (const ECFileError& e) {
        EXPECT_EQ(e.ErrorCode(), 3);
        EXPECT_STREQ(e.what(), "Can not open a docfile");
    }
    EXPECT_FALSE(file.Loaded());
    EXPECT_EQ(file.Workbook().Sheets().Count(), 0);
}

TEST(ReaderFile, StreamNameInOtherLetterCaseIsRead)
{
    auto file = OpenXlsBytes(XlsFileBytes(OneSheetStream(u"Data"), 512, "wORKBOOK"));
    EXPECT_TRUE(file->Loaded());
    ASSERT_EQ(file->Workbook().Sheets().Count(), 1);
    EXPECT_EQ(file->Workbook().Sheets().Items(0)->Cells().FindCell(0, 0)->Value().AsDouble(), 1.5);
}

// Damage that other writers leave beside the workbook stream does not stop
// the read; damage to the workbook stream itself still does.
TEST(ReaderFile, DamageBesideTheWorkbookStreamDoesNotStopTheRead)
{
    const std::string summary = "\x05SummaryInformation";
    TWorkbookBuilder book;
    TSheetBuilder& data = book.Sheet(u"Data");
    for (int row = 0; row < 300; ++row) data.Number(uint16_t(row), 0, row); // a big stream
    auto build = [&] {
        return TCfbWriter().AddStream("Workbook", book.Stream()).AddStream(summary, std::vector<uint8_t>(5000, 7)).Build();
    };
    struct TCase {
        const char* Name;
        std::function<void(TCfbImage&)> Damage;
        int Code; // the ECFileError of the read, -1 when it reads
    };
    const TCase cases[] = {
        {"summary chain broken", [&](TCfbImage& i) { i.SetFatEntry(i.StartSector(summary), 0xFFFFFFFE); }, -1},
        {"summary size impossible", [&](TCfbImage& i) { i.SetU32(i.DirEntryOffset(summary) + 120, 0xFFFFFFF0); }, -1},
        {"last sector not padded", [](TCfbImage& i) { i.Bytes.resize(i.Bytes.size() - (512 - 5000 % 512)); }, -1},
        {"mini FAT count with no mini FAT", [](TCfbImage& i) { i.SetU32(64, 4); i.SetU32(60, 0xFFFFFFFE); }, -1},
        {"workbook chain broken", [](TCfbImage& i) { i.SetFatEntry(i.StartSector("Workbook") + 1, 0xFFFFFFFE); }, 4},
        {"workbook size impossible", [](TCfbImage& i) { i.SetU32(i.DirEntryOffset("Workbook") + 120, 0x7FFFFFFF); }, 4},
    };
    ASSERT_GE(book.Stream().size(), 4096u);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TCfbImage image = build();
        c.Damage(image);
        if (c.Code >= 0) {
            try {
                OpenXlsBytes(image.Bytes);
                ADD_FAILURE() << "read";
            } catch (const ECFileError& e) {
                EXPECT_EQ(e.ErrorCode(), c.Code);
            }
            continue;
        }
        std::unique_ptr<TXLSFile> file;
        ASSERT_NO_THROW(file = OpenXlsBytes(image.Bytes));
        const TSheet& sheet = *file->Workbook().Sheets().Items(0);
        EXPECT_EQ(sheet.Cells().Count(), 300);
        EXPECT_EQ(sheet.Cells().FindCell(299, 0)->Value().AsDouble(), 299);
    }
}

TEST(ReaderFile, WorkbookStreamOnlyInsideAStorageIsNotFound)
{
    const std::vector<uint8_t> bytes =
        TCfbWriter().AddStream("Inner/Workbook", OneSheetStream(u"Data")).AddStream("Sheet", OneSheetStream(u"Old")).Bytes();
    try {
        OpenXlsBytes(bytes);
        FAIL() << "no exception";
    } catch (const EXLSError& e) {
        EXPECT_EQ(e.ErrorCode(), 2);
        EXPECT_STREQ(e.what(), "Stream not found: Workbook. File format is not Excel 97 or higher.");
    }
}

TEST(ReaderFile, StorageNamedWorkbookIsNotAStream)
{
    const std::vector<uint8_t> bytes = TCfbWriter().AddStorage("Workbook").Bytes();
    EXPECT_THROW(OpenXlsBytes(bytes), EXLSError);
}

TEST(ReaderFile, SecondOpenReplacesTheFirstAndAFailedOneLeavesItCleared)
{
    TScratchDir dir;
    WriteWholeFile(dir.File("a.xls"), XlsFileBytes(OneSheetStream(u"First")));
    WriteWholeFile(dir.File("b.xls"), XlsFileBytes(OneSheetStream(u"Second")));
    WriteWholeFile(dir.File("bad.xls"), std::string("not a compound document"));

    TXLSFile file;
    file.OpenFile(Utf8ToWide(dir.File("a.xls")));
    file.OpenFile(Utf8ToWide(dir.File("b.xls")));
    EXPECT_EQ(SheetNames(file.Workbook()), std::vector<std::u16string>{u"Second"});

    EXPECT_THROW(file.OpenFile(Utf8ToWide(dir.File("bad.xls"))), ECFileError);
    EXPECT_EQ(file.Workbook().Sheets().Count(), 0);
    EXPECT_TRUE(file.Loaded()); // never reset
}

TEST(ReaderFile, EmptyWorkbookStreamGivesAnEmptyWorkbook)
{
    auto file = OpenXlsStream({});
    EXPECT_TRUE(file->Loaded());
    EXPECT_EQ(file->Workbook().Sheets().Count(), 0);
}

TEST(ReaderFile, ProgressRisesToOneOverAStreamOfWholeBlocks)
{
    TBiffWriter writer;
    writer.Bof();
    for (int i = 0; i < 600; ++i) writer.Record(0x0042, TBiffBody().U16(1252)); // CODEPAGE, passed over
    writer.Eof().PadTo(1024);
    ASSERT_EQ(writer.Size() % 1024, 0u);

    TScratchDir dir;
    WriteXlsFile(dir.File("p.xls"), writer.Bytes());
    TXLSFile file;
    std::vector<double> seen;
    file.OnProgress = [&](double f) { seen.push_back(f); };
    file.OpenFile(Utf8ToWide(dir.File("p.xls")));
    ASSERT_GE(seen.size(), 602u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1.0);
}

TEST(ReaderFile, ARecordLeftUnconsumedTwiceIsRefused)
{
    // An SST at the very end whose look-ahead finds nothing ends the loop
    // cleanly instead: the end of the records is remembered.
    TBiffWriter writer;
    writer.Bof().Record(BiffId::Sst, TBiffBody().U32(1).U32(1).U16(5).U8(0).Chars(u"ab", false));
    auto file = OpenXlsStream(writer.Bytes());
    EXPECT_TRUE(file->Loaded());
}
