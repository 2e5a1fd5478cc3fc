#include "dialogs/menu/form2.h"
#include "dialogs/menu/form7.h"
#include "dialogs/startup/form4.h"
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

class TestForm7 : public QObject
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
        menu::Form2 form(host, std::make_unique<FakeDesktop>());

        form.mnu_veri->trigger();
        QPointer<menu::Form7> about = form.aboutBox();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("Version"));
        QVERIFY(!host.hotSpot);

        // Moving over the hot spot now opens nothing.
        form.popup();
        QVERIFY(!form.mnu_file->isVisible());

        QTest::mouseClick(about->Image1, Qt::LeftButton, {}, QPoint(40, 40));
        flushDeletes();
        QVERIFY(!about);
        QVERIFY(host.hotSpot);
        form.popup();
        QVERIFY(form.mnu_file->isVisible());
        form.mnu_file->hide();

        // It is made afresh on the next choice.
        form.mnu_veri->trigger();
        QVERIFY(form.aboutBox() && form.aboutBox()->isVisible());
        QVERIFY(!host.hotSpot);
        form.aboutBox()->close();
    }

    void closingTheBoxAnyOtherWayFreesTheMenu()
    {
        FakeHost host;
        menu::Form2 form(host, std::make_unique<FakeDesktop>());
        form.mnu_veri->trigger();
        QPointer<menu::Form7> about = form.aboutBox();
        QVERIFY(!host.hotSpot);
        about->close();
        flushDeletes();
        QVERIFY(!about);
        QVERIFY(host.hotSpot);
    }

    void centredWithTheSplashPicture()
    {
        FakeHost host;
        menu::Form7 about(host);
        about.open();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Within the rounding and the window frame's few pixels.
        const QPoint offset = about.frameGeometry().center() - screen.center();
        QVERIFY2(offset.manhattanLength() <= 6,
                 qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
        QCOMPARE(about.size(), QSize(280, 185));

        // The picture is the splash window's, not a copy of its own.
        const QImage shown = about.Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage splash = startup::Form4::picture(about.Image1->pixmap().devicePixelRatio())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        QVERIFY(!shown.isNull());
        QCOMPARE(shown, splash);
        about.close();
    }
};

QTEST_MAIN(TestForm7)
#include "tst_form7.moc"
