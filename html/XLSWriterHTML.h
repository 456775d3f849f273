// The page of one worksheet: a style sheet with one class per distinct style
// text and a table over the sheet's used range, with merged areas spanning
// rows and columns, sizes in pixels and hyperlinks.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "html/MergedAreaMap.h"
#include "html/PageTextMemo.h"
#include "model/Cell.h"
#include "model/Ranges.h"

class TSheet;
class TCell;
class THashedStringList;
struct TLocale;

// A page that would grow past the byte limit its writer was given; what was
// written of it stays within the limit.
class EPageLimitError : public std::runtime_error {
public:
    EPageLimitError() : std::runtime_error("Page larger than its byte limit") {}
};

class TXLSWriterHTML {
public:
    // `utf8`: write the page in UTF-8 and declare it with a meta element;
    // otherwise every byte is Windows-1252, characters it lacks written as
    // references (&#26085; in the markup, \65E5 in the style sheet), and
    // there is no declaration.
    explicit TXLSWriterHTML(TSheet* sheet, bool utf8 = false);
    ~TXLSWriterHTML();
    TXLSWriterHTML(const TXLSWriterHTML&) = delete;
    TXLSWriterHTML& operator=(const TXLSWriterHTML&) = delete;

    // Creates (or replaces) the file and writes the page of `range` into it.
    // Raises EFileError when the file cannot be created or written; a partly
    // written file stays.
    void SaveToFile(const std::string& fileName, const TRangeRect& range);
    // Writes the page of `range` to the stream. Raises EFileError when the
    // stream fails.
    void SaveToStream(std::ostream& stream, const TRangeRect& range);

    // The most bytes a page may have: writing past it raises EPageLimitError
    // before the bytes that would cross it are written.
    void SetByteLimit(uint64_t bytes) { FByteLimit = bytes; }
    // Bytes of the page written so far.
    uint64_t BytesWritten() const { return FBytesWritten; }

    // A cell text made safe for the page: ends trimmed of bytes up to 32,
    // "<" and ">" as "_", "&" as "&amp;", and "&nbsp;" for an empty result.
    static std::string HTMLCellText(const std::string& text);
    // The same appended to `out`.
    static void AppendHTMLCellText(std::string& out, const std::string& text);
    // A text made safe inside a double-quoted attribute: "&", "\"", "<" and
    // ">" as entities.
    static std::string HTMLAttributeText(const std::string& text);

private:
    void WritePage();
    void BuildStyleClasses();
    void WriteStyleSheet();
    void WriteTable();
    void FreeStyleClasses();

    // What the page needs of a cell format, computed once per XF index.
    struct TFormatLook {
        int StyleClass; // the class number of its style text
        bool Merged;
        const std::string* NumberFormat; // the text of its number format
        std::string CellTag;             // "<td class=\"xlN\"", ready-made
    };
    const TFormatLook& FormatLookOf(int32_t xfIndex);
    // Pixel width + 1 of a column, pixel height + 1 of a row.
    int ColumnExtent(int col);
    int RowExtent(int row);
    // The same summed over columns first..last, rows first..last.
    long long ColumnsExtent(int first, int last);
    long long RowsExtent(int first, int last);
    // Appends the display text of a cell of that look, made safe, in the
    // page's encoding, through the thread's memo: safe on a second thread with its own memo.
    void AppendCellPageText(std::string& piece, const TStoredCell& cell, const TFormatLook& look, TPageTextMemo& memo) const;
    void AppendCellPageText(std::string& piece, const TVariant& value, const TFormatLook& look) const;
    // Appends the table rows first..last. With `second` (on the second
    // thread) it reads only what stays unchanged and gives up, returning
    // false, at a position that needs more: an empty position, a format
    // the page has not met, a merged area reaching outside the page.
    bool MakeRows(int first, int last, std::string& out, bool second);

    void Write(std::string_view piece);
    void Flush();
    // Hands bytes to the stream, within the byte limit.
    void WriteOut(std::string_view bytes);

    TSheet* FSheet;
    std::ostream* FStream = nullptr;
    TRangeRect FRange;
    bool FUtf8;
    const TLocale* FLocale = nullptr;
    bool FDate1904 = false;

    std::unique_ptr<THashedStringList> FStyleTexts;
    TMergedAreaMap FMergedAreas;   // the area of each merged position
    std::unordered_map<int32_t, TFormatLook> FLookOfXF;
    // The looks of the XFs of the page, for the second thread, which must not see FLookOfXF grow.
    std::unordered_map<int32_t, TFormatLook> FPageLooks;
    std::vector<const TFormatLook*> FPageLookByXF; // FPageLooks by XF index up to the highest below 65,536
    TPageTextMemo FMemos[2]; // this thread's, the second thread's
    std::vector<int> FColumnExtents; // of the range's columns
    std::vector<int> FRowExtents;    // of the range's rows
    std::vector<long long> FColumnSums, FRowSums; // running sums of the extents, from 0
    std::vector<std::string> FColumnTags; // " width=W height=" of each column of the range
    std::string FBuffer;
    uint64_t FByteLimit = std::numeric_limits<uint64_t>::max();
    uint64_t FBytesWritten = 0;
};
