#include "common/speech/deviceclock.h"
#include "common/speech/playoutqueue.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>
#include <vector>

using speech::DeviceClock;
using speech::PlayoutQueue;

namespace {

constexpr qint64 kMs = 1'000'000;
constexpr int kRate = 1000; // one frame per millisecond keeps the numbers readable

DeviceClock::Report report(qint64 atMs, qint64 consumed, qint64 latency, bool running)
{
    DeviceClock::Report r;
    r.atNs = atMs * kMs;
    r.consumed = consumed;
    r.latency = latency;
    r.running = running;
    return r;
}

// A queue on a clock the test moves, with the device's side played by the test.
struct Rig {
    std::shared_ptr<qint64> nowNs = std::make_shared<qint64>(0);
    PlayoutQueue queue{[now = nowNs] { return *now; }};
    qint16 nextSample = 0;

    Rig() { queue.setSampleRate(kRate); }
    void at(qint64 ms) { *nowNs = ms * kMs; }
    qint64 ms() const { return *nowNs / kMs; }
    void push(qsizetype frames)
    {
        std::vector<qint16> samples(static_cast<std::size_t>(frames));
        for (qint16& s : samples)
            s = nextSample++;
        queue.push(samples.data(), frames);
    }
    std::vector<qint16> take(qsizetype max)
    {
        std::vector<qint16> out(static_cast<std::size_t>(max));
        out.resize(std::size_t(queue.take(out.data(), max)));
        return out;
    }
};

} // namespace

class TestPlayoutQueue : public QObject
{
    Q_OBJECT

private slots:
    void deviceClockRunsBetweenReports();
    void idleDeviceStartsOnlyWithAGoodRun();
    void lostDeviceLeavesItsTimingToSilence();
    void dropEmptiesEverythingAndWaitsForTheDevice();
    void randomUseKeepsOrderAndDrains();
};

void TestPlayoutQueue::deviceClockRunsBetweenReports()
{
    DeviceClock clock;
    clock.setSampleRate(kRate);
    clock.handed(1000);
    QCOMPARE(clock.pending(0), 1000); // nothing heard before the first report

    clock.report(report(100, 500, 100, true)); // 100 of the 500 taken still in its buffer
    QCOMPARE(clock.heard(100 * kMs), 400);
    QCOMPARE(clock.heard(150 * kMs), 450);
    QCOMPARE(clock.heard(5000 * kMs), 1000); // never past what it was given

    // Waiting for data: only its own buffer plays out.
    clock.report(report(200, 600, 50, false));
    QCOMPARE(clock.heard(200 * kMs), 550);
    QCOMPARE(clock.heard(230 * kMs), 580);
    QCOMPARE(clock.heard(900 * kMs), 600);

    // A drop: numbering starts over where the device now is.
    clock.restart(600);
    QCOMPARE(clock.pending(900 * kMs), 0);
    clock.handed(40);
    QCOMPARE(clock.pending(900 * kMs), 40);
}

void TestPlayoutQueue::idleDeviceStartsOnlyWithAGoodRun()
{
    Rig rig;
    rig.queue.attach();
    rig.push(20);
    QVERIFY(rig.take(500).empty()); // 20 ms could leave a hole at once
    rig.push(129);
    QVERIFY(rig.take(500).empty());
    rig.push(1);
    QCOMPARE(rig.take(500).size(), std::size_t(150));
    QCOMPARE(rig.queue.buffered(), 150); // handed, not reported as heard

    // While the device plays, whatever comes goes on at once.
    rig.queue.report(report(0, 150, 10, true));
    rig.push(5);
    QCOMPARE(rig.take(500).size(), std::size_t(5));

    // Idle again: a short last run goes once nothing more has come for a while.
    rig.at(1000);
    QCOMPARE(rig.queue.buffered(), 0);
    rig.push(30);
    QVERIFY(rig.take(500).empty());
    rig.at(1049);
    QVERIFY(rig.take(500).empty());
    rig.at(1050);
    QCOMPARE(rig.take(500).size(), std::size_t(30));
}

