#pragma once

#include "skin/hostwindow.h"

#include <QImage>
#include <QRegion>
#include <QRgb>

namespace skin {

// The window rectangle minus every pixel of the key colour in the top six
// rows of its surface. Only red, green and blue are compared; pixels outside
// the surface never match.
QRegion colourKeyRegion(const QImage& surface, QSize windowSize, QRgb key);

// Shapes the window by colourKeyRegion() of its current client size.
void applyColourKeyShape(HostWindow& window, const QImage& surface, QRgb key);

} // namespace skin
