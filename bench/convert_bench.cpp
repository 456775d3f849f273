// Converting the benchmark workbook (65,000 rows of 16 columns, written by
// python3-xlwt through ../shared/bench/make_workbook.py) into pages, and its
// two halves: reading the file and writing the page of the read sheet.
//
// The workbook is QUILLON_BENCH_WORKBOOK, else /tmp/bench65k.xls, which is
// made on first use when the script is there.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "html/SaveAsHTML.h"
#include "html/XLSWriterHTML.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "reading/XLSFile.h"

namespace {

std::string WorkbookPath()
{
    if (const char* path = std::getenv("QUILLON_BENCH_WORKBOOK"))
        return path;
    const std::string path = "/tmp/bench65k.xls";
    const char* script = "/work/shared/bench/make_workbook.py";
    if (!std::filesystem::exists(path) && std::filesystem::exists(script))
        std::system((std::string("/usr/bin/python3 ") + script + " 65000 " + path).c_str());
    return path;
}

bool OpenBenchWorkbook(benchmark::State& state, TXLSFile& file)
{
    const std::string path = WorkbookPath();
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("no benchmark workbook");
        return false;
    }
    file.OpenFile(Utf8ToWide(path));
    return true;
}

void BM_ConvertWorkbook(benchmark::State& state)
{
    const std::string out = (std::filesystem::temp_directory_path() / "quillon_bench_page.htm").string();
    for (auto _ : state) {
        TXLSFile file;
        if (!OpenBenchWorkbook(state, file))
            return;
        TSheets& sheets = file.Workbook().Sheets();
        for (int i = 0; i < sheets.Count(); ++i)
            SaveAsHTML(*sheets.Items(i), out);
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_ConvertWorkbook)->Unit(benchmark::kMillisecond);

void BM_ReadWorkbook(benchmark::State& state)
{
    for (auto _ : state) {
        TXLSFile file;
        if (!OpenBenchWorkbook(state, file))
            return;
        benchmark::DoNotOptimize(file.Workbook().Sheets().Count());
    }
}
BENCHMARK(BM_ReadWorkbook)->Unit(benchmark::kMillisecond);

void BM_WritePage(benchmark::State& state)
{
    TXLSFile file;
    if (!OpenBenchWorkbook(state, file))
        return;
    TSheet& sheet = *file.Workbook().Sheets().Items(0);
    TRangeRect range;
    sheet.GetUsedRange(range);
    const std::string out = (std::filesystem::temp_directory_path() / "quillon_bench_page.htm").string();
    for (auto _ : state)
        TXLSWriterHTML(&sheet).SaveToFile(out, range);
    state.counters["cells"] = static_cast<double>(sheet.Cells().Count());
    state.SetBytesProcessed(static_cast<int64_t>(std::filesystem::file_size(out)) * state.iterations());
    std::filesystem::remove(out);
}
BENCHMARK(BM_WritePage)->Unit(benchmark::kMillisecond);

} // namespace
