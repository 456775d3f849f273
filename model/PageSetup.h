// Print settings of a sheet and the list of its images. Fields are public
// and unchecked: the reader writes them as the records say.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Ranges.h"

class TSheet;

class TPageSetup {
public:
    explicit TPageSetup(TSheet* sheet);

    TSheet* Sheet() const { return FSheet; }
    // Rectangles of the built-in print-area name.
    TRange& PrintArea() { return FPrintArea; }
    const TRange& PrintArea() const { return FPrintArea; }

    uint8_t PaperSize = 0;
    bool UseScale = true;          // false: fit to FitWidth x FitHeight pages
    int16_t Scale = 100;
    int16_t StartPageNumber = -1;  // -1: automatic
    int16_t FitWidth = 1;
    int16_t FitHeight = 1;
    bool OverThenDown = false;
    bool Portrait = true;
    double HeaderMargin = 0.5;     // inches
    double FooterMargin = 0.5;
    double TopMargin = 1.0;
    double BottomMargin = 1.0;
    double LeftMargin = 0.8;
    double RightMargin = 0.8;
    bool BlackAndWhite = false;
    bool DraftQuality = false;
    bool PrintGridLines = false;
    bool PrintHeadings = false;
    bool CenterHorizontally = false;
    bool CenterVertically = false;
    std::string HeaderCenter, HeaderRight, HeaderLeft; // 8-bit
    std::string FooterCenter, FooterRight, FooterLeft;
    bool SummaryRowsAbove = false;
    bool SummaryColsLeft = false;

private:
    TSheet* FSheet;
    TRange FPrintArea;
};

// An image placed on a sheet.
class TXLSImage {
public:
    virtual ~TXLSImage() = default;
    std::string Data; // the picture's bytes as stored
};

// The sheet's ordered, owning list of images. The reader adds none.
class TXLSImages {
public:
    void Add(std::unique_ptr<TXLSImage> image) { FImages.push_back(std::move(image)); }
    // Range error "List index (i) out of bounds" outside 0..Count-1.
    TXLSImage* Items(int index) const;
    int Count() const { return static_cast<int>(FImages.size()); }

private:
    std::vector<std::unique_ptr<TXLSImage>> FImages;
};
