#include "skin/colourkeyshape.h"
#include "skin/skinbitmaps.h"

#include <QtTest>

namespace {

const QRgb kMagenta = qRgb(255, 0, 255);

class MaskOnlyHost final : public skin::HostWindow
{
public:
    QSize size{80, 40};
    QRegion mask;

    skin::WindowState windowState() const override { return skin::WindowState::Normal; }
    void setWindowState(skin::WindowState) override {}
    QRect geometry() const override { return QRect(QPoint(0, 0), size); }
    bool setGeometry(const QRect&) override { return false; }
    QSize clientSize() const override { return size; }
    void setTitle(const QString&) override {}
    skin::ActiveWindow activeWindow() const override { return skin::ActiveWindow::Host; }
    bool startSystemMove() override { return false; }
    void setMask(const QRegion& region) override { mask = region; }
};

QImage surface(int w, int h, QRgb fill)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// The pixels the rounded title corners give up: runs of 5, 3, 2, 1 and 1 at
// both ends of rows 0 to 4.
QSet<std::pair<int, int>> titleCorners(int width)
{
    const int runs[] = {5, 3, 2, 1, 1};
    QSet<std::pair<int, int>> out;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < runs[y]; ++x) {
            out.insert({x, y});
            out.insert({width - 1 - x, y});
        }
    return out;
}

} // namespace

class TestColourKeyShape : public QObject
{
    Q_OBJECT

private slots:
    void surfaceWithoutKeyKeepsTheWholeWindow()
    {
        MaskOnlyHost host;
        skin::applyColourKeyShape(host, surface(80, 40, qRgb(236, 233, 216)), kMagenta);
        QCOMPARE(host.mask, QRegion(0, 0, 80, 40));
    }

    void onlyTheTopSixRowsAreScanned()
    {
        QImage image = surface(30, 20, qRgb(10, 20, 30));
        image.setPixel(3, 5, kMagenta);
        image.setPixel(7, 6, kMagenta);
        image.setPixel(29, 0, kMagenta);
        const QRegion region = skin::colourKeyRegion(image, image.size(), kMagenta);
        QVERIFY(!region.contains(QPoint(3, 5)));
        QVERIFY(!region.contains(QPoint(29, 0)));
        QVERIFY(region.contains(QPoint(7, 6)));
        QVERIFY(region.contains(QPoint(4, 5)));
        QVERIFY(region.contains(QPoint(28, 0)));
    }

    void keyComparesColourNotAlpha()
    {
        QImage image(10, 10, QImage::Format_ARGB32);
        image.fill(qRgba(255, 0, 255, 0));
        image.setPixel(2, 2, qRgba(255, 0, 254, 255));
        const QRegion region = skin::colourKeyRegion(image, image.size(), kMagenta);
        QCOMPARE(region, QRegion(2, 2, 1, 1) + QRegion(0, 6, 10, 4));
    }

    void whiteKeyOnWhiteCutsTheTopRows()
    {
        MaskOnlyHost host;
        skin::applyColourKeyShape(host, surface(80, 40, qRgb(255, 255, 255)), qRgb(255, 255, 255));
        QCOMPARE(host.mask, QRegion(0, 6, 80, 34));
    }

    void windowLargerThanSurfaceKeepsTheRest()
    {
        // Pixels beyond the surface can never match the key.
        const QRegion region =
            skin::colourKeyRegion(surface(10, 3, kMagenta), QSize(20, 8), kMagenta);
        QCOMPARE(region, QRegion(0, 0, 20, 8) - QRegion(0, 0, 10, 3));
    }

    void titleBitmapLosesExactlyItsCorners()
    {
        for (const char* name : {"imgtop1", "imgtop2"}) {
            const QImage title = skin::skinBitmap(QString::fromLatin1(name));
            QCOMPARE(title.size(), QSize(66, 29));
            const QRegion region = skin::colourKeyRegion(title, title.size(), kMagenta);
            const auto corners = titleCorners(title.width());
            QCOMPARE(corners.size(), 24);
            for (int y = 0; y < title.height(); ++y)
                for (int x = 0; x < title.width(); ++x)
                    QVERIFY2(region.contains(QPoint(x, y)) != corners.contains({x, y}),
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(name).arg(x).arg(y)));
        }
    }

    void otherBitmapsCarryNoKeyColour()
    {
        const struct {
            const char* name;
            QSize size;
        } bitmaps[] = {
            {"imgtopmax1", {66, 29}},    {"imgtopmax2", {66, 29}},     {"imgleft1", {5, 31}},
            {"imgleft2", {5, 31}},       {"imgright1", {5, 31}},       {"imgright2", {5, 31}},
            {"imgbottom1", {49, 5}},     {"imgbottom2", {49, 5}},      {"face", {90, 21}},
            {"closebutton", {84, 21}},   {"maximisebutton", {84, 21}}, {"minimisebutton", {84, 21}},
            {"restorebutton", {84, 21}}, {"defaulticon", {16, 16}},
        };
        for (const auto& bitmap : bitmaps) {
            const QImage image = skin::skinBitmap(QString::fromLatin1(bitmap.name));
            QVERIFY2(image.size() == bitmap.size, bitmap.name);
            int keyed = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    keyed += qAlpha(image.pixel(x, y)) > 0 &&
                             (image.pixel(x, y) & RGB_MASK) == (kMagenta & RGB_MASK);
            QVERIFY2(keyed == 0, bitmap.name);
        }
    }
};

QTEST_GUILESS_MAIN(TestColourKeyShape)
#include "tst_colourkeyshape.moc"
