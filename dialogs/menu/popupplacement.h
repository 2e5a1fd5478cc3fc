#pragma once

#include <QPoint>

namespace menu {

// The main window as the popup menu is placed against it.
struct PopupAnchor {
    double widthTwips = 0;
    double fullHeightTwips = 0;
    double twipsPerPixel = 15;
    QPoint originOnScreen;
};

// Top-left corner, in screen pixels, of a menu menuWidth pixels wide that
// opens right-aligned just below the main window's bottom-right corner: its
// right edge at the window's width, its top 10 twips below the window's
// unfolded height, both measured from the window's top-left corner.
QPoint popupTopLeft(const PopupAnchor& anchor, int menuWidth);

} // namespace menu
