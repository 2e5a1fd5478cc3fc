#include "skin/skinbitmaps.h"

namespace skin {

QImage skinBitmap(const QString& name)
{
    QImage image(QStringLiteral(":/skin/") + name + QStringLiteral(".png"));
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace skin
