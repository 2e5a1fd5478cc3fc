#include "dialogs/menu/addressmessage.h"
#include "dialogs/menu/helpviewer.h"
#include "dialogs/menu/popupmenu.h"
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

class TestPopupMenu : public QObject
{
    Q_OBJECT

private:
    struct Fixture {
        FakeHost host;
        FakeDesktop* desktop = nullptr;
        std::unique_ptr<menu::PopupMenu> popup;
    };

    static std::unique_ptr<Fixture> makePopup(const QString& programFolder = QString())
    {
        auto fixture = std::make_unique<Fixture>();
        auto desktop = std::make_unique<FakeDesktop>();
        fixture->desktop = desktop.get();
        fixture->popup = std::make_unique<menu::PopupMenu>(fixture->host, std::move(desktop));
        if (!programFolder.isEmpty())
            fixture->popup->setProgramFolder(programFolder);
        return fixture;
    }

private slots:
    void itemsInOrderWithCaptionsAndAccessKeys()
    {
        auto f = makePopup();
        const QList<QAction*> actions = f->popup->menu()->actions();
        const QList<QPair<QString, QString>> expected = {
            {"optionsItem", "&Options..."},
            {"characterItem", "&Hide MSAgent"},
            {"wordBookItem", "&New Dialogs Manager"},
            {"readerItem", "Re&cite Tobrin"},
            {"helpItem", "H&elp"},
            {"separatorAfterHelp", QString()},
            {"websiteItem", "&Website"},
            {"emailItem", "E_&mail"},
            {"aboutItem", "A&bout us"},
            {"separatorBeforeExit", QString()},
            {"exitItem", "&Exit"},
        };
        QCOMPARE(actions.size(), expected.size());
        for (int i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions[i]->objectName(), expected[i].first);
            QCOMPARE(actions[i]->isSeparator(), expected[i].second.isEmpty());
            if (!actions[i]->isSeparator())
                QCOMPARE(actions[i]->text(), expected[i].second);
        }
        QCOMPARE(f->popup->menu()->title(), QStringLiteral("file"));
        QCOMPARE(f->popup->menu()->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(f->popup->menu()->font().pointSizeF(), 8.25);
        // The holder is never shown.
        QVERIFY(!f->popup->isVisible());
    }

