// The cell store at a million cells: filling, finding, get-or-create of
// stored cells, probing empty positions, and the heap cost of a stored cell.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

#include "model/Workbook.h"

namespace {

constexpr int kCells = 1000000;

int RowOf(int i) { return i / 256; }
int ColOf(int i) { return i % 256; }

void Fill(TSheet& sheet)
{
    TCells& cells = sheet.Cells();
    for (int i = 0; i < kCells; ++i)
        cells.GetCell(RowOf(i), ColOf(i))->SetValue(TVariant::Double(i));
}

// One filled workbook shared by the lookup benchmarks.
TWorkbook& Filled()
{
    static std::unique_ptr<TWorkbook> wb = [] {
        auto w = std::make_unique<TWorkbook>(1);
        Fill(*w->Sheets().Items(0));
        return w;
    }();
    return *wb;
}

void BM_FillMillionCells(benchmark::State& state)
{
    double bytesPerCell = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto wb = std::make_unique<TWorkbook>(1);
        Fill(*wb->Sheets().Items(0));
        bytesPerCell = double(mallinfo2().uordblks - before) / kCells;
        state.PauseTiming();
        wb.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCells);
    state.counters["heap_bytes_per_cell"] = bytesPerCell;
    state.counters["sizeof_TCell"] = sizeof(TCell);
    state.counters["sizeof_TVariant"] = sizeof(TVariant);
}
BENCHMARK(BM_FillMillionCells)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindEveryCell(benchmark::State& state)
{
    TCells& cells = Filled().Sheets().Items(0)->Cells();
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i)
            benchmark::DoNotOptimize(cells.FindCell(RowOf(i), ColOf(i)));
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_FindEveryCell)->Unit(benchmark::kMillisecond);

void BM_GetEveryStoredCell(benchmark::State& state)
{
    TCells& cells = Filled().Sheets().Items(0)->Cells();
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i)
            benchmark::DoNotOptimize(cells.GetCell(RowOf(i), ColOf(i)));
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_GetEveryStoredCell)->Unit(benchmark::kMillisecond);

// The HTML writer's walk over empty positions: each GetCell renews the pending cell.
void BM_ProbeEmptyPositions(benchmark::State& state)
{
    TCells& cells = Filled().Sheets().Items(0)->Cells();
    const int firstEmptyRow = RowOf(kCells) + 1;
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i)
            benchmark::DoNotOptimize(cells.GetCell(firstEmptyRow + RowOf(i), ColOf(i)));
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_ProbeEmptyPositions)->Unit(benchmark::kMillisecond);

// Probing under a formatted row and a formatted column (both formats are combined per cell).
void BM_ProbeUnderRowAndColumnFormats(benchmark::State& state)
{
    TWorkbook wb(1);
    TSheet& sheet = *wb.Sheets().Items(0);
    for (int r = 0; r < 100; ++r)
        sheet.Rows().GetRow(r)->SetFontBold(true);
    for (int c = 0; c < 256; ++c)
        sheet.Columns().GetColumn(c)->SetFillColorIndex(10);
    for (auto _ : state) {
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < 256; ++c)
                benchmark::DoNotOptimize(sheet.Cells().GetCell(r, c));
    }
    state.SetItemsProcessed(state.iterations() * 100 * 256);
}
BENCHMARK(BM_ProbeUnderRowAndColumnFormats)->Unit(benchmark::kMillisecond);

} // namespace
