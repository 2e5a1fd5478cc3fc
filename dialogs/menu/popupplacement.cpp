#include "dialogs/menu/popupplacement.h"

#include <cmath>

namespace menu {

namespace {
constexpr double kGapTwips = 10;
} // namespace

QPoint popupTopLeft(const PopupAnchor& anchor, int menuWidth)
{
    // A broken screen report must not throw the menu off to infinity.
    const double twipsPerPixel = anchor.twipsPerPixel > 0 ? anchor.twipsPerPixel : 15.0;
    const int right = int(std::lround(anchor.widthTwips / twipsPerPixel));
    const int top = int(std::lround((anchor.fullHeightTwips + kGapTwips) / twipsPerPixel));
    return anchor.originOnScreen + QPoint(right - menuWidth, top);
}

} // namespace menu
