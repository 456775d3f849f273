#include "model/Items.h"

#include <algorithm>

#include "styles/Crc32.h"
#include "styles/XLSError.h"

// ---- TCustomXLSItem ----

TCustomXLSItem::TCustomXLSItem(TCustomXLSItems* owner)
    : FOwner(owner), FXFIndex(owner->StyleTables()->XFTable->DefaultIndex())
{
    StyleTables()->XFTable->AddRef(FXFIndex);
}

TCustomXLSItem::~TCustomXLSItem()
{
    TStyleTables* tables = StyleTables();
    tables->FontTable->Release(XFRecord().FontIndex);
    tables->XFTable->Release(FXFIndex);
}

TStyleTables* TCustomXLSItem::StyleTables() const
{
    return FOwner->StyleTables();
}

const TPalette& TCustomXLSItem::Palette() const
{
    const TPalette* palette = StyleTables()->Palette;
    return palette ? *palette : TPalette::Default();
}

void TCustomXLSItem::SetXFIndex(int32_t index)
{
    if (index == FXFIndex)
        return;
    ReplaceXFIndex(index);
    NotifyChanged();
}

void TCustomXLSItem::ReplaceXFIndex(int32_t index)
{
    if (FStored && index != FXFIndex)
        ++FOwner->FStoredFormatChanges;
    FXFIndex = index;
}

TXFRecord TCustomXLSItem::XFRecord() const
{
    return StyleTables()->XFTable->GetOrDefault(FXFIndex);
}

TFontRecord TCustomXLSItem::FontRecord() const
{
    const TVirtualFontTable& fonts = *StyleTables()->FontTable;
    const uint16_t index = XFRecord().FontIndex;
    return index < fonts.Count() ? fonts.Get(index) : TFontRecord::Default();
}

void TCustomXLSItem::NotifyChanged()
{
    FOwner->Changed(this);
}

template <class Edit>
void TCustomXLSItem::EditXF(bool checkUnchanged, bool notify, Edit edit)
{
    TVirtualXFTable& table = *StyleTables()->XFTable;
    TXFRecord& buffer = table.Load(FXFIndex);
    const TXFRecord before = buffer;
    edit(buffer);
    if (checkUnchanged && before == buffer)
        return;
    ReplaceXFIndex(table.Commit());
    if (notify)
        NotifyChanged();
}

template <class Edit>
void TCustomXLSItem::EditFont(Edit edit)
{
    TVirtualFontTable& table = *StyleTables()->FontTable;
    TFontRecord& buffer = table.Load(XFRecord().FontIndex);
    const TFontRecord before = buffer;
    edit(buffer);
    if (before == buffer)
        return;
    SetFontIndex(static_cast<uint16_t>(table.Commit()));
    NotifyChanged();
}

void TCustomXLSItem::SetFillColorIndex(uint8_t index)
{
    EditXF(true, index != AutoBackgroundColor, [&](TXFRecord& r) { r.FillColor = index; });
}

void TCustomXLSItem::SetPatternColorIndex(uint8_t index)
{
    EditXF(true, index != AutoForegroundColor, [&](TXFRecord& r) { r.PatternColor = index; });
}

void TCustomXLSItem::SetFillColor(TColor color)
{
    TCustomXLSItem::SetFillColorIndex(NearestColorIndex(color, Palette()));
}

void TCustomXLSItem::SetPatternColor(TColor color)
{
    TCustomXLSItem::SetPatternColorIndex(NearestColorIndex(color, Palette()));
}

void TCustomXLSItem::SetFillPattern(uint8_t pattern)
{
    EditXF(true, pattern != 0, [&](TXFRecord& r) { r.FillPattern = pattern; });
}

void TCustomXLSItem::SetHorizontalAlignment(uint8_t align)
{
    EditXF(true, align != 0, [&](TXFRecord& r) { r.HAlign = align; });
}

void TCustomXLSItem::SetVerticalAlignment(uint8_t align)
{
    // Bottom (2) is the default; any other alignment must store the item.
    EditXF(true, align != 2, [&](TXFRecord& r) { r.VAlign = align; });
}

