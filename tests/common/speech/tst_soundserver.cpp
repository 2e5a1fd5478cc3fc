// The speech path against a real sound server: a private PulseAudio daemon
// with a null sink whose monitor is recorded, compared with the library's own
// rendering of the same sentences.
#include "common/speech/alsaaudiooutput.h"
#include "common/speech/espeaksynthesizer.h"
#include "common/speech/synthesizerfactory.h"
#include "tests/common/speech/monitorrecorder.h"
#include "tests/common/speech/pulseserver.h"
#include "tests/support/testenvironment.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

using speech::Synthesizer;
using speech::Viseme;
using speechtest::MonitorRecorder;
using speechtest::PulseServer;
using speechtest::steadyNowNs;

namespace {

constexpr int kRussian = 1049;
constexpr qint64 kMs = 1'000'000;
constexpr int kRate = PulseServer::kSampleRate;
// A sample at least this large is sound; a run of samples below kQuiet is silence.
constexpr int kLoud = 400;
constexpr int kQuiet = 40;
#ifdef VELKOR_SANITIZER_BUILD
// Unoptimised, instrumented code runs two to three times slower; beside busy
// processes on a loaded machine it was seen to miss the server's deadline
// about once in ten runs, an optimised build never. The sanitizer build checks
// memory and behaviour; the optimised build holds the real timing limits.
constexpr qsizetype kHolesAllowed = 2;
constexpr qint64 kLongestStallMs = 150;
#else
constexpr qsizetype kHolesAllowed = 0;
constexpr qint64 kLongestStallMs = 50;
#endif

QString folder(const QString& name)
{
    return testsupport::TestEnvironment::instance().root() + QLatin1Char('/') + name;
}

QString binary(const QString& name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

// This process's environment without the debug log's switch.
QProcessEnvironment quietEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VELKOR_DEBUG"));
    return environment;
}

// The library's rendering of sentences, as the engine would produce them.
struct Reference {
    std::vector<std::vector<qint16>> samples;
    std::vector<std::vector<qint64>> words;
    std::vector<std::vector<qint64>> mouths;
};

Reference render(const QStringList& sentences)
{
    Reference reference;
    QFile input(folder(QStringLiteral("sentences.txt")));
    if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return reference;
    input.write(sentences.join(QLatin1Char('\n')).toUtf8());
    input.close();
    const QString raw = folder(QStringLiteral("reference.raw"));
    QProcess process;
    process.start(binary(QStringLiteral("espeak_reference")),
                  {input.fileName(), raw, QString::number(kRussian)});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return reference;
    QFile samples(raw);
    if (!samples.open(QIODevice::ReadOnly))
        return reference;
    const QByteArray all = samples.readAll();
    const auto* data = reinterpret_cast<const qint16*>(all.constData());
    qint64 offset = 0;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 2)
            continue;
        const qint64 value = parts[1].toLongLong();
        if (parts[0] == "sentence") {
            reference.samples.emplace_back(data + offset, data + offset + value);
            reference.words.emplace_back();
            reference.mouths.emplace_back();
            offset += value;
        } else if (parts[0] == "word") {
            reference.words.back().push_back(value);
        } else if (parts[0] == "mouth") {
            reference.mouths.back().push_back(value);
        }
    }
    return reference;
}

qint64 firstLoud(const std::vector<qint16>& samples, qint64 from = 0)
{
    for (qint64 i = std::max<qint64>(0, from); i < qint64(samples.size()); ++i)
        if (std::abs(int(samples[std::size_t(i)])) >= kLoud)
            return i;
    return -1;
}

