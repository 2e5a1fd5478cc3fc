#include "dialogs/playback/strippictures.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

static void initStripResources()
{
    Q_INIT_RESOURCE(strip);
}

namespace playback {

namespace {

QString resourceOf(StripPicture picture)
{
    switch (picture) {
    case StripPicture::Play:
        return QStringLiteral(":/strip/play.svg");
    case StripPicture::Stop:
        return QStringLiteral(":/strip/stop.svg");
    case StripPicture::Menu:
        break;
    }
    return QStringLiteral(":/strip/menu.svg");
}

} // namespace

QSize stripPictureSize(StripPicture picture)
{
    return picture == StripPicture::Menu ? QSize(24, 27) : QSize(20, 26);
}

QPixmap stripPixmap(StripPicture picture, qreal devicePixelRatio)
{
    static const bool initialised = [] {
        initStripResources();
        return true;
    }();
    Q_UNUSED(initialised);

    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize logical = stripPictureSize(picture);
    QPixmap pixmap(int(std::ceil(logical.width() * ratio)),
                   int(std::ceil(logical.height() * ratio)));
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resourceOf(picture));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace playback
