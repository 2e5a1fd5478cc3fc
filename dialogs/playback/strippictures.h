#pragma once

#include <QPixmap>
#include <QString>

namespace playback {

// The strip's own pictures, drawn as SVG and rendered at the screen's pixel
// ratio so they stay sharp on high-density screens.
enum class StripPicture { Play, Stop, Menu };

QSize stripPictureSize(StripPicture picture); // logical pixels
QPixmap stripPixmap(StripPicture picture, qreal devicePixelRatio);

} // namespace playback