// Where in the recording, between from and to, the rendering of one sentence
// lies: the offset whose samples differ least from the rendering's first
// sounding 50 ms. The very first samples of an utterance may differ a little
// from one rendering to the next, so this does not look for an exact match.
qint64 locate(const std::vector<qint16>& recording, const std::vector<qint16>& rendering,
              qint64 from, qint64 to)
{
    const qint64 sound = std::max<qint64>(0, firstLoud(rendering));
    const qint64 length = std::min<qint64>(kRate / 20, qint64(rendering.size()) - sound);
    from = std::max<qint64>(0, from);
    to = std::min<qint64>(to, qint64(recording.size()) - sound - length);
    qint64 best = -1;
    qint64 bestDifference = std::numeric_limits<qint64>::max();
    for (qint64 offset = from; offset < to; ++offset) {
        qint64 difference = 0;
        for (qint64 k = sound; k < sound + length && difference < bestDifference; ++k)
            difference +=
                std::abs(int(recording[std::size_t(offset + k)]) - int(rendering[std::size_t(k)]));
        if (difference < bestDifference) {
            bestDifference = difference;
            best = offset;
        }
    }
    return best;
}

qint64 lastLoud(const std::vector<qint16>& samples, qint64 from, qint64 to)
{
    to = std::min<qint64>(to, qint64(samples.size()));
    for (qint64 i = to - 1; i >= from; --i)
        if (std::abs(int(samples[std::size_t(i)])) >= kLoud)
            return i;
    return -1;
}

double percentile(std::vector<double> values, int percent)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * std::size_t(percent) / 100)];
}

// Every signal of one synthesizer with its steady-clock time.
struct Signals {
    struct Entry {
        enum Kind { Started, Word, Mouth, Finished } kind;
        quint64 id;
        qint64 atNs;
        bool completed = false;
    };
    std::vector<Entry> entries;
    QObject context;

    explicit Signals(Synthesizer& synth)
    {
        QObject::connect(&synth, &Synthesizer::utteranceStarted, &context, [this](quint64 id) {
            entries.push_back({Entry::Started, id, steadyNowNs()});
        });
        QObject::connect(&synth, &Synthesizer::wordReached, &context, [this](quint64 id, int, int) {
            entries.push_back({Entry::Word, id, steadyNowNs()});
        });
        QObject::connect(&synth, &Synthesizer::visemeReached, &context, [this](quint64 id, Viseme) {
            entries.push_back({Entry::Mouth, id, steadyNowNs()});
        });
        QObject::connect(&synth, &Synthesizer::utteranceFinished, &context,
                         [this](quint64 id, bool completed) {
                             entries.push_back({Entry::Finished, id, steadyNowNs(), completed});
                         });
    }
    std::vector<qint64> times(quint64 id, Entry::Kind kind) const
    {
        std::vector<qint64> result;
        for (const Entry& e : entries)
            if (e.id == id && e.kind == kind)
                result.push_back(e.atNs);
        return result;
    }
    const Entry* finished(quint64 id) const
    {
        for (const Entry& e : entries)
            if (e.id == id && e.kind == Entry::Finished)
                return &e;
        return nullptr;
    }
    // Runs the event loop until id finishes. Unlike QTest::qWaitFor, which
    // looks every 10 ms, this takes each signal the moment it arrives, so the
    // times above are the times the signals could have been acted on.
    bool waitFinished(quint64 id, int timeoutMs)
    {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (finished(id))
                loop.quit();
        });
        poll.start(20);
        if (!finished(id))
            loop.exec();
        return finished(id) != nullptr;
    }
};

// Signal time minus the time its sound played, in milliseconds.
struct SignalErrors {
    std::vector<double> wordsMs;
    std::vector<double> mouthsMs;
};

// Two processes that keep both cores busy while they live.
class BusyNeighbours final
{
public:
    BusyNeighbours()
    {
        for (auto& process : m_processes) {
            process.start(QStringLiteral("/bin/sh"),
                          {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            process.waitForStarted();
        }
    }
    ~BusyNeighbours()
    {
        for (auto& process : m_processes) {
            process.kill();
            process.waitForFinished();
        }
    }

private:
    QProcess m_processes[2];
};

// Longest gap between ticks of a 5 ms timer on this (the GUI) thread.
class StallWatch final
{
public:
    StallWatch()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = steadyNowNs();
            m_longestNs = std::max(m_longestNs, now - m_lastNs);
            m_lastNs = now;
        });
        m_lastNs = steadyNowNs();
        m_timer.start();
    }
    qint64 longestMs() const { return m_longestNs / kMs; }

