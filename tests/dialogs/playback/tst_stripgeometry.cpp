#include "dialogs/playback/stripgeometry.h"

#include <QtTest>

using playback::PixelRect;
using playback::StripGeometry;

namespace {

// A strip at 96 DPI (15 twips a pixel), docked at x 440, 418 px wide, font 12.
StripGeometry docked()
{
    StripGeometry g(15.0);
    g.setFontSize(12);
    g.setWindowRect(PixelRect{440, 0, 858, g.fullHeightPixels()});
    return g;
}

} // namespace

class TestStripGeometry : public QObject
{
    Q_OBJECT

private slots:
    void autoHide_data()
    {
        QTest::addColumn<bool>("autoHide");
        QTest::addColumn<int>("countdown");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<bool>("startFolded");
        QTest::addColumn<bool>("unfolded");
        const QPoint away(100, 400);
        QTest::newRow("off, pointer away") << false << 0 << away << false << true;
        QTest::newRow("off, folded before") << false << 0 << away << true << true;
        QTest::newRow("start-up countdown running") << true << 5 << away << true << true;
        QTest::newRow("pointer leaves") << true << 0 << away << false << false;
        QTest::newRow("pointer inside, unfolded") << true << 0 << QPoint(500, 20) << false << true;
        QTest::newRow("folded, top row") << true << 0 << QPoint(500, 0) << true << true;
        QTest::newRow("folded, row 3") << true << 0 << QPoint(500, 3) << true << true;
        QTest::newRow("folded, 5 px lower") << true << 0 << QPoint(500, 8) << true << false;
        QTest::newRow("folded, top row beside the strip")
            << true << 0 << QPoint(300, 0) << true << false;
        QTest::newRow("right edge is outside") << true << 0 << QPoint(858, 0) << true << false;
        QTest::newRow("left edge is inside") << true << 0 << QPoint(440, 0) << true << true;
    }

    void autoHide()
    {
        QFETCH(bool, autoHide);
        QFETCH(int, countdown);
        QFETCH(QPoint, pointer);
        QFETCH(bool, startFolded);
        QFETCH(bool, unfolded);
        StripGeometry g = docked();
        g.samplePointer(pointer);
        const int current = startFolded ? g.foldedHeightPixels() : g.fullHeightPixels();
        const int height = g.autoHideHeight(current, autoHide, countdown);
        QCOMPARE(height, unfolded ? g.fullHeightPixels() : g.foldedHeightPixels());
        QVERIFY(g.foldedHeightPixels() < g.fullHeightPixels());
    }

    void dragEndKeepsTheStripOnScreen_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("expected");
        // 1280 px screen = 19200 twips; 7110 twips = 474 px.
        QTest::newRow("inside") << 300 << 300;
        QTest::newRow("partly off the left edge") << -50 << 0;
        QTest::newRow("at 0") << 0 << 0;
        QTest::newRow("beyond the right edge") << 1000 << 1280 - 474;
        QTest::newRow("just fits") << 1280 - 474 << 1280 - 474;
    }

    void dragEndKeepsTheStripOnScreen()
    {
        QFETCH(int, left);
        QFETCH(int, expected);
        QCOMPARE(docked().dragEndLeft(left, 1280), expected);
    }

    void blinkPaintsOnlyWhileFoldedAndNotDragged()
    {
        StripGeometry g = docked();
        const int folded = g.foldedHeightPixels();
        const int full = g.fullHeightPixels();
        QCOMPARE(g.blinkTick(folded), std::optional<int>(10));
        QCOMPARE(g.blinkTick(folded), std::optional<int>(12));
        QCOMPARE(g.blinkTick(folded), std::optional<int>(10));
        // Unfolded: cleared, but the colours go on turning.
        QCOMPARE(g.blinkTick(full), std::optional<int>());
        QCOMPARE(g.blinkTick(folded), std::optional<int>(10));
        g.samplePointer({500, 0});
        g.beginDrag();
        QCOMPARE(g.blinkTick(folded), std::optional<int>());
        g.endDrag();
        QCOMPARE(g.blinkTick(folded), std::optional<int>(10));
        QCOMPARE(StripGeometry::paletteColour(10), QColor(0, 255, 0));
        QCOMPARE(StripGeometry::paletteColour(12), QColor(255, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestStripGeometry)
#include "tst_stripgeometry.moc"
