// Draws every skin bitmap from the colour description in assets/skin/theme.ini.
// Usage: skinbitmapgen THEME.ini OUTPUT_FOLDER
// Runs at build time; the PNGs it writes are compiled into velkor_skin.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>
#include <QStringList>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

const QRgb kKey = qRgb(255, 0, 255);

// Magenta pixels per title corner, rows 0 to 4.
constexpr std::array<int, 5> kCornerRun{5, 3, 2, 1, 1};

class Theme final
{
public:
    explicit Theme(const QString& path) : m_settings(path, QSettings::IniFormat) {}

    bool ok() const { return m_settings.status() == QSettings::NoError && !keys().isEmpty(); }

    QColor colour(const QString& key) const
    {
        const QColor c(text(key));
        if (!c.isValid())
            fail(key);
        return c;
    }

    int number(const QString& key) const
    {
        bool ok = false;
        const int n = text(key).toInt(&ok);
        if (!ok)
            fail(key);
        return n;
    }

    QList<QColor> colours(const QString& key) const
    {
        QList<QColor> out;
        for (const QString& part : text(key).split(',', Qt::SkipEmptyParts)) {
            const QColor c(part.trimmed());
            if (!c.isValid())
                fail(key);
            out << c;
        }
        return out;
    }

    QGradientStops stops(const QString& key) const
    {
        QGradientStops out;
        for (const QString& part : text(key).split(',', Qt::SkipEmptyParts)) {
            const QStringList pair = part.trimmed().split(' ', Qt::SkipEmptyParts);
            bool ok = false;
            const double at = pair.value(0).toDouble(&ok);
            const QColor c(pair.value(1));
            if (pair.size() != 2 || !ok || !c.isValid())
                fail(key);
            out.append({at, c});
        }
        if (out.isEmpty())
            fail(key);
        return out;
    }

private:
    QStringList keys() const { return m_settings.allKeys(); }

    QString text(const QString& key) const
    {
        const QVariant v = m_settings.value(key);
        // Unquoted comma lists come back as string lists.
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(',') : v.toString();
    }

    [[noreturn]] static void fail(const QString& key)
    {
        std::fprintf(stderr, "skinbitmapgen: bad or missing value %s\n", qPrintable(key));
        std::exit(1);
    }

    QSettings m_settings;
};

QLinearGradient vertical(const QGradientStops& stops, double top, double bottom)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setStops(stops);
    return g;
}

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// Title bar 66 x 29. With rounded corners the outside of each corner is the
// colour key, which the frame cuts out of the window shape.
QImage titleBar(const Theme& t, const QString& look, bool rounded)
{
    const int w = 66, h = 29;
    QImage img(w, h, QImage::Format_RGB32);
    {
        QPainter p(&img);
        p.fillRect(img.rect(), vertical(t.stops(look + "/titleGradient"), 0, h));
        p.setPen(t.colour(look + "/titleHighlight"));
        p.drawLine(1, 1, w - 2, 1);
        p.drawLine(1, 1, 1, h - 2);
        p.setPen(t.colour(look + "/titleEdge"));
        p.drawLine(0, 0, w - 1, 0);
        p.drawLine(0, 0, 0, h - 1);
        p.drawLine(w - 1, 0, w - 1, h - 1);
        p.setPen(t.colour(look + "/titleBottomLine"));
        p.drawLine(0, h - 1, w - 1, h - 1);
    }
    if (rounded) {
        const QRgb edge = t.colour(look + "/titleEdge").rgb();
        const QRgb rim = t.colour(look + "/titleHighlight").rgb();
        for (int y = 0; y < int(kCornerRun.size()); ++y) {
            const int run = kCornerRun[y];
            for (int x = 0; x < run; ++x) {
                img.setPixel(x, y, kKey);
                img.setPixel(w - 1 - x, y, kKey);
            }
            // The curve itself: a dark edge pixel against the key, then the light rim.
            img.setPixel(run, y, edge);
            img.setPixel(w - 1 - run, y, edge);
            if (y > 0 && run + 1 < w / 2) {
                img.setPixel(run + 1, y, rim);
                img.setPixel(w - 2 - run, y, rim);
            }
        }
        // Along the flat top, the dark edge continues from where the curve ends.
        for (int x = kCornerRun[0]; x < w - kCornerRun[0]; ++x)
            img.setPixel(x, 0, edge);
    }
    return img;
}

