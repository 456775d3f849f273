// TXLSReader: reads the BIFF8 records of a workbook file's "Workbook" stream
// into a TWorkbook. One reader serves one Read call; the record loop sends
// each record by its id to one handler, and the steps after the loop turn
// defined names and kept formula tokens into the model's ranges and texts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "styles/Variant.h"

class TBIFFStream;
class TCodePage;
struct TContinuedString;
class TCell;
class TPtgParser;
class TRecordCursor;
class TSheet;
class TWorkbook;

// The five reading switches of TXLSFile.
struct TReadOptions {
    bool ReadBlankCells = true; // BLANK and MULBLANK make formatted empty cells
    bool ReadRowInfo = true;    // ROW records set heights, outline levels, formats
    bool ReadColumnInfo = true; // COLINFO records set widths, outline levels, formats
    bool ReadFormulas = true;   // formula tokens are kept and decoded into texts
    bool StrictFormulas = false; // an undecodable formula ends the read (EXLSError 13)
};

// The double an RK value packs ([MS-XLS] 2.5.217).
double RKToDouble(uint32_t rk);

// The date value (days since 1899-12-30) of a serial number of the file.
// 1900 system: serials below 60 count from 1900-01-01, 60 (the day 1900-02-29
// that never was) and 61 are both 1900-03-01, later serials are the date
// value as they stand. 1904 system: serial + 1462.
double SerialToDate(double serial, bool date1904);

// The BIFF version of a file whose first BOF has this id and version word:
// 2, 3 or 4 by the id (0x0009, 0x0209, 0x0409); for 0x0809, 5 when the word
// is 0x0500 (BIFF5 and BIFF7), else 8.
int BiffVersionOfBof(uint16_t id, uint16_t versionWord);

// The last step of every cell record: the XF index (when it is inside the XF
// table) and, for a numeric value under a date format, the value as a date.
void ApplyCellFormat(TCell& cell, int32_t xfIndex);

class TXLSReader {
public:
    explicit TXLSReader(TWorkbook& workbook);
    ~TXLSReader();
    TXLSReader(const TXLSReader&) = delete;
    TXLSReader& operator=(const TXLSReader&) = delete;

    // Progress of the read, 0..1, after every record fetched.
    std::function<void(double)> OnProgress;

    // Clears the workbook and reads the file into it. Raises ECFileError for
    // a file that cannot be opened as a compound document, EXLSError(2) when
    // its root has no "Workbook" stream, and whatever a record handler raises.
    void Read(const std::u16string& fileName, const std::u16string& password, const TReadOptions& options);

    // UTF-16LE bytes as a wide string (an odd last byte is dropped).
    static std::u16string Utf16FromBytes(const std::string& bytes);
    // The characters of a continued string; fewer than asked for means its
    // look-ahead met a record other than CONTINUE (or the end of the records).
    static size_t CharCount(const TContinuedString& text);

private:
    using THandler = void (TXLSReader::*)();
    struct TDispatchEntry {
        uint16_t Id;
        THandler Handler;
    };
    static const TDispatchEntry DispatchTable[];
    // Records of BIFF2-BIFF7 whose layout differs from BIFF8, by id and the
    // versions they have that layout in; looked up before DispatchTable.
    struct TOlderDispatchEntry {
        uint16_t Id;
        uint8_t FirstVersion, LastVersion;
        THandler Handler;
    };
    static const TOlderDispatchEntry OlderDispatchTable[];
    void RunRecordLoop();
    void Dispatch(uint32_t id);
    bool DispatchOlder(uint32_t id);

    // Helpers shared by the handlers.
    // Inside a nested substream or the substream of a chart sheet, where
    // records act on nothing.
    bool InChartRecords() const;
    TSheet& CurrentSheet();
    // The characters of a string field: UTF-16LE bytes when `wide`, else one
    // byte per character, read from the current body; a cut-off field gives
    // an empty text.
    std::u16string ReadWideText(size_t charCount, bool wide);
    std::string ReadAnsiText(size_t charCount, bool wide);

    // Substreams and globals (GlobalsRecords.cpp).
    void HandleDefault();
    void HandleBof();
    // The first BOF names the BIFF version; a BIFF2-4 worksheet file gets its sheet.
    void ReadFirstBof();
    void HandleEof();
    // Depth +1 at BOF, -1 at EOF; back at depth 0 the next sheet's turn begins.
    void PassSubstreamBound(int step);
    void HandleBoundSheet();
    void HandleFont();
    void HandleXF();
    void HandlePalette();
    void HandleFormat();
    void HandleSst();
    void HandleExternSheet();
    void HandleName();
    void HandlePassword();
    void HandleDateMode();
    void ApplyDefinedNames();

