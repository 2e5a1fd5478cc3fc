#include "common/speech/espeaksynthesizer.h"
#include "common/speech/silentaudiooutput.h"
#include "common/speech/speechtext.h"
#include "common/speech/synthesizerfactory.h"
#include "tests/common/speech/recordingaudiooutput.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

using speech::EspeakSynthesizer;
using speech::Synthesizer;
using speech::Viseme;
using speechtest::AudioLog;
using speechtest::RecordingAudioOutput;

namespace {

constexpr int kRussian = 1049;
constexpr int kEnglish = 1033;

// Every signal of one synthesizer, in arrival order.
struct Event {
    enum Kind { Started, Word, Mouth, Finished } kind;
    quint64 id = 0;
    int position = 0;
    int length = 0;
    Viseme viseme = Viseme::Rest;
    bool completed = false;
    qint64 atMs = 0;
};

class Recorder
{
public:
    explicit Recorder(Synthesizer& synth)
    {
        m_clock.start();
        QObject::connect(&synth, &Synthesizer::utteranceStarted, &m_context, [this](quint64 id) {
            add({Event::Started, id});
        });
        QObject::connect(&synth, &Synthesizer::wordReached, &m_context,
                         [this](quint64 id, int position, int length) {
                             add({Event::Word, id, position, length});
                         });
        QObject::connect(&synth, &Synthesizer::visemeReached, &m_context,
                         [this](quint64 id, Viseme viseme) {
                             add({Event::Mouth, id, 0, 0, viseme});
                         });
        QObject::connect(&synth, &Synthesizer::utteranceFinished, &m_context,
                         [this](quint64 id, bool completed) {
                             add({Event::Finished, id, 0, 0, Viseme::Rest, completed});
                         });
    }

    bool waitFinished(quint64 id, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return finished(id) != nullptr; }, timeoutMs);
    }
    const Event* finished(quint64 id) const
    {
        for (const Event& e : events)
            if (e.kind == Event::Finished && e.id == id)
                return &e;
        return nullptr;
    }
    QList<Event> of(quint64 id, Event::Kind kind) const
    {
        QList<Event> result;
        for (const Event& e : events)
            if (e.id == id && e.kind == kind)
                result.append(e);
        return result;
    }

    QList<Event> events;
    bool allOnGuiThread = true;

private:
    void add(Event e)
    {
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
        e.atMs = m_clock.elapsed();
        events.append(e);
    }
    QObject m_context;
    QElapsedTimer m_clock;
};

struct Fixture {
    std::shared_ptr<AudioLog> log = std::make_shared<AudioLog>();
    std::unique_ptr<EspeakSynthesizer> synth;
    std::unique_ptr<Recorder> recorder;

    // paced: the recording wraps a silent output, so audio takes real time.
    explicit Fixture(bool paced = false)
    {
        std::unique_ptr<speech::AudioOutput> inner;
        if (paced)
            inner = std::make_unique<speech::SilentAudioOutput>();
        synth = std::make_unique<EspeakSynthesizer>(
            std::make_unique<RecordingAudioOutput>(log, std::move(inner)));
        recorder = std::make_unique<Recorder>(*synth);
    }

    // Samples of one whole utterance, synthesised alone.
    qint64 samplesOf(const QString& text, int language = kRussian)
    {
        static quint64 nextId = 1000;
        const quint64 id = ++nextId;
        const qint64 before = log->totalSamples();
        synth->speak(id, text, language);
        if (!recorder->waitFinished(id))
            return -1;
        return log->totalSamples() - before;
    }
};

QString withoutStress(QString s)
{
    s.remove(QChar(0x0301));
    s.remove(QChar(0x0300));
    return s;
}

} // namespace

class TestEspeakSynthesizer : public QObject
{
    Q_OBJECT

private slots:
    void utterancesPlayInRequestOrder();
    void stopCutsCurrentAndDropsQueued();
    void tagsAreNeverSpoken();
    void rateFollowsTheSpeedTag();
    void wordsArriveInOrderOnTheDisplayText();
    void mouthFollowsThePhonemes();
    void emptyTextFinishesAtOnce();
    void instancesShareTheEngineSafely();
    void silentDeviceKeepsTheAudioTiming();
};

void TestEspeakSynthesizer::utterancesPlayInRequestOrder()
{
    Fixture f;
    f.synth->speak(1, QStringLiteral("Доброе утро."), kRussian);
    f.synth->speak(2, QStringLiteral("Good morning."), kEnglish);
    f.synth->speak(3, QStringLiteral("Спасибо."), kRussian);
    QVERIFY(f.recorder->waitFinished(3));

    quint64 playing = 0;
    QList<quint64> finishedOrder;
    for (const Event& e : std::as_const(f.recorder->events)) {
        switch (e.kind) {
        case Event::Started:
            QCOMPARE(playing, quint64(0));
            playing = e.id;
            break;
        case Event::Word:
        case Event::Mouth:
            QCOMPARE(e.id, playing); // nothing leaks between utterances
            break;
        case Event::Finished:
            QCOMPARE(e.id, playing);
            QVERIFY(e.completed);
            finishedOrder.append(e.id);
            playing = 0;
            break;
        }
    }
    QCOMPARE(finishedOrder, (QList<quint64>{1, 2, 3}));
    QVERIFY(f.recorder->allOnGuiThread);
    QVERIFY(f.log->totalSamples() > 0);
}

