// Renders an SVG picture into a PNG of the given size at build time, so a
// program can show it without parsing SVG or loading fonts first:
//   rasterize IN.svg OUT.png WIDTH HEIGHT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: rasterize IN.svg OUT.png WIDTH HEIGHT\n");
        return 2;
    }
    QSvgRenderer renderer(args[1]);
    const QSize size(args[3].toInt(), args[4].toInt());
    if (!renderer.isValid() || size.isEmpty()) {
        std::fprintf(stderr, "rasterize: cannot render %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image.save(args[2]) ? 0 : 1;
}
