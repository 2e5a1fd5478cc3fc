#include "dialogs/playback/colourreference.h"

#include <QGuiApplication>
#include <QPalette>

#include <cmath>
#include <cstdint>

namespace playback {

namespace {

QColor systemColour(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 1: // the desktop
        return QColor(0x3a, 0x6e, 0xa5);
    case 5:  // window background
    case 15: // button face
        return palette.color(QPalette::Window);
    case 8:  // window text
    case 18: // button text
        return palette.color(QPalette::WindowText);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    default:
        return palette.color(QPalette::Base);
    }
}

} // namespace

QColor colourFromReference(double reference)
{
    if (!std::isfinite(reference))
        return QColor(Qt::black);
    // Rounded to a 32-bit integer as it is applied to a window.
    const double rounded = std::nearbyint(reference);
    const auto bits = static_cast<std::uint32_t>(
        static_cast<std::int64_t>(std::fmod(rounded, 4294967296.0)) & 0xffffffff);
    if (bits & 0x80000000u)
        return systemColour(int(bits & 0xff));
    return QColor(int(bits & 0xff), int((bits >> 8) & 0xff), int((bits >> 16) & 0xff));
}

double referenceFromColour(const QColor& colour)
{
    return double(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

} // namespace playback
