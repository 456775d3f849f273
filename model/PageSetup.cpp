#include "model/PageSetup.h"

#include "styles/XLSError.h"

TPageSetup::TPageSetup(TSheet* sheet) : FSheet(sheet), FPrintArea(sheet) {}

TXLSImage* TXLSImages::Items(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return FImages[static_cast<size_t>(index)].get();
}
