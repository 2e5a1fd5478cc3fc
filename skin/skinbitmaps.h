#pragma once

#include <QImage>
#include <QString>

namespace skin {

// A bitmap compiled into the library, by name without extension ("imgtop1",
// "face", "closebutton", "defaulticon", ...). Null when there is none.
QImage skinBitmap(const QString& name);

} // namespace skin
