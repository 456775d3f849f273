#include "html/XLSWriterHTML.h"
#include "model/Sheet.h"

uint64_t TSheet::SaveAsHTML(const std::string& fileName, bool utf8, uint64_t byteLimit)
{
    TRangeRect range;
    if (!GetUsedRange(range))
        return 0;
    TXLSWriterHTML writer(this, utf8);
    writer.SetByteLimit(byteLimit);
    writer.SaveToFile(fileName, range);
    return writer.BytesWritten();
}
