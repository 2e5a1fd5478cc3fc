#pragma once

#include <QPoint>
#include <QRect>

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

// Top-left corner, in pixels, of the options dialog on a screen of the given
// geometry: its top at half the screen's height less 3000 twips, its left
// edge at half the width less 4000 twips.
QPoint optionsDialogTopLeft(const QRect& screen, double twipsPerPixel);

} // namespace menu