    void everyItemGetsItsOwnPicture()
    {
        auto f = makePopup();
        for (QAction* action : f->popup->menu()->actions())
            QVERIFY(action->icon().isNull());

        f->popup->attachMenuPictures();
        QList<QImage> seen;
        for (QAction* action : f->popup->menu()->actions()) {
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
        const qint64 before = f->popup->exitItem()->icon().cacheKey();
        f->popup->attachMenuPictures();
        QCOMPARE(f->popup->exitItem()->icon().cacheKey(), before);
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
        auto f = makePopup();
        f->host.width = width;
        f->popup->attachMenuPictures();
        f->host.origin = origin;
        f->host.perPixel = perPixel;

        f->popup->popup();
        QMenu* menu = f->popup->menu();
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
        f->popup->popup();
        QCOMPARE(menu->geometry(), before);
        menu->hide();
    }

    void disabledHotSpotOpensNoMenu()
    {
        auto f = makePopup();
        f->host.hotSpot = false;
        f->popup->popup();
        QVERIFY(!f->popup->menu()->isVisible());
    }

    void characterItemFlipsAndHidesOrShows()
    {
        auto f = makePopup();
        FakeCharacter character;
        f->host.character = &character;

        f->popup->characterItem()->trigger();
        QCOMPARE(f->popup->characterItem()->text(), QStringLiteral("&Show MSAgent"));
        QCOMPARE(character.calls, QStringList{"Hide"});
        f->popup->characterItem()->trigger();
        QCOMPARE(f->popup->characterItem()->text(), QStringLiteral("&Hide MSAgent"));
        QCOMPARE(character.calls, (QStringList{"Hide", "Show"}));
        f->popup->characterItem()->trigger();
        QCOMPARE(character.calls, (QStringList{"Hide", "Show", "Hide"}));

        // The character may change between choices (options dialog); the
        // caption still decides.
        FakeCharacter other;
        f->host.character = &other;
        f->popup->characterItem()->trigger();
        QCOMPARE(other.calls, QStringList{"Show"});

        // No character at all: only the caption changes.
        f->host.character = nullptr;
        f->popup->characterItem()->trigger();
        QCOMPARE(f->popup->characterItem()->text(), QStringLiteral("&Show MSAgent"));
    }

    void desktopCommands()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QFile help(folder.filePath("help.html"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        auto f = makePopup(folder.path());

        f->popup->readerItem()->trigger();
        QCOMPARE(f->desktop->started, QStringList{folder.path() + "/reader"});

        f->popup->helpItem()->trigger();
        f->popup->websiteItem()->trigger();
        f->popup->emailItem()->trigger();
        QCOMPARE(f->desktop->opened.size(), 3);
        QVERIFY(f->desktop->opened[0].isLocalFile());
        QCOMPARE(f->desktop->opened[0].toLocalFile(), folder.filePath("help.html"));
        QCOMPARE(f->desktop->opened[1], QUrl(startup::kHomePage));
        QCOMPARE(f->desktop->opened[2].scheme(), QStringLiteral("mailto"));
        QCOMPARE(f->desktop->opened[2].path(), startup::kEmailAddress);

        // Without the help file the desktop is not asked at all.
        QVERIFY(QFile::remove(folder.filePath("help.html")));
        f->popup->helpItem()->trigger();
        QCOMPARE(f->desktop->opened.size(), 3);
        QCOMPARE(f->host.exits, 0);
    }

    void desktopWithoutHandlersGetsOurOwnWays()
    {
        // Nothing on the desktop opens web pages or mail: the help opens in the
        // built-in viewer at the page asked for, the web page and the e-mail
        // address show as text to copy.
        QTemporaryDir folder;
        QFile help(folder.filePath("help.html"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write("<html><body><h1 id=\"top\">Guide</h1><p>Read me.</p></body></html>");
        help.close();
        auto f = makePopup(folder.path());
        f->desktop->handlers = false;

        f->popup->helpItem()->trigger();
        menu::HelpViewer* viewer = menu::HelpViewer::current();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->source(), QUrl::fromLocalFile(folder.filePath("help.html")));
        QVERIFY(viewer->toPlainText().contains("Read me."));
        f->popup->helpItem()->trigger();
        QCOMPARE(menu::HelpViewer::current(), viewer); // one viewer, brought forward
        viewer->close();
        QTRY_VERIFY(!menu::HelpViewer::current());

        const QList<std::pair<QAction*, QString>> addresses = {
            {f->popup->websiteItem(), startup::kHomePage},
            {f->popup->emailItem(), startup::kEmailAddress}};
        for (const auto& [item, address] : addresses) {
            item->trigger();
            menu::AddressMessage* message = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<menu::AddressMessage*>(window);
                    found && found->isVisible())
                    message = found;
            QVERIFY(message);
            QVERIFY(message->text().endsWith("\n" + address));
            QVERIFY(message->textInteractionFlags() & Qt::TextSelectableByMouse);
            QVERIFY(!message->isModal());
            message->close();
        }
        QCOMPARE(f->desktop->opened.size(), 4);
        QCOMPARE(f->host.exits, 0);
    }

    void popupAtThePointer()
    {
        auto f = makePopup();
        f->popup->popupAt(QPoint(120, 90));
        QVERIFY(f->popup->menu()->isVisible());
        QCOMPARE(f->popup->menu()->pos(), QPoint(120, 90));
        f->popup->menu()->hide();
        f->host.hotSpot = false;
        f->popup->popupAt(QPoint(120, 90));
        QVERIFY(!f->popup->menu()->isVisible());
    }

    void commandsWithoutTheDesktop()
    {
        auto f = makePopup();
        QSignalSpy options(f->popup.get(), &menu::PopupMenu::optionsRequested);
        QSignalSpy words(f->popup.get(), &menu::PopupMenu::wordBookRequested);
        const QSet<QWidget*> before = visibleWindows();

        f->popup->optionsItem()->trigger();
        f->popup->wordBookItem()->trigger();
        QCOMPARE(options.count(), 1);
        QCOMPARE(words.count(), 1);
        QCOMPARE(visibleWindows(), before);
        QVERIFY(f->host.hotSpot);
        QCOMPARE(f->host.exits, 0);

        f->popup->exitItem()->trigger();
        QCOMPARE(f->host.exits, 1);
        QVERIFY(f->desktop->opened.isEmpty() && f->desktop->started.isEmpty());
    }

    void missingReaderAndHelpOnTheRealDesktop()
    {
        // No reader, no help file: nothing appears and the menu stays usable.
        QTemporaryDir folder;
        FakeHost host;
        menu::PopupMenu popup(host);
        popup.setProgramFolder(folder.path());
        const QSet<QWidget*> before = visibleWindows();

        popup.readerItem()->trigger();
        popup.helpItem()->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(visibleWindows(), before);
        QCOMPARE(host.exits, 0);
        QVERIFY(host.hotSpot);
        popup.popup();
        QVERIFY(popup.menu()->isVisible());
        popup.menu()->hide();
    }
};

QTEST_MAIN(TestPopupMenu)
#include "tst_popupmenu.moc"
