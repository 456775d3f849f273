#include "model/Cell.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

#include "model/RowCol.h"
#include "model/Sheet.h"
#include "platform/CodePage.h"
#include "styles/XLSError.h"

namespace {

const char kSeparator[] = "\xFF\x00\xFF\x63";
constexpr size_t kSeparatorSize = 4;

void AppendAttribute(std::string& out, char tag, const std::string& value)
{
    if (value.empty())
        return;
    const std::string separator(kSeparator, kSeparatorSize);
    out += separator;
    out += tag;
    out += separator;
    out += value;
    out += separator;
}

bool AcceptedType(uint16_t type)
{
    return (type >= varSmallint && type <= varOleStr) || type == varError || type == varBoolean ||
           (type >= varShortInt && type <= varInt64) || type == varString;
}

size_t StringLengthOf(const TVariant& value)
{
    return value.IsWide() ? AnsiLengthOf(value.AsWide()) : value.AsString().size();
}

constexpr uint16_t kShortDatePosition = 13; // "mm/dd/yy"

} // namespace

namespace {

// SetMerged(true) on many cells that share a few formats: what the first
// cell of a format did (the merged twin of its record, and the record that
// gave up a use) is repeated for the others without editing the record again.
class TMergeFlagger {
public:
    struct TTwin {
        int32_t Merged;
        int Released;
    };

    explicit TMergeFlagger(TVirtualXFTable& xfs) : FXFs(xfs) {}

    void Flag(TCell& cell)
    {
        const int32_t before = cell.XFIndex();
        const auto known = FTwins.find(before);
        if (known == FTwins.end()) {
            // Replace releases the earliest record equal to the loaded one.
            const int released = FXFs.Table().IndexOf(FXFs.Table().Get(before));
            cell.SetMerged(true);
            FTwins.emplace(before, TTwin {cell.XFIndex(), released});
            return;
        }
        const TTwin twin = known->second;
        if (twin.Merged == before)
            return; // the record has the flag already: SetMerged changes nothing
        FXFs.Release(twin.Released);
        FXFs.AddRef(twin.Merged);
        cell.SetXFIndex(twin.Merged);
    }

    // What flagging a cell of format `before` does, once a cell of it was flagged.
    const TTwin* Known(int32_t before) const
    {
        const auto known = FTwins.find(before);
        return known == FTwins.end() ? nullptr : &known->second;
    }

private:
    TVirtualXFTable& FXFs;
    std::unordered_map<int32_t, TTwin> FTwins;
};

} // namespace

// ---- TCell ----

TCell::TCell(TCells* owner, uint16_t row, uint16_t col) : TCustomXLSItem(owner)
{
    FData.Row = row;
    FData.Col = col;
    Clear();
    InheritRowAndColumnStyle();
}

void TCell::Reinitialize(uint16_t row, uint16_t col)
{
    // What destroying this cell and creating a new one would do to the use counts.
    TStyleTables* tables = StyleTables();
    tables->FontTable->Release(FontIndex());
    tables->XFTable->Release(XFIndex());
    AssignXFIndex(tables->XFTable->DefaultIndex());
    tables->XFTable->AddRef(XFIndex());

    FData.Row = row;
    FData.Col = col;
    Clear();
    InheritRowAndColumnStyle();
}

void TCell::Clear()
{
    FData.Texts.reset();
    FData.Value = TVariant();
    TStyleTables* tables = StyleTables();
    const uint16_t font = FontIndex();
    if (font != 0) {
        tables->FontTable->Release(font);
        ResetFontIndex();
        tables->FontTable->AddRef(0);
    }
    const int32_t defaultIndex = tables->XFTable->DefaultIndex();
    if (XFIndex() != defaultIndex) {
        tables->XFTable->Release(XFIndex());
        AssignXFIndex(defaultIndex);
        tables->XFTable->AddRef(defaultIndex);
    }
}

void TCell::ResetFontIndex()
{
    // Every new cell of a sheet starts from the same record, so the
    // copy-on-write (hashing the record bytes to find the earliest equal
    // record and the edited one) is done once and its outcome repeated.
    TVirtualXFTable& xfs = *StyleTables()->XFTable;
    TCells::TFontReset& last = static_cast<TCells*>(Owner())->FFontReset;
    if (!Stored() && last.Table == &xfs && last.Generation == xfs.Generation() && last.From == XFIndex()) {
        xfs.Release(last.Released);
        xfs.AddRef(last.Committed);
        AssignXFIndex(last.Committed);
        return;
    }
    const int32_t from = XFIndex();
    const int released = xfs.Table().IndexOf(xfs.Table().Get(from));
    SetFontIndex(0);
    last = {&xfs, xfs.Generation(), from, released, XFIndex()};
}

