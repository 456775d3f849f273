#include "reading/CFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/CodePage.h"
#include "platform/LittleEndian.h"

// The parsed document: the file's bytes and the tables every stream needs.
struct TCFDocument {
    TByteBuffer Bytes; // the file, its last sector padded with zeros
    size_t FileSize = 0;        // the file's own length
    uint32_t SectorSize = 512;
    uint32_t SectorCount = 0; // sectors after the header, a cut-off last one included
    std::vector<uint32_t> Fat; // one entry per sector of the file
    std::vector<uint32_t> MiniFat; // one entry per mini sector of the mini stream
    std::vector<uint32_t> MiniStreamSectors; // the file sector of each sector of the mini stream
    // Sectors reachable from a sector along its chain, 0 where the chain loops.
    std::vector<uint32_t> FatChainLength;
    std::vector<uint32_t> MiniChainLength;
    // The mini stream or the mini FAT is damaged: no small stream can be read.
    bool MiniStreamDamaged = false;
    // The bytes are one stream as they stand, with no sectors (a bare file).
    bool Whole = false;

    const uint8_t* SectorData(uint32_t sector) const { return Bytes.data() + size_t(sector + 1) * SectorSize; }
    TByteSpan Sector(uint32_t sector) const { return {SectorData(sector), SectorSize}; }
    const uint8_t* MiniSectorData(uint32_t miniSector) const
    {
        size_t offset = size_t(miniSector) * 64;
        return SectorData(MiniStreamSectors[offset / SectorSize]) + offset % SectorSize;
    }
};

namespace {

constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t MaxRegularSector = 0xFFFFFFF9; // above: end of chain, free and other marks
constexpr uint32_t NoStream = 0xFFFFFFFF;
constexpr uint32_t MiniSectorSize = 64;
constexpr uint32_t MiniStreamCutoff = 4096;
constexpr uint32_t DirEntrySize = 128;
constexpr int MaxStorageDepth = 128;

enum : uint8_t { CodeOpenDocfile = 3, CodeOpenStream = 4, CodeOpenStorage = 5, CodeSetPosition = 6 };
enum : uint8_t { TypeStorage = 1, TypeStream = 2, TypeRoot = 5 };

const char* const Messages[8] = {"Can not create a docfile", "Can not create a stream", "Can not create a storage",
                                 "Can not open a docfile",   "Can not open a stream",   "Can not open a storage",
                                 "Can not set stream position", "Can not commit a storage"};

[[noreturn]] void Fail(uint8_t code) { throw ECFileError(code); }

// A start or next field that names no sector: end of chain, free, and the other marks.
bool NamesNoSector(uint32_t field) { return field > MaxRegularSector; }

uint32_t CeilDiv(uint64_t a, uint32_t b) { return uint32_t((a + b - 1) / b); }

// For every entry of a chain table, how many sectors its chain holds: the walk
// ends at a value that is no sector number (end of chain, free, past the end);
// a chain that runs into a loop gets 0. Linear in the table size.
std::vector<uint32_t> ChainLengths(const std::vector<uint32_t>& next)
{
    const uint32_t count = uint32_t(next.size());
    enum : uint8_t { Unvisited, OnPath, Done };
    std::vector<uint8_t> state(count, Unvisited);
    std::vector<uint32_t> length(count, 0);
    std::vector<uint32_t> path;
    for (uint32_t start = 0; start < count; ++start) {
        if (state[start] != Unvisited) continue;
        uint32_t sector = start;
        uint32_t tail = 0; // length after the last sector of the path, or 0 for a loop
        bool loops = false;
        while (true) {
            state[sector] = OnPath;
            path.push_back(sector);
            uint32_t following = next[sector];
            if (following >= count) break;
            if (state[following] == OnPath) { loops = true; break; }
            if (state[following] == Done) {
                tail = length[following];
                loops = tail == 0;
                break;
            }
            sector = following;
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            tail = loops ? 0 : tail + 1;
            length[*it] = tail;
            state[*it] = Done;
        }
        path.clear();
    }
    return length;
}

// The sectors of a chain that must hold `sectorCount` sectors; empty when it is too short.
std::vector<uint32_t> ChainSectors(const TCFDocument& doc, uint32_t start, uint32_t sectorCount)
{
    std::vector<uint32_t> sectors;
    if (sectorCount == 0) return sectors;
    if (start >= doc.SectorCount || doc.FatChainLength[start] < sectorCount) return sectors;
    sectors.reserve(sectorCount);
    for (uint32_t sector = start; sectors.size() < sectorCount; sector = doc.Fat[sector]) sectors.push_back(sector);
    return sectors;
}

struct TDirEntry {
    std::u16string Name;
    uint8_t Type = 0;
    uint32_t Left = NoStream, Right = NoStream, Child = NoStream;
    uint32_t Start = 0;
    uint64_t Size = 0;
};

// Builds the whole tree of a document, checking each element it meets.
class TTreeLoader {
public:
    TTreeLoader(std::shared_ptr<const TCFDocument> doc, std::vector<TDirEntry> entries, bool sizeIs64Bit)
        : FDoc(std::move(doc)), FEntries(std::move(entries)), FVisited(FEntries.size(), false),
          FSizeIs64Bit(sizeIs64Bit)
    {
    }

