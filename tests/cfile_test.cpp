#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "fixtures/BiffWriter.h"
#include "fixtures/CfbWriter.h"
#include "fixtures/TestFiles.h"
#include "platform/CodePage.h"
#include "reading/CFile.h"

namespace {

std::vector<uint8_t> Pattern(size_t size, uint8_t seed = 1)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 31 + seed + i / 251);
    return bytes;
}

TCFileStream& StreamOf(const TCFileStorage& storage, const std::string& name)
{
    auto* stream = dynamic_cast<TCFileStream*>(storage.FindItem(name));
    if (!stream) throw std::runtime_error("no stream " + name);
    return *stream;
}

std::vector<uint8_t> ReadAll(TCFileStream& stream, uint32_t blockSize)
{
    std::vector<uint8_t> all, block(blockSize);
    while (uint32_t n = stream.Read(block.data(), blockSize)) all.insert(all.end(), block.begin(), block.begin() + n);
    return all;
}

std::vector<std::string> NamesOf(const TCFileStorage& storage)
{
    std::vector<std::string> names;
    for (const auto& item : storage.Items) names.push_back(item->Name);
    return names;
}

// Opening `bytes` must fail with exactly this code and its message.
void ExpectOpenFails(std::vector<uint8_t> bytes, uint8_t code)
{
    try {
        TCFile file(std::move(bytes));
        ADD_FAILURE() << "opened";
    } catch (const ECFileError& e) {
        EXPECT_EQ(e.ErrorCode(), code);
        EXPECT_EQ(std::string(e.what()), ECFileError::MessageOf(code));
    }
}

} // namespace

TEST(CFile, ErrorMessages)
{
    const char* expected[] = {"Can not create a docfile", "Can not create a stream", "Can not create a storage",
                              "Can not open a docfile",   "Can not open a stream",   "Can not open a storage",
                              "Can not set stream position", "Can not commit a storage"};
    for (uint8_t code = 0; code < 8; ++code) {
        ECFileError e(code);
        EXPECT_EQ(e.ErrorCode(), code);
        EXPECT_STREQ(e.what(), expected[code]);
    }
}

TEST(CFile, StreamsOfEverySizeReadBackInBothSectorSizes)
{
    const size_t sizes[] = {0, 1, 63, 64, 65, 1000, 4095, 4096, 4097, 70000};
    for (uint32_t sectorSize : {512u, 4096u}) {
        TCfbWriter writer(sectorSize);
        for (size_t size : sizes) writer.AddStream("s" + std::to_string(size), Pattern(size, uint8_t(size)));
        TScratchDir dir;
        writer.WriteTo(dir.File("doc.cfb"));
        TCFile file(Utf8ToWide(dir.File("doc.cfb")));
        EXPECT_EQ(file.Root->Name, "Root Entry");
        ASSERT_EQ(file.Root->Count(), std::size(sizes));
        for (size_t size : sizes) {
            SCOPED_TRACE(std::to_string(sectorSize) + " / " + std::to_string(size));
            TCFileStream& stream = StreamOf(*file.Root, "s" + std::to_string(size));
            EXPECT_EQ(stream.Size(), size);
            EXPECT_EQ(ReadAll(stream, 1024), Pattern(size, uint8_t(size)));
            EXPECT_EQ(stream.Position(), size);
            // A short read at the end returns what remains, then nothing.
            uint8_t byte;
            EXPECT_FALSE(stream.ReadBlock(&byte, 1));
            EXPECT_FALSE(stream.ReadBlock(nullptr, 1));
            stream.SetPosition(0);
            EXPECT_EQ(ReadAll(stream, 777), Pattern(size, uint8_t(size)));
        }
    }
}

TEST(CFile, SeekOriginsAndRefusedPosition)
{
    TCFile file(TCfbWriter().AddStream("x", Pattern(5000)).Bytes());
    TCFileStream& stream = StreamOf(*file.Root, "x");
    EXPECT_EQ(stream.Seek(100, TCFileStream::FromStart), 100u);
    EXPECT_EQ(stream.Seek(-40, TCFileStream::FromCurrent), 60u);
    EXPECT_EQ(stream.Seek(-8, TCFileStream::FromEnd), 4992u);
    uint8_t tail[16];
    EXPECT_EQ(stream.Read(tail, 16), 8u);
    EXPECT_EQ(tail[0], Pattern(5000)[4992]);
    EXPECT_EQ(stream.Seek(-10000, TCFileStream::FromCurrent), 5000u); // before the start: unchanged
    try {
        stream.SetPosition(0x80000000u);
        FAIL();
    } catch (const ECFileError& e) {
        EXPECT_EQ(e.ErrorCode(), 6);
        EXPECT_STREQ(e.what(), "Can not set stream position");
    }
}