void TCell::InheritRowAndColumnStyle()
{
    TSheet* sheet = Owner()->Sheet();
    if (!sheet)
        return;
    const int32_t d = StyleTables()->XFTable->DefaultIndex();
    const TRow* row = sheet->Rows().FindRow(Row());
    const TColumn* column = sheet->Columns().FindColumn(Col());
    const int32_t r = row ? row->XFIndex() : d;
    const int32_t c = column ? column->XFIndex() : d;
    if (r == d) {
        AssignXFIndex(c);
        return;
    }
    if (c == d) {
        AssignXFIndex(r);
        return;
    }

    // Both formatted: the row's value unless it is the default, then the
    // column's. The outcome depends on the two records only, so it is
    // worked out once per pair.
    auto& combined = static_cast<TCells*>(Owner())->CombinedFormats();
    const uint64_t pair = (static_cast<uint64_t>(static_cast<uint32_t>(r)) << 32) | static_cast<uint32_t>(c);
    if (const auto known = combined.find(pair); known != combined.end()) {
        TVirtualXFTable& xfs = *StyleTables()->XFTable;
        xfs.Release(XFIndex());
        AssignXFIndex(known->second);
        xfs.AddRef(known->second);
        return;
    }
    Owner()->SetUpdating(true);
    const TXFRecord rx = row->XFRecord(), cx = column->XFRecord();
    const TFontRecord rf = row->FontRecord(), cf = column->FontRecord();
    auto pick = [](auto rowValue, auto columnValue, auto defaultValue) {
        return rowValue != defaultValue ? rowValue : columnValue;
    };
    for (int side = 0; side < 4; ++side) {
        SetBorderColorIndex(side, pick(rx.BorderColor[side], cx.BorderColor[side], AutoBackgroundColor));
        SetBorderStyle(side, pick(rx.BorderStyle[side], cx.BorderStyle[side], uint8_t{0}));
    }
    SetFillColorIndex(pick(rx.FillColor, cx.FillColor, AutoBackgroundColor));
    SetPatternColorIndex(pick(rx.PatternColor, cx.PatternColor, AutoForegroundColor));
    SetFillPattern(pick(rx.FillPattern, cx.FillPattern, uint8_t{0}));
    SetFormatIndex(pick(rx.FormatIndex, cx.FormatIndex, uint16_t{0}));
    SetHorizontalAlignment(pick(rx.HAlign, cx.HAlign, uint8_t{0}));
    SetVerticalAlignment(pick(rx.VAlign, cx.VAlign, uint8_t{0}));
    SetRotation(pick(rx.Rotation, cx.Rotation, uint8_t{0}));
    SetIndent(pick(rx.Indent, cx.Indent, uint8_t{0}));
    SetWrapText(rx.WrapText || cx.WrapText);
    SetFontBold(rf.Bold || cf.Bold);
    SetFontItalic(rf.Italic || cf.Italic);
    SetFontUnderline(rf.Underline || cf.Underline);
    SetFontStrikeout(rf.StrikeOut || cf.StrikeOut);
    SetFontUnderlineStyle(pick(rf.UnderlineKind, cf.UnderlineKind, uint8_t{0}));
    SetFontScript(pick(rf.Script, cf.Script, uint8_t{0}));
    const std::u16string rowName = rf.Name();
    SetFontName(rowName != u"Arial" ? rowName : cf.Name());
    SetFontColorIndex(pick(rf.ColorIndex, cf.ColorIndex, AutoForegroundColor));
    SetFontSize(pick(rf.Size, cf.Size, uint16_t{10}));
    Owner()->SetUpdating(false);
    combined[pair] = XFIndex();
}

void TCell::SetValue(const TVariant& value)
{
    if (!AcceptedType(value.Type()))
        throw EXLSError(3);
    if ((value.IsWide() || value.IsString()) && StringLengthOf(value) > 65535)
        throw EXLSError(3);
    if (value.IsDate() && !FData.Value.IsDate() && FormatIndex() == 0)
        SetFormatIndex(kShortDatePosition);
    if (!(value == FData.Value))
        FData.Value = value;
    NotifyChanged();
}

