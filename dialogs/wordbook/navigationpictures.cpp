#include "dialogs/wordbook/navigationpictures.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

static void initEditorResources()
{
    Q_INIT_RESOURCE(editor);
}

namespace wordbook {

namespace {

QString resourceOf(NavigationPicture picture)
{
    switch (picture) {
    case NavigationPicture::First:
        return QStringLiteral(":/wordbook/first.svg");
    case NavigationPicture::Previous:
        return QStringLiteral(":/wordbook/previous.svg");
    case NavigationPicture::Next:
        return QStringLiteral(":/wordbook/next.svg");
    case NavigationPicture::Last:
        return QStringLiteral(":/wordbook/last.svg");
    case NavigationPicture::NewRecord:
        break;
    }
    return QStringLiteral(":/wordbook/newrecord.svg");
}

} // namespace

QImage navigationImage(NavigationPicture picture, int devicePixelRatio)
{
    static const bool initialised = [] {
        initEditorResources();
        return true;
    }();
    Q_UNUSED(initialised);

    const int ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    QImage image(kNavigationPictureSize * ratio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(resourceOf(picture));
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), image.size()));
    painter.end();
    image.setDevicePixelRatio(ratio);
    return image;
}

QIcon navigationIcon(NavigationPicture picture)
{
    QIcon icon;
    for (int ratio : {1, 2})
        icon.addPixmap(QPixmap::fromImage(navigationImage(picture, ratio)));
    return icon;
}

} // namespace wordbook
