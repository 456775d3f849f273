#include "model/Workbook.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "styles/XLSError.h"

// ---- TSheets ----

TSheet* TSheets::Add(const std::u16string& name)
{
    if (const uint8_t code = ValidateName(name))
        throw EXLSError(code);
    auto sheet = std::make_unique<TSheet>(FWorkbook);
    sheet->SetName(name);
    FSheets.push_back(std::move(sheet));
    FSheets.back()->FIndex = Count() - 1;
    FByName.emplace(FSheets.back()->Name(), FSheets.back().get());
    return FSheets.back().get();
}

void TSheets::Renamed(TSheet* sheet, const std::u16string& oldName)
{
    FByName.erase(oldName);
    FByName.emplace(sheet->Name(), sheet);
}

TSheet* TSheets::Items(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index, true);
    return FSheets[static_cast<size_t>(index)].get();
}

TSheet* TSheets::FindByName(const std::u16string& name) const
{
    const auto found = FByName.find(name);
    return found == FByName.end() ? nullptr : found->second;
}

uint8_t TSheets::ValidateName(const std::u16string& name) const
{
    if (name.empty() || name.size() > 255)
        return 7;
    const std::string ansi = WideToAnsi(name);
    const bool blank = std::all_of(ansi.begin(), ansi.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
    if (blank || FindByName(name))
        return 6;
    return 0;
}

void TSheets::Clear()
{
    FByName.clear();
    FSheets.clear();
}

// ---- TWorkbook ----

TWorkbook::TWorkbook(int sheetCount)
    : FSheets(std::make_unique<TSheets>(this)),
      FFormatStrings(std::make_unique<TFormatStrings>()),
      FFontTable(std::make_unique<TVirtualFontTable>()),
      FXFTable(std::make_unique<TVirtualXFTable>())
{
    FStyleTables = {FFontTable.get(), FXFTable.get(), FFormatStrings.get(), &FPalette};
    for (int i = 1; i <= sheetCount; ++i) {
        const std::string name = "Sheet" + std::to_string(i);
        FSheets->Add(std::u16string(name.begin(), name.end()));
    }
}

TWorkbook::~TWorkbook()
{
    FSheets.reset();
    FFormatStrings.reset();
    FFontTable.reset();
    FXFTable.reset();
}

void TWorkbook::Clear()
{
    FSheets->Clear();
    FFormatStrings = std::make_unique<TFormatStrings>();
    FFontTable = std::make_unique<TVirtualFontTable>();
    FStyleTables.FontTable = FFontTable.get();
    FStyleTables.FormatStrings = FFormatStrings.get();
    FPalette.Reset();
    Date1904 = false;
}