    void LoadRoot(TCFileStorage& root)
    {
        FVisited[0] = true;
        LoadChildren(root, FEntries[0].Child, CodeOpenDocfile, 0);
    }

private:
    // The children of a storage in the order of an in-order walk of its tree.
    // A link past the directory or back to an element already met means a
    // damaged tree: `damageCode` is raised.
    std::vector<uint32_t> InOrder(uint32_t top, uint8_t damageCode)
    {
        std::vector<uint32_t> order, stack;
        uint32_t node = top;
        while (node != NoStream || !stack.empty()) {
            while (node != NoStream) {
                if (node >= FEntries.size() || FVisited[node]) Fail(damageCode);
                FVisited[node] = true;
                // An unused or unknown element is no storage or stream: other
                // writers leave such entries, with links that lead nowhere, in
                // the tree. It ends its branch.
                if (FEntries[node].Type != TypeStorage && FEntries[node].Type != TypeStream) break;
                stack.push_back(node);
                node = FEntries[node].Left;
            }
            if (stack.empty()) break;
            node = stack.back();
            stack.pop_back();
            order.push_back(node);
            node = FEntries[node].Right;
        }
        return order;
    }

    void LoadChildren(TCFileStorage& storage, uint32_t top, uint8_t damageCode, int depth)
    {
        storage.Items.clear();
        for (uint32_t index : InOrder(top, damageCode)) {
            const TDirEntry& entry = FEntries[index];
            if (entry.Type == TypeStorage) {
                if (depth + 1 > MaxStorageDepth) Fail(CodeOpenStorage);
                auto child = std::make_unique<TCFileStorage>(WideToAnsi(entry.Name), entry.Name);
                LoadChildren(*child, entry.Child, CodeOpenStorage, depth + 1);
                storage.Items.push_back(std::move(child));
            } else if (entry.Type == TypeStream) {
                storage.Items.push_back(OpenStream(entry));
            }
        }
    }

    // The stream's size and chain are checked here, but a damaged stream only
    // fails when it is read: a broken stream beside "Workbook" does not stop
    // the workbook from being read.
    std::unique_ptr<TCFileStream> OpenStream(const TDirEntry& entry)
    {
        uint64_t size = FSizeIs64Bit ? entry.Size : (entry.Size & 0xFFFFFFFF);
        uint8_t failure = 0;
        if (size > FDoc->FileSize) {
            failure = CodeOpenStream;
            size = 0;
        } else if (size > 0) {
            bool mini = size < MiniStreamCutoff;
            const auto& lengths = mini ? FDoc->MiniChainLength : FDoc->FatChainLength;
            uint32_t needed = CeilDiv(size, mini ? MiniSectorSize : FDoc->SectorSize);
            if (mini && FDoc->MiniStreamDamaged) failure = CodeOpenDocfile;
            else if (entry.Start >= lengths.size() || lengths[entry.Start] < needed) failure = CodeOpenStream;
        }
        return std::make_unique<TCFileStream>(WideToAnsi(entry.Name), entry.Name, FDoc, entry.Start,
                                              uint32_t(size), failure);
    }

