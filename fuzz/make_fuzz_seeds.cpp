// Writes the seed corpora of the fuzz targets from our own fixture writers:
// make_fuzz_seeds <corpus dir> [sample.xls] fills <dir>/cfile_fuzz,
// <dir>/workbook_fuzz and <dir>/formula_fuzz.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "fixtures/BiffEncrypt.h"
#include "fixtures/CfbWriter.h"
#include "fixtures/OlderBiff.h"
#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"

namespace fs = std::filesystem;

namespace {

struct TSeedDir {
    fs::path Dir;
    int Count = 0;
    explicit TSeedDir(const fs::path& dir) : Dir(dir) { fs::create_directories(dir); }
    void Add(const std::vector<uint8_t>& bytes)
    {
        char name[32];
        std::snprintf(name, sizeof name, "seed-%03d", Count++);
        WriteWholeFile((Dir / name).string(), bytes);
    }
    void Add(const std::string& bytes) { Add(std::vector<uint8_t>(bytes.begin(), bytes.end())); }
};

std::string U16(unsigned v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string Byte(unsigned v) { return std::string(1, char(v)); }
std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A workbook with a record of every kind the reader handles.
TWorkbookBuilder FullWorkbook()
{
    TWorkbookBuilder book;
    for (int i = 0; i < 5; ++i) book.Font();
    book.Font({240, 2, 10, 700, u"Times New Roman"});
    book.Format(164, u"0.00%;[Red]-0.00%");
    book.Format(165, u"dd/mm/yyyy hh:mm");
    book.XF();
    book.XF({5, 164, true, 2, true, 1, 1, {1, 2, 3, 4}, 1, 10, 11});
    book.XF({0, 165});
    book.XF({0, 14, false, 3, false, 0, 0, {}, 2, 12, 13});
    book.SharedStrings({u"alpha", u"\u0416\u0417 wide", u"", std::u16string(300, u'x')});
    book.Record(BiffId::ExternSheet, TBiffBody().U16(2).U16(0).U16(0).U16(0).U16(0).U16(1).U16(1));
    book.Record(BiffId::Name, NameBody(0x0020, u"\x06", Area3dToken(0, 0, 9, 0, 3)));
    book.Record(BiffId::Name, NameBody(0, u"Total", Ref3dToken(1, 4, 2)));
    TSheetBuilder& one = book.Sheet(u"Data");
    one.Number(0, 0, 3.25, 1)
        .Rk(0, 1, 0x3FF00001)
        .MulRk(1, 0, {{0, 0x192}, {2, 0x3FF00000}, {3, 0xFFFFFFFE}})
        .Label(2, 0, u"plain <b>")
        .Label(2, 1, u"\u20AC wide", true)
        .LabelSst(3, 0, 0)
        .LabelSst(3, 1, 1, 2)
        .BoolErr(4, 0, 1, false)
        .BoolErr(4, 1, 7, true)
        .Blank(5, 0, 1)
        .MulBlank(5, 1, {1, 3, 0})
        .Formula(6, 0, NumberResult(4), {0x1E, 2, 0, 0x1E, 2, 0, 0x03})
        .Formula(6, 1, SpecialResult(0), {0x17, 2, 0, 'h', 'i'})
        .String(u"hi")
        .Formula(6, 2, SpecialResult(1, 1), {0x1D, 1})
        .Formula(7, 0, NumberResult(1), {0x01, 6, 0, 0, 0}, 0, 0x0008)
        .Record(BiffId::ShrFmla, TBiffBody().U16(7).U16(8).U8(0).U8(1).U8(0).U8(2).U16(5).Bytes(
                                      std::vector<uint8_t> {0x44, 0, 0, 0, 0xC0}))
        .Formula(8, 0, NumberResult(2), {0x01, 6, 0, 0, 0}, 0, 0x0008)
        .Record(BiffId::Row, TBiffBody().U16(9).U16(0).U16(4).U16(600).U16(0).U16(0).U16(0x00C2).U16(1))
        .Record(BiffId::ColInfo, TBiffBody().U16(2).U16(4).U16(4000).U16(1).U16(0x0100).U16(0))
        .Record(BiffId::MergeCells, TBiffBody().U16(2).U16(10).U16(11).U16(1).U16(3).U16(12).U16(12).U16(0).U16(4))
        .Record(BiffId::Header, TBiffBody().String16(u"&LLeft&CPage &P&RRight", false))
        .Record(BiffId::Footer, TBiffBody().String16(u"&C\u00A9 wide", true))
        .Record(BiffId::Setup, TBiffBody().U16(9).U16(80).U16(1).U16(1).U16(1).U16(0x0082).Zeros(4).Double(0.5).Double(0.5).U16(1))
        .Record(0x0026, TBiffBody().Double(0.75))
        .Record(BiffId::Window2, TBiffBody().U16(0x06B6).Zeros(16))
        .Record(BiffId::Scl, TBiffBody().U16(3).U16(4))
        .Record(0x0041, TBiffBody().U16(1).U16(2).Zeros(6));
    TSheetBuilder& two = book.Sheet(u"Second sheet");
    two.Number(0, 0, 45, 3).Number(65535, 255, 1).Label(100, 100, u"far");
    book.Sheet(u"Chart").Kind = 2;
    return book;
}

// Workbooks that ask for much from little: many sheets (with and without
// substreams), merged areas inverted, right of the sheet or over each
// other, and number formats of the 255 characters BIFF8 allows.
std::vector<std::vector<uint8_t>> DemandingStreams()
{
    std::vector<std::vector<uint8_t>> streams;
    auto name = [](const char* prefix, int i) {
        const std::string text = prefix + std::to_string(i);
        return std::u16string(text.begin(), text.end());
    };
    TWorkbookBuilder sheets;
    for (int i = 0; i < 300; ++i) sheets.Sheet(name("S", i)).Number(0, 0, i);
    streams.push_back(sheets.Stream());

    TBiffWriter names;
    names.Bof(0x0005);
    for (int i = 0; i < 1000; ++i)
        names.Record(BiffId::BoundSheet, TBiffBody().U32(0).U8(0).U8(0).String8(name("Name", i), false));
    names.Eof();
    streams.push_back(names.Bytes());

    TWorkbookBuilder merges;
    TBiffBody areas;
    const uint16_t rects[][4] = {{5, 2, 0, 1}, {0, 1, 3, 2}, {0, 65535, 256, 511}, {3, 4, 250, 300},
                                 {6, 6, 0, 0xFFFF}, {0, 9, 0, 9}, {2, 7, 2, 7}, {0, 9, 0, 9}, {8, 12, 8, 12}};
    areas.U16(uint16_t(std::size(rects)));
    for (const auto& r : rects) areas.U16(r[0]).U16(r[1]).U16(r[2]).U16(r[3]);
    merges.Sheet(u"M").Label(0, 0, u"merged").Number(2, 2, 1).Record(BiffId::MergeCells, areas);
    streams.push_back(merges.Stream());

    TWorkbookBuilder formats;
    formats.Format(164, std::u16string(255, u'0'));
    formats.Format(165, u"#,##0.00" + std::u16string(247, u'#'));
    formats.Format(166, u"dd.mm.yyyy hh:mm:ss " + std::u16string(235, u'y'), true);
    formats.XF().XF({0, 164}).XF({0, 165}).XF({0, 166});
    formats.Sheet(u"F").Number(0, 0, 1234.5, 1).Number(0, 1, -0.25, 2).Number(0, 2, 39448.5, 3).Number(1, 0, 7);
    streams.push_back(formats.Stream());
    return streams;
}

void WorkbookSeeds(TSeedDir& dir, const fs::path& sample)
{
    for (const std::vector<uint8_t>& stream : DemandingStreams()) dir.Add(XlsFileBytes(stream));
    const std::vector<uint8_t> full = FullWorkbook().Stream();
    dir.Add(XlsFileBytes(full));
    dir.Add(XlsFileBytes(full, 4096));
    dir.Add(XlsFileBytes(EncryptWorkbookStream(full)));

    TWorkbookBuilder small;
    small.Sheet(u"Sheet1").Number(0, 0, 12).Label(0, 1, u"a<b");
    dir.Add(small.FileBytes());

    // A shared string table split over CONTINUE records, narrow then wide.
    TWorkbookBuilder split;
    TBiffBody sst;
    sst.U32(3).U32(3).U16(6).U8(0).Chars(u"abc", false).ContinueString(true).Chars(u"\u0416ef", true);
    sst.U16(2).U8(0x08).U16(1).Chars(u"xy", false).Continue().U32(0x00010002);
    sst.U16(1).U8(0x04).U32(3).Chars(u"z", false).Zeros(3);
    split.Record(BiffId::Sst, sst);
    split.Sheet(u"S").LabelSst(0, 0, 0).LabelSst(0, 1, 1).LabelSst(0, 2, 2);
    dir.Add(split.FileBytes());

    // A formula string result continued in a CONTINUE record.
    TWorkbookBuilder str;
    TBiffBody body;
    body.U16(4).U8(0).Chars(u"ab", false).ContinueString(true).Chars(u"cd", true);
    str.Sheet(u"S").Formula(0, 0, SpecialResult(0)).Record(BiffId::String, body);
    dir.Add(str.FileBytes());

    // Damaged: cut short, past EOF, empty stream.
    dir.Add(XlsFileBytes(std::vector<uint8_t>(full.begin(), full.begin() + full.size() / 2)));
    TBiffWriter tail;
    tail.Record(BiffId::Number, TBiffBody().U16(0).U16(0).U16(0).Double(1).Joined());
    dir.Add(XlsFileBytes(Concat(small.Stream(), tail.Bytes())));
    dir.Add(XlsFileBytes({}));

    // Excel 2.x-95: each version, East Asian and Cyrillic text, a BIFF4
    // workbook, and a cut-short bare stream.
    for (int version : {2, 3, 4, 5}) dir.Add(OlderSampleFile({.Version = version}));
    dir.Add(OlderSampleFile({.Version = 5, .CodePage = 932, .Text = "\x93\xfa\x96\x7b"}));
    dir.Add(OlderSampleFile({.Version = 3, .CodePage = 1251, .Text = "\xcf\xf0\xe8"}));
    dir.Add(OlderSampleFile({.Version = 4, .Workbook4 = true}));
    const std::vector<uint8_t> bare = OlderSampleFile({.Version = 2});
    dir.Add(std::vector<uint8_t>(bare.begin(), bare.begin() + long(bare.size() / 2)));

    if (!sample.empty() && fs::exists(sample)) dir.Add(ReadWholeFile(sample.string()));
}

void CfileSeeds(TSeedDir& dir, const fs::path& sample)
{
    dir.Add(TCfbWriter().AddStream("Workbook", std::string("tiny")).Bytes());
    dir.Add(TCfbWriter()
                .AddStream("Workbook", std::vector<uint8_t>(5000, 0x41))
                .AddStream("\x05SummaryInformation", std::vector<uint8_t>(200, 1))
                .AddStream("Ole/Inner", std::string("nested"))
                .AddStorage("Empty")
                .Bytes());
    dir.Add(TCfbWriter(4096).AddStream("Workbook", std::vector<uint8_t>(9000, 7)).AddStream("a", std::string("b")).Bytes());
    TCfbWriter many;
    for (int i = 0; i < 40; ++i) many.AddStream("s" + std::to_string(i), std::string(size_t(i) * 37, char(i)));
    dir.Add(many.Bytes());
    dir.Add(XlsFileBytes(FullWorkbook().Stream()));
    for (const std::vector<uint8_t>& stream : DemandingStreams()) dir.Add(XlsFileBytes(stream, 4096));
    dir.Add(OlderSampleFile({.Version = 5}));
    dir.Add(OlderSampleFile({.Version = 4})); // no compound document: read as one whole stream
    if (!sample.empty() && fs::exists(sample)) dir.Add(ReadWholeFile(sample.string()));
}

// Formula inputs: EXTERNSHEET count and BIFF version, entries, option word,
// row, column, SHRFMLA body length and body, then the tokens (see
// formula_fuzz.cpp).
std::string FormulaInput(const std::string& tokens, uint16_t options = 0, const std::string& shared = "",
                         int version = 8)
{
    std::string input = Byte(2 | (version < 8 ? version << 2 : 0)) + U16(0) + U16(0) + U16(0) + U16(0) + U16(2) + U16(2);
    input += U16(options) + U16(3) + Byte(2) + U16(unsigned(shared.size())) + shared;
    return input + tokens;
}

void FormulaSeeds(TSeedDir& dir)
{
    const std::string ref = Byte(0x44) + U16(1) + U16(0xC001);       // relative B2
    const std::string area = Byte(0x25) + U16(0) + U16(9) + U16(0) + U16(3);
    const std::string ref3d = Byte(0x3A) + U16(1) + U16(4) + U16(2);
    const std::string area3d = Byte(0x3B) + U16(0) + U16(0) + U16(5) + U16(0) + U16(1);
    std::string num(9, '\0');
    num[0] = 0x1F;
    const double pi = 3.14159;
    std::memcpy(&num[1], &pi, 8);
    dir.Add(FormulaInput(Byte(0x1E) + U16(1) + Byte(0x1E) + U16(2) + Byte(0x03)));
    dir.Add(FormulaInput(area + Byte(0x19) + Byte(0x10) + U16(0)));               // SUM(A1:D10)
    dir.Add(FormulaInput(ref + num + Byte(0x05) + Byte(0x15)));                  // (B2*3.14159)
    dir.Add(FormulaInput(Byte(0x17) + Byte(3) + Byte(0) + "a\"b" + Byte(0x17) + Byte(1) + Byte(1) + U16(0x416) + Byte(0x08)));
    dir.Add(FormulaInput(ref3d + area3d + Byte(0x22) + Byte(2) + U16(4)));       // SUM(sheet refs)
    dir.Add(FormulaInput(Byte(0x1D) + Byte(1) + Byte(0x21) + U16(19) + Byte(0x0B)));
    dir.Add(FormulaInput(ref + Byte(0x1E) + U16(5) + Byte(0x1E) + U16(6) + Byte(0x42) + Byte(3) + U16(1)));  // IF(...)
    dir.Add(FormulaInput(Byte(0x2C) + U16(2) + U16(0x8001) + Byte(0x2D) + U16(0) + U16(1) + U16(0xC000) + U16(0xC001)));
    // Three sheets named at once, areas with first after last, a string of 255 characters.
    const std::string inverted = Byte(0x25) + U16(9) + U16(0) + U16(3) + U16(0);
    const std::string inverted3d = Byte(0x3B) + U16(2) + U16(65535) + U16(0) + U16(255) + U16(0);
    dir.Add(FormulaInput(inverted + inverted3d + Byte(0x10) + Byte(0x3A) + U16(2) + U16(65535) + U16(0xC0FF)));
    dir.Add(FormulaInput(Byte(0x17) + Byte(255) + Byte(0) + std::string(255, '0') + Byte(0x17) + Byte(1) + Byte(0) + "%" +
                         Byte(0x08)));
    const std::string sharedBody = U16(0) + U16(10) + Byte(0) + Byte(3) + U16(0) + U16(5) + Byte(0x4C) + U16(0) + U16(0xC000) + Byte(0x1E) + U16(1);
    dir.Add(FormulaInput(Byte(0x01) + U16(0) + U16(0), 0x0008, sharedBody));

    // BIFF2-7: flags in the row word, one-byte columns, 8-bit strings, 3-D
    // references naming the sheet; BIFF2-3 one-byte function numbers.
    const std::string oldRef = Byte(0x44) + U16(0xC001) + Byte(1);
    const std::string oldArea = Byte(0x25) + U16(0xC000) + U16(0xC009) + Byte(0) + Byte(3);
    const std::string oldRef3d = Byte(0x3A) + U16(0xFFFF) + std::string(8, '\0') + U16(1) + U16(1) + U16(4) + Byte(2);
    dir.Add(FormulaInput(oldRef + Byte(0x1E) + U16(5) + Byte(0x03), 0, "", 5));
    dir.Add(FormulaInput(oldArea + Byte(0x19) + Byte(0x10) + U16(0) + oldRef3d + Byte(0x03), 0, "", 5));
    dir.Add(FormulaInput(Byte(0x17) + Byte(3) + "abc" + Byte(0x2C) + U16(0xFFFF) + Byte(0xFF) + Byte(0x08), 0, "", 4));
    dir.Add(FormulaInput(Byte(0x1E) + U16(1) + Byte(0x1E) + U16(2) + Byte(0x22) + Byte(2) + Byte(4), 0, "", 3));
    dir.Add(FormulaInput(oldRef + Byte(0x21) + Byte(74) + Byte(0x03), 0, "", 2));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <corpus dir> [sample.xls]\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path sample = argc > 2 ? fs::path(argv[2]) : fs::path();
    TSeedDir cfile(root / "cfile_fuzz"), workbook(root / "workbook_fuzz"), formula(root / "formula_fuzz");
    CfileSeeds(cfile, sample);
    WorkbookSeeds(workbook, sample);
    FormulaSeeds(formula);
    std::printf("seeds: %d cfile_fuzz, %d workbook_fuzz, %d formula_fuzz in %s\n", cfile.Count, workbook.Count,
                formula.Count, root.c_str());
    return 0;
}