const std::string& TCell::Formula() const
{
    static const std::string none;
    return FData.Texts ? FData.Texts->Formula : none;
}

void TCell::SetFormula(const std::string& text)
{
    if (text == Formula())
        return;
    if (!FData.Texts)
        FData.Texts = std::make_unique<TCellData::TTextAttributes>();
    FData.Texts->Formula = text;
    if (FData.Texts->Formula.empty() && FData.Texts->Hyperlink.empty())
        FData.Texts.reset();
    NotifyChanged();
}

const std::u16string& TCell::Hyperlink() const
{
    static const std::u16string none;
    return FData.Texts ? FData.Texts->Hyperlink : none;
}

void TCell::SetHyperlink(const std::u16string& text)
{
    if (text == Hyperlink())
        return;
    if (!FData.Texts)
        FData.Texts = std::make_unique<TCellData::TTextAttributes>();
    FData.Texts->Hyperlink = text;
    if (FData.Texts->Formula.empty() && FData.Texts->Hyperlink.empty())
        FData.Texts.reset();
    SetFontColorIndex(5);
    SetFontUnderline(true);
    if (FData.Value.IsEmpty())
        SetValue(TVariant::Wide(text));
    NotifyChanged();
}

std::string TCell::Attributes() const
{
    std::string out;
    AppendAttribute(out, 'F', Formula());
    std::string link;
    for (char16_t unit : Hyperlink()) {
        link.push_back(static_cast<char>(unit & 0xFF));
        link.push_back(static_cast<char>(unit >> 8));
    }
    AppendAttribute(out, 'H', link);
    return out;
}

TCell::TCell(TCells* owner, uint16_t row, uint16_t col, int32_t xfIndex, TVariant value)
    : TCustomXLSItem(owner, xfIndex)
{
    FData.Row = row;
    FData.Col = col;
    FData.Value = std::move(value);
}

// ---- TStoredCell ----

const std::string& TStoredCell::Formula() const
{
    static const std::string none;
    return FCell ? FCell->Formula() : none;
}

const std::u16string& TStoredCell::Hyperlink() const
{
    static const std::u16string none;
    return FCell ? FCell->Hyperlink() : none;
}

TXFRecord TStoredCell::XFRecord() const
{
    return Owner->StyleTables()->XFTable->GetOrDefault(XFIndex);
}

TStoredCell TStoredCell::Of(const TCell& cell)
{
    TStoredCell stored;
    stored.Row = cell.Row();
    stored.Col = cell.Col();
    stored.XFIndex = cell.XFIndex();
    stored.Owner = static_cast<const TCells*>(cell.Owner());
    stored.FValue = &cell.Value();
    stored.FCell = &cell;
    return stored;
}

// ---- TCells ----

namespace {

// Record kinds beside the variant type codes up to varInt64.
constexpr uint8_t kKindCellObject = 0xFF;
constexpr uint8_t kKindString = 0xFE; // varString

uint32_t CellKeyValue(uint16_t row, uint16_t col)
{
    return row | (static_cast<uint32_t>(col) << 16);
}

} // namespace

TCells::TCells(TSheet* sheet, TStyleTables* styleTables) : TCustomXLSItems(sheet, styleTables, 16383, 4) {}

TCells::~TCells()
{
    // A record holds the uses its cell object would give back.
    // Counted per XF first: a sheet's many records share a few formats.
    // A record's XF lies inside the table or is its default.
    TStyleTables* tables = StyleTables();
    std::vector<uint32_t> uses(static_cast<size_t>(std::max(0, tables->XFTable->Count())));
    std::unordered_map<int32_t, uint32_t> otherUses; // for XFs beyond the table, should there be any
    for (uint32_t i = 0; i < FRecords.size(); ++i)
        if (const TRecord& record = Record(i); record.Kind != kKindCellObject) {
            if (record.XF >= 0 && static_cast<size_t>(record.XF) < uses.size())
                ++uses[static_cast<size_t>(record.XF)];
            else
                ++otherUses[record.XF];
        }
    auto release = [&](int32_t xf, uint32_t count) {
        tables->FontTable->Table().Release(tables->XFTable->GetOrDefault(xf).FontIndex, count);
        tables->XFTable->Table().Release(xf, count);
    };
    for (size_t xf = 0; xf < uses.size(); ++xf)
        if (uses[xf] != 0)
            release(static_cast<int32_t>(xf), uses[xf]);
    for (const auto& [xf, count] : otherUses)
        release(xf, count);
}