    std::shared_ptr<const TCFDocument> FDoc;
    std::vector<TDirEntry> FEntries;
    std::vector<bool> FVisited;
    bool FSizeIs64Bit;
};

TDirEntry ParseDirEntry(TByteSpan p)
{
    TDirEntry entry;
    uint16_t nameBytes = ReadU16(p, 64);
    size_t units = nameBytes >= 2 && nameBytes <= 64 ? nameBytes / 2 - 1 : 32;
    for (size_t i = 0; i < units; ++i) {
        char16_t c = char16_t(ReadU16(p, 2 * i));
        if (c == 0) break;
        entry.Name += c;
    }
    entry.Type = ReadU8(p, 66);
    entry.Left = ReadU32(p, 68);
    entry.Right = ReadU32(p, 72);
    entry.Child = ReadU32(p, 76);
    entry.Start = ReadU32(p, 116);
    entry.Size = ReadU64(p, 120);
    return entry;
}

// The FAT sector numbers: up to 109 in the header, the rest in the DIFAT
// chain. The header's count only bounds the list: the list ends at the first
// entry that names no sector (unused entries are free), and a DIFAT start
// that names no sector means there are no DIFAT sectors, whatever the counts say.
std::vector<uint32_t> FatSectorList(const TCFDocument& doc)
{
    const TByteSpan header(doc.Bytes);
    const uint32_t fatCount = ReadU32(header, 44);
    std::vector<uint32_t> fatSectors;
    // False at the first entry that names no sector.
    auto take = [&](uint32_t sector) {
        if (NamesNoSector(sector)) return false;
        if (sector >= doc.SectorCount) Fail(CodeOpenDocfile);
        fatSectors.push_back(sector);
        return true;
    };
    for (uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
        if (!take(ReadU32(header, 76 + 4 * i))) return fatSectors;

    uint32_t difatSector = ReadU32(header, 68);
    const uint32_t perDifatSector = doc.SectorSize / 4 - 1;
    std::vector<bool> seen(doc.SectorCount, false);
    while (fatSectors.size() < fatCount && !NamesNoSector(difatSector)) {
        if (difatSector >= doc.SectorCount || seen[difatSector]) Fail(CodeOpenDocfile);
        seen[difatSector] = true;
        const TByteSpan p = doc.Sector(difatSector);
        for (uint32_t i = 0; i < perDifatSector && fatSectors.size() < fatCount; ++i)
            if (!take(ReadU32(p, 4 * i))) return fatSectors;
        difatSector = ReadU32(p, 4 * perDifatSector);
    }
    return fatSectors;
}

// Parses header, FAT, directory, mini FAT and mini stream; returns the directory.
std::vector<TDirEntry> ParseDocument(TCFDocument& doc, bool& sizeIs64Bit)
{
    static const uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    const TByteBuffer& bytes = doc.Bytes;
    if (bytes.size() < 512 || std::memcmp(bytes.data(), Signature, 8) != 0) Fail(CodeOpenDocfile);
    TByteSpan header(bytes);
    uint16_t sectorShift = ReadU16(header, 30);
    if (ReadU16(header, 28) != 0xFFFE || (sectorShift != 9 && sectorShift != 12) || ReadU16(header, 32) != 6)
        Fail(CodeOpenDocfile);
    doc.SectorSize = 1u << sectorShift;
    if (bytes.size() < doc.SectorSize) Fail(CodeOpenDocfile);
    // Some writers do not pad the last sector: its missing bytes read as zeros.
    doc.FileSize = bytes.size();
    doc.SectorCount = uint32_t(std::min<size_t>(CeilDiv(bytes.size() - doc.SectorSize, doc.SectorSize), MaxRegularSector));
    doc.Bytes.resize(size_t(doc.SectorCount + 1) * doc.SectorSize, 0);
    header = bytes;
    sizeIs64Bit = ReadU16(header, 26) >= 4;

    // FAT: entries past the file's sectors are never followed.
    doc.Fat.reserve(doc.SectorCount);
    for (uint32_t sector : FatSectorList(doc)) {
        const TByteSpan p = doc.Sector(sector);
        for (uint32_t i = 0; i < doc.SectorSize / 4 && doc.Fat.size() < doc.SectorCount; ++i) doc.Fat.push_back(ReadU32(p, 4 * i));
    }
    doc.Fat.resize(doc.SectorCount, EndOfChain);
    doc.FatChainLength = ChainLengths(doc.Fat);

    // Directory.
    uint32_t dirStart = ReadU32(header, 48);
    if (dirStart >= doc.SectorCount || doc.FatChainLength[dirStart] == 0) Fail(CodeOpenDocfile);
    std::vector<TDirEntry> entries;
    for (uint32_t sector : ChainSectors(doc, dirStart, doc.FatChainLength[dirStart]))
        for (uint32_t offset = 0; offset < doc.SectorSize; offset += DirEntrySize)
            entries.push_back(ParseDirEntry(doc.Sector(sector).subspan(offset, DirEntrySize)));
    if (entries[0].Type != TypeRoot) Fail(CodeOpenDocfile);

    // Mini stream: the root entry's stream. When it or the mini FAT is damaged,
    // only the small streams fail, as they are read.
    uint64_t miniStreamSize = sizeIs64Bit ? entries[0].Size : (entries[0].Size & 0xFFFFFFFF);
    if (miniStreamSize > doc.FileSize) {
        doc.MiniStreamDamaged = true;
        miniStreamSize = 0;
    }
    uint32_t miniStreamSectors = CeilDiv(miniStreamSize, doc.SectorSize);
    doc.MiniStreamSectors = ChainSectors(doc, entries[0].Start, miniStreamSectors);
    if (doc.MiniStreamSectors.size() != miniStreamSectors) {
        doc.MiniStreamDamaged = true;
        doc.MiniStreamSectors.clear();
        miniStreamSize = 0;
    }
    uint32_t miniSectorCount = CeilDiv(miniStreamSize, MiniSectorSize);

    // Mini FAT: entries past the mini stream are never followed. A start that
    // names no sector means there is none, whatever the count says.
    const uint32_t miniFatStart = ReadU32(header, 60);
    const uint32_t miniFatCount = NamesNoSector(miniFatStart) ? 0 : ReadU32(header, 64);
    std::vector<uint32_t> miniFatSectors;
    if (miniFatCount > doc.SectorCount) doc.MiniStreamDamaged = true;
    else miniFatSectors = ChainSectors(doc, miniFatStart, miniFatCount);
    if (miniFatSectors.size() != miniFatCount) doc.MiniStreamDamaged = true;
    doc.MiniFat.reserve(miniSectorCount);
    for (uint32_t sector : miniFatSectors) {
        const TByteSpan p = doc.Sector(sector);
        for (uint32_t i = 0; i < doc.SectorSize / 4 && doc.MiniFat.size() < miniSectorCount; ++i)
            doc.MiniFat.push_back(ReadU32(p, 4 * i));
    }
    doc.MiniFat.resize(miniSectorCount, EndOfChain);
    doc.MiniChainLength = ChainLengths(doc.MiniFat);
    return entries;
}

} // namespace

ECFileError::ECFileError(uint8_t code) : std::runtime_error(MessageOf(code)), FErrorCode(code) {}

std::string ECFileError::MessageOf(uint8_t code) { return code < 8 ? Messages[code] : ""; }

TCFileItem::TCFileItem(std::string name, std::u16string wideName) : Name(std::move(name)), WideName(std::move(wideName)) {}

TCFileStream::TCFileStream(std::string name, std::u16string wideName, std::shared_ptr<const TCFDocument> document,
                           uint32_t startSector, uint32_t size, uint8_t failure)
    : TCFileItem(std::move(name), std::move(wideName)), FDocument(std::move(document)), FStartSector(startSector),
      FSize(size), FChainSector(startSector), FFailure(failure)
{
}

TCFileStream::TCFileStream(TByteBuffer bytes)
    : TCFileItem("", u""), FStartSector(0), FSize(uint32_t(std::min<size_t>(bytes.size(), 0xFFFFFFFF))), FChainSector(0), FFailure(0)
{
    auto document = std::make_shared<TCFDocument>();
    document->Bytes = std::move(bytes);
    document->Whole = true;
    FDocument = std::move(document);
}

void TCFileStream::Open() const
{
    if (FFailure != 0) Fail(FFailure);
}

uint32_t TCFileStream::Read(void* buffer, uint32_t count)
{
    Open();
    if (FPosition >= FSize) return 0;
    if (FDocument->Whole) {
        const uint32_t take = std::min(count, FSize - FPosition);
        std::memcpy(buffer, FDocument->Bytes.data() + FPosition, take);
        FPosition += take;
        return take;
    }
    const bool mini = FSize < MiniStreamCutoff;
    const uint32_t unit = mini ? MiniSectorSize : FDocument->SectorSize;
    const std::vector<uint32_t>& next = mini ? FDocument->MiniFat : FDocument->Fat;
    const uint32_t total = std::min(count, FSize - FPosition);
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < total) {
        // The chain was checked to hold every sector below the size.
        uint32_t index = FPosition / unit;
        if (index < FChainIndex) {
            FChainIndex = 0;
            FChainSector = FStartSector;
        }
        for (; FChainIndex < index; ++FChainIndex) FChainSector = next[FChainSector];
        const uint8_t* source = mini ? FDocument->MiniSectorData(FChainSector) : FDocument->SectorData(FChainSector);
        uint32_t offset = FPosition % unit;
        uint32_t take = std::min(total - done, unit - offset);
        std::memcpy(out + done, source + offset, take);
        done += take;
        FPosition += take;
    }
    return done;
}