// Side border: one colour per column, outside first; mirrored for the right side.
QImage sideBorder(const Theme& t, const QString& look, bool right)
{
    const QList<QColor> cols = t.colours(look + "/borderColumns");
    QImage img(5, 31, QImage::Format_RGB32);
    for (int x = 0; x < 5; ++x) {
        const QColor c = cols.value(right ? 4 - x : x, cols.last());
        for (int y = 0; y < 31; ++y)
            img.setPixel(x, y, c.rgb());
    }
    return img;
}

QImage bottomBorder(const Theme& t, const QString& look)
{
    const QList<QColor> cols = t.colours(look + "/borderColumns");
    QImage img(49, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y) {
        const QColor c = cols.value(4 - y, cols.last());
        for (int x = 0; x < 49; ++x)
            img.setPixel(x, y, c.rgb());
    }
    return img;
}

QPainterPath roundedCell(double x, double w, double h, double r)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x + 0.5, 0.5, w - 1, h - 1), r, r);
    return path;
}

// Push button face: five 18 x 21 cells (normal, pressed, disabled, hover, emphasised).
QImage faceStrip(const Theme& t)
{
    const int cw = 18, ch = 21;
    QImage img = blank(cw * 5, ch);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const struct {
        const char* gradient;
        const char* border;
        const char* accentTop;
        const char* accentBottom;
    } cells[5] = {
        {"face/normalGradient", "face/border", nullptr, nullptr},
        {"face/pressedGradient", "face/border", nullptr, nullptr},
        {"face/disabledGradient", "face/disabledBorder", nullptr, nullptr},
        {"face/normalGradient", "face/border", "face/hoverTop", "face/hoverBottom"},
        {"face/normalGradient", "face/border", "face/emphasisTop", "face/emphasisBottom"},
    };
    for (int i = 0; i < 5; ++i) {
        const int x0 = i * cw;
        const QPainterPath path = roundedCell(x0, cw, ch, 2.6);
        p.setPen(QPen(t.colour(cells[i].border), 1));
        p.setBrush(vertical(t.stops(cells[i].gradient), 0, ch));
        p.drawPath(path);
        if (cells[i].accentTop) {
            // A two-pixel inner ring fading from the top colour to the bottom one.
            QLinearGradient ring(0, 1, 0, ch - 1);
            ring.setColorAt(0, t.colour(cells[i].accentTop));
            ring.setColorAt(1, t.colour(cells[i].accentBottom));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QBrush(ring), 2));
            p.drawRoundedRect(QRectF(x0 + 2, 2, cw - 4, ch - 4), 1.5, 1.5);
        }
    }
    return img;
}

QColor mix(const QColor& a, const QColor& b, int shareOfB)
{
    auto m = [&](int x, int y) { return (x * (100 - shareOfB) + y * shareOfB) / 100; };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()));
}

enum class Glyph { Close, Maximise, Minimise, Restore };

void drawGlyph(QPainter& p, Glyph g, int x0, const QColor& ink)
{
    p.save();
    p.translate(x0, 0);
    p.setBrush(Qt::NoBrush);
    switch (g) {
    case Glyph::Close:
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6.5, 6.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 6.5), QPointF(6.5, 14.5));
        break;
    case Glyph::Maximise:
        p.fillRect(QRect(5, 5, 11, 3), ink);
        p.fillRect(QRect(5, 5, 1, 11), ink);
        p.fillRect(QRect(15, 5, 1, 11), ink);
        p.fillRect(QRect(5, 15, 11, 1), ink);
        break;
    case Glyph::Minimise:
        p.fillRect(QRect(5, 13, 7, 3), ink);
        break;
    case Glyph::Restore:
        p.fillRect(QRect(8, 4, 8, 2), ink);
        p.fillRect(QRect(15, 4, 1, 8), ink);
        p.fillRect(QRect(13, 11, 3, 1), ink);
        p.fillRect(QRect(8, 4, 1, 4), ink);
        p.fillRect(QRect(4, 8, 9, 2), ink);
        p.fillRect(QRect(4, 8, 1, 9), ink);
        p.fillRect(QRect(12, 8, 1, 9), ink);
        p.fillRect(QRect(4, 16, 9, 1), ink);
        break;
    }
    p.restore();
}