uint32_t TCells::KeyValueOf(const TCustomXLSItem* item) const
{
    const auto* cell = static_cast<const TCell*>(item);
    return CellKeyValue(cell->Row(), cell->Col());
}

std::string TCells::CellKey(uint16_t row, uint16_t col)
{
    const uint32_t key = CellKeyValue(row, col);
    return std::string{static_cast<char>(key), static_cast<char>(key >> 8), static_cast<char>(key >> 16),
                       static_cast<char>(key >> 24)};
}

const TCells::TRowCells* TCells::RowCells(int row) const
{
    if (!FLastRow || row < 0)
        return nullptr;
    // Rows mostly come in order: the last one first.
    if (FLastRow->first == row)
        return &FLastRow->second;
    const auto found = FRows.find(static_cast<uint16_t>(row));
    return found == FRows.end() || found->first != row ? nullptr : &found->second;
}

int TCells::NextRow(int row) const
{
    const auto next = FRows.lower_bound(static_cast<uint16_t>(std::clamp(row, 0, 0xFFFF)));
    return row > 0xFFFF || next == FRows.end() ? -1 : next->first;
}

int TCells::IndexAt(int row, int col) const
{
    if (col < 0 || col > 255)
        return -1;
    const TRowCells* found = RowCells(row);
    if (!found)
        return -1;
    const TRowCells& cells = *found;
    if (cells.Dense) {
        const int offset = col - cells.FirstCol;
        return offset >= 0 && offset < cells.Count ? static_cast<int>(cells.First) + offset : -1;
    }
    const uint32_t key = static_cast<uint32_t>(col) << 24;
    const auto at = std::lower_bound(cells.Entries.begin(), cells.Entries.end(), key);
    if (at == cells.Entries.end() || (*at >> 24) != static_cast<uint32_t>(col))
        return -1;
    return static_cast<int>(*at & 0xFFFFFF);
}

void TCells::RowIndexes(int row, std::vector<uint32_t>& out) const
{
    if (const TRowCells* found = RowCells(row))
        AppendIndexes(*found, out);
}

TCells::TRowWalk::TRowWalk(const TCells& cells) : FCells(cells) {}

void TCells::TRowWalk::RowIndexes(int row, std::vector<uint32_t>& out)
{
    const TRowMap& rows = FCells.FRows;
    if (row < 0 || row > 0xFFFF)
        return;
    const auto key = static_cast<uint16_t>(row);
    // Forward from the row asked for before; a step back searches again.
    if (!FAt || key < FAsked)
        FAt = rows.lower_bound(key);
    while (*FAt != rows.end() && (*FAt)->first < key)
        ++*FAt;
    FAsked = key;
    if (*FAt != rows.end() && (*FAt)->first == key)
        AppendIndexes((*FAt)->second, out);
}

void TCells::AppendIndexes(const TRowCells& cells, std::vector<uint32_t>& out)
{
    if (cells.Dense) {
        for (uint32_t i = 0; i < cells.Count; ++i)
            out.push_back(cells.First + i);
        return;
    }
    for (const uint32_t entry : cells.Entries)
        out.push_back(entry & 0xFFFFFF);
}

uint32_t TCells::AddRecord(const TRecord& record)
{
    const auto index = static_cast<uint32_t>(FRecords.size());
    FRecords.push_back(record);
    // Cells mostly come row by row: the last row first.
    if (!FLastRow || FLastRow->first < record.Row)
        FLastRow = &*FRows.emplace_hint(FRows.end(), record.Row, TRowCells());
    TRowCells& row = FLastRow->first == record.Row ? FLastRow->second : FRows[record.Row];
    if (row.Dense) {
        if (row.Count == 0) {
            row.First = index;
            row.FirstCol = record.Col;
            row.Count = 1;
            return index;
        }
        if (record.Col == row.FirstCol + row.Count && index == row.First + row.Count) {
            ++row.Count;
            return index;
        }
        for (uint32_t i = 0; i < row.Count; ++i)
            row.Entries.push_back(static_cast<uint32_t>(row.FirstCol + i) << 24 | (row.First + i));
        row.Dense = false;
    }
    const uint32_t entry = static_cast<uint32_t>(record.Col) << 24 | index;
    row.Entries.insert(std::upper_bound(row.Entries.begin(), row.Entries.end(), entry), entry);
    return index;
}

