#include "common/speech/samplering.h"

#include <QRandomGenerator>
#include <QTest>

#include <deque>
#include <vector>

class TestSampleRing : public QObject
{
    Q_OBJECT

private slots:
    void behavesAsAQueueOverRandomOperations();
};

void TestSampleRing::behavesAsAQueueOverRandomOperations()
{
    // Pushes, pops and clears of random sizes against a plain deque: the ring
    // wraps and grows many times over, and must never lose, repeat or reorder.
    QRandomGenerator random(20261208);
    for (int round = 0; round < 20; ++round) {
        speech::SampleRing ring;
        std::deque<qint16> model;
        qint16 next = 0;
        for (int step = 0; step < 2000; ++step) {
            const int action = random.bounded(100);
            if (action < 50) {
                std::vector<qint16> samples(static_cast<std::size_t>(random.bounded(1, 3000)));
                for (qint16& s : samples)
                    s = next++;
                ring.push(samples.data(), qsizetype(samples.size()));
                model.insert(model.end(), samples.begin(), samples.end());
            } else if (action < 98) {
                const qsizetype wanted = random.bounded(0, 4000);
                std::vector<qint16> out(std::size_t(wanted) + 1, -1);
                const qsizetype got = ring.pop(out.data(), wanted);
                QCOMPARE(got, std::min<qsizetype>(wanted, qsizetype(model.size())));
                for (qsizetype k = 0; k < got; ++k) {
                    QCOMPARE(out[std::size_t(k)], model.front());
                    model.pop_front();
                }
                QCOMPARE(out[std::size_t(got)], qint16(-1)); // nothing written past the count
            } else {
                ring.clear();
                model.clear();
            }
            QCOMPARE(ring.size(), qsizetype(model.size()));
            QCOMPARE(ring.isEmpty(), model.empty());
        }
    }
}

QTEST_GUILESS_MAIN(TestSampleRing)
#include "tst_samplering.moc"
