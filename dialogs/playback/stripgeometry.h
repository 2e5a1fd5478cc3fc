#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

#include <array>
#include <optional>

namespace playback {

// A window rectangle in screen pixels: left and top inside, right and bottom
// outside, as the window system measures it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool contains(QPoint p) const
    {
        return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
    }
    int width() const { return right - left; }
};

// The strip's docking, auto-hide, drag and blink rules, with the pointer
// sample handed in. Sizes of the design are twips; the window system works in
// pixels.
class StripGeometry final
{
public:
    static constexpr int kFoldedHeightTwips = 20;
    static constexpr int kDragClampWidthTwips = 7110;
    static constexpr int kTopRows = 3; // pointer y at most this unfolds

    explicit StripGeometry(double twipsPerPixel = 15.0) : m_twipsPerPixel(twipsPerPixel) {}

    void setTwipsPerPixel(double twipsPerPixel) { m_twipsPerPixel = twipsPerPixel; }
    double twipsPerPixel() const { return m_twipsPerPixel; }
    int pixels(double twips) const;
    double twips(int pixels) const { return pixels * m_twipsPerPixel; }

    // Docking: full height = 30 x the font size as a whole number.
    void setFontSize(double pointSize);
    int fullHeightTwips() const { return m_fullHeightTwips; }
    int fullHeightPixels() const { return pixels(m_fullHeightTwips); }
    int foldedHeightPixels() const;

    // The top of the screen's available area: below a panel at the top of the
    // screen, 0 without one. The strip docks there.
    void setAvailableTop(int top) { m_availableTop = top; }
    int dockTop() const { return m_availableTop; }

    // The window's frame as the window manager confirmed it. The rectangle
    // the auto-hide check and the drag use is its place at full height, so it
    // stays the same while the strip is folded.
    void confirmWindowGeometry(const QRect& frame);
    int confirmedHeight() const { return m_confirmedHeight; }

    void setWindowRect(const PixelRect& rect) { m_rect = rect; }
    const PixelRect& windowRect() const { return m_rect; }

    void samplePointer(QPoint screenPos) { m_pointer = screenPos; }
    QPoint pointerSample() const { return m_pointer; }

    // The window height (pixels) the auto-hide check sets on this tick. The
    // pointer unfolds a folded strip within the top rows of its rectangle.
    int autoHideHeight(int currentHeight, bool autoHide, int countdown) const;

    // Dragging by the labels.
    void beginDrag();
    bool dragging() const { return m_dragging; }
    // Where the window goes while dragged (pixels).
    QRect dragGeometry() const;
    // The left edge (pixels) at the end of a drag, kept on the screen.
    int dragEndLeft(int left, int screenWidth) const;
    void endDrag() { m_dragging = false; }

    // One tick of the blinking strip: the palette index to fill the folded
    // strip with, or nothing when the drawing is to be cleared.
    std::optional<int> blinkTick(int currentHeight);
    void resetPalette() { m_palette = {10, 12, 10}; }
    const std::array<int, 3>& palette() const { return m_palette; }

    // Colour of the standard 16-colour palette (10 bright green, 12 bright red).
    static QColor paletteColour(int index);

private:
    double m_twipsPerPixel;
    int m_fullHeightTwips = 360;
    PixelRect m_rect;
    int m_availableTop = 0;
    int m_confirmedHeight = 0;
    QPoint m_pointer;
    QPoint m_dragOffset;
    bool m_dragging = false;
    std::array<int, 3> m_palette{10, 12, 10};
};

} // namespace playback
