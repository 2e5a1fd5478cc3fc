#include "dialogs/menu/aboutbox.h"
#include "dialogs/menu/popupmenu.h"
#include "dialogs/startup/splashwindow.h"
#include "tests/dialogs/menu/menufakes.h"
#include "tests/support/testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QtTest>

using menutest::FakeDesktop;
using menutest::FakeHost;

class TestAboutBox : public QObject
{
    Q_OBJECT

private:
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void aboutBoxBlocksTheMenuUntilItsPictureIsClicked()
    {
        FakeHost host;
        menu::PopupMenu popup(host, std::make_unique<FakeDesktop>());

        popup.aboutItem()->trigger();
        QPointer<menu::AboutBox> about = popup.aboutBox();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("Version"));
        QVERIFY(!host.hotSpot);

        // Moving over the hot spot now opens nothing.
        popup.popup();
        QVERIFY(!popup.menu()->isVisible());

        QTest::mouseClick(about->pictureLabel(), Qt::LeftButton, {}, QPoint(40, 40));
        flushDeletes();
        QVERIFY(!about);
        QVERIFY(host.hotSpot);
        popup.popup();
        QVERIFY(popup.menu()->isVisible());
        popup.menu()->hide();

        // It is made afresh on the next choice.
        popup.aboutItem()->trigger();
        QVERIFY(popup.aboutBox() && popup.aboutBox()->isVisible());
        QVERIFY(!host.hotSpot);
        popup.aboutBox()->close();
    }

    void closingTheBoxAnyOtherWayFreesTheMenu()
    {
        FakeHost host;
        menu::PopupMenu popup(host, std::make_unique<FakeDesktop>());
        popup.aboutItem()->trigger();
        QPointer<menu::AboutBox> about = popup.aboutBox();
        QVERIFY(!host.hotSpot);
        about->close();
        flushDeletes();
        QVERIFY(!about);
        QVERIFY(host.hotSpot);
    }

    void centredWithTheSplashPicture()
    {
        FakeHost host;
        menu::AboutBox about(host);
        about.open();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Within the rounding and the window frame's few pixels.
        const QPoint offset = about.frameGeometry().center() - screen.center();
        QVERIFY2(offset.manhattanLength() <= 6,
                 qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
        QCOMPARE(about.size(), QSize(280, 185));

        // The picture is the splash window's, not a copy of its own.
        const QImage shown =
            about.pictureLabel()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage splash =
            startup::SplashWindow::picture(about.pictureLabel()->pixmap().devicePixelRatio())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        QVERIFY(!shown.isNull());
        QCOMPARE(shown, splash);
        about.close();
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