void TCustomXLSItem::SetMerged(bool merged)
{
    EditXF(true, merged, [&](TXFRecord& r) { r.Merged = merged; });
}

void TCustomXLSItem::SetWrapText(bool wrap)
{
    EditXF(true, wrap, [&](TXFRecord& r) { r.WrapText = wrap; });
}

void TCustomXLSItem::SetRotation(uint8_t rotation)
{
    EditXF(true, rotation != 0, [&](TXFRecord& r) { r.Rotation = rotation; });
}

void TCustomXLSItem::SetIndent(uint8_t indent)
{
    const uint8_t stored = std::min<uint8_t>(indent, 15);
    EditXF(true, stored != 0, [&](TXFRecord& r) { r.Indent = stored; });
}

void TCustomXLSItem::SetLocked(bool locked)
{
    EditXF(true, !locked, [&](TXFRecord& r) { r.Locked = locked; });
}

void TCustomXLSItem::SetBorderColorIndex(int side, uint8_t index)
{
    EditXF(false, true, [&](TXFRecord& r) {
        for (int s = 0; s < 4; ++s)
            if (side == s || side == BorderAll)
                r.BorderColor[s] = index;
    });
}

void TCustomXLSItem::SetBorderColor(int side, TColor color)
{
    TCustomXLSItem::SetBorderColorIndex(side, NearestColorIndex(color, Palette()));
}

void TCustomXLSItem::SetBorderStyle(int side, uint8_t style)
{
    EditXF(false, true, [&](TXFRecord& r) {
        for (int s = 0; s < 4; ++s)
            if (side == s || side == BorderAll)
                r.BorderStyle[s] = style;
    });
}

void TCustomXLSItem::SetFormatIndex(uint16_t pos)
{
    EditXF(true, true, [&](TXFRecord& r) { r.FormatIndex = pos; });
}

void TCustomXLSItem::SetFontIndex(uint16_t index)
{
    EditXF(true, index != 0, [&](TXFRecord& r) { r.FontIndex = index; });
}

void TCustomXLSItem::SetFontBold(bool bold)
{
    EditFont([&](TFontRecord& f) { f.Bold = bold; });
}

void TCustomXLSItem::SetFontItalic(bool italic)
{
    EditFont([&](TFontRecord& f) { f.Italic = italic; });
}

void TCustomXLSItem::SetFontUnderline(bool underline)
{
    EditFont([&](TFontRecord& f) { f.Underline = underline; });
}

void TCustomXLSItem::SetFontStrikeout(bool strikeout)
{
    EditFont([&](TFontRecord& f) { f.StrikeOut = strikeout; });
}

void TCustomXLSItem::SetFontUnderlineStyle(uint8_t kind)
{
    EditFont([&](TFontRecord& f) { f.UnderlineKind = kind; });
}

void TCustomXLSItem::SetFontScript(uint8_t script)
{
    EditFont([&](TFontRecord& f) { f.Script = script; });
}

void TCustomXLSItem::SetFontName(const std::u16string& name)
{
    EditFont([&](TFontRecord& f) { f.SetName(name); });
}

void TCustomXLSItem::SetFontColorIndex(uint8_t index)
{
    EditFont([&](TFontRecord& f) { f.ColorIndex = index; });
}

void TCustomXLSItem::SetFontColor(TColor color)
{
    TCustomXLSItem::SetFontColorIndex(NearestColorIndex(color, Palette()));
    NotifyChanged();
}

void TCustomXLSItem::SetFontSize(uint16_t points)
{
    EditFont([&](TFontRecord& f) { f.Size = points; });
}

uint8_t TCustomXLSItem::BorderColorIndex(int side) const
{
    return side >= 0 && side < 4 ? XFRecord().BorderColor[side] : AutoBackgroundColor;
}

uint8_t TCustomXLSItem::BorderStyle(int side) const
{
    return side >= 0 && side < 4 ? XFRecord().BorderStyle[side] : 0;
}

