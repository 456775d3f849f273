// Damaged and hostile record streams end in a workbook or in one of the
// library's errors, never in anything else.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "fixtures/BiffEncrypt.h"
#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "reading/CFile.h"
#include "styles/XLSError.h"

namespace {

// A small workbook that uses most record handlers.
std::vector<uint8_t> SeedStream()
{
    TWorkbookBuilder book;
    book.Font().Font({.Weight = 700}).Format(164, u"0.000").XF().XF({.Font = 1, .FormatCode = 164}).XF({.FormatCode = 14});
    book.SharedStrings({u"one", u"two", u"\u0416"});
    book.Record(BiffId::ExternSheet, TBiffBody().U16(1).U16(0).U16(0).U16(0));
    book.Record(BiffId::Name, NameBody(0x0020, u"\x06", Area3dToken(0, 0, 9, 0, 3)));
    TSheetBuilder& sheet = book.Sheet(u"Data");
    for (uint16_t row = 0; row < 8; ++row) {
        sheet.Number(row, 0, row * 1.25, 1).LabelSst(row, 1, row % 3).MulRk(row, 3, {{0, 2}, {1, 6}});
        sheet.Label(row, 5, u"label").MulBlank(row, 7, {1, 2});
        sheet.Formula(row, 9, SpecialResult(0), {0x1E, 1, 0, 0x1E, 2, 0, 0x03}).String(u"three");
    }
    sheet.Record(BiffId::MergeCells, TBiffBody().U16(1).U16(0).U16(1).U16(0).U16(2));
    sheet.Record(BiffId::Header, TBiffBody().String16(u"&LLeft&CMid", false));
    sheet.Record(BiffId::ColInfo, TBiffBody().U16(0).U16(3).U16(2560).U16(1).U16(0x0200).U16(0));
    return book.Stream();
}

// "ok" or "library error"; anything else escapes and fails the test.
std::string Outcome(const std::vector<uint8_t>& stream)
{
    try {
        OpenXlsStream(stream);
        return "ok";
    } catch (const EXLSError&) {
    } catch (const ECFileError&) {
    } catch (const ERangeError&) {
    } catch (const std::runtime_error&) { // the reader's plain messages
    }
    return "library error";
}

} // namespace

TEST(ReaderHostile, SharedStringCutShortLeavesTheNextRecordToTheLoop)
{
    // Counts, a character count, a run count and an extended-data size far
    // beyond the body: the string ends where the SST does, and the BOUNDSHEET
    // after it is neither skipped as formatting runs nor lost.
    TWorkbookBuilder book;
    book.Record(BiffId::Sst, TBiffBody().U32(0xFFFFFFFF).U32(0xFFFFFFFF).U16(0xFFFF).U8(0x0D).U16(0xFFFF).U32(0xFFFFFFFF));
    book.Sheet(u"S").LabelSst(0, 0, 0);
    auto file = OpenXlsBytes(book.FileBytes());
    EXPECT_EQ(file->Workbook().Sheets().Items(0)->Cells().FindCell(0, 0)->Value(), TVariant::String(""));
}

TEST(ReaderHostile, MutatedStreamsEndInAWorkbookOrALibraryError)
{
    const std::vector<uint8_t> seeds[] = {SeedStream(), EncryptWorkbookStream(SeedStream())};
    std::mt19937 random(20261210);
    int opened = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> stream = seeds[round % 2];
        for (int change = 0, changes = 1 + int(random() % 6); change < changes && !stream.empty(); ++change) {
            const size_t at = random() % stream.size();
            switch (random() % 3) {
            case 0: stream[at] = uint8_t(random()); break;
            case 1: stream[at] = 0xFF; break; // large lengths, counts and indexes
            default: stream.resize(at); break;
            }
        }
        opened += Outcome(stream) == "ok";
    }
    EXPECT_GT(opened, 0);
}