private:
    QTimer m_timer;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
};

} // namespace

class TestSoundServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sentencesPlayWholeAndInTimeBesideBusyProcesses();
    void alsaOutputPlaysWholeSentencesInTime();
    void stopSilencesTheSinkAtOnce();
    void restartedServerIsUsedAgainWithinTwoSeconds();
    void frozenServerHoldsUpNothing();
    void withoutSoundNothingIsPrintedAndTimingStays();

private:
    void restartRecorder();
    // Checks that sentences 1..sentenceCount were recorded whole, once each,
    // and collects how far their word and mouth signals were from the sound.
    void compareWithRendering(const Reference& reference, const Signals& heard,
                              quint64 sentenceCount, SignalErrors* errors);

    std::unique_ptr<PulseServer> m_server;
    std::unique_ptr<MonitorRecorder> m_recorder;
};

void TestSoundServer::initTestCase()
{
    m_server = std::make_unique<PulseServer>(folder(QStringLiteral("pulse")));
    QString error;
    QVERIFY2(m_server->start(&error), qPrintable(error));
    // The outputs under test find the private server here, as libpulse's
    // default lookup would find a desktop's.
    qputenv("PULSE_SERVER", m_server->address().toLocal8Bit());
    restartRecorder();
}

void TestSoundServer::restartRecorder()
{
    m_recorder =
        std::make_unique<MonitorRecorder>(m_server->address(), m_server->monitorName(), kRate);
    QString error;
    QVERIFY2(m_recorder->start(&error), qPrintable(error));
}

void TestSoundServer::compareWithRendering(const Reference& reference, const Signals& heard,
                                           quint64 sentenceCount, SignalErrors* errors)
{
    QVERIFY(m_recorder->waitUntilRecorded(steadyNowNs() + 100 * kMs));
    const std::vector<qint16> recording = m_recorder->samples();
    std::vector<qint64> sentenceBegins;
    std::vector<qint64> sentenceEnds;
    QStringList holes;
    double leastEqualShare = 1;
    for (int i = 0; i < int(sentenceCount); ++i) {
        const quint64 id = quint64(i + 1);
        QVERIFY(heard.finished(id)->completed);
        const std::vector<qint16>& expected = reference.samples[std::size_t(i)];
        const qint64 started = heard.times(id, Signals::Entry::Started).front();
        // Where the sentence lies in the recording: it cannot start before the
        // synthesizer started it, nor before the previous one ended.
        const qint64 startedAt = m_recorder->frameAt(started);
        const qint64 earliest =
            std::max(startedAt - kRate / 50, sentenceEnds.empty() ? 0 : sentenceEnds.back());
        const qint64 begin = locate(recording, expected, earliest, earliest + kRate / 2);
        QVERIFY2(begin >= 0, qPrintable(QStringLiteral("sentence %1 never heard").arg(id)));
        const qint64 end = begin + qint64(expected.size());
        QVERIFY(end <= qint64(recording.size()));
        sentenceBegins.push_back(begin);
        sentenceEnds.push_back(end);

        // No hole and nothing cut off: wherever the library's own rendering has
        // sound over 10 ms, so has the recording. One hole lasts as long as
        // the recording stays quiet.
        const qint64 window = kRate / 100;
        bool inHole = false;
        for (qint64 at = 0; at + window <= qint64(expected.size()); at += window / 2) {
            int expectedPeak = 0;
            int recordedPeak = 0;
            for (qint64 k = at; k < at + window; ++k) {
                expectedPeak = std::max(expectedPeak, std::abs(int(expected[std::size_t(k)])));
                recordedPeak =
                    std::max(recordedPeak, std::abs(int(recording[std::size_t(begin + k)])));
            }
            const bool quiet = recordedPeak < kQuiet;
            if (quiet && expectedPeak >= kLoud && !inHole)
                holes.append(QStringLiteral("sentence %1: silent hole at %2 ms")
                                 .arg(id)
                                 .arg(at * 1000 / kRate));
            inHole = quiet && (inHole || expectedPeak >= kLoud);
        }
        QVERIFY2(holes.size() <= kHolesAllowed, qPrintable(holes.join(QStringLiteral("; "))));
        qint64 same = 0;
        for (std::size_t k = 0; k < expected.size(); ++k)
            same += expected[k] == recording[std::size_t(begin) + k];
        leastEqualShare = std::min(leastEqualShare, double(same) / double(expected.size()));

        const std::vector<qint64> words = heard.times(id, Signals::Entry::Word);
        const std::vector<qint64> mouths = heard.times(id, Signals::Entry::Mouth);
        QCOMPARE(words.size(), reference.words[std::size_t(i)].size());
        // The closing rest of the mouth is posted after the last sound.
        QVERIFY(mouths.size() >= reference.mouths[std::size_t(i)].size());
        for (std::size_t k = 0; k < words.size(); ++k) {
            const qint64 heardAt =
                m_recorder->timeOfFrame(begin + reference.words[std::size_t(i)][k]);
            errors->wordsMs.push_back(double(words[k] - heardAt) / kMs);
        }
        for (std::size_t k = 0; k < reference.mouths[std::size_t(i)].size(); ++k) {
            const qint64 heardAt =
                m_recorder->timeOfFrame(begin + reference.mouths[std::size_t(i)][k]);
            errors->mouthsMs.push_back(double(mouths[k] - heardAt) / kMs);
        }
    }
    // Not doubled: nothing sounds between one sentence's end and the next
    // one's start, nor after the last.
    sentenceBegins.push_back(qint64(recording.size()));
    for (std::size_t i = 0; i < sentenceEnds.size(); ++i) {
        QVERIFY2(sentenceBegins[i + 1] >= sentenceEnds[i] &&
                     lastLoud(recording, sentenceEnds[i], sentenceBegins[i + 1]) < 0,
                 qPrintable(QStringLiteral("sound after sentence %1 ended").arg(i + 1)));
    }
    if (!holes.isEmpty())
        qWarning("tolerated in a sanitizer build: %s",
                 qPrintable(holes.join(QStringLiteral("; "))));
    qInfo("recorded samples equal to the library's own rendering: at least %.2f %% per sentence",
          100 * leastEqualShare);
}

