// Latency of the speech engine as its callers feel it:
//   speak() return time, time from speak() to the first samples reaching the
//   audio output with an idle queue, and time from stop() to the last write.
// Baseline, measured in a child process of the same run: the library's own
// time to its first audio callback and to the end of synthesis, same text.
#include "common/speech/audiooutput.h"
#include "common/speech/espeaksynthesizer.h"
#include "common/speech/silentaudiooutput.h"

#include <espeak-ng/speak_lib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

// 40 characters.
const char* const kSentence = "Завтра мы поедем к бабушке на дачу утром";
constexpr int kRuns = 50;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Timeline {
    std::atomic<qint64> firstWrite = -1;
    std::atomic<qint64> lastWrite = -1;
};

class TimedOutput final : public speech::AudioOutput
{
public:
    TimedOutput(std::shared_ptr<Timeline> timeline, bool paced) : m_timeline(std::move(timeline))
    {
        if (paced)
            m_inner = std::make_unique<speech::SilentAudioOutput>();
    }
    bool open(int rate) override { return !m_inner || m_inner->open(rate); }
    void write(const qint16* samples, qsizetype count) override
    {
        const qint64 now = nowNs();
        qint64 unset = -1;
        m_timeline->firstWrite.compare_exchange_strong(unset, now);
        m_timeline->lastWrite = now;
        if (m_inner)
            m_inner->write(samples, count);
    }
    void flush() override
    {
        if (m_inner)
            m_inner->flush();
    }
    qint64 bufferedSamples() const override { return m_inner ? m_inner->bufferedSamples() : 0; }

private:
    std::shared_ptr<Timeline> m_timeline;
    std::unique_ptr<speech::AudioOutput> m_inner;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
double percentile95(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() * 95 / 100];
}
double maximum(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(200);
    }
    return true;
}

// The library alone, on this thread: time to the first callback with audio and
// to the end of synthesis.
std::vector<double> g_firstMs;
qint64 g_start = 0;
bool g_seen = false;
int rawCallback(short*, int count, espeak_EVENT*)
{
    if (count > 0 && !g_seen) {
        g_seen = true;
        g_firstMs.push_back((nowNs() - g_start) / 1e6);
    }
    return 0;
}

int runBaseline()
{
    espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 20, nullptr, espeakINITIALIZE_PHONEME_EVENTS);
    espeak_SetSynthCallback(rawCallback);
    espeak_SetVoiceByName("ru");
    std::vector<double> totalMs;
    for (int i = 0; i < kRuns; ++i) {
        g_seen = false;
        g_start = nowNs();
        espeak_Synth(kSentence, std::strlen(kSentence) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                     nullptr, nullptr);
        totalMs.push_back((nowNs() - g_start) / 1e6);
    }
    std::printf("%.3f %.3f %.3f\n", median(g_firstMs), maximum(g_firstMs), median(totalMs));
    espeak_Terminate();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--raw") == 0)
        return runBaseline();

    QCoreApplication app(argc, argv);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--raw")});
    child.waitForFinished(30000);
    const QList<QByteArray> raw = child.readAllStandardOutput().trimmed().split(' ');

    // speak() return time and first samples with an idle queue.
    auto timeline = std::make_shared<Timeline>();
    speech::EspeakSynthesizer synth(std::make_unique<TimedOutput>(timeline, false));
    quint64 finished = 0;
    QObject::connect(&synth, &speech::Synthesizer::utteranceFinished, &app,
                     [&](quint64 id, bool) { finished = id; });
    const QString sentence = QString::fromUtf8(kSentence);
    std::vector<double> speakUs;
    std::vector<double> firstMs;
    QThread::msleep(200); // engine start-up and voice loading are not part of a request
    for (quint64 id = 1; id <= kRuns; ++id) {
        timeline->firstWrite = -1;
        const qint64 start = nowNs();
        synth.speak(id, sentence, 1049);
        speakUs.push_back((nowNs() - start) / 1e3);
        if (!waitFor([&] { return finished == id; }, 5000))
            return 1;
        firstMs.push_back((timeline->firstWrite - start) / 1e6);
    }

    // stop() on an utterance being heard (paced by the silent clock).
    auto paced = std::make_shared<Timeline>();
    speech::EspeakSynthesizer pacedSynth(std::make_unique<TimedOutput>(paced, true));
    std::vector<double> stopUs;
    std::vector<double> lastWriteAfterStopMs;
    const QString longText = sentence + QStringLiteral(". ") + sentence + QStringLiteral(".");
    for (int i = 0; i < 10; ++i) {
        pacedSynth.speak(quint64(i), longText, 1049);
        pacedSynth.speak(quint64(100 + i), longText, 1049);
        waitFor([] { return false; }, 300);
        const qint64 start = nowNs();
        pacedSynth.stop();
        stopUs.push_back((nowNs() - start) / 1e3);
        waitFor([] { return false; }, 200);
        lastWriteAfterStopMs.push_back(std::max<qint64>(0, paced->lastWrite - start) / 1e6);
    }

    std::printf("text: %d characters, %d runs\n", int(sentence.size()), kRuns);
    std::printf("speak() return            median %8.1f us  p95 %8.1f us  max %8.1f us\n",
                median(speakUs), percentile95(speakUs), maximum(speakUs));
    std::printf("speak() to first samples  median %8.3f ms  p95 %8.3f ms  max %8.3f ms\n",
                median(firstMs), percentile95(firstMs), maximum(firstMs));
    if (raw.size() == 3) {
        std::printf("baseline espeak_Synth to first callback  median %8.3f ms  max %8.3f ms\n",
                    raw[0].toDouble(), raw[1].toDouble());
        std::printf("baseline espeak_Synth whole sentence     median %8.3f ms\n",
                    raw[2].toDouble());
    }
    std::printf("stop() return             median %8.1f us  max %8.1f us\n", median(stopUs),
                maximum(stopUs));
    std::printf("stop() to last write      median %8.3f ms  max %8.3f ms (10 runs)\n",
                median(lastWriteAfterStopMs), maximum(lastWriteAfterStopMs));
    return 0;
}
