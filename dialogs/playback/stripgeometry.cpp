#include "dialogs/playback/stripgeometry.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace playback {

int StripGeometry::pixels(double twips) const
{
    return int(std::lround(twips / m_twipsPerPixel));
}

void StripGeometry::setFontSize(double pointSize)
{
    m_fullHeightTwips = 30 * int(qint16(std::lround(pointSize)));
}

int StripGeometry::foldedHeightPixels() const
{
    // A window cannot be less than one pixel high.
    return std::max(1, pixels(kFoldedHeightTwips));
}

void StripGeometry::confirmWindowGeometry(const QRect& frame)
{
    m_rect = PixelRect{frame.left(), frame.top(), frame.left() + frame.width(),
                       frame.top() + fullHeightPixels()};
    m_confirmedHeight = frame.height();
}

int StripGeometry::autoHideHeight(int currentHeight, bool autoHide, int countdown) const
{
    const int full = fullHeightPixels();
    const bool inside = m_rect.contains(m_pointer);
    const bool unfolded = currentHeight == full;
    if (!autoHide || countdown > 0 ||
        (inside && (unfolded || m_pointer.y() - m_rect.top <= kTopRows)))
        return full;
    return foldedHeightPixels();
}

void StripGeometry::beginDrag()
{
    m_dragging = true;
    m_dragOffset = QPoint(m_pointer.x() - m_rect.left, m_pointer.y() - m_rect.top);
}

QRect StripGeometry::dragGeometry() const
{
    // The rectangle's height: its bottom, when the strip docks at the very top.
    return QRect(m_pointer.x() - m_dragOffset.x(), m_pointer.y() - m_dragOffset.y(), m_rect.width(),
                 m_rect.bottom - m_rect.top);
}

int StripGeometry::dragEndLeft(int left, int screenWidth) const
{
    double leftTwips = twips(left);
    if (leftTwips <= 0)
        leftTwips = 0;
    const double screenTwips = twips(screenWidth);
    if (leftTwips + kDragClampWidthTwips > screenTwips)
        leftTwips = screenTwips - kDragClampWidthTwips;
    return pixels(leftTwips);
}

std::optional<int> StripGeometry::blinkTick(int currentHeight)
{
    std::optional<int> fill;
    if (currentHeight != fullHeightPixels() && !m_dragging)
        fill = m_palette[0];
    m_palette = {m_palette[1], m_palette[2], m_palette[1]};
    return fill;
}

QColor StripGeometry::paletteColour(int index)
{
    static constexpr QRgb colours[16] = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    return QColor(colours[std::clamp(index, 0, 15)]);
}

} // namespace playback