void TestSoundServer::sentencesPlayWholeAndInTimeBesideBusyProcesses()
{
    const QStringList sentences = {
        QStringLiteral("Доброе утро, как вы спали?"),
        QStringLiteral("Я спал хорошо, спасибо."),
        QStringLiteral("Сегодня холодно и ветрено."),
        QStringLiteral("Возьмите тёплую куртку."),
        QStringLiteral("Где находится вокзал?"),
        QStringLiteral("Идите прямо, потом налево."),
        QStringLiteral("Сколько стоит этот билет?"),
        QStringLiteral("Он стоит сто рублей."),
        QStringLiteral("Мы опаздываем на поезд."),
        QStringLiteral("Не волнуйтесь, успеем."),
        QStringLiteral("Вы говорите по-английски?"),
        QStringLiteral("Немного, но плохо."),
        QStringLiteral("Какая ваша любимая книга?"),
        QStringLiteral("Мне нравится Толстой."),
        QStringLiteral("Позвоните мне завтра вечером."),
        QStringLiteral("Хорошо, я позвоню."),
        QStringLiteral("Закройте, пожалуйста, окно."),
        QStringLiteral("Здесь можно курить?"),
        QStringLiteral("Нет, здесь нельзя курить."),
        QStringLiteral("Спокойной ночи, до завтра."),
    };
    QStringList tagged;
    for (const QString& s : sentences)
        tagged.append(QStringLiteral("\\Spd=90\\") + s);
    const Reference reference = render(tagged);
    QCOMPARE(int(reference.samples.size()), int(sentences.size()));

    std::unique_ptr<Synthesizer> synth = speech::createSynthesizer();
    Signals heard(*synth);
    {
        BusyNeighbours busy;
        for (int i = 0; i < tagged.size(); ++i)
            synth->speak(quint64(i + 1), tagged[i], kRussian);
        QVERIFY(heard.waitFinished(quint64(tagged.size()), 120000));
    }
    SignalErrors errors;
    compareWithRendering(reference, heard, quint64(tagged.size()), &errors);
    if (QTest::currentTestFailed())
        return;

    std::vector<double> absoluteWords;
    std::vector<double> absoluteMouths;
    for (double e : errors.wordsMs)
        absoluteWords.push_back(std::abs(e));
    for (double e : errors.mouthsMs)
        absoluteMouths.push_back(std::abs(e));
    qInfo("word signal minus sound, ms: median %.1f  p5 %.1f  p95 %.1f  (%zu words)",
          percentile(errors.wordsMs, 50), percentile(errors.wordsMs, 5),
          percentile(errors.wordsMs, 95), errors.wordsMs.size());
    qInfo("mouth signal minus sound, ms: median %.1f  p5 %.1f  p95 %.1f  (%zu changes)",
          percentile(errors.mouthsMs, 50), percentile(errors.mouthsMs, 5),
          percentile(errors.mouthsMs, 95), errors.mouthsMs.size());
    QVERIFY(percentile(absoluteWords, 50) <= 20);
    QVERIFY(percentile(absoluteWords, 95) <= 40);
    QVERIFY(percentile(absoluteMouths, 50) <= 20);
    QVERIFY(percentile(absoluteMouths, 95) <= 40);
}