// Caption button strip 84 x 21: normal, hover, pressed, disabled.
QImage captionStrip(const Theme& t, Glyph glyph)
{
    const int s = 21;
    QImage img = blank(s * 4, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QGradientStops base = t.stops(glyph == Glyph::Close ? "captionButtons/closeGradient"
                                                              : "captionButtons/blueGradient");
    const QColor rim = t.colour("captionButtons/rim");
    const QColor fadeTo = t.colour("captionButtons/disabledMix");
    const int share = t.number("captionButtons/disabledShare");
    for (int cell = 0; cell < 4; ++cell) {
        QGradientStops stops = base;
        for (auto& stop : stops) {
            if (cell == 1)
                stop.second = stop.second.lighter(t.number("captionButtons/hoverLighter"));
            else if (cell == 2)
                stop.second = stop.second.darker(t.number("captionButtons/pressedDarker"));
            else if (cell == 3)
                stop.second = mix(stop.second, fadeTo, share);
        }
        const int x0 = cell * s;
        p.setPen(QPen(cell == 3 ? mix(rim, fadeTo, share) : rim, 1));
        p.setBrush(vertical(stops, 0, s));
        p.drawPath(roundedCell(x0, s, s, 3));
        QColor ink = Qt::white;
        if (cell == 3)
            ink = mix(ink, fadeTo, 40);
        p.setRenderHint(QPainter::Antialiasing, glyph == Glyph::Close);
        // A restore button that cannot act shows the single window it would give.
        drawGlyph(p, glyph == Glyph::Restore && cell == 3 ? Glyph::Maximise : glyph, x0, ink);
        p.setRenderHint(QPainter::Antialiasing, true);
    }
    return img;
}

// Default window icon: a speech bubble with two lines of talk.
QImage defaultIcon(const Theme& t)
{
    QImage img = blank(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.5, 1.5, 15, 10), 3, 3);
    QPainterPath tail;
    tail.moveTo(3.5, 10);
    tail.lineTo(3.5, 15);
    tail.lineTo(8, 10);
    tail.closeSubpath();
    p.setPen(QPen(t.colour("icon/outline"), 1));
    p.setBrush(t.colour("icon/bubble"));
    p.drawPath(bubble.united(tail));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(3, 4, 10, 2), t.colour("icon/lineOne"));
    p.fillRect(QRect(3, 7, 7, 2), t.colour("icon/lineTwo"));
    return img;
}

int countKey(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xffffff) == (kKey & 0xffffff);
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinbitmapgen THEME.ini OUTPUT_FOLDER\n");
        return 2;
    }
    const Theme theme(QString::fromLocal8Bit(argv[1]));
    if (!theme.ok()) {
        std::fprintf(stderr, "skinbitmapgen: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(out.path()))
        return 1;

    const QList<std::pair<QString, QImage>> images = {
        {"imgtop1", titleBar(theme, "active", true)},
        {"imgtop2", titleBar(theme, "inactive", true)},
        {"imgtopmax1", titleBar(theme, "active", false)},
        {"imgtopmax2", titleBar(theme, "inactive", false)},
        {"imgleft1", sideBorder(theme, "active", false)},
        {"imgleft2", sideBorder(theme, "inactive", false)},
        {"imgright1", sideBorder(theme, "active", true)},
        {"imgright2", sideBorder(theme, "inactive", true)},
        {"imgbottom1", bottomBorder(theme, "active")},
        {"imgbottom2", bottomBorder(theme, "inactive")},
        {"face", faceStrip(theme)},
        {"closebutton", captionStrip(theme, Glyph::Close)},
        {"maximisebutton", captionStrip(theme, Glyph::Maximise)},
        {"minimisebutton", captionStrip(theme, Glyph::Minimise)},
        {"restorebutton", captionStrip(theme, Glyph::Restore)},
        {"defaulticon", defaultIcon(theme)},
    };
    for (const auto& [name, image] : images) {
        // Only the rounded title corners may carry the colour key: any other
        // key pixel would punch a hole in the window.
        const int expected = name.startsWith("imgtop") && !name.startsWith("imgtopmax") ? 24 : 0;
        if (countKey(image) != expected) {
            std::fprintf(stderr, "skinbitmapgen: %s has %d key pixels, want %d\n", qPrintable(name),
                         countKey(image), expected);
            return 1;
        }
        if (!image.save(out.filePath(name + ".png"), "PNG")) {
            std::fprintf(stderr, "skinbitmapgen: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