bool TCFileStream::ReadBlock(void* buffer, uint32_t count) { return buffer && Read(buffer, count) > 0; }

uint32_t TCFileStream::Seek(int32_t offset, int origin)
{
    int64_t base = origin == FromCurrent ? FPosition : origin == FromEnd ? FSize : 0;
    int64_t target = base + offset;
    if (target >= 0 && target <= int64_t(0xFFFFFFFF)) FPosition = uint32_t(target);
    return FPosition;
}

void TCFileStream::SetPosition(uint32_t position)
{
    if (position > 0x7FFFFFFF || Seek(int32_t(position), FromStart) != position) Fail(CodeSetPosition);
}

TCFileItem* TCFileStorage::FindItem(const std::string& name) const
{
    auto upper = [](std::string s) {
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        return s;
    };
    const std::string wanted = upper(name);
    for (const auto& item : Items)
        if (upper(item->Name) == wanted) return item.get();
    return nullptr;
}

TCFile::TCFile(const std::u16string& fileName, TOpenMode) : FileName(fileName) { Load(ReadFileBytes(fileName)); }

TByteBuffer TCFile::ReadFileBytes(const std::u16string& fileName)
{
    const std::filesystem::path path(WideToUtf8(fileName));
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) Fail(CodeOpenDocfile);
    const uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    if (error || !file) Fail(CodeOpenDocfile);
    TByteBuffer bytes;
    // Room for the zeros that pad a cut-off last sector (at most 4096 bytes), so that they need no copy.
    bytes.reserve(size_t(size) + 4096);
    bytes.resize(size_t(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) Fail(CodeOpenDocfile);
    return bytes;
}

TCFile::TCFile(const std::vector<uint8_t>& bytes) { Load(TByteBuffer(bytes.begin(), bytes.end())); }

TCFile::TCFile(TByteBuffer bytes) { Load(std::move(bytes)); }

TCFile::~TCFile() = default;

void TCFile::Load(TByteBuffer bytes)
{
    auto doc = std::make_shared<TCFDocument>();
    doc->Bytes = std::move(bytes);
    bool sizeIs64Bit = false;
    std::vector<TDirEntry> entries = ParseDocument(*doc, sizeIs64Bit);
    Root = std::make_unique<TCFileStorage>("Root Entry", u"Root Entry");
    TTreeLoader(std::move(doc), std::move(entries), sizeIs64Bit).LoadRoot(*Root);
}
