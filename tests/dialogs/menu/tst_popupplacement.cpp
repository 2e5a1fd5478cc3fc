#include "dialogs/menu/popupplacement.h"

#include <QtTest>

using menu::PopupAnchor;
using menu::popupTopLeft;

Q_DECLARE_METATYPE(menu::PopupAnchor)

class TestPopupPlacement : public QObject
{
    Q_OBJECT

private slots:
    void rightAlignedBelowTheStrip_data()
    {
        QTest::addColumn<PopupAnchor>("anchor");
        QTest::addColumn<int>("menuWidth");
        QTest::addColumn<QPoint>("expected");

        // 6270 twips = 418 px; 360 + 10 twips = 24.67 px, rounded to 25.
        QTest::newRow("strip at the left edge")
            << PopupAnchor{6270, 360, 15, {0, 0}} << 150 << QPoint(418 - 150, 25);
        QTest::newRow("first-run place")
            << PopupAnchor{6270, 360, 15, {440, 0}} << 150 << QPoint(440 + 418 - 150, 25);
        QTest::newRow("flush with the right screen edge")
            << PopupAnchor{6270, 360, 15, {1280 - 418, 0}} << 200 << QPoint(1280 - 200, 25);
        // Font size 20: 600 twips high; at 192 DPI a twip is 1/7.5 px.
        QTest::newRow("large font, 192 DPI")
            << PopupAnchor{9000, 600, 7.5, {50, 0}} << 300 << QPoint(50 + 1200 - 300, 81);
    }

    void rightAlignedBelowTheStrip()
    {
        QFETCH(PopupAnchor, anchor);
        QFETCH(int, menuWidth);
        QFETCH(QPoint, expected);
        QCOMPARE(popupTopLeft(anchor, menuWidth), expected);
    }

    void brokenScaleFallsBackToNinetySixDpi()
    {
        const QPoint expected = popupTopLeft(PopupAnchor{6270, 360, 15, {10, 0}}, 100);
        QCOMPARE(popupTopLeft(PopupAnchor{6270, 360, 0, {10, 0}}, 100), expected);
        QCOMPARE(popupTopLeft(PopupAnchor{6270, 360, -3, {10, 0}}, 100), expected);
    }

    // Half the height less 3000 twips, half the width less 4000 twips.
    void optionsDialogLeftOfAndAboveTheMiddle()
    {
        QCOMPARE(menu::optionsDialogTopLeft(QRect(0, 0, 1280, 800), 15), QPoint(373, 200));
        QCOMPARE(menu::optionsDialogTopLeft(QRect(1920, 0, 1920, 1080), 15),
                 QPoint(1920 + 693, 340));
        QCOMPARE(menu::optionsDialogTopLeft(QRect(0, 0, 2560, 1600), 7.5), QPoint(747, 400));
        QCOMPARE(menu::optionsDialogTopLeft(QRect(0, 0, 1280, 800), 0), QPoint(373, 200));
    }
};

QTEST_GUILESS_MAIN(TestPopupPlacement)
#include "tst_popupplacement.moc"