void TestSoundServer::alsaOutputPlaysWholeSentencesInTime()
{
    // ALSA's PulseAudio plugin stands in for a sound card.
    const QStringList tagged = {QStringLiteral("\\Spd=120\\Добрый вечер."),
                                QStringLiteral("\\Spd=120\\Как ваши дела сегодня?"),
                                QStringLiteral("\\Spd=120\\Всё хорошо, спасибо.")};
    const Reference reference = render(tagged);
    QCOMPARE(int(reference.samples.size()), tagged.size());
    auto output = std::make_unique<speech::AlsaAudioOutput>(QByteArrayLiteral("pulse"));
    speech::EspeakSynthesizer synth(std::move(output));
    Signals heard(synth);
    for (int i = 0; i < tagged.size(); ++i)
        synth.speak(quint64(i + 1), tagged[i], kRussian);
    QVERIFY(heard.waitFinished(quint64(tagged.size()), 20000));
    SignalErrors errors;
    compareWithRendering(reference, heard, quint64(tagged.size()), &errors);
    if (QTest::currentTestFailed())
        return;
    std::vector<double> absoluteWords;
    for (double e : errors.wordsMs)
        absoluteWords.push_back(std::abs(e));
    qInfo("through ALSA: word signal minus sound, ms: median %.1f  p95 %.1f  (%zu words)",
          percentile(errors.wordsMs, 50), percentile(errors.wordsMs, 95), errors.wordsMs.size());
    QVERIFY(percentile(absoluteWords, 50) <= 20);
    QVERIFY(percentile(absoluteWords, 95) <= 40);
}

