// Screen metrics: the constants that turn row heights and column widths into
// pixels. Chosen once at start-up from the screen's vertical resolution; 96
// dpi unless SetScreenResolution says otherwise.
#pragma once

#include <cstdint>

struct TScreenMetrics {
    int DefaultColumnWidth;    // pixels
    int DefaultRowHeight;      // pixels
    int PixelsPerChar;         // W
    int CellMargin;            // P, pixels
    double CharsPerPixelSmall; // F, below 12 pixels
    double PointsPerPixel;     // K
};

// 96 selects the 96-dpi set, any other value the other set.
void SetScreenResolution(int dpi);
int ScreenResolution();
const TScreenMetrics& ScreenMetrics();

// (pixels - P) / W above 11 pixels, else pixels * F.
double PixelsToChars(double pixels);
// chars * W + P from 1 character on, else chars / F.
double CharsToPixels(double chars);
double PixelsToPoints(double pixels);
double PointsToPixels(double points);
// A COLINFO width (1/256 character) to characters: width / 256 * W pixels,
// then PixelsToChars.
double FileWidthToChars(double width);

// RGB (0x00BBGGRR) of a system colour index (COLOR_WINDOW = 5, COLOR_WINDOWTEXT
// = 8, ...), from the default Windows colour scheme; black for unknown indexes.
uint32_t SystemColorRGB(uint8_t index);
