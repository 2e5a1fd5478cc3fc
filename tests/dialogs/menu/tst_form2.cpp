#include "dialogs/menu/form2.h"
#include "dialogs/startup/addresses.h"
#include "tests/dialogs/menu/menufakes.h"
#include "tests/support/testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using menutest::FakeCharacter;
using menutest::FakeDesktop;
using menutest::FakeHost;

namespace {

QSet<QWidget*> visibleWindows()
{
    QSet<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            windows.insert(widget);
    return windows;
}

QImage iconImage(const QAction* action, int side)
{
    return action->icon()
        .pixmap(QSize(side, side))
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return count;
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private:
    struct Fixture {
        FakeHost host;
        FakeDesktop* desktop = nullptr;
        std::unique_ptr<menu::Form2> form;
    };

    static std::unique_ptr<Fixture> makeForm(const QString& programFolder = QString())
    {
        auto fixture = std::make_unique<Fixture>();
        auto desktop = std::make_unique<FakeDesktop>();
        fixture->desktop = desktop.get();
        fixture->form = std::make_unique<menu::Form2>(fixture->host, std::move(desktop));
        if (!programFolder.isEmpty())
            fixture->form->setProgramFolder(programFolder);
        return fixture;
    }

private slots:
    void itemsInOrderWithCaptionsAndAccessKeys()
    {
        auto f = makeForm();
        const QList<QAction*> actions = f->form->mnu_file->actions();
        const QList<QPair<QString, QString>> expected = {
            {"mnu_sysset", "&Options..."},
            {"mnu_hlp", "&Hide MSAgent"},
            {"managewords", "&New Dialogs Manager"},
            {"recite", "Re&cite Tobrin"},
            {"mnuhelp", "H&elp"},
            {"f1", QString()},
            {"mnu_page", "&Website"},
            {"mnu_email", "E_&mail"},
            {"mnu_veri", "A&bout us"},
            {"f2", QString()},
            {"mnu_exit", "&Exit"},
        };
        QCOMPARE(actions.size(), expected.size());
        for (int i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions[i]->objectName(), expected[i].first);
            QCOMPARE(actions[i]->isSeparator(), expected[i].second.isEmpty());
            if (!actions[i]->isSeparator())
                QCOMPARE(actions[i]->text(), expected[i].second);
        }
        QCOMPARE(f->form->mnu_file->title(), QStringLiteral("file"));
        QCOMPARE(f->form->mnu_file->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(f->form->mnu_file->font().pointSizeF(), 8.25);
        // The holder is never shown.
        QVERIFY(!f->form->isVisible());
    }

    void everyItemGetsItsOwnPicture()
    {
        auto f = makeForm();
        for (QAction* action : f->form->mnu_file->actions())
            QVERIFY(action->icon().isNull());

        f->form->AttachMenuPictures();
        QList<QImage> seen;
        for (QAction* action : f->form->mnu_file->actions()) {
            if (action->isSeparator()) {
                QVERIFY(action->icon().isNull());
                continue;
            }
            for (int side : {16, 32}) {
                const QImage image = iconImage(action, side);
                QCOMPARE(image.size(), QSize(side, side));
                QVERIFY2(opaquePixels(image) > side * side / 4,
                         qPrintable(action->objectName() + " has an empty picture"));
            }
            const QImage image = iconImage(action, 16);
            QVERIFY2(!seen.contains(image),
                     qPrintable(action->objectName() + " repeats a picture"));
            seen << image;
        }
        QCOMPARE(seen.size(), 9);

        // A second call leaves the pictures as they are.
        const qint64 before = f->form->mnu_exit->icon().cacheKey();
        f->form->AttachMenuPictures();
        QCOMPARE(f->form->mnu_exit->icon().cacheKey(), before);
    }

    void opensRightAlignedBelowTheStrip_data()
    {
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<double>("perPixel");
        QTest::addColumn<double>("width");
        // The offscreen screen is 800 px wide; the strip is 418 px at 96 DPI.
        QTest::newRow("left edge") << QPoint(0, 0) << 15.0 << 6270.0;
        QTest::newRow("flush right") << QPoint(800 - 418, 0) << 15.0 << 6270.0;
        QTest::newRow("twice the DPI") << QPoint(30, 0) << 7.5 << 4500.0;
    }

    void opensRightAlignedBelowTheStrip()
    {
        QFETCH(QPoint, origin);
        QFETCH(double, perPixel);
        QFETCH(double, width);
        auto f = makeForm();
        f->host.width = width;
        f->form->AttachMenuPictures();
        f->host.origin = origin;
        f->host.perPixel = perPixel;

        f->form->popup();
        QMenu* menu = f->form->mnu_file;
        QVERIFY(menu->isVisible());
        const int stripRight = origin.x() + qRound(f->host.width / perPixel);
        const int stripBottom = origin.y() + qRound(f->host.fullHeight / perPixel);
        QCOMPARE(menu->geometry().x() + menu->geometry().width(), stripRight);
        // Just below: no more than a pixel of gap at 96 DPI, two at 192.
        const int gap = menu->geometry().y() - stripBottom;
        QVERIFY2(gap >= 0 && gap <= qCeil(10 / perPixel), qPrintable(QString::number(gap)));

        // Further pointer moves over the hot spot leave the open menu alone.
        const QRect before = menu->geometry();
        f->host.origin += QPoint(5, 0);
        f->form->popup();
        QCOMPARE(menu->geometry(), before);
        menu->hide();
    }

    void disabledHotSpotOpensNoMenu()
    {
        auto f = makeForm();
        f->host.hotSpot = false;
        f->form->popup();
        QVERIFY(!f->form->mnu_file->isVisible());
    }

    void characterItemFlipsAndHidesOrShows()
    {
        auto f = makeForm();
        FakeCharacter character;
        f->host.character = &character;

        f->form->mnu_hlp->trigger();
        QCOMPARE(f->form->mnu_hlp->text(), QStringLiteral("&Show MSAgent"));
        QCOMPARE(character.calls, QStringList{"Hide"});
        f->form->mnu_hlp->trigger();
        QCOMPARE(f->form->mnu_hlp->text(), QStringLiteral("&Hide MSAgent"));
        QCOMPARE(character.calls, (QStringList{"Hide", "Show"}));
        f->form->mnu_hlp->trigger();
        QCOMPARE(character.calls, (QStringList{"Hide", "Show", "Hide"}));

        // The character may change between choices (options dialog); the
        // caption still decides.
        FakeCharacter other;
        f->host.character = &other;
        f->form->mnu_hlp->trigger();
        QCOMPARE(other.calls, QStringList{"Show"});

        // No character at all: only the caption changes.
        f->host.character = nullptr;
        f->form->mnu_hlp->trigger();
        QCOMPARE(f->form->mnu_hlp->text(), QStringLiteral("&Show MSAgent"));
    }

    void desktopCommands()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QFile help(folder.filePath("help.html"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        auto f = makeForm(folder.path());

        f->form->recite->trigger();
        QCOMPARE(f->desktop->started, QStringList{folder.path() + "/reader"});

        f->form->mnuhelp->trigger();
        f->form->mnu_page->trigger();
        f->form->mnu_email->trigger();
        QCOMPARE(f->desktop->opened.size(), 3);
        QVERIFY(f->desktop->opened[0].isLocalFile());
        QCOMPARE(f->desktop->opened[0].toLocalFile(), folder.filePath("help.html"));
        QCOMPARE(f->desktop->opened[1], QUrl(startup::kHomePage));
        QCOMPARE(f->desktop->opened[2].scheme(), QStringLiteral("mailto"));
        QCOMPARE(f->desktop->opened[2].path(), startup::kEmailAddress);

        // Without the help file the desktop is not asked at all.
        QVERIFY(QFile::remove(folder.filePath("help.html")));
        f->form->mnuhelp->trigger();
        QCOMPARE(f->desktop->opened.size(), 3);
        QCOMPARE(f->host.exits, 0);
    }

    void commandsWithoutTheDesktop()
    {
        auto f = makeForm();
        QSignalSpy options(f->form.get(), &menu::Form2::optionsRequested);
        QSignalSpy words(f->form.get(), &menu::Form2::wordBookRequested);
        const QSet<QWidget*> before = visibleWindows();

        f->form->mnu_sysset->trigger();
        f->form->managewords->trigger();
        QCOMPARE(options.count(), 1);
        QCOMPARE(words.count(), 1);
        QCOMPARE(visibleWindows(), before);
        QVERIFY(f->host.hotSpot);
        QCOMPARE(f->host.exits, 0);

        f->form->mnu_exit->trigger();
        QCOMPARE(f->host.exits, 1);
        QVERIFY(f->desktop->opened.isEmpty() && f->desktop->started.isEmpty());
    }

    void missingReaderAndHelpOnTheRealDesktop()
    {
        // No reader, no help file: nothing appears and the menu stays usable.
        QTemporaryDir folder;
        FakeHost host;
        menu::Form2 form(host);
        form.setProgramFolder(folder.path());
        const QSet<QWidget*> before = visibleWindows();

        form.recite->trigger();
        form.mnuhelp->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(visibleWindows(), before);
        QCOMPARE(host.exits, 0);
        QVERIFY(host.hotSpot);
        form.popup();
        QVERIFY(form.mnu_file->isVisible());
        form.mnu_file->hide();
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
