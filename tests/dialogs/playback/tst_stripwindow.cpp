#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "common/speech/speechtext.h"
#include "dialogs/menu/helpviewer.h"
#include "dialogs/playback/stripwindow.h"
#include "dialogs/startup/addresses.h"
#include "tests/dialogs/playback/playbackfakes.h"
#include "tests/support/fakeopener.h"
#include "tests/support/testenvironment.h"

#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QtTest>

using namespace playbacktest;
using playback::StripWindow;

namespace {

class OneCharacter final : public speech::CharacterService
{
public:
    bool Load(const QString&, const QString&) override { return true; }
    speech::AgentCharacter* Character(const QString&) override { return &character; }
    void Unload(const QString&) override {}
    FakeCharacter character;
};

struct Window {
    settings::SettingsStore store;
    settings::Settings values;
    FixedRandom random;
    FakeMessages* messages = nullptr;
    OneCharacter* characters = nullptr;
    std::unique_ptr<StripWindow> strip;
    QPoint pointer;

    Window()
    {
        values.russianFirst = 1;
        values.showsPerPair = 1;
        values.russianSeconds = 5;
        values.englishSeconds = 3;
        values.sequentialOrder = 1;
        values.speakAloud = 1;
        values.topic = 14;
        values.position = 11000;
        values.speechSpeed = 90;
        values.fontSize = 12;
        playback::PlaybackServices services;
        services.random = &random;
        services.wordBook = std::make_unique<FakeBook>();
        auto boxes = std::make_unique<FakeMessages>();
        messages = boxes.get();
        services.messages = std::move(boxes);
        auto service = std::make_unique<OneCharacter>();
        characters = service.get();
        strip =
            std::make_unique<StripWindow>(store, values, std::move(service), std::move(services));
        strip->setPointerSource([this] { return pointer; });
        strip->move(300, 0);
        strip->layOutForFontSize();
        strip->rememberWindowRect();
        strip->show();
    }

    int px(double twips) const { return int(std::lround(twips / strip->twipsPerPixel())); }

    void mouse(QWidget* target, QEvent::Type type, QPoint global,
               Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, target->mapFromGlobal(global), global, button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    // A press and release on a picture.
    void click(QWidget* picture)
    {
        const QPoint at = picture->mapToGlobal(QPoint(5, 10));
        mouse(picture, QEvent::MouseButtonPress, at);
        mouse(picture, QEvent::MouseButtonRelease, at);
    }

    // The watch and the blink work on the geometry the window system
    // confirmed; the offscreen one answers every request once events run.
    void watchTick()
    {
        QCoreApplication::processEvents();
        strip->onWatchTick();
    }
    void blinkTick()
    {
        QCoreApplication::processEvents();
        strip->onBlinkTick();
    }

    void endCountdown()
    {
        while (strip->countdown().value() > 0)
            strip->countdown().decrease();
    }
};

} // namespace

class TestStripWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void layoutFollowsTheFontSize()
    {
        Window w;
        StripWindow& f = *w.strip;
        QCOMPARE(f.fullHeightTwips(), 360);
        QCOMPARE(f.height(), w.px(360));
        QCOMPARE(f.y(), 0);
        // The pictures sit at the right end, Play/Stop left of the menu spot.
        QVERIFY(f.stopPicture()->isVisibleTo(&f) && !f.playPicture()->isVisibleTo(&f));
        QVERIFY(f.russianLine()->geometry().right() < f.stopPicture()->x());
        QVERIFY(f.stopPicture()->geometry().right() < f.menuHotSpot()->x());
        QVERIFY(f.menuHotSpot()->geometry().right() < f.width());
        QVERIFY(!f.menuHotSpot()->pixmap().isNull());

        w.values.fontSize = 20;
        f.move(f.x(), 50);
        f.layOutForFontSize();
        f.rememberWindowRect();
        QCOMPARE(f.fullHeightTwips(), 600);
        QCOMPARE(f.height(), w.px(600));
        QCOMPARE(f.y(), 0);
        QCOMPARE(f.russianLine()->font().pointSize(), 20);
    }

