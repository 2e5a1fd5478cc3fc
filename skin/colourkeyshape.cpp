#include "skin/colourkeyshape.h"

#include <algorithm>

namespace skin {

namespace {
// Only the title corners are ever keyed, so the scan stops early.
constexpr int kScannedRows = 6;
} // namespace

QRegion colourKeyRegion(const QImage& surface, QSize windowSize, QRgb key)
{
    QRegion region(0, 0, windowSize.width(), windowSize.height());
    const QRgb wanted = key & RGB_MASK;
    const int rows = std::min(kScannedRows, surface.height());
    const int columns = std::min(windowSize.width(), surface.width());
    for (int y = 0; y < rows; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(
            surface.format() == QImage::Format_RGB32 || surface.format() == QImage::Format_ARGB32
                ? surface.constScanLine(y)
                : nullptr);
        for (int x = 0; x < columns; ++x) {
            const QRgb pixel = line ? line[x] : surface.pixel(x, y);
            if ((pixel & RGB_MASK) == wanted)
                region -= QRegion(x, y, 1, 1);
        }
    }
    return region;
}

void applyColourKeyShape(HostWindow& window, const QImage& surface, QRgb key)
{
    window.setMask(colourKeyRegion(surface, window.clientSize(), key));
}

} // namespace skin
