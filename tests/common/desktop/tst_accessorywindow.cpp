#include "common/desktop/accessorywindow.h"
#include "common/desktop/x11desktop.h"

#include <QWidget>
#include <QWindow>
#include <QtTest>

using desktop::AccessoryWindow;

class TestAccessoryWindow : public QObject
{
    Q_OBJECT

private slots:
    // Whether the window manager focuses it is measured under openbox by the
    // whole-program test; the offscreen platform activates every window.
    void flagsForNoFocusOnTopAndOnce()
    {
        QWidget window(nullptr, Qt::Window | Qt::WindowTitleHint);
        AccessoryWindow::apply(window);
        AccessoryWindow::apply(window);
        const Qt::WindowFlags flags = window.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        for (Qt::WindowType wanted :
             {Qt::FramelessWindowHint, Qt::WindowStaysOnTopHint, Qt::WindowDoesNotAcceptFocus})
            QVERIFY(flags.testFlag(wanted));
        QVERIFY(window.testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(window.testAttribute(Qt::WA_X11DoNotAcceptFocus));
        QCOMPARE(window.findChildren<AccessoryWindow*>().size(), 1);

        // Shown and shown again, it keeps them.
        for (int round = 0; round < 2; ++round) {
            window.show();
            QCoreApplication::processEvents();
            QCOMPARE(window.windowHandle()->flags(), flags);
            window.hide();
        }
        // Off X11 the hints are left alone without complaint.
        QVERIFY(!desktop::X11Desktop::available());
        desktop::X11Desktop::markAccessory(window.winId());
    }
};

QTEST_MAIN(TestAccessoryWindow)
#include "tst_accessorywindow.moc"