    void stopSilencesAndPlayStartsTheNextPair()
    {
        Window w;
        StripWindow& f = *w.strip;
        QVERIFY(f.loadCharacter("Merlin"));
        auto* character = static_cast<FakeCharacter*>(f.currentCharacter());
        f.pickNextPair();
        f.presentationTimer().start();
        for (int i = 0; i < 20; ++i)
            f.engine().onPresentationTick();
        // Ticks 1 to 20: the Russian line of 11401 is spoken and shown.
        QCOMPARE(f.engine().state(), 1);
        QVERIFY(character->calls.contains("Speak \\SPD=90\\" + f.engine().russian()));
        f.setRussianLineCaption(" Russian");
        character->calls.clear();

        w.click(f.stopPicture());
        QVERIFY(!f.presentationTimer().isActive());
        QVERIFY(f.playPicture()->isVisibleTo(&f) && !f.stopPicture()->isVisibleTo(&f));
        QCOMPARE(f.playPicture()->toolTip(), QString("Play"));
        // The voice is cut at once; the line stays to be read.
        QCOMPARE(character->calls, QStringList{"Stop"});
        QCOMPARE(f.russianLine()->text(), QString(" Russian"));

        w.click(f.playPicture());
        QVERIFY(f.presentationTimer().isActive());
        QVERIFY(f.stopPicture()->isVisibleTo(&f) && !f.playPicture()->isVisibleTo(&f));
        QCOMPARE(character->calls, QStringList{"Stop"});
        f.engine().onPresentationTick();
        // The next pair from its start, spoken at once.
        QCOMPARE(w.values.position, qint16(11403));
        QCOMPARE(f.engine().tickCount(), 1);
        QCOMPARE(character->calls,
                 (QStringList{"Stop", "Speak \\SPD=90\\" + f.engine().russian(), "Play Wave"}));
        QCOMPARE(f.russianLine()->text(), QString(" "));
        QCOMPARE(f.englishLine()->text(), QString(" "));
        QCOMPARE(f.englishLineTopTwips(), 400);
    }

