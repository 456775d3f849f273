#include "html/SaveAsHTML.h"

#include "html/XLSWriterHTML.h"
#include "model/Sheet.h"

uint64_t SaveAsHTML(TSheet& sheet, const std::string& fileName, bool utf8, uint64_t byteLimit)
{
    TRangeRect range;
    if (!sheet.GetUsedRange(range))
        return 0;
    TXLSWriterHTML writer(&sheet, utf8);
    writer.SetByteLimit(byteLimit);
    writer.SaveToFile(fileName, range);
    return writer.BytesWritten();
}