TCell* TCells::CellOf(uint32_t index) const
{
    const TRecord& record = Record(index);
    if (record.Kind == kKindCellObject)
        return FObjects[record.Payload].get();
    TStoredCell stored = Stored(static_cast<int>(index));
    auto cell = std::unique_ptr<TCell>(
        new TCell(const_cast<TCells*>(this), record.Row, record.Col, record.XF, stored.Value()));
    TRecord& changed = const_cast<TCells*>(this)->Record(index);
    changed.Kind = kKindCellObject;
    changed.Payload = static_cast<uint32_t>(FObjects.size());
    FObjects.push_back(std::move(cell));
    return FObjects.back().get();
}

TCell* TCells::Items(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return CellOf(static_cast<uint32_t>(index));
}

int TCells::IndexOf(const TCustomXLSItem* item) const
{
    const auto* cell = static_cast<const TCell*>(item);
    return IndexAt(cell->Row(), cell->Col());
}

int32_t TCells::XFIndexOf(int index) const
{
    const TRecord& record = Record(static_cast<uint32_t>(index));
    return record.Kind == kKindCellObject ? FObjects[record.Payload]->XFIndex() : record.XF;
}

TStoredCell TCells::Stored(int index) const
{
    const TRecord& record = Record(static_cast<uint32_t>(index));
    if (record.Kind == kKindCellObject)
        return TStoredCell::Of(*FObjects[record.Payload]);
    TStoredCell stored;
    stored.Row = record.Row;
    stored.Col = record.Col;
    stored.XFIndex = record.XF;
    stored.Owner = this;
    switch (record.Kind) {
    case varEmpty:
        break;
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
        stored.FOwnValue = TVariant::Float(record.Kind, std::bit_cast<double>(FNumbers[record.Payload]));
        break;
    case varInt64:
        stored.FOwnValue = TVariant::Int(record.Kind, std::bit_cast<int64_t>(FNumbers[record.Payload]));
        break;
    case varBoolean:
        stored.FOwnValue = TVariant::Boolean(record.Payload != 0);
        break;
    case varLongWord:
        stored.FOwnValue = TVariant::Int(record.Kind, record.Payload);
        break;
    case varOleStr:
    case kKindString:
        stored.FValue = &FTexts[record.Payload];
        stored.FTextSlot = record.Payload;
        break;
    default: // the narrower integer types and error codes
        stored.FOwnValue = TVariant::Int(record.Kind, static_cast<int32_t>(record.Payload));
    }
    return stored;
}

namespace {

// Values whose record points at a 64-bit number kept beside the records.
bool HoldsWideNumber(uint8_t kind)
{
    return kind == varSingle || kind == varDouble || kind == varCurrency || kind == varDate || kind == varInt64;
}

} // namespace

bool TCells::PackValue(const TVariant& value, int64_t shared, TRecord& record)
{
    const uint16_t type = value.Type();
    if (!AcceptedType(type))
        return false;
    if (value.IsWide() || value.IsString()) {
        if (StringLengthOf(value) > 65535)
            return false;
        record.Kind = value.IsWide() ? uint8_t{varOleStr} : kKindString;
        if (shared >= 0) {
            record.Payload = SharedTextSlot(shared, value);
        } else {
            record.Payload = static_cast<uint32_t>(FTexts.size());
            FTexts.push_back(value);
        }
        return true;
    }
    const bool hadNumber = record.Kind != kKindCellObject && HoldsWideNumber(record.Kind);
    record.Kind = static_cast<uint8_t>(type);
    if (!HoldsWideNumber(record.Kind)) {
        record.Payload = static_cast<uint32_t>(value.AsInt64());
        return true;
    }
    const uint64_t bits = value.IsInteger() ? std::bit_cast<uint64_t>(value.AsInt64()) : std::bit_cast<uint64_t>(value.AsDouble());
    // A number that replaces a number keeps its place.
    if (!hadNumber) {
        record.Payload = static_cast<uint32_t>(FNumbers.size());
        FNumbers.push_back(bits);
    } else {
        FNumbers[record.Payload] = bits;
    }
    return true;
}