void TestPlayoutQueue::lostDeviceLeavesItsTimingToSilence()
{
    Rig rig;
    rig.queue.attach();
    rig.push(300);
    QCOMPARE(rig.take(150).size(), std::size_t(150));
    rig.queue.report(report(0, 100, 20, true));
    rig.at(50);
    QCOMPARE(rig.queue.buffered(), 300 - 130); // 80 heard at the report, 50 since
    rig.queue.detach();
    QCOMPARE(rig.queue.buffered(), 170); // the rest plays on silently
    rig.push(100);
    QVERIFY(rig.take(500).empty());
    QCOMPARE(rig.queue.buffered(), 270);
    rig.at(250);
    QCOMPARE(rig.queue.buffered(), 70);

    // A device that comes back takes over only once the silence has run out.
    rig.queue.attach();
    rig.push(50);
    QVERIFY(rig.take(500).empty());
    QCOMPARE(rig.queue.buffered(), 120);
    rig.at(370);
    QCOMPARE(rig.queue.buffered(), 0);
    rig.push(150);
    QCOMPARE(rig.take(500).size(), std::size_t(150));
}

void TestPlayoutQueue::dropEmptiesEverythingAndWaitsForTheDevice()
{
    Rig rig;
    rig.queue.attach();
    rig.push(200);
    QCOMPARE(rig.take(120).size(), std::size_t(120));
    rig.queue.report(report(0, 120, 10, true));
    QVERIFY(!rig.queue.dropRequested());
    rig.queue.drop();
    QCOMPARE(rig.queue.buffered(), 0);
    QVERIFY(rig.queue.dropRequested());
    QVERIFY(!rig.queue.dropRequested()); // once

    // Until the device says where it is after its own drop, nothing goes to it.
    rig.push(100);
    QVERIFY(rig.take(500).empty());
    QCOMPARE(rig.queue.buffered(), 100);
    rig.queue.report(report(0, 120, 10, true)); // an answer from before the drop
    QVERIFY(rig.take(500).empty());
    rig.queue.resync(30, report(0, 30, 8, false));
    QCOMPARE(rig.queue.buffered(), 108); // its last 8 frames play out first
    const std::vector<qint16> taken = rig.take(500);
    QCOMPARE(taken.size(), std::size_t(100));
    QCOMPARE(taken.front(), qint16(200)); // nothing from before the drop
}

void TestPlayoutQueue::randomUseKeepsOrderAndDrains()
{
    // A device that consumes in real time and reports now and then, lost and
    // found again, drops at random moments: samples reach it in push order,
    // buffered() never goes negative, and once the pushes stop it all drains.
    QRandomGenerator random(8122026);
    for (int round = 0; round < 50; ++round) {
        Rig rig;
        rig.queue.attach();
        bool attached = true;
        qint64 consumed = 0;
        qint64 handed = 0;
        int lastTaken = -1;
        for (int step = 0; step < 400; ++step) {
            rig.at(rig.ms() + random.bounded(0, 15));
            const int action = random.bounded(100);
            if (action < 40) {
                rig.push(random.bounded(1, 60));
            } else if (action < 80 && attached) {
                for (qint16 sample : rig.take(random.bounded(1, 200))) {
                    QVERIFY(sample > lastTaken);
                    lastTaken = sample;
                    ++handed;
                }
                consumed = std::min(handed, consumed + random.bounded(0, 30));
                rig.queue.report(report(rig.ms(), consumed, 5, consumed < handed));
            } else if (action < 85) {
                rig.queue.drop();
                if (attached && rig.queue.dropRequested()) {
                    handed = consumed;
                    rig.queue.resync(handed, report(rig.ms(), consumed, 0, false));
                }
            } else if (action < 90) {
                attached = !attached;
                if (attached) {
                    rig.queue.attach();
                    handed = consumed = 0;
                } else {
                    rig.queue.detach();
                }
            }
            QVERIFY(rig.queue.buffered() >= 0);
        }
        // No more speech: the device plays out all it has, the silence runs out.
        if (attached) {
            for (int k = 0; k < 100; ++k) {
                rig.at(rig.ms() + 50);
                handed += qint64(rig.take(10000).size());
                consumed = handed;
                rig.queue.report(report(rig.ms(), consumed, 0, false));
            }
        }
        rig.at(rig.ms() + 100000);
        QCOMPARE(rig.queue.buffered(), 0);
        QVERIFY(!rig.queue.busy());
    }
}

QTEST_GUILESS_MAIN(TestPlayoutQueue)
#include "tst_playoutqueue.moc"
