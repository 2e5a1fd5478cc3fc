#include "common/speech/playbackclock.h"
#include "common/speech/silentaudiooutput.h"

#include <QTest>

#include <memory>

class TestPlaybackClock : public QObject
{
    Q_OBJECT

private slots:
    void bufferedAudioDrainsInRealTime();
    void underrunRestartsAtTheNextWrite();
    void flushDropsWhatIsBuffered();
    void silentOutputTakesItsRateFromOpen();

private:
    static constexpr qint64 kMs = 1'000'000;
    std::shared_ptr<qint64> m_now = std::make_shared<qint64>(0);
    speech::PlaybackClock::Now fakeTime()
    {
        *m_now = 0;
        return [now = m_now] { return *now; };
    }
};

void TestPlaybackClock::bufferedAudioDrainsInRealTime()
{
    speech::PlaybackClock clock(fakeTime());
    clock.setSampleRate(1000);
    clock.written(500);
    clock.written(500); // back to back: one second in all
    QCOMPARE(clock.bufferedSamples(), 1000);
    *m_now = 250 * kMs;
    QCOMPARE(clock.bufferedSamples(), 750);
    *m_now = 999 * kMs;
    QCOMPARE(clock.bufferedSamples(), 1);
    *m_now = 1500 * kMs;
    QCOMPARE(clock.bufferedSamples(), 0);
}

void TestPlaybackClock::underrunRestartsAtTheNextWrite()
{
    speech::PlaybackClock clock(fakeTime());
    clock.setSampleRate(1000);
    clock.written(100);
    *m_now = 5000 * kMs; // long silence after the first 100 ms
    clock.written(200);
    QCOMPARE(clock.bufferedSamples(), 200);
    *m_now = 5100 * kMs;
    QCOMPARE(clock.bufferedSamples(), 100);
}

void TestPlaybackClock::flushDropsWhatIsBuffered()
{
    speech::PlaybackClock clock(fakeTime());
    clock.setSampleRate(1000);
    clock.written(2000);
    *m_now = 100 * kMs;
    clock.flush();
    QCOMPARE(clock.bufferedSamples(), 0);
    clock.written(50);
    QCOMPARE(clock.bufferedSamples(), 50);
}

void TestPlaybackClock::silentOutputTakesItsRateFromOpen()
{
    speech::SilentAudioOutput output(fakeTime());
    QVERIFY(output.open(8000));
    const qint16 samples[800] = {};
    output.write(samples, 800);
    *m_now = 50 * kMs;
    QCOMPARE(output.bufferedSamples(), 400);
    output.flush();
    QCOMPARE(output.bufferedSamples(), 0);
}

QTEST_GUILESS_MAIN(TestPlaybackClock)
#include "tst_playbackclock.moc"