void TestSoundServer::stopSilencesTheSinkAtOnce()
{
    const QString sentence = QStringLiteral(
        "\\Spd=120\\Мама мыла раму, а папа читал газету у большого окна в гостиной.");
    std::unique_ptr<Synthesizer> synth = speech::createSynthesizer();
    Signals heard(*synth);
    std::vector<double> silentAfterMs;
    for (quint64 id = 1; silentAfterMs.size() < 5 && id <= 12; ++id) {
        synth->speak(id, sentence, kRussian);
        QVERIFY(QTest::qWaitFor([&] { return heard.times(id, Signals::Entry::Word).size() >= 2; },
                                5000));
        QTest::qWait(int(40 * id % 170)); // stop at different moments of the sound
        const qint64 stoppedAt = steadyNowNs();
        synth->stop();
        QVERIFY(steadyNowNs() - stoppedAt < 10 * kMs); // returns at once
        QVERIFY(heard.waitFinished(id, 1000));
        QVERIFY(!heard.finished(id)->completed);
        QVERIFY(m_recorder->waitUntilRecorded(stoppedAt + 300 * kMs));
        const qint64 at = m_recorder->frameAt(stoppedAt);
        const std::vector<qint16> recording = m_recorder->samples();
        // Only a stop while the voice sounds shows how fast it goes quiet.
        if (lastLoud(recording, at - kRate / 20, at) < 0)
            continue;
        qint64 lastSound = lastLoud(recording, at - kRate / 20, at);
        for (qint64 k = at; k < qint64(recording.size()); ++k)
            if (std::abs(int(recording[std::size_t(k)])) >= kQuiet)
                lastSound = k;
        silentAfterMs.push_back(double(m_recorder->timeOfFrame(lastSound) - stoppedAt) / kMs);
    }
    QCOMPARE(silentAfterMs.size(), std::size_t(5));
    qInfo("stop to silence at the sink, ms: median %.1f  max %.1f", percentile(silentAfterMs, 50),
          percentile(silentAfterMs, 100));
    QVERIFY(percentile(silentAfterMs, 100) < 30);

    // The synthesizer speaks on after a stop.
    synth->speak(100, QStringLiteral("Да, конечно."), kRussian);
    QVERIFY(heard.waitFinished(100, 5000));
    QVERIFY(heard.finished(100)->completed);
}

void TestSoundServer::restartedServerIsUsedAgainWithinTwoSeconds()
{
    const QString first = QStringLiteral("\\Spd=120\\Мы шли по берегу реки.");
    const QString next = QStringLiteral("\\Spd=150\\Раз, два, три.");
    const Reference reference = render({first});
    QCOMPARE(int(reference.samples.size()), 1);
    const qint64 firstMs = qint64(reference.samples[0].size()) * 1000 / kRate;

    std::unique_ptr<Synthesizer> synth = speech::createSynthesizer();
    Signals heard(*synth);
    synth->speak(1, first, kRussian);
    for (quint64 id = 2; id <= 6; ++id)
        synth->speak(id, next, kRussian);
    QVERIFY(QTest::qWaitFor([&] { return !heard.times(1, Signals::Entry::Word).empty(); }, 5000));
    StallWatch stalls;
    m_recorder.reset();
    m_server->kill();
    QString error;
    QVERIFY2(m_server->start(&error), qPrintable(error));
    const qint64 restartedAt = steadyNowNs();
    // The output's own connection shows among the server's clients.
    QElapsedTimer reconnect;
    reconnect.start();
    QVERIFY(QTest::qWaitFor(
        [&] { return m_server->clientNames().contains(QLatin1String("Velkor")); }, 5000));
    const qint64 reconnectMs = reconnect.elapsed();
    restartRecorder();
    const qint64 settledAt = steadyNowNs();
    QVERIFY(heard.waitFinished(6, 20000));
    for (quint64 id = 1; id <= 6; ++id)
        QVERIFY(heard.finished(id)->completed);

    // The cut sentence kept its time, silently.
    const qint64 tookMs =
        (heard.finished(1)->atNs - heard.times(1, Signals::Entry::Started).front()) / kMs;
    // Once the sink runs, each sentence that starts is heard from its start.
    const std::vector<qint16> recording = m_recorder->samples();
    int heardSentences = 0;
    for (quint64 id = 2; id <= 6; ++id) {
        const qint64 started = heard.times(id, Signals::Entry::Started).front();
        if (started < settledAt)
            continue;
        const qint64 at = m_recorder->frameAt(started);
        const qint64 sound = firstLoud(recording, at);
        QVERIFY2(sound >= 0 && sound - at < kRate / 10,
                 qPrintable(QStringLiteral("sentence %1 not heard").arg(id)));
        ++heardSentences;
    }
    qInfo("cut sentence took %lld ms for %lld ms of audio; reconnected %lld ms after the server "
          "was back (sink running %lld ms later), %d sentences heard then; longest GUI stall %lld "
          "ms",
          tookMs, firstMs, reconnectMs, (settledAt - restartedAt) / kMs, heardSentences,
          stalls.longestMs());
    QVERIFY(heardSentences >= 2);
    QVERIFY(reconnectMs <= 2000);
    QVERIFY(qAbs(tookMs - firstMs) < 150);
    QVERIFY(stalls.longestMs() <= kLongestStallMs);
}

