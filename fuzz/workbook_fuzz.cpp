// The whole road of one conversion: the input as a workbook file, read with
// the default switches, then every sheet's page written to a scratch stream.
// A damaged file may end the read with one of the library's exceptions; the
// pages of what was read are written all the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "html/XLSWriterHTML.h"
#include "model/Workbook.h"
#include "platform/LittleEndian.h"
#include "reading/CFile.h"
#include "reading/XLSFile.h"
#include "styles/XLSError.h"

namespace {

// Merged areas are the one place where a small file makes a large model (a
// whole-sheet merge stores 16,777,216 cells); the hostile-merge tests cover
// them. A fuzz run, under its sanitizers and memory limit, passes over inputs
// that merge more cells than this in all.
constexpr uint64_t kMergeBudget = 1u << 16;
// Pages of used ranges above this many positions are not written, for the
// same reason.
constexpr uint64_t kPageBudget = 1u << 16;

// The cells the MERGECELLS records of the "Workbook" stream would merge,
// walking the record headers as the reader does; an encrypted MERGECELLS
// counts as over the budget.
uint64_t MergedCells(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> stream;
    try {
        TCFile file(std::vector<uint8_t>(data, data + size));
        auto* source = dynamic_cast<TCFileStream*>(file.Root->FindItem("Workbook"));
        if (!source) return 0;
        stream.resize(source->Size());
        stream.resize(source->Read(stream.data(), uint32_t(stream.size())));
    } catch (const ECFileError&) {
        return 0;
    }
    uint64_t cells = 0;
    bool encrypted = false;
    for (size_t pos = 0; pos + 4 <= stream.size();) {
        const uint16_t id = ReadU16(stream, pos), length = ReadU16(stream, pos + 2);
        if (id == 0) break;
        const size_t body = pos + 4, end = std::min(stream.size(), body + length);
        if (id == 0x002F) encrypted = true;
        if (id == 0x00E5) {
            if (encrypted) return kMergeBudget + 1;
            for (size_t p = body + 2; p + 8 <= end; p += 8) {
                const int rows = ReadU16(stream, p + 2) - ReadU16(stream, p) + 1;
                const int cols = (ReadU16(stream, p + 6) & 0xFF) - (ReadU16(stream, p + 4) & 0xFF) + 1;
                if (rows > 0 && cols > 0) cells += uint64_t(rows) * uint64_t(cols);
            }
        }
        pos = body + length;
    }
    return cells;
}

// Counts the bytes of a page and keeps none.
class TNullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

const std::string& ScratchFile()
{
    static const std::string path = [] {
        char dir[] = "/tmp/quillon-fuzz-XXXXXX";
        if (!mkdtemp(dir)) std::abort();
        return std::string(dir) + "/input.xls";
    }();
    return path;
}

std::u16string Wide(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

void WritePages(TWorkbook& workbook)
{
    TNullBuffer buffer;
    std::ostream page(&buffer);
    for (int i = 0; i < workbook.Sheets().Count(); ++i) {
        TSheet& sheet = *workbook.Sheets().Items(i);
        TRangeRect range;
        if (!sheet.GetUsedRange(range)) continue;
        const uint64_t positions = uint64_t(range.LastRow - range.FirstRow + 1) * (range.LastCol - range.FirstCol + 1);
        if (positions > kPageBudget) continue;
        for (bool utf8 : {false, true}) {
            TXLSWriterHTML writer(&sheet, utf8);
            writer.SaveToStream(page, range);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (MergedCells(data, size) > kMergeBudget) return -1; // not added to the corpus
    {
        std::ofstream file(ScratchFile(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!file) std::abort();
    }
    TXLSFile xls;
    try {
        xls.OpenFile(Wide(ScratchFile()));
    } catch (const std::runtime_error&) { // EXLSError, ECFileError, plain reader messages
    } catch (const ERangeError&) {
    }
    try {
        WritePages(xls.Workbook());
    } catch (const std::runtime_error&) { // EXLSError, EConvertError from a cell's display text
    } catch (const ERangeError&) {
    }
    return 0;
}