void TestEspeakSynthesizer::stopCutsCurrentAndDropsQueued()
{
    Fixture f(true);
    const QString longText = QStringLiteral("Раз, два, три, четыре, пять, шесть, семь, восемь.");
    f.synth->speak(1, longText, kRussian);
    f.synth->speak(2, longText, kRussian);
    f.synth->speak(3, longText, kRussian);
    QVERIFY(QTest::qWaitFor([&] { return !f.recorder->of(1, Event::Word).isEmpty(); }, 5000));
    QTest::qWait(200);

    QElapsedTimer call;
    call.start();
    f.synth->stop();
    QVERIFY(call.nsecsElapsed() < 50'000'000); // returns at once
    const qint64 stoppedAt = f.log->clock.nsecsElapsed();
    QVERIFY(f.recorder->waitFinished(3, 2000));
    QTest::qWait(150);

    for (quint64 id : {1, 2, 3}) {
        const QList<Event> done = f.recorder->of(id, Event::Finished);
        QCOMPARE(done.size(), 1);
        QVERIFY(!done.first().completed);
    }
    QVERIFY(f.recorder->of(2, Event::Started).isEmpty());
    QVERIFY(f.recorder->of(3, Event::Started).isEmpty());
    // Dropped ones are reported in request order, after the cut one.
    QList<quint64> order;
    for (const Event& e : std::as_const(f.recorder->events))
        if (e.kind == Event::Finished)
            order.append(e.id);
    QCOMPARE(order, (QList<quint64>{1, 2, 3}));
    // Nothing of the cut utterance follows its report.
    QCOMPARE(f.recorder->events.last().kind, Event::Finished);
    QVERIFY(f.log->lastWrite() < stoppedAt + 50'000'000);
    QVERIFY(f.log->flushes >= 1);

    // The synthesizer goes on speaking afterwards.
    f.synth->speak(4, QStringLiteral("Да."), kRussian);
    QVERIFY(f.recorder->waitFinished(4));
    QVERIFY(f.recorder->finished(4)->completed);
}

void TestEspeakSynthesizer::tagsAreNeverSpoken()
{
    Fixture f;
    const QString plain = QStringLiteral("Привет, как дела?");
    // 175 wpm is the library's own default rate, so a tag that is only parsed
    // away leaves the length alone; the library varies it by a few ms from run
    // to run, while a spoken tag would add half a second or more.
    const qint64 untagged = f.samplesOf(plain);
    const qint64 tagged = f.samplesOf(QStringLiteral("\\SPD=175\\\\Pit=50\\") + plain);
    QVERIFY(untagged > 0);
    QVERIFY2(qAbs(tagged - untagged) < untagged / 50,
             qPrintable(QStringLiteral("%1 vs %2").arg(tagged).arg(untagged)));
    const quint64 lastId = f.recorder->events.last().id;
    QCOMPARE(f.recorder->of(lastId, Event::Word).size(), 3);
}

void TestEspeakSynthesizer::rateFollowsTheSpeedTag()
{
    Fixture f;
    const QString text = QStringLiteral("Мы идём домой сегодня вечером, потому что поздно.");
    QMap<int, qint64> samples;
    for (int wpm : {40, 60, 80, 120, 200})
        samples[wpm] = f.samplesOf(QStringLiteral("\\Spd=%1\\").arg(wpm) + text);
    qInfo() << "samples by rate" << samples;

    // Slower is longer over the whole range, below the library's own floor too.
    QVERIFY(samples[40] > samples[60]);
    QVERIFY(samples[60] > samples[80]);
    QVERIFY(samples[80] > samples[120]);
    QVERIFY(samples[120] > samples[200]);
    // And roughly in proportion to the rate.
    const double slow = double(samples[40]) / samples[80];
    const double fast = double(samples[80]) / samples[200];
    QVERIFY2(slow > 1.6 && slow < 2.6, qPrintable(QString::number(slow)));
    QVERIFY2(fast > 1.8 && fast < 3.2, qPrintable(QString::number(fast)));
}

void TestEspeakSynthesizer::wordsArriveInOrderOnTheDisplayText()
{
    Fixture f;
    // тебе́ and по-ру́сски go to the library as phonemes (it stresses те́бе
    // and по́-ру́сски), yet each still lights up as its whole display word.
    const QString raw = QStringLiteral("\\Spd=150\\Ёлка стои\u0301т у окна\u0301, тебе\u0301 "
                                       "по-ру\u0301сски, \\Vol=5\\hello world.");
    const QString display = speech::parseSpeechText(raw).display;
    f.synth->speak(7, raw, kRussian);
    QVERIFY(f.recorder->waitFinished(7));

    const QList<Event> words = f.recorder->of(7, Event::Word);
    QStringList spoken;
    int previousEnd = 0;
    for (const Event& w : words) {
        QVERIFY(w.position >= previousEnd);
        QVERIFY(w.length > 0);
        QVERIFY(w.position + w.length <= display.size());
        previousEnd = w.position + w.length;
        spoken.append(display.mid(w.position, w.length));
    }
    // Each reported span is a whole word of the display, stress marks included.
    const QStringList expected =
        display.split(QRegularExpression(QStringLiteral("[\\s,.]+")), Qt::SkipEmptyParts);
    QCOMPARE(spoken, expected);
    QVERIFY(spoken.contains(QStringLiteral("окна\u0301")));
    QVERIFY(spoken.contains(QStringLiteral("по-ру\u0301сски")));
    QCOMPARE(withoutStress(spoken.first()), QStringLiteral("Ёлка"));
}

