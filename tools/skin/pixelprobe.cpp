// Prints the colour of pixels of an image, one "#rrggbb" line per point, so
// shell tests can check screenshots. Usage: skin_pixelprobe FILE X Y [X Y ...]
#include <QColor>
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: skin_pixelprobe FILE X Y [X Y ...]\n");
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "skin_pixelprobe: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const int x = std::atoi(argv[i]);
        const int y = std::atoi(argv[i + 1]);
        if (!image.valid(x, y)) {
            std::fprintf(stderr, "skin_pixelprobe: %d,%d is outside the image\n", x, y);
            return 1;
        }
        std::printf("%s\n", qPrintable(QColor(image.pixel(x, y)).name()));
    }
    return 0;
}
