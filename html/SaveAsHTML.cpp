#include "html/XLSWriterHTML.h"
#include "model/Sheet.h"

void TSheet::SaveAsHTML(const std::string& fileName, bool utf8)
{
    TRangeRect range;
    if (!GetUsedRange(range))
        return;
    TXLSWriterHTML writer(this, utf8);
    writer.SaveToFile(fileName, range);
}