void TestEspeakSynthesizer::mouthFollowsThePhonemes()
{
    Fixture f;
    f.synth->speak(1, QStringLiteral("мама"), kRussian);
    f.synth->speak(2, QStringLiteral("фу"), kRussian);
    QVERIFY(f.recorder->waitFinished(2));

    auto shapes = [&](quint64 id) {
        QList<Viseme> result;
        for (const Event& e : f.recorder->of(id, Event::Mouth))
            result.append(e.viseme);
        return result;
    };
    const QList<Viseme> mama = shapes(1);
    const QList<Viseme> fu = shapes(2);
    QVERIFY(mama.contains(Viseme::Closed));
    QVERIFY(mama.contains(Viseme::Open));
    QVERIFY(mama.indexOf(Viseme::Closed) < mama.indexOf(Viseme::Open));
    QVERIFY(fu.contains(Viseme::Teeth));
    QVERIFY(fu.contains(Viseme::Round));
    for (const QList<Viseme>& list : {mama, fu}) {
        QCOMPARE(list.last(), Viseme::Rest); // the mouth closes at the end
        for (int i = 1; i < list.size(); ++i)
            QVERIFY(list[i] != list[i - 1]); // only changes are reported
    }
}

void TestEspeakSynthesizer::emptyTextFinishesAtOnce()
{
    Fixture f;
    f.synth->speak(1, QStringLiteral("\\Spd=100\\"), kRussian);
    f.synth->speak(2, QString(), kRussian);
    QVERIFY(f.recorder->waitFinished(2, 2000));
    QVERIFY(f.recorder->finished(1)->completed);
    QVERIFY(f.recorder->of(1, Event::Word).isEmpty());
    QCOMPARE(f.log->totalSamples(), 0);
}

void TestEspeakSynthesizer::instancesShareTheEngineSafely()
{
    // Destroyed while speaking: the engine must drop it without touching it again.
    for (int i = 0; i < 3; ++i) {
        Fixture doomed(true);
        doomed.synth->speak(1, QStringLiteral("Это долгая фраза, которую никто не дослушает."),
                            kRussian);
        QTest::qWait(30);
    }
    Fixture a;
    Fixture b;
    for (quint64 id = 1; id <= 3; ++id) {
        a.synth->speak(id, QStringLiteral("Один два три."), kRussian);
        b.synth->speak(id, QStringLiteral("One two three."), kEnglish);
    }
    QVERIFY(a.recorder->waitFinished(3));
    QVERIFY(b.recorder->waitFinished(3));
    for (quint64 id = 1; id <= 3; ++id) {
        QVERIFY(a.recorder->finished(id)->completed);
        QVERIFY(b.recorder->finished(id)->completed);
        QCOMPARE(a.recorder->of(id, Event::Word).size(), 3);
        QCOMPARE(b.recorder->of(id, Event::Word).size(), 3);
    }
}

void TestEspeakSynthesizer::silentDeviceKeepsTheAudioTiming()
{
    const QString text = QStringLiteral("Раз, два, три, четыре.");
    Fixture measure;
    const qint64 samples = measure.samplesOf(text);
    QVERIFY(samples > 0);
    const qint64 audioMs = samples * 1000 / measure.log->sampleRate;

    // This machine has no sound device: the factory's synthesizer must fall
    // back to silence that lasts as long as the audio would.
    std::unique_ptr<Synthesizer> synth = speech::createSynthesizer();
    Recorder recorder(*synth);
    QTest::qWait(300); // let the device probe finish
    QElapsedTimer timer;
    timer.start();
    synth->speak(1, text, kRussian);
    QVERIFY(recorder.waitFinished(1, int(audioMs) + 3000));
    const qint64 elapsed = timer.elapsed();
    qInfo() << "audio" << audioMs << "ms, finished after" << elapsed << "ms";
    QVERIFY(recorder.finished(1)->completed);
    QVERIFY(elapsed >= audioMs * 9 / 10);
    QVERIFY(elapsed <= audioMs + 700);
    // Words come as they would be heard, not all at once when synthesis ends.
    const QList<Event> words = recorder.of(1, Event::Word);
    QCOMPARE(words.size(), 4);
    QVERIFY(words.last().atMs - words.first().atMs > audioMs / 3);
}

QTEST_GUILESS_MAIN(TestEspeakSynthesizer)
#include "tst_espeaksynthesizer.moc"
