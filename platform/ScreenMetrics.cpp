#include "platform/ScreenMetrics.h"

namespace {

constexpr TScreenMetrics kMetrics96 = {64, 17, 7, 5, 0.0834, 0.75};
constexpr TScreenMetrics kMetricsOther = {80, 22, 9, 7, 0.0626, 0.6};

int gResolution = 96;

constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b)
{
    return r | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

// The default Windows colour scheme, COLOR_SCROLLBAR (0) .. COLOR_MENUBAR (30).
constexpr uint32_t kSystemColors[31] = {
    Rgb(200, 200, 200), Rgb(0, 0, 0),       Rgb(153, 180, 209), Rgb(191, 205, 219),
    Rgb(240, 240, 240), Rgb(255, 255, 255), Rgb(100, 100, 100), Rgb(0, 0, 0),
    Rgb(0, 0, 0),       Rgb(0, 0, 0),       Rgb(180, 180, 180), Rgb(244, 247, 252),
    Rgb(171, 171, 171), Rgb(0, 120, 215),   Rgb(255, 255, 255), Rgb(240, 240, 240),
    Rgb(160, 160, 160), Rgb(109, 109, 109), Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(255, 255, 255), Rgb(105, 105, 105), Rgb(227, 227, 227), Rgb(0, 0, 0),
    Rgb(255, 255, 225), Rgb(0, 0, 0),       Rgb(0, 102, 204),   Rgb(185, 209, 234),
    Rgb(215, 228, 242), Rgb(0, 120, 215),   Rgb(240, 240, 240),
};

} // namespace

void SetScreenResolution(int dpi)
{
    gResolution = dpi;
}

int ScreenResolution()
{
    return gResolution;
}

const TScreenMetrics& ScreenMetrics()
{
    return gResolution == 96 ? kMetrics96 : kMetricsOther;
}

double PixelsToChars(double pixels)
{
    const TScreenMetrics& m = ScreenMetrics();
    return pixels > 11 ? (pixels - m.CellMargin) / m.PixelsPerChar : pixels * m.CharsPerPixelSmall;
}

double CharsToPixels(double chars)
{
    const TScreenMetrics& m = ScreenMetrics();
    return chars >= 1 ? chars * m.PixelsPerChar + m.CellMargin : chars / m.CharsPerPixelSmall;
}

double PixelsToPoints(double pixels)
{
    return pixels * ScreenMetrics().PointsPerPixel;
}

double PointsToPixels(double points)
{
    return points / ScreenMetrics().PointsPerPixel;
}

double FileWidthToChars(double width)
{
    return PixelsToChars(width / 256 * ScreenMetrics().PixelsPerChar);
}

uint32_t SystemColorRGB(uint8_t index)
{
    return index < 31 ? kSystemColors[index] : 0;
}
