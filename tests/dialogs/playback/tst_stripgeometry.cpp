#include "dialogs/playback/stripgeometry.h"

#include <QRandomGenerator>
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

    void belowATopPanelTheConfirmedPlaceCounts()
    {
        // Panels of any height, window managers that put the strip where it
        // was asked or a few pixels lower, folded or not, and pointers all
        // over the top of the screen: the strip unfolds exactly when the
        // pointer is within its width and the top four rows of its real
        // place, and stays unfolded while the pointer is inside it.
        QRandomGenerator random(15);
        for (int round = 0; round < 5000; ++round) {
            StripGeometry g(15.0);
            g.setFontSize(random.bounded(8, 30));
            const int full = g.fullHeightPixels();
            const int panel = random.bounded(3) == 0 ? 0 : random.bounded(1, 80);
            g.setAvailableTop(panel);
            QCOMPARE(g.dockTop(), panel);
            const int top = panel + (random.bounded(4) == 0 ? random.bounded(1, 12) : 0);
            const int left = random.bounded(-50, 900);
            const int width = random.bounded(100, 700);
            const bool folded = random.bounded(2) == 0;
            const int height = folded ? g.foldedHeightPixels() : full;
            g.confirmWindowGeometry(QRect(left, top, width, height));
            QCOMPARE(g.confirmedHeight(), height);
            QCOMPARE(g.windowRect().bottom - g.windowRect().top, full);

            const QPoint pointer(random.bounded(left - 20, left + width + 20),
                                 random.bounded(0, top + full + 20));
            g.samplePointer(pointer);
            const bool across = pointer.x() >= left && pointer.x() < left + width;
            const bool inside = across && pointer.y() >= top && pointer.y() < top + full;
            const bool touching = across && pointer.y() >= top && pointer.y() <= top + 3;
            const bool unfold = folded ? touching : inside;
            const QString context = QStringLiteral("panel %1, top %2, pointer %3,%4, %5")
                                        .arg(panel)
                                        .arg(top)
                                        .arg(pointer.x())
                                        .arg(pointer.y())
                                        .arg(folded ? "folded" : "unfolded");
            QVERIFY2(g.autoHideHeight(height, true, 0) == (unfold ? full : g.foldedHeightPixels()),
                     qPrintable(context));

            // A drag keeps the full height wherever the strip stood.
            g.beginDrag();
            g.samplePointer(pointer + QPoint(random.bounded(-300, 300), random.bounded(0, 200)));
            const QRect dragged = g.dragGeometry();
            QCOMPARE(dragged.height(), full);
            QCOMPARE(dragged.width(), width);
            QCOMPARE(dragged.topLeft() - QPoint(left, top), g.pointerSample() - pointer);
            g.endDrag();
        }
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
