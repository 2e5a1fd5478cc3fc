// Renders every frame of every animation of a character file onto one sheet,
// plus the speaking frame with each mouth shape, for reviewing the artwork.
//
//   chargallery <file.acs> <sheet.png>
#include "common/speech/agent/characterloader.h"
#include "common/speech/agent/framerenderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

using namespace speech::agent;

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: chargallery <file.acs> <sheet.png>\n");
        return 2;
    }
    CharacterLoader::Result loaded = CharacterLoader::fromFile(args[1]);
    if (!loaded.character) {
        std::fprintf(stderr, "chargallery: %s\n", qPrintable(loaded.error));
        return 1;
    }
    const CharacterData& c = *loaded.character;
    FrameRenderer renderer(c);
    constexpr int kLabel = 110;
    int columns = speech::kVisemeCount;
    for (const Animation& a : c.animations)
        columns = std::max(columns, static_cast<int>(a.frames.size()));
    const int rows = static_cast<int>(c.animations.size()) + 1;
    QImage sheet(kLabel + columns * c.width, rows * c.height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(214, 226, 236));
    QPainter painter(&sheet);
    for (int row = 0; row < c.animations.size(); ++row) {
        const Animation& a = c.animations[row];
        painter.drawText(QRect(4, row * c.height, kLabel - 8, c.height), Qt::AlignVCenter, a.name);
        for (int f = 0; f < a.frames.size(); ++f)
            painter.drawImage(kLabel + f * c.width, row * c.height,
                              renderer.render(&a.frames[f], speech::Viseme::Open).image);
    }
    const int speak = c.findAnimation(QStringLiteral("Speak"));
    const int last = static_cast<int>(c.animations.size());
    painter.drawText(QRect(4, last * c.height, kLabel - 8, c.height), Qt::AlignVCenter,
                     QStringLiteral("mouths"));
    if (speak >= 0) {
        for (int v = 0; v < speech::kVisemeCount; ++v)
            painter.drawImage(
                kLabel + v * c.width, last * c.height,
                renderer.render(&c.animations[speak].frames[0], static_cast<speech::Viseme>(v))
                    .image);
    }
    painter.end();
    return sheet.save(args[2]) ? 0 : 1;
}