// ---- TKeyedItemList ----

namespace {
// Buckets of the first table, and the factor each growth applies.
constexpr uint32_t kFirstBucketCount = 8;
constexpr uint32_t kBucketGrowth = 4;
} // namespace

TKeyedItemList::TKeyedItemList(uint32_t bucketCount, unsigned keySize)
    : FMaxBucketCount(bucketCount), FKeySize(keySize)
{
}

uint32_t TKeyedItemList::BucketOf(uint32_t key) const
{
    if (FBuckets.empty())
        return 0;
    const uint8_t bytes[4] = {static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8),
                              static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 24)};
    return Crc32Hash(bytes, FKeySize) % BucketCount();
}

void TKeyedItemList::GrowBuckets()
{
    const uint32_t count = FBuckets.empty() ? std::min(kFirstBucketCount, FMaxBucketCount)
                                            : std::min(BucketCount() * kBucketGrowth, FMaxBucketCount);
    std::vector<std::vector<TEntry>> previous = std::move(FBuckets);
    FBuckets.assign(count, {});
    // Equal keys share a bucket, in list order, and move on together in that order.
    for (const auto& bucket : previous)
        for (const TEntry& entry : bucket)
            FBuckets[BucketOf(entry.Key)].push_back(entry);
}

int TKeyedItemList::Add(std::unique_ptr<TCustomXLSItem> item, uint32_t key)
{
    if (FItems.size() >= BucketCount() && BucketCount() < FMaxBucketCount)
        GrowBuckets();
    const auto index = static_cast<uint32_t>(FItems.size());
    TCustomXLSItem* stored = item.get();
    FItems.push_back(std::move(item));
    FBuckets[BucketOf(key)].push_back({key, index, stored});
    return static_cast<int>(index);
}

const TKeyedItemList::TEntry* TKeyedItemList::Lookup(uint32_t key) const
{
    if (FBuckets.empty())
        return nullptr;
    for (const TEntry& entry : FBuckets[BucketOf(key)])
        if (entry.Key == key)
            return &entry;
    return nullptr;
}

int TKeyedItemList::IndexOf(uint32_t key) const
{
    const TEntry* entry = Lookup(key);
    return entry ? static_cast<int>(entry->Index) : -1;
}

TCustomXLSItem* TKeyedItemList::Find(uint32_t key) const
{
    const TEntry* entry = Lookup(key);
    return entry ? entry->Item : nullptr;
}

size_t TKeyedItemList::LongestBucket() const
{
    size_t longest = 0;
    for (const auto& bucket : FBuckets)
        longest = std::max(longest, bucket.size());
    return longest;
}

// ---- TCustomXLSItems ----

TCustomXLSItems::TCustomXLSItems(TSheet* sheet, TStyleTables* styleTables, uint32_t bucketCount, unsigned keySize)
    : FSheet(sheet), FStyleTables(styleTables), FList(bucketCount, keySize)
{
}

TCustomXLSItems::~TCustomXLSItems() = default;

void TCustomXLSItems::Changed(TCustomXLSItem* item)
{
    if (FUpdating || item->FStored || item != FPendingItem.get())
        return;
    item->FStored = true;
    const uint32_t key = KeyValueOf(item);
    FList.Add(std::move(FPendingItem), key);
}

std::string TCustomXLSItems::KeyOf(const TCustomXLSItem* item) const
{
    const uint32_t key = KeyValueOf(item);
    std::string bytes;
    for (unsigned i = 0; i < FList.KeySize(); ++i)
        bytes.push_back(static_cast<char>(key >> (8 * i)));
    return bytes;
}

int TCustomXLSItems::IndexOf(const TCustomXLSItem* item) const
{
    return FList.IndexOf(KeyValueOf(item));
}

TCustomXLSItem* TCustomXLSItems::Items(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return FList.Items(index);
}

TCustomXLSItem* TCustomXLSItems::SetPending(std::unique_ptr<TCustomXLSItem> item)
{
    FPendingItem = std::move(item);
    return FPendingItem.get();
}