void TestSoundServer::frozenServerHoldsUpNothing()
{
    struct ThawAtEnd {
        PulseServer& server;
        ~ThawAtEnd() { server.thaw(); }
    } thawAtEnd{*m_server};
    QProcess probe;
    probe.setProcessEnvironment(quietEnvironment());
    probe.start(binary(QStringLiteral("speech_probe")));
    QVERIFY(probe.waitForStarted());
    QStringList lines;
    auto waitForLine = [&](const QString& start, int timeoutMs) -> QString {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            for (const QString& line : std::as_const(lines))
                if (line.startsWith(start))
                    return line;
            if (timer.elapsed() > timeoutMs)
                return {};
            probe.waitForReadyRead(50);
            while (probe.canReadLine())
                lines.append(QString::fromUtf8(probe.readLine()).trimmed());
        }
    };
    QVERIFY(!waitForLine(QStringLiteral("ready"), 5000).isEmpty());
    const QByteArray sentence =
        QStringLiteral("\\Spd=120\\Сегодня мы поедем на дачу и будем там до вечера.").toUtf8();
    for (int id = 1; id <= 3; ++id)
        probe.write("speak " + QByteArray::number(id) + ' ' + sentence + '\n');
    QVERIFY(!waitForLine(QStringLiteral("word 1"), 5000).isEmpty());
    QTest::qWait(300);
    m_server->freeze();
    QTest::qWait(300);

    probe.write("stop\n");
    const QString stopped = waitForLine(QStringLiteral("stopped "), 2000);
    QVERIFY(!stopped.isEmpty());
    const qint64 stopNs = stopped.split(QLatin1Char(' ')).at(2).toLongLong();
    for (int id = 1; id <= 3; ++id) // the queue empties
        QVERIFY(!waitForLine(QStringLiteral("finished %1 0").arg(id), 1000).isEmpty());
    const qint64 quitAt = steadyNowNs();
    probe.write("quit\n");
    QVERIFY(probe.waitForFinished(5000));
    const qint64 exitMs = (steadyNowNs() - quitAt) / kMs;
    QCOMPARE(probe.exitCode(), 0);
    const QString complaints = QString::fromLocal8Bit(probe.readAllStandardError());

    // A program started while the server is frozen speaks (silently, in time)
    // and ends at once too.
    QProcess late;
    late.setProcessEnvironment(quietEnvironment());
    late.start(binary(QStringLiteral("speech_probe")));
    QVERIFY(late.waitForStarted());
    late.write("speak 7 \\Spd=150\\Доброе утро.\n");
    QElapsedTimer lateTimer;
    lateTimer.start();
    QByteArray lateOutput;
    while (!lateOutput.contains("finished 7 1") && lateTimer.elapsed() < 10000) {
        late.waitForReadyRead(50);
        lateOutput += late.readAllStandardOutput();
    }
    QVERIFY2(lateOutput.contains("finished 7 1"), lateOutput.constData());
    const qint64 lateSpokeMs = lateTimer.elapsed();
    const qint64 lateQuitAt = steadyNowNs();
    late.write("quit\n");
    QVERIFY(late.waitForFinished(5000));
    const qint64 lateExitMs = (steadyNowNs() - lateQuitAt) / kMs;

    m_server->thaw();
    const qint64 thawedAt = steadyNowNs();
    QVERIFY(m_recorder->waitUntilRecorded(thawedAt + 500 * kMs));
    const std::vector<qint16> recording = m_recorder->samples();
    const qint64 from = m_recorder->frameAt(thawedAt - 100 * kMs);
    qint64 staleFrames = 0;
    for (qint64 k = from; k < qint64(recording.size()); ++k)
        staleFrames += std::abs(int(recording[std::size_t(k)])) >= kQuiet;
    qInfo("frozen server: stop() took %lld us, exit took %lld ms (started frozen: spoke in %lld "
          "ms, exit took %lld ms), %lld ms of sound after the thaw",
          stopNs / 1000, exitMs, lateSpokeMs, lateExitMs, staleFrames * 1000 / kRate);
    QVERIFY(lateExitMs < 1000);
    QVERIFY2(complaints.isEmpty(), qPrintable(complaints)); // a hung server is no news on stderr
    QVERIFY(stopNs < 10 * kMs);
    QVERIFY(exitMs < 1000);
    QVERIFY(staleFrames == 0);
}

