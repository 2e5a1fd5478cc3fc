// Saves a picture of the whole X screen and prints chosen pixels:
//   screengrab [OUTPUT.png] [--probe X Y]...
// Each probe prints "X Y #rrggbb" on its own line. Used by the whole-program
// tests, which keep screenshots as artifacts and check a few pixels.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    const QImage image = screen->grabWindow(0).toImage();
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--probe") && i + 2 < args.size()) {
            const int x = args[i + 1].toInt();
            const int y = args[i + 2].toInt();
            const QColor colour = image.valid(x, y) ? image.pixelColor(x, y) : QColor();
            std::printf("%d %d %s\n", x, y, qPrintable(colour.name()));
            i += 2;
        } else if (!image.save(args[i])) {
            std::fprintf(stderr, "screengrab: cannot write %s\n", qPrintable(args[i]));
            return 1;
        }
    }
    return 0;
}
