#include "dialogs/menu/popupplacement.h"

#include <cmath>

namespace menu {

namespace {
constexpr double kGapTwips = 10;
constexpr double kOptionsAboveMiddle = 3000;
constexpr double kOptionsLeftOfMiddle = 4000;

// A broken screen report must not throw a window off to infinity.
double sanePerPixel(double twipsPerPixel)
{
    return twipsPerPixel > 0 ? twipsPerPixel : 15.0;
}
} // namespace

QPoint popupTopLeft(const PopupAnchor& anchor, int menuWidth)
{
    const double twipsPerPixel = sanePerPixel(anchor.twipsPerPixel);
    const int right = int(std::lround(anchor.widthTwips / twipsPerPixel));
    const int top = int(std::lround((anchor.fullHeightTwips + kGapTwips) / twipsPerPixel));
    return anchor.originOnScreen + QPoint(right - menuWidth, top);
}

QPoint optionsDialogTopLeft(const QRect& screen, double twipsPerPixel)
{
    const double perPixel = sanePerPixel(twipsPerPixel);
    const int left = int(std::lround(screen.width() / 2.0 - kOptionsLeftOfMiddle / perPixel));
    const int top = int(std::lround(screen.height() / 2.0 - kOptionsAboveMiddle / perPixel));
    return screen.topLeft() + QPoint(left, top);
}

} // namespace menu
