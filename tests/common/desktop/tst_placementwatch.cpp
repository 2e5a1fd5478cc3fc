#include "common/desktop/placementwatch.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QWidget>
#include <QWindow>
#include <QtTest>

using desktop::PlacementWatch;

class TestPlacementWatch : public QObject
{
    Q_OBJECT

private slots:
    void confirmedFrameIsTheWindowSystemsAnswer()
    {
        // Requests and answers in random order: the confirmed frame is always
        // the last one the window system answered, never a pending request.
        QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
        PlacementWatch watch(window);
        QSignalSpy confirmed(&watch, &PlacementWatch::frameConfirmed);
        window.setGeometry(100, 50, 300, 20);
        QCOMPARE(watch.confirmedFrame(), QRect(100, 50, 300, 20)); // hidden: as asked
        window.show();
        QCoreApplication::processEvents();
        QRect answered = window.frameGeometry();
        QCOMPARE(watch.confirmedFrame(), answered);

        QRandomGenerator random(3);
        for (int step = 0; step < 300; ++step) {
            switch (random.bounded(3)) {
            case 0: // the program asks
                window.setGeometry(random.bounded(0, 500), random.bounded(0, 300),
                                   random.bounded(50, 400), random.bounded(1, 40));
                break;
            case 1: // the window manager moves it on its own
                window.windowHandle()->setPosition(random.bounded(0, 500), random.bounded(0, 300));
                break;
            default: // the answers arrive
                QCoreApplication::processEvents();
                answered = window.frameGeometry();
                break;
            }
            QCOMPARE(watch.confirmedFrame(), answered);
        }
        QVERIFY(confirmed.count() > 50);
        QCOMPARE(confirmed.last().at(0).toRect(), answered);

        // Hidden again, it is wherever it will be asked to show.
        window.hide();
        window.move(7, 8);
        QCOMPARE(watch.confirmedFrame().topLeft(), QPoint(7, 8));
    }

    void availableAreaIsTheScreensFreePart()
    {
        QWidget window;
        PlacementWatch watch(window);
        window.show();
        const QScreen* screen = window.screen();
        QVERIFY(screen);
        QCOMPARE(watch.availableArea(), screen->availableGeometry());
        QVERIFY(!watch.availableArea().isEmpty());
    }
};

QTEST_MAIN(TestPlacementWatch)
#include "tst_placementwatch.moc"
