#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "common/speech/speechtext.h"
#include "dialogs/playback/stripwindow.h"
#include "tests/dialogs/playback/playbackfakes.h"
#include "tests/support/testenvironment.h"

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

    void mouse(QWidget* target, QEvent::Type type, QPoint global)
    {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, target->mapFromGlobal(global), global, Qt::LeftButton, held,
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
        f.onWatchTick();
        QCOMPARE(f.height(), w.px(360)); // the start-up countdown still runs

        w.endCountdown();
        f.onWatchTick();
        QVERIFY(f.height() < w.px(360));
        f.onBlinkTick();
        QCOMPARE(f.blinkColour(), std::optional<QColor>(QColor(0, 255, 0)));
        f.onBlinkTick();
        QCOMPARE(f.blinkColour(), std::optional<QColor>(QColor(255, 0, 0)));

        w.pointer = QPoint(f.x() + 10, 8);
        f.onWatchTick();
        QVERIFY(f.height() < w.px(360));
        w.pointer = QPoint(f.x() + 10, 0);
        f.onWatchTick();
        QCOMPARE(f.height(), w.px(360));
        f.onBlinkTick();
        QCOMPARE(f.blinkColour(), std::optional<QColor>());

        w.values.autoHide = 0;
        w.pointer = QPoint(f.x() + 10, 300);
        f.onWatchTick();
        QCOMPARE(f.height(), w.px(360));
    }

    void watchTimerRestsWhileAutoHideIsOff()
    {
        Window w;
        StripWindow& f = *w.strip;
        f.configureTimers();
        f.countdown().reset();
        for (int tick = 1; tick <= 68; ++tick) {
            f.onWatchTick();
            QVERIFY2(f.watchTimer().isActive(),
                     qPrintable(QString("stopped at tick %1").arg(tick)));
        }
        f.onWatchTick();
        QVERIFY(f.presentationTimer().isActive()); // playback started before the rest
        QVERIFY(!f.watchTimer().isActive());

        // Turning auto-hide on wakes it; it folds the strip as before.
        w.values.autoHide = 1;
        f.autoHideChanged();
        QVERIFY(f.watchTimer().isActive());
        w.pointer = QPoint(f.x() + 10, 300);
        f.onWatchTick();
        QVERIFY(f.height() < w.px(360));
        QVERIFY(f.watchTimer().isActive());

        // Off again: the next tick unfolds the strip, then rests.
        w.values.autoHide = 0;
        f.onWatchTick();
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
