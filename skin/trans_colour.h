#pragma once

#include "skin/hostwindow.h"

#include <QImage>
#include <QRegion>
#include <QRgb>

namespace trans_colour {

// The window rectangle minus every pixel of the key colour in the top six
// rows of its surface. Only red, green and blue are compared; pixels outside
// the surface never match.
QRegion keyRegion(const QImage& surface, QSize windowSize, QRgb key);

// Shapes the window by keyRegion() of its current client size.
void make_region(skin::HostWindow& window, const QImage& surface, QRgb key);

} // namespace trans_colour
