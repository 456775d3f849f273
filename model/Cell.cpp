#include "model/Cell.h"

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

// ---- TCells ----

TCells::TCells(TSheet* sheet, TStyleTables* styleTables) : TCustomXLSItems(sheet, styleTables, 16383, 4) {}

namespace {

uint32_t CellKeyValue(uint16_t row, uint16_t col)
{
    return row | (static_cast<uint32_t>(col) << 16);
}

} // namespace

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

TCell* TCells::FindCell(int row, int col) const
{
    if (row < 0 || row > 0xFFFF || col < 0 || col > 255)
        return nullptr;
    const auto r = static_cast<uint16_t>(row), c = static_cast<uint16_t>(col);
    if (!FPresence.Has(r, c))
        return nullptr;
    return static_cast<TCell*>(FindByKey(CellKeyValue(r, c)));
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
    const bool wasStored = item->Stored();
    TCustomXLSItems::Changed(item);
    if (!wasStored && item->Stored()) {
        const auto* cell = static_cast<const TCell*>(item);
        FPresence.Set(cell->Row(), cell->Col());
    }
}

bool TCells::TPresence::Has(uint16_t row, uint16_t col) const
{
    const size_t block = row >> 8;
    if (block >= FBlocks.size() || !FBlocks[block])
        return false;
    const size_t bit = static_cast<size_t>(row & 0xFF) * 256 + col;
    return ((*FBlocks[block])[bit / 64] >> (bit % 64)) & 1;
}

void TCells::TPresence::Set(uint16_t row, uint16_t col)
{
    const size_t block = row >> 8;
    if (block >= FBlocks.size())
        FBlocks.resize(block + 1);
    if (!FBlocks[block])
        FBlocks[block] = std::make_unique<TBlock>(); // zero-filled
    const size_t bit = static_cast<size_t>(row & 0xFF) * 256 + col;
    (*FBlocks[block])[bit / 64] |= uint64_t{1} << (bit % 64);
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