    void dragMovesSidewaysAndDocks_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("expectedLeft"); // -1: start + dx
        QTest::newRow("sideways and down") << -120 << -1;
        QTest::newRow("off the right edge") << 2000 << -2;
    }

    void dragMovesSidewaysAndDocks()
    {
        QFETCH(int, dx);
        QFETCH(int, expectedLeft);
        Window w;
        StripWindow& f = *w.strip;
        const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
        const int width = f.width();
        const QPoint start = f.russianLine()->mapToGlobal(QPoint(20, 5));
        w.mouse(f.russianLine(), QEvent::MouseButtonPress, start);
        const QPoint end = start + QPoint(dx, 60);
        w.mouse(f.russianLine(), QEvent::MouseMove, end);
        QCOMPARE(f.y(), 60); // follows the pointer down while dragged
        w.mouse(f.russianLine(), QEvent::MouseButtonRelease, end);
        const int expected = expectedLeft == -1   ? 300 + dx
                             : expectedLeft == -2 ? screenWidth - w.px(7110)
                                                  : expectedLeft;
        QCOMPARE(f.x(), expected);
        QCOMPARE(f.y(), 0);
        QCOMPARE(f.width(), width);
        QCOMPARE(f.height(), w.px(360));
        QVERIFY(!f.geometry().isEmpty() && !f.geometry().contains(QPoint(-1, 0)));
    }

    void autoHideFoldsBlinksAndUnfolds()
    {
        Window w;
        StripWindow& f = *w.strip;
        w.values.autoHide = 1;
        w.pointer = QPoint(f.x() + 10, 300);
        f.countdown().reset();
        w.watchTick();
        QCOMPARE(f.height(), w.px(360)); // the start-up countdown still runs

        w.endCountdown();
        w.watchTick();
        QVERIFY(f.height() < w.px(360));
        w.blinkTick();
        QCOMPARE(f.blinkColour(), std::optional<QColor>(QColor(0, 255, 0)));
        w.blinkTick();
        QCOMPARE(f.blinkColour(), std::optional<QColor>(QColor(255, 0, 0)));

        w.pointer = QPoint(f.x() + 10, 8);
        w.watchTick();
        QVERIFY(f.height() < w.px(360));
        w.pointer = QPoint(f.x() + 10, 0);
        w.watchTick();
        QCOMPARE(f.height(), w.px(360));
        w.blinkTick();
        QCOMPARE(f.blinkColour(), std::optional<QColor>());

        w.values.autoHide = 0;
        w.pointer = QPoint(f.x() + 10, 300);
        w.watchTick();
        QCOMPARE(f.height(), w.px(360));
    }

    void autoHideWorksWhereTheWindowManagerPutTheStrip()
    {
        // Asked for the top, the strip was put 9 px lower (as a window manager
        // does beside a panel): the pointer has to touch it there.
        Window w;
        StripWindow& f = *w.strip;
        w.values.autoHide = 1;
        w.endCountdown();
        f.windowHandle()->setPosition(f.x(), 9);
        w.pointer = QPoint(f.x() + 10, 300);
        w.watchTick();
        QCOMPARE(f.y(), 9);
        QVERIFY(f.height() < w.px(360));
        w.pointer = QPoint(f.x() + 10, 0);
        w.watchTick();
        QVERIFY2(f.height() < w.px(360), "unfolded by the pointer above the strip");
        w.pointer = QPoint(f.x() + 10, 9 + 3);
        w.watchTick();
        QCOMPARE(f.height(), w.px(360));
        // Still inside, lower down: it stays unfolded.
        w.pointer = QPoint(f.x() + 10, 9 + 20);
        w.watchTick();
        QCOMPARE(f.height(), w.px(360));
    }

    void rightClickOpensTheMenuAtThePointer()
    {
        Window w;
        StripWindow& f = *w.strip;
        w.endCountdown();
        f.attachMenuPictures();
        QSignalSpy requests(&f, &StripWindow::menuRequestedAt);
        const bool playing = f.presentationTimer().isActive();

        const QPoint onLine = f.russianLine()->mapToGlobal(QPoint(30, 5));
        w.mouse(f.russianLine(), QEvent::MouseButtonPress, onLine, Qt::RightButton);
        QVERIFY(!f.strip().dragging());
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.last().at(0).toPoint(), onLine);
        QMenu* menu = f.popupMenu()->menu();
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), onLine);
        menu->hide();

        // On the Play/Stop picture and on the bare strip: the menu, no toggle.
        const QPoint onPicture = f.stopPicture()->mapToGlobal(QPoint(2, 2));
        w.mouse(f.stopPicture(), QEvent::MouseButtonPress, onPicture, Qt::RightButton);
        w.mouse(f.stopPicture(), QEvent::MouseButtonRelease, onPicture, Qt::RightButton);
        QCOMPARE(f.presentationTimer().isActive(), playing);
        QCOMPARE(requests.count(), 2);
        QCOMPARE(requests.last().at(0).toPoint(), onPicture);
        QVERIFY(menu->isVisible());
        menu->hide();
        const QPoint bare = f.mapToGlobal(QPoint(f.width() - 2, 1));
        QCOMPARE(f.childAt(f.mapFromGlobal(bare)), nullptr);
        w.mouse(&f, QEvent::MouseButtonPress, bare, Qt::RightButton);
        QCOMPARE(requests.count(), 3);
        QCOMPARE(requests.last().at(0).toPoint(), bare);
        QVERIFY(menu->isVisible());
        menu->hide();

        // While a dialog has the hot spot off, no menu either way.
        f.setMenuHotSpotEnabled(false);
        w.mouse(f.russianLine(), QEvent::MouseButtonPress, onLine, Qt::RightButton);
        QVERIFY(!menu->isVisible());
    }

    void firstRunPageWithoutABrowserOpensInTheHelpViewer()
    {
        testsupport::FakeOpener opener(testsupport::FakeOpener::noHandler());
        Window w;
        const QUrl page = startup::setupPage(testsupport::TestEnvironment::appDir());
        QVERIFY(w.strip->openUrl(page));
        QTRY_VERIFY(menu::HelpViewer::current());
        QCOMPARE(menu::HelpViewer::current()->source(), page);
        QVERIFY(menu::HelpViewer::current()->toPlainText().contains("Getting started"));
        menu::HelpViewer::current()->close();
    }

    void watchTimerRestsWhileAutoHideIsOff()
    {
        Window w;
        StripWindow& f = *w.strip;
        f.configureTimers();
        f.countdown().reset();
        for (int tick = 1; tick <= 68; ++tick) {
            w.watchTick();
            QVERIFY2(f.watchTimer().isActive(),
                     qPrintable(QString("stopped at tick %1").arg(tick)));
        }
        w.watchTick();
        QVERIFY(f.presentationTimer().isActive()); // playback started before the rest
        QVERIFY(!f.watchTimer().isActive());

        // Turning auto-hide on wakes it; it folds the strip as before.
        w.values.autoHide = 1;
        f.autoHideChanged();
        QVERIFY(f.watchTimer().isActive());
        w.pointer = QPoint(f.x() + 10, 300);
        w.watchTick();
        QVERIFY(f.height() < w.px(360));
        QVERIFY(f.watchTimer().isActive());

        // Off again: the next tick unfolds the strip, then rests.
        w.values.autoHide = 0;
        w.watchTick();
        QCOMPARE(f.height(), w.px(360));
        QVERIFY(!f.watchTimer().isActive());
    }

    // The Russian line shows the stress marks while the setting is on and the
    // plain text while it is off, even mid-slide; its tooltip is always plain.
    // The character always gets the marked sentence, so the stress it speaks
    // does not depend on what is shown.
    void stressMarksFollowTheSetting()
    {
        Window w;
        StripWindow& f = *w.strip;
        QVERIFY(f.loadCharacter(QStringLiteral("Merlin")));
        f.pickNextPair();
        const QString marked = f.engine().russian();
        const QString plain = speech::withoutStressMarks(marked);
        QVERIFY(marked.contains(QChar(0x0301)));
        QVERIFY(plain != marked && !plain.isEmpty());

        f.engine().onPresentationTick(); // Russian first: slides in, spoken
        for (int i = 0; i < 10; ++i)
            f.engine().onRussianSlideTick();
        QCOMPARE(f.russianLine()->text(), QString(27, u' ') + marked);
        QCOMPARE(f.russianLine()->toolTip(), plain);

        w.values.showStressMarks = 0;
        f.stressMarksChanged();
        QCOMPARE(f.russianLine()->text(), QString(27, u' ') + plain);
        for (int i = 10; i < 36; ++i)
            f.engine().onRussianSlideTick();
        QCOMPARE(f.russianLine()->text(), QStringLiteral(" ") + plain);
        QVERIFY(
            w.characters->character.calls.contains(QStringLiteral("Speak \\SPD=90\\") + marked));

        w.values.showStressMarks = 1;
        f.stressMarksChanged();
        QCOMPARE(f.russianLine()->text(), QStringLiteral(" ") + marked);
        QCOMPARE(f.russianLine()->toolTip(), plain);
        // A cleared line stays cleared either way; the English line is left alone.
        const QString english = f.englishLine()->text();
        f.setRussianLineCaption(QStringLiteral(" "));
        w.values.showStressMarks = 0;
        f.stressMarksChanged();
        QCOMPARE(f.russianLine()->text(), QStringLiteral(" "));
        QCOMPARE(f.englishLine()->text(), english);
    }

    void menuHotSpotRaisesRequests()
    {
        Window w;
        StripWindow& f = *w.strip;
        QSignalSpy requests(&f, &StripWindow::menuRequested);
        const QPoint over = f.menuHotSpot()->mapToGlobal(QPoint(10, 10));
        w.mouse(f.menuHotSpot(), QEvent::MouseMove, over);
        w.mouse(f.menuHotSpot(), QEvent::MouseMove, over + QPoint(1, 0));
        QCOMPARE(requests.count(), 2);
        f.setMenuHotSpotEnabled(false);
        w.mouse(f.menuHotSpot(), QEvent::MouseMove, over);
        QCOMPARE(requests.count(), 2);
        QVERIFY(!f.menuHotSpotEnabled());
    }
};

QTEST_MAIN(TestStripWindow)
#include "tst_stripwindow.moc"