    // BIFF2-BIFF7 (OlderRecords.cpp, Biff5Records.cpp, Biff2to4Records.cpp).
    // The 8-bit text of these versions in the workbook's code page.
    std::u16string WideOf(const std::string& bytes) const;
    std::string AnsiOf(const std::string& bytes) const;
    TVariant TextValue(const std::string& bytes) const;
    // `count` bytes of the body as 8-bit text, or fewer when the body ends.
    std::string ReadBytes8(size_t count);
    void HandleCodePage();
    void HandleBoundSheet5();
    void HandleFont5();
    void HandleFormat5();
    void HandleXF5();
    // The sheet of a BIFF2-4 file that holds one worksheet, named after the file.
    void AddFileSheet();
    // FONT, XF and FORMAT end alike in every version.
    void BeginFontTable();
    void AppendFont(const std::string& name);
    void BeginXFTable();
    void AppendXF();
    void AddOlderFormat(uint16_t code, const std::string& text);
    void HandleLabel8();
    void HandleString8();
    void HandleHeader8();
    void HandleFooter8();
    void ReadHeaderText8(std::string& left, std::string& center, std::string& right);
    void HandleFont2();
    void HandleFormat2();
    void HandleXF2();
    void HandleXF3();
    void HandleXF4();
    void HandleIxfe2();
    void HandleBlank2();
    void HandleInteger2();
    void HandleNumber2();
    void HandleLabel2();
    void HandleBoolErr2();
    void HandleFormula2();
    void HandleFormula3();
    void HandleString2();
    void HandleRow2();
    void HandleColWidth2();
    // Row, column and XF of a BIFF2 cell record, whose XF index sits in its
    // 3-byte cell attributes.
    struct TCell2Head {
        uint16_t Row = 0, Col = 0, XF = 0;
    };
    TCell2Head ReadCell2Head();

    // Cells (CellRecords.cpp).
    // GetCell on the current sheet, SetValue, ApplyCellFormat. `shared`: the
    // shared-string index of a text value, or -1.
    void SetCellValue(int row, int col, int32_t xfIndex, const TVariant& value, int64_t shared = -1);
    // Whether ApplyCellFormat makes a number under XF `index` a date;
    // worked out once per XF while the tables stay as they are.
    bool IsDateXF(int32_t index);
    // An empty cell formatted with the XF, unless the XF is outside the table or plain.
    void FormatEmptyCell(int row, int col, uint16_t xfIndex);
    void HandleNumber();
    void HandleRk();
    void HandleMulRk();
    void HandleLabel();
    void HandleLabelSst();
    void HandleBoolErr();
    void HandleBlank();
    void HandleMulBlank();

    // Formulas (FormulaRecords.cpp, FormulaTexts.cpp).
    void HandleFormula();
    // The common part of FORMULA in every version: the cached result, then
    // the option word and tokens when formulas are read.
    void ReadFormulaRecord(uint16_t row, uint16_t col, int32_t xf, size_t optionSize, size_t chainSize,
                           size_t sizeFieldSize);
    void HandleString();
    void HandleSharedFormula();
    // Created on first need with the sheet names and EXTERNSHEET entries.
    TPtgParser& FormulaDecoder();
    void FillSheetNames();
    void DecodeFormulaTexts();

    // Rows, columns, merged areas, page setup and view (SheetRecords.cpp).
    void HandleRow();
    void HandleColInfo();
    void HandleMergeCells();
    // HEADER and FOOTER: the text's left, centre and right sections.
    void ReadHeaderText(std::string& left, std::string& center, std::string& right);
    static void SplitHeaderText(const std::string& text, std::string& left, std::string& center, std::string& right);
    // A 16-bit option field at the start of the body; marks the record consumed.
    uint16_t ReadOptionWord();
    // Two 16-bit fields at the start of the body; marks the record consumed.
    std::pair<uint16_t, uint16_t> ReadTwoWords();
    void HandleHeader();
    void HandleFooter();
    void HandleMargin();
    void HandlePrintHeaders();
    void HandlePrintGridLines();
    void HandleHCenter();
    void HandleVCenter();
    void HandleSetup();
    void HandleWsBool();
    void HandleWindow2();
    void HandlePane();
    void HandleScl();

    // Decryption (FilePass.cpp).
    void HandleFilePass();

    TWorkbook& FWorkbook;
    TReadOptions FOptions;
    std::u16string FFileName;
    // The BIFF version the first BOF named: 2, 3, 4, 5 (also for BIFF7) or 8.
    int FVersion = 8;
    bool FFirstBofRead = false;
    std::unique_ptr<TCodePage> FCodePage; // 8-bit text of BIFF2-BIFF7
    // BIFF2-4 number formats are kept under these codes plus their order in
    // the file: outside the BIFF8 built-in codes, so their own text tells
    // their class.
    static constexpr uint16_t OlderFormatCodes = 0x1000;
    uint16_t FOlderFormatCount = 0; // BIFF2-4 number formats by their order
    uint16_t FIxfe = 0;             // BIFF2: the XF of cell attributes that name XF 63
    std::u16string FPassword;
    TBIFFStream* FStream = nullptr;   // while the record loop runs
    TRecordCursor* FCursor = nullptr; // while the record loop runs

    int32_t FDepth = 0;
    bool FGlobalsDone = false;
    int32_t FCurrentSheet = 0;
    // The sheet kind byte of each BOUNDSHEET ([MS-XLS] 2.4.28), by sheet position.
    enum : uint8_t { SheetKindChart = 2 };
    std::vector<uint8_t> FSheetKinds;
    bool FFontsCleared = false;
    bool FXFsCleared = false;
    int32_t FPendingRow = -1, FPendingCol = -1, FPendingXF = -1;

    std::vector<std::string> FSharedStrings; // marker byte (0 narrow, 1 UTF-16LE), then the characters
    std::vector<TVariant> FSharedValues;     // the cell value of each shared string, made on first use
    struct TDateXFs {
        uint32_t XFGeneration = 0, FormatReplacements = 0;
        std::vector<int8_t> ByXF; // 1 date, 0 not, -1 not worked out yet
    } FDateXFs;
    std::vector<std::string> FNameRecords;
    std::vector<std::string> FExternSheets;
    std::vector<std::string> FFormulaTokens; // option word, then the tokens
    std::vector<std::string> FSheetNames;
    std::unique_ptr<TPtgParser> FFormulaDecoder;
};