void TestSoundServer::withoutSoundNothingIsPrintedAndTimingStays()
{
    // The same sentences through the private server and with neither a server
    // nor a sound device; the durations are the character's timing.
    auto run = [&](bool withSound, bool debug, QString* stderrText) {
        QProcessEnvironment environment = quietEnvironment();
        if (!withSound) {
            environment.insert(QStringLiteral("PULSE_SERVER"),
                               QStringLiteral("unix:") + folder(QStringLiteral("no-server")));
            // No sound card, whatever this machine has.
            QFile empty(folder(QStringLiteral("alsa.conf")));
            empty.open(QIODevice::WriteOnly);
            environment.insert(QStringLiteral("ALSA_CONFIG_PATH"), empty.fileName());
        }
        if (debug)
            environment.insert(QStringLiteral("VELKOR_DEBUG"), QStringLiteral("1"));
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(binary(QStringLiteral("speech_probe")));
        probe.waitForStarted();
        const QByteArray sentences[] = {"\\Spd=150\\Доброе утро.", "\\Spd=90\\Как дела?",
                                        "\\Spd=120\\Хорошо, спасибо, а у вас?"};
        for (int id = 1; id <= 3; ++id)
            probe.write("speak " + QByteArray::number(id) + ' ' + sentences[id - 1] + '\n');
        QByteArray output;
        QElapsedTimer timer;
        timer.start();
        while (!output.contains("finished 3 ") && timer.elapsed() < 15000) {
            probe.waitForReadyRead(100);
            output += probe.readAllStandardOutput();
        }
        probe.write("quit\n");
        probe.waitForFinished(5000);
        output += probe.readAllStandardOutput();
        *stderrText = QString::fromLocal8Bit(probe.readAllStandardError());
        std::vector<qint64> durations(3, -1);
        std::vector<qint64> starts(3, 0);
        for (const QByteArray& line : output.split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() >= 3 && parts[0] == "started")
                starts[std::size_t(parts[1].toInt() - 1)] = parts[2].toLongLong();
            if (parts.size() == 4 && parts[0] == "finished") {
                const std::size_t k = std::size_t(parts[1].toInt() - 1);
                durations[k] = (parts[3].toLongLong() - starts[k]) / kMs;
            }
        }
        return durations;
    };
    QString quiet;
    const std::vector<qint64> silent = run(false, false, &quiet);
    QString unused;
    const std::vector<qint64> sounding = run(true, false, &unused);
    QString diagnostics;
    run(false, true, &diagnostics);

    qInfo() << "durations without sound" << silent << "with sound" << sounding;
    QVERIFY2(quiet.isEmpty(), qPrintable(quiet));
    // The sound libraries' complaints are there for whoever asks for them.
    QVERIFY2(diagnostics.contains(QLatin1String("ALSA")), qPrintable(diagnostics));
    for (std::size_t k = 0; k < 3; ++k) {
        QVERIFY(silent[k] > 0 && sounding[k] > 0);
        QVERIFY2(qAbs(silent[k] - sounding[k]) <= 50,
                 qPrintable(QStringLiteral("sentence %1: %2 ms without sound, %3 ms with")
                                .arg(k + 1)
                                .arg(silent[k])
                                .arg(sounding[k])));
    }
}

QTEST_GUILESS_MAIN(TestSoundServer)
#include "tst_soundserver.moc"
