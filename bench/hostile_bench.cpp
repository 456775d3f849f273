// Small workbooks that ask for much: many sheets, many sheet names, merged
// areas inverted, outside the sheet or laid over each other. Each is written
// by the test fixture writers into QUILLON_BENCH_DIR (default
// /tmp/quillon-hostile, apart from the workbooks that scripts/compare-builds.sh
// converts) under the name the benchmark gives, where it stays for
// whole-process measurements (bench/whole_process.py), and then read.
//
// Counters: file_kib, the size of the workbook; heap_mib, the heap the read
// workbook holds; cells, its stored cells over all sheets.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "reading/XLSFile.h"

namespace {

std::u16string SheetName(int number)
{
    const std::string name = "Sheet" + std::to_string(number);
    return std::u16string(name.begin(), name.end());
}

// `sheets` worksheets, each holding the number of its position in A1.
TWorkbookBuilder ManySheets(int sheets)
{
    TWorkbookBuilder book;
    for (int i = 1; i <= sheets; ++i)
        book.Sheet(SheetName(i)).Number(0, 0, i);
    return book;
}

struct TArea {
    uint16_t FirstRow, LastRow, FirstCol, LastCol;
};

TBiffBody MergeCellsBody(const std::vector<TArea>& areas)
{
    TBiffBody body;
    body.U16(uint16_t(areas.size()));
    for (const TArea& a : areas)
        body.U16(a.FirstRow).U16(a.LastRow).U16(a.FirstCol).U16(a.LastCol);
    return body;
}

// MERGECELLS records of 1,000 areas each that merge nothing: rows or columns
// inverted, or columns right of the sheet, which as low bytes would span whole rows.
TWorkbookBuilder MergesOutsideTheSheet()
{
    TWorkbookBuilder book;
    TSheetBuilder& sheet = book.Sheet(u"S");
    sheet.Number(0, 0, 1);
    std::vector<TArea> areas;
    for (int i = 0; i < 1000; ++i) {
        const auto row = uint16_t(i * 64);
        switch (i % 3) {
        case 0: areas.push_back({uint16_t(row + 63), row, 0, 255}); break;       // rows inverted
        case 1: areas.push_back({row, uint16_t(row + 63), 255, 0}); break;       // columns inverted
        default: areas.push_back({row, uint16_t(row + 63), 256, 511}); break;    // right of the sheet
        }
    }
    sheet.Record(BiffId::MergeCells, MergeCellsBody(areas));
    return book;
}

// Whole-sheet merges laid over each other and over areas inside them.
TWorkbookBuilder OverlappingWholeSheetMerges()
{
    TWorkbookBuilder book;
    TSheetBuilder& sheet = book.Sheet(u"S");
    sheet.Number(0, 0, 1);
    std::vector<TArea> areas;
    for (int i = 0; i < 600; ++i)
        areas.push_back(i % 2 ? TArea {uint16_t(i), uint16_t(65535 - i), uint16_t(i % 128), 255}
                              : TArea {0, 65535, 0, 255});
    sheet.Record(BiffId::MergeCells, MergeCellsBody(areas));
    return book;
}

// The BIFF stream of a workbook that names 65,535 sheets, the most a
// workbook can name, in BOUNDSHEET records, with no substream for any.
std::vector<uint8_t> BoundSheetsOnlyStream()
{
    TBiffWriter stream;
    stream.Bof(0x0005);
    for (int i = 1; i <= 65535; ++i)
        stream.Record(BiffId::BoundSheet, TBiffBody().U32(0).U8(0).U8(0).String8(SheetName(i), false));
    stream.Eof();
    return stream.Bytes();
}

void ReadInput(benchmark::State& state, const std::string& name, const std::vector<uint8_t>& fileBytes)
{
    const char* dir = std::getenv("QUILLON_BENCH_DIR");
    const std::filesystem::path folder = dir ? dir : "/tmp/quillon-hostile";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (name + ".xls")).string();
    WriteWholeFile(path, fileBytes);

    double heap = 0, cells = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        TXLSFile file;
        file.OpenFile(Utf8ToWide(path));
        heap = double(mallinfo2().uordblks - before) / (1024 * 1024);
        TSheets& sheets = file.Workbook().Sheets();
        cells = 0;
        for (int i = 0; i < sheets.Count(); ++i)
            cells += sheets.Items(i)->Cells().Count();
    }
    state.counters["file_kib"] = double(fileBytes.size()) / 1024;
    state.counters["heap_mib"] = heap;
    state.counters["cells"] = cells;
}

void BM_ReadManySheets(benchmark::State& state)
{
    const int sheets = int(state.range(0));
    ReadInput(state, "sheets" + std::to_string(sheets), ManySheets(sheets).FileBytes());
}
BENCHMARK(BM_ReadManySheets)->Arg(5000)->Arg(65535)->Unit(benchmark::kMillisecond);

void BM_ReadBoundSheetsOnly(benchmark::State& state)
{
    ReadInput(state, "boundsheets65535", XlsFileBytes(BoundSheetsOnlyStream()));
}
BENCHMARK(BM_ReadBoundSheetsOnly)->Unit(benchmark::kMillisecond);

void BM_ReadMergesOutsideTheSheet(benchmark::State& state)
{
    ReadInput(state, "merges-outside", MergesOutsideTheSheet().FileBytes());
}
BENCHMARK(BM_ReadMergesOutsideTheSheet)->Unit(benchmark::kMillisecond);

// Every cell of the sheet is merged: the cost of the cell store under a
// whole-sheet merge (some GiB while each merged cell is stored).
void BM_ReadOverlappingWholeSheetMerges(benchmark::State& state)
{
    ReadInput(state, "merges-overlapping", OverlappingWholeSheetMerges().FileBytes());
}
BENCHMARK(BM_ReadOverlappingWholeSheetMerges)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