TEST(CFile, NestedStoragesListedInDirectoryOrder)
{
    TCfbWriter writer;
    for (const char* name : {"ccc", "bb", "A", "B2", "Storage/Inner/Deep", "Storage/z", "Storage/Inner/a"})
        writer.AddStream(name, Pattern(10));
    writer.AddStorage("Empty");
    TCFile file(writer.Bytes());
    // In-order walk of the tree: shorter names first, then upper-cased order.
    EXPECT_EQ(NamesOf(*file.Root), (std::vector<std::string> {"A", "B2", "bb", "ccc", "Empty", "Storage"}));
    auto* storage = dynamic_cast<TCFileStorage*>(file.Root->FindItem("storage"));
    ASSERT_NE(storage, nullptr);
    EXPECT_EQ(NamesOf(*storage), (std::vector<std::string> {"z", "Inner"}));
    auto* inner = dynamic_cast<TCFileStorage*>(storage->FindItem("INNER"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(NamesOf(*inner), (std::vector<std::string> {"a", "Deep"}));
    EXPECT_EQ(ReadAll(StreamOf(*inner, "Deep"), 3), Pattern(10));
    EXPECT_EQ(dynamic_cast<TCFileStorage*>(file.Root->FindItem("Empty"))->Count(), 0u);
    // Only direct children are searched.
    EXPECT_EQ(file.Root->FindItem("Deep"), nullptr);
}

TEST(CFile, ManySiblingsKeepSortedOrder)
{
    TCfbWriter writer;
    std::vector<std::string> expected;
    for (int i = 99; i >= 0; --i) writer.AddStream("n" + std::to_string(1000 + i), Pattern(1));
    for (int i = 0; i < 100; ++i) expected.push_back("n" + std::to_string(1000 + i));
    TCFile file(writer.Bytes());
    EXPECT_EQ(NamesOf(*file.Root), expected);
}

TEST(CFile, FindItemFoldsAsciiLettersOnly)
{
    TCFile file(TCfbWriter().AddStream("WORKBOOK", Pattern(8)).AddStream("\xC3\x84x", Pattern(4)).Bytes());
    EXPECT_NE(file.Root->FindItem("Workbook"), nullptr);
    EXPECT_NE(file.Root->FindItem("workbook"), nullptr);
    EXPECT_EQ(file.Root->FindItem("Workbook2"), nullptr);
    // Names are 8-bit (Windows-1252): U+00C4 is byte 0xC4, and not case-folded.
    EXPECT_NE(file.Root->FindItem("\xC4X"), nullptr);
    EXPECT_EQ(file.Root->FindItem("\xE4X"), nullptr);
    EXPECT_EQ(file.Root->Items[0]->WideName, u"\u00c4x");
}

TEST(CFile, WorkbookOnlyInsideASubStorageIsNotFoundInTheRoot)
{
    TCFile file(TCfbWriter().AddStream("Sub/Workbook", Pattern(8)).Bytes());
    EXPECT_EQ(file.Root->FindItem("Workbook"), nullptr);
}

TEST(CFile, DifatExtensionSectors)
{
    // More than 109 FAT sectors of 128 entries each need DIFAT sectors.
    std::vector<uint8_t> big = Pattern(110 * 128 * 512);
    TCfbImage image = TCfbWriter().AddStream("big", big).Build();
    ASSERT_GE(image.DifatSectors.size(), 1u);
    TCFile file(image.Bytes);
    EXPECT_EQ(ReadAll(StreamOf(*file.Root, "big"), 65536), big);
}

TEST(CFile, MissingPathOrDirectoryFailsToOpen)
{
    TScratchDir dir;
    for (const std::string& path : {dir.File("missing.xls"), dir.Path().string()}) {
        try {
            TCFile file(Utf8ToWide(path));
            ADD_FAILURE() << path;
        } catch (const ECFileError& e) {
            EXPECT_EQ(e.ErrorCode(), 3);
            EXPECT_STREQ(e.what(), "Can not open a docfile");
        }
    }
}

TEST(CFile, NonAsciiPathOpens)
{
    TScratchDir dir;
    std::string path = dir.File("M\xC3\xBCller \xE2\x82\xAC.xls");
    TCfbWriter().AddStream("Workbook", Pattern(100)).WriteTo(path);
    TCFile file(Utf8ToWide(path));
    EXPECT_EQ(file.FileName, Utf8ToWide(path));
    EXPECT_NE(file.Root->FindItem("Workbook"), nullptr);
}

// One damage per row, applied to a document with two big streams, a small
// stream and a sub-storage. Damage to the document's header, FAT or
// directory fails the open; a damaged stream opens with the document and
// fails only when it is read, while every other stream reads back whole;
// harmless damage that other writers leave behind does not fail at all.
TEST(CFile, DamageFailsWhereItLies)
{
    const std::map<std::string, std::vector<uint8_t>> contents = {
        {"Workbook", Pattern(9000)},      {"\x05SummaryInformation", Pattern(5000, 7)},
        {"small", Pattern(300, 3)},       {"Sub/inner", Pattern(10, 4)},
        {"Sub/other", Pattern(10, 5)},
    };
    auto build = [&] {
        TCfbWriter writer;
        for (const auto& [path, data] : contents) writer.AddStream(path, data);
        return writer.Build();
    };
    auto miniFatEntry = [](TCfbImage& image, uint32_t miniSector) {
        return image.SectorOffset(image.MiniFatSectors[0]) + 4 * miniSector;
    };
    const std::string summary = "\x05SummaryInformation";
    const std::vector<std::string> smallStreams = {"small", "Sub/inner", "Sub/other"};
    struct TCase {
        const char* Name;
        std::function<void(TCfbImage&)> Damage;
        uint8_t Code;                     // 0: nothing fails
        std::vector<std::string> Failing; // empty: the open fails with Code
    };
    const TCase cases[] = {
        {"not a docfile", [](TCfbImage& i) { i.Bytes[0] = 'P'; }, 3, {}},
        {"empty file", [](TCfbImage& i) { i.Bytes.clear(); }, 3, {}},
        {"header only half", [](TCfbImage& i) { i.Bytes.resize(300); }, 3, {}},
        {"byte order", [](TCfbImage& i) { i.Bytes[28] = 0xFF; i.Bytes[29] = 0xFF; }, 3, {}},
        {"sector shift 10", [](TCfbImage& i) { i.Bytes[30] = 10; }, 3, {}},
        {"mini sector shift 7", [](TCfbImage& i) { i.Bytes[32] = 7; }, 3, {}},
        {"truncated before the directory", [](TCfbImage& i) { i.Bytes.resize(1024); }, 3, {}},
        {"FAT sector past the end", [](TCfbImage& i) { i.SetU32(76, 5000); }, 3, {}},
        {"directory chain loops", [](TCfbImage& i) { i.SetFatEntry(i.DirectorySectors[0], i.DirectorySectors[0]); }, 3, {}},
        {"directory start past the end", [](TCfbImage& i) { i.SetU32(48, 7777); }, 3, {}},
        {"root entry of another type", [](TCfbImage& i) { i.Bytes[i.DirEntryOffset("") + 66] = 1; }, 3, {}},
        {"root tree loops", [](TCfbImage& i) { i.SetLink("small", TCfbImage::Left, i.EntryIndex.at("")); }, 3, {}},
        {"root tree links past the directory", [](TCfbImage& i) { i.SetLink("small", TCfbImage::Right, 500); }, 3, {}},
        {"sub-storage tree loops", [](TCfbImage& i) { i.SetLink("Sub/inner", TCfbImage::Right, i.EntryIndex.at("Sub/other")); }, 5, {}},
        {"storage nested in itself", [](TCfbImage& i) { i.SetLink("Sub", TCfbImage::Child, i.EntryIndex.at("Sub")); }, 5, {}},
        {"storage holding its parent's sibling",
         [](TCfbImage& i) { i.SetLink("Sub/inner", TCfbImage::Left, i.EntryIndex.at("Workbook")); }, 5, {}},

        {"truncated inside the last big stream", [](TCfbImage& i) { i.Bytes.resize(i.Bytes.size() - 3000); }, 4, {summary}},
        {"stream chain loops",
         [](TCfbImage& i) { i.SetFatEntry(i.StartSector("Workbook") + 5, i.StartSector("Workbook") + 1); }, 4, {"Workbook"}},
        {"stream chain to a sector past the end",
         [](TCfbImage& i) { i.SetFatEntry(i.StartSector("Workbook") + 2, 100000); }, 4, {"Workbook"}},
        {"stream chain ends early",
         [](TCfbImage& i) { i.SetFatEntry(i.StartSector("Workbook") + 3, 0xFFFFFFFE); }, 4, {"Workbook"}},
        {"stream size larger than its chain", [](TCfbImage& i) { i.SetU32(i.DirEntryOffset("Workbook") + 120, 9800); }, 4, {"Workbook"}},
        {"stream size larger than the file", [](TCfbImage& i) { i.SetU32(i.DirEntryOffset("Workbook") + 120, 0x7FFFFFFF); }, 4, {"Workbook"}},
        {"stream start past the end", [](TCfbImage& i) { i.SetU32(i.DirEntryOffset("Workbook") + 116, 60000); }, 4, {"Workbook"}},
        {"summary chain ends early",
         [&](TCfbImage& i) { i.SetFatEntry(i.StartSector(summary), 0xFFFFFFFE); }, 4, {summary}},
        {"summary size larger than the file", [&](TCfbImage& i) { i.SetU32(i.DirEntryOffset(summary) + 120, 0xFFFFFFF0); }, 4, {summary}},
        {"mini chain loops",
         [&](TCfbImage& i) { i.SetU32(miniFatEntry(i, i.StartSector("small") + 2), i.StartSector("small")); }, 4, {"small"}},
        {"mini chain past the mini stream",
         [&](TCfbImage& i) { i.SetU32(miniFatEntry(i, i.StartSector("small") + 1), 5000); }, 4, {"small"}},
        {"small stream size larger than the file", [](TCfbImage& i) { i.SetU32(i.DirEntryOffset("small") + 120, 0x10000000); }, 4, {"small"}},
        {"small stream in a sub-storage damaged",
         [&](TCfbImage& i) { i.SetU32(miniFatEntry(i, i.StartSector("Sub/inner")), i.StartSector("Sub/inner")); }, 4, {"Sub/inner"}},
        {"mini stream chain past the end", [](TCfbImage& i) { i.SetU32(i.DirEntryOffset("") + 116, 9999); }, 3, smallStreams},
        {"mini stream larger than the file", [](TCfbImage& i) { i.SetU32(i.DirEntryOffset("") + 120, 0x7FFFFFFF); }, 3, smallStreams},
        {"mini FAT count past its chain", [](TCfbImage& i) { i.SetU32(64, 3); }, 3, smallStreams},

        {"last sector not padded", [](TCfbImage& i) { i.Bytes.resize(i.Bytes.size() - (512 - 5000 % 512)); }, 0, {}},
        {"FAT sector count past the file, unused entries free", [](TCfbImage& i) { i.SetU32(44, 100000); }, 0, {}},
        {"FAT sector count with a high bit set", [](TCfbImage& i) { i.SetU32(44, 0x00800001); }, 0, {}},
        {"DIFAT count without a DIFAT sector", [](TCfbImage& i) { i.SetU32(72, 3); }, 0, {}},
        {"unused entry linked into the root tree, its links leading nowhere",
         [](TCfbImage& i) {
             const size_t unused = i.DirEntryOffset(uint32_t(i.EntryIndex.size()));
             i.Bytes[unused + 66] = 0x6E;
             i.SetU32(unused + 68, 0x61727473);
             for (const auto& [path, index] : i.EntryIndex) // a leaf of the root's tree
                 if (!path.empty() && path.find('/') == std::string::npos &&
                     i.U32At(i.DirEntryOffset(index) + TCfbImage::Left) == 0xFFFFFFFF) {
                     i.SetLink(path, TCfbImage::Left, uint32_t(i.EntryIndex.size()));
                     break;
                 }
         }, 0, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TCfbImage image = build();
        c.Damage(image);
        if (c.Code != 0 && c.Failing.empty()) {
            ExpectOpenFails(image.Bytes, c.Code);
            continue;
        }
        std::unique_ptr<TCFile> opened;
        ASSERT_NO_THROW(opened = std::make_unique<TCFile>(image.Bytes));
        TCFile& file = *opened;
        for (const auto& [path, data] : contents) {
            SCOPED_TRACE(path);
            const size_t slash = path.find('/');
            const TCFileStorage* storage = file.Root.get();
            if (slash != std::string::npos) storage = dynamic_cast<TCFileStorage*>(file.Root->FindItem(path.substr(0, slash)));
            ASSERT_NE(storage, nullptr);
            TCFileStream& stream = StreamOf(*storage, slash == std::string::npos ? path : path.substr(slash + 1));
            if (std::find(c.Failing.begin(), c.Failing.end(), path) == c.Failing.end()) {
                std::vector<uint8_t> read;
                EXPECT_NO_THROW(read = ReadAll(stream, 700));
                EXPECT_EQ(read, data);
                continue;
            }
            for (auto attempt : {std::function<void()>([&] { stream.Open(); }),
                                 std::function<void()>([&] { ReadAll(stream, 700); })}) {
                try {
                    attempt();
                    ADD_FAILURE() << "read";
                } catch (const ECFileError& e) {
                    EXPECT_EQ(e.ErrorCode(), c.Code);
                }
            }
        }
    }
}

// A file that ends inside its last sector: the bytes the stream's size
// still covers read as zeros.
TEST(CFile, LastSectorCutShortReadsAsZeros)
{
    std::vector<uint8_t> data = Pattern(9000);
    TCfbImage image = TCfbWriter().AddStream("Workbook", data).Build();
    const size_t kept = 100, lost = 9000 % 512 - kept; // of the 296 bytes in the last sector
    image.Bytes.resize(image.Bytes.size() - 512 + kept);
    TCFile file(image.Bytes);
    std::fill(data.end() - lost, data.end(), 0);
    EXPECT_EQ(ReadAll(StreamOf(*file.Root, "Workbook"), 1024), data);
}

TEST(CFile, DifatChainThatLoopsFails)
{
    TCfbImage image = TCfbWriter().AddStream("big", Pattern(300 * 512)).Build();
    // Claim 250 FAT sectors, the rest in one DIFAT sector that points to itself.
    image.SetU32(44, 250);
    uint32_t difat = image.StartSector("big");
    image.SetU32(68, difat);
    image.SetU32(72, 2);
    for (uint32_t k = 0; k < 109; ++k) image.SetU32(76 + 4 * k, image.FatSectors[0]);
    for (uint32_t k = 0; k < 127; ++k) image.SetU32(image.SectorOffset(difat) + 4 * k, image.FatSectors[0]);
    image.SetU32(image.SectorOffset(difat) + 4 * 127, difat);
    ExpectOpenFails(image.Bytes, 3);
}

TEST(CFile, StorageNestingHasABound)
{
    std::string path;
    for (int i = 0; i < 200; ++i) path += "d/";
    ExpectOpenFails(TCfbWriter().AddStream(path + "s", Pattern(3)).Bytes(), 5);
    std::string shallow;
    for (int i = 0; i < 50; ++i) shallow += "d/";
    EXPECT_NO_THROW(TCFile(TCfbWriter().AddStream(shallow + "s", Pattern(3)).Bytes()));
}

TEST(CFile, CorpusFilesOpenOrFailCleanly)
{
    auto files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus";
    int opened = 0;
    for (const auto& path : files) {
        try {
            TCFile file(Utf8ToWide(path.string()));
            ++opened;
            if (auto* stream = dynamic_cast<TCFileStream*>(file.Root->FindItem("Workbook"))) {
                std::vector<uint8_t> block(1024);
                uint64_t total = 0;
                while (uint32_t n = stream->Read(block.data(), 1024)) total += n;
                EXPECT_EQ(total, stream->Size()) << path;
            }
        } catch (const ECFileError& e) {
            EXPECT_EQ(std::string(e.what()), ECFileError::MessageOf(e.ErrorCode())) << path;
        }
    }
    EXPECT_GT(opened, 0);
}

TEST(CfbWriter, DirectoryTreesAreRedBlack)
{
    for (int count : {1, 2, 3, 4, 7, 8, 20, 100}) {
        SCOPED_TRACE(count);
        TCfbWriter writer;
        for (int i = 0; i < count; ++i) writer.AddStream("s" + std::to_string(i), Pattern(1));
        TCfbImage image = writer.Build();
        auto color = [&](uint32_t entry) { return image.Bytes[image.DirEntryOffset(entry) + 67]; };
        auto link = [&](uint32_t entry, TCfbImage::TLink which) { return image.U32At(image.DirEntryOffset(entry) + which); };
        // Black height of a subtree; -1 when a rule is broken below it.
        std::function<int(uint32_t)> blackHeight = [&](uint32_t node) -> int {
            if (node == 0xFFFFFFFF) return 1;
            uint32_t left = link(node, TCfbImage::Left), right = link(node, TCfbImage::Right);
            if (color(node) == 0 && ((left != 0xFFFFFFFF && color(left) == 0) || (right != 0xFFFFFFFF && color(right) == 0)))
                return -1;
            int l = blackHeight(left), r = blackHeight(right);
            if (l < 0 || l != r) return -1;
            return l + (color(node) == 1 ? 1 : 0);
        };
        uint32_t top = link(0, TCfbImage::Child);
        EXPECT_EQ(color(top), 1);
        EXPECT_GT(blackHeight(top), 0);
    }
}