uint32_t TCells::SharedTextSlot(int64_t key, const TVariant& value)
{
    // Keys are mostly small and dense (places in the shared-string table):
    // those are found by index. The index grows only with the texts kept.
    constexpr uint32_t kNone = UINT32_MAX;
    if (static_cast<uint64_t>(key) < 2 * FTexts.size() + 1024) {
        const auto at = static_cast<size_t>(key);
        if (at >= FSharedSlots.size())
            FSharedSlots.resize(std::max(at + 1, 2 * FSharedSlots.size()), kNone);
        if (FSharedSlots[at] == kNone) {
            // A key that was large when it came first was kept in the map.
            const auto earlier = FSharedTexts.find(key);
            if (earlier != FSharedTexts.end()) {
                FSharedSlots[at] = earlier->second;
            } else {
                FSharedSlots[at] = static_cast<uint32_t>(FTexts.size());
                FTexts.push_back(value);
            }
        }
        return FSharedSlots[at];
    }
    const auto [slot, added] = FSharedTexts.try_emplace(key, static_cast<uint32_t>(FTexts.size()));
    if (added)
        FTexts.push_back(value);
    return slot->second;
}

bool TCells::NewCellUsesKnown() const
{
    const TVirtualXFTable& xfs = *StyleTables()->XFTable;
    const int32_t d = xfs.DefaultIndex();
    const TFontReset& last = FFontReset;
    return xfs.GetOrDefault(d).FontIndex == 0 ||
           (last.Table == &xfs && last.Generation == xfs.Generation() && last.From == d);
}

void TCells::TakeNewCellUses()
{
    TStyleTables& tables = *StyleTables();
    TVirtualXFTable& xfs = *tables.XFTable;
    const int32_t d = xfs.DefaultIndex();
    xfs.AddRef(d); // the constructor's
    const uint16_t font = xfs.GetOrDefault(d).FontIndex;
    if (font == 0)
        return;
    // Clear: from the default's font to font 0 (ResetFontIndex as it
    // repeats its last outcome), then back to the default record.
    tables.FontTable->Release(font);
    xfs.Release(FFontReset.Released);
    xfs.AddRef(FFontReset.Committed);
    tables.FontTable->AddRef(0);
    if (FFontReset.Committed != d) {
        xfs.Release(FFontReset.Committed);
        xfs.AddRef(d);
    }
}

bool TCells::InheritsNothing(uint16_t row, uint16_t col) const
{
    const TSheet* sheet = Sheet();
    const TStyleTables& tables = *StyleTables();
    const int32_t d = tables.XFTable->DefaultIndex();
    if (!sheet)
        return true;
    const TRow* r = sheet->Rows().FindRow(row);
    const TColumn* c = sheet->Columns().FindColumn(col);
    return (!r || r->XFIndex() == d) && (!c || c->XFIndex() == d);
}

bool TCells::StoreNew(int row, int col, int32_t xfIndex, const TVariant& value, int64_t shared, const TVariant* then)
{
    if (row < 0 || row > 0xFFFF || col < 0 || col > 255)
        throw EXLSError(5);
    if (Updating() || IndexAt(row, col) >= 0)
        return false;
    const auto r = static_cast<uint16_t>(row), c = static_cast<uint16_t>(col);
    if (!InheritsNothing(r, c))
        return false;
    const TStyleTables& tables = *StyleTables();
    TVirtualXFTable& xfs = *tables.XFTable;
    const int32_t d = xfs.DefaultIndex();
    const int32_t xf = xfIndex >= 0 && xfIndex < xfs.Count() ? xfIndex : d;
    // SetValue gives a date under format position 0 the short date format.
    if (value.IsDate() && xfs.GetOrDefault(d).FormatIndex == 0)
        return false;
    if (!NewCellUsesKnown())
        return false;
    TRecord record{};
    record.Row = r;
    record.Col = static_cast<uint8_t>(c);
    record.Kind = varEmpty;
    record.XF = xf;
    if (value.IsEmpty()) {
        // Without a value only SetXFIndex stores the cell, and only when it
        // changes the format; otherwise GetCell leaves a pending cell.
        if (xf == d)
            return false;
        record.Kind = varEmpty;
    } else if (then) {
        // The second SetValue edits the format, as the first, for a first date under position 0.
        const bool editsFormat = then->IsDate() && !value.IsDate() && xfs.GetOrDefault(xf).FormatIndex == 0;
        if (editsFormat || !AcceptedType(value.Type()) || !PackValue(*then, shared, record))
            return false;
    } else if (!PackValue(value, shared, record)) {
        return false;
    }
    TakeNewCellUses();
    if (xf != d && !value.IsEmpty())
        NoteStoredFormatChange(); // SetXFIndex on the cell that SetValue stored
    AddRecord(record);
    return true;
}

