#include "dialogs/startup/startupcountdown.h"

#include <QtTest>

using startup::StartupCountdown;

namespace {

struct RecordingHost final : startup::CountdownHost {
    QString caption = QStringLiteral("design");
    int splashCloses = 0;
    int presentationStarts = 0;
    bool hotSpotEnabled = true;

    void setRussianLineCaption(const QString& text) override { caption = text; }
    void closeSplashShowMain() override { ++splashCloses; }
    bool menuHotSpotEnabled() const override { return hotSpotEnabled; }
    void startPresentation() override { ++presentationStarts; }
};

} // namespace

class TestStartupCountdown : public QObject
{
    Q_OBJECT

private slots:
    void everyTickOfTheTable()
    {
        RecordingHost host;
        StartupCountdown countdown(host);
        const QString greeting = StartupCountdown::kGreeting;
        QCOMPARE(greeting, QString(" Welcome to use Brisvane V3.1."));

        for (int tick = 1; tick <= 80; ++tick) {
            const int closesBefore = host.splashCloses;
            const int enablesBefore = host.presentationStarts;
            countdown.tick();
            const int value = 70 - tick;
            if (value >= 51) {
                QCOMPARE(host.caption, QString(value - 20, ' ') + greeting);
                QCOMPARE(host.splashCloses, 0);
            } else if (value >= 21) {
                QCOMPARE(host.caption, QString(value - 20, ' ') + greeting);
                QCOMPARE(host.splashCloses, closesBefore + 1);
            } else if (value >= 3) {
                QCOMPARE(host.caption, greeting);
                QCOMPARE(host.splashCloses, closesBefore);
            } else if (value >= 1) {
                QCOMPARE(host.caption, QString(" "));
                QCOMPARE(host.presentationStarts, enablesBefore + 1);
            } else {
                // After start-up the value steps between 1 and 0 with no effect.
                QCOMPARE(countdown.value(), qint16(1));
                QCOMPARE(host.caption, QString(" "));
                QCOMPARE(host.presentationStarts, enablesBefore);
            }
            QCOMPARE(host.presentationStarts, tick >= 69 ? 2 : tick == 68 ? 1 : 0);
        }
        // The splash closed on each of the 30 ticks from 50 down to 21.
        QCOMPARE(host.splashCloses, 30);
    }

    void greetingSlidesOneCharacterPerTick()
    {
        RecordingHost host;
        StartupCountdown countdown(host);
        countdown.tick();
        const qsizetype first = host.caption.size();
        countdown.tick();
        QCOMPARE(host.caption.size(), first - 1);
        QVERIFY(host.caption.endsWith(StartupCountdown::kGreeting));
    }

    void noPlaybackWhileTheHotSpotIsDisabled()
    {
        // The options dialog disables the hot spot; playback then waits for it.
        RecordingHost host;
        host.hotSpotEnabled = false;
        StartupCountdown countdown(host);
        for (int tick = 0; tick < 100; ++tick)
            countdown.tick();
        QCOMPARE(host.presentationStarts, 0);
    }

    void autoHideSeesTheDecreasedValue()
    {
        RecordingHost host;
        StartupCountdown countdown(host);
        for (int tick = 0; tick < 69; ++tick)
            countdown.tick();
        countdown.decrease();
        QVERIFY(!countdown.running()); // 0 between decrease and act
        countdown.act();
        QCOMPARE(countdown.value(), qint16(1));
    }

    void splashClickJumpsToTheGreeting()
    {
        RecordingHost host;
        StartupCountdown countdown(host);
        countdown.tick();
        countdown.tick();
        countdown.splashClicked();
        QCOMPARE(host.splashCloses, 1);
        QCOMPARE(countdown.value(), qint16(50));
        countdown.tick();
        QCOMPARE(host.caption, QString(29, ' ') + StartupCountdown::kGreeting);
        QCOMPARE(host.splashCloses, 2);
    }
};

QTEST_GUILESS_MAIN(TestStartupCountdown)
#include "tst_startupcountdown.moc"