std::unordered_map<uint64_t, int32_t>& TCells::CombinedFormats()
{
    const TStyleTables& tables = *StyleTables();
    TCombinedFormats& cache = FCombined;
    if (cache.XFGeneration != tables.XFTable->Generation() || cache.FontTable != tables.FontTable ||
        cache.FontGeneration != tables.FontTable->Generation() || cache.DefaultIndex != tables.XFTable->DefaultIndex()) {
        cache.Formats.clear();
        cache.XFGeneration = tables.XFTable->Generation();
        cache.FontTable = tables.FontTable;
        cache.FontGeneration = tables.FontTable->Generation();
        cache.DefaultIndex = tables.XFTable->DefaultIndex();
    }
    return cache.Formats;
}

void TCells::Changed(TCustomXLSItem* item)
{
    if (Updating() || item->Stored() || item != PendingItem())
        return;
    auto* cell = static_cast<TCell*>(item);
    MarkStored(*cell);
    TRecord record{};
    record.Row = cell->Row();
    record.Col = static_cast<uint8_t>(cell->Col());
    record.Kind = kKindCellObject;
    record.Payload = static_cast<uint32_t>(FObjects.size());
    FObjects.push_back(std::unique_ptr<TCell>(static_cast<TCell*>(TakePending().release())));
    AddRecord(record);
}

TCell* TCells::FindCell(int row, int col) const
{
    const int index = IndexAt(row, col);
    return index < 0 ? nullptr : CellOf(static_cast<uint32_t>(index));
}

TCell* TCells::GetCell(int row, int col)
{
    if (row < 0 || row > 0xFFFF || col < 0 || col > 255)
        throw EXLSError(5);
    if (TCell* stored = FindCell(row, col))
        return stored;
    const auto r = static_cast<uint16_t>(row), c = static_cast<uint16_t>(col);
    // The writer probes every empty position: reuse the pending cell's memory.
    if (TCell* pending = PendingItem()) {
        pending->Reinitialize(r, c);
        return pending;
    }
    return static_cast<TCell*>(SetPending(std::make_unique<TCell>(this, r, c)));
}

void TCells::MergeArea(uint16_t firstRow, uint16_t lastRow, uint8_t firstCol, uint8_t lastCol)
{
    TVirtualXFTable& xfs = *StyleTables()->XFTable;
    TMergeFlagger flagger(xfs);
    const int32_t d = xfs.DefaultIndex();
    for (int row = firstRow; row <= lastRow; ++row)
        for (int col = firstCol; col <= lastCol; ++col) {
            // Once a cell of a format was flagged, the others of that format
            // take its outcome straight into their records.
            if (const int index = IndexAt(row, col); index >= 0) {
                TRecord& record = Record(static_cast<uint32_t>(index));
                const auto* twin = record.Kind == kKindCellObject ? nullptr : flagger.Known(record.XF);
                if (!twin) {
                    flagger.Flag(*CellOf(static_cast<uint32_t>(index)));
                } else if (twin->Merged != record.XF) {
                    xfs.Release(twin->Released);
                    xfs.AddRef(twin->Merged);
                    record.XF = twin->Merged;
                    NoteStoredFormatChange();
                }
                continue;
            }
            const auto* twin = Updating() || !NewCellUsesKnown() ? nullptr : flagger.Known(d);
            if (!twin || !InheritsNothing(static_cast<uint16_t>(row), static_cast<uint16_t>(col))) {
                flagger.Flag(*GetCell(row, col));
                continue;
            }
            if (twin->Merged == d)
                continue; // SetMerged changes nothing, and the cell stays pending
            TakeNewCellUses();
            xfs.Release(twin->Released);
            xfs.AddRef(twin->Merged);
            TRecord record{};
            record.Row = static_cast<uint16_t>(row);
            record.Col = static_cast<uint8_t>(col);
            record.Kind = varEmpty;
            record.XF = twin->Merged;
            AddRecord(record);
        }
}
