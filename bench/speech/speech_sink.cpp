// Latency of speech at a real sound server's sink, as a listener would feel it:
//   Speak -> first sound at the sink, and Stop -> silence at the sink,
// on a private PulseAudio daemon whose null sink's monitor is recorded.
// Baseline in the same run, same sentence, same server:
//   espeak-ng --stdout | pacat   (a process pair, started at the "Speak" moment)
// Targets: first sound median < 30 ms and within 10 ms of the baseline
// (or faster); silence after Stop < 30 ms.
#include "common/speech/synthesizerfactory.h"
#include "tests/common/speech/monitorrecorder.h"
#include "tests/common/speech/pulseserver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using speechtest::MonitorRecorder;
using speechtest::PulseServer;
using speechtest::steadyNowNs;

namespace {

// 40 characters, as in speech_latency.
const char* const kSentence = "Завтра мы поедем к бабушке на дачу утром";
constexpr int kRuns = 15;
constexpr int kStops = 10;
constexpr int kLoud = 400;
constexpr int kQuiet = 40;
constexpr qint64 kMs = 1'000'000;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
double maximum(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

// Steady-clock time of the first sound recorded at or after a moment; -1 if none.
qint64 firstSoundAfter(const MonitorRecorder& recorder, qint64 fromNs)
{
    const qint64 from = std::max<qint64>(0, recorder.frameAt(fromNs));
    const std::vector<qint16> samples = recorder.samples(from);
    for (std::size_t k = 0; k < samples.size(); ++k)
        if (std::abs(int(samples[k])) >= kLoud)
            return recorder.timeOfFrame(from + qint64(k));
    return -1;
}

// Runs the event loop for a while, taking signals as they come.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    PulseServer server(folder.path());
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "no private sound server: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("PULSE_SERVER", server.address().toLocal8Bit());
    MonitorRecorder recorder(server.address(), server.monitorName(), PulseServer::kSampleRate);
    if (!recorder.start(&error)) {
        std::fprintf(stderr, "no recording: %s\n", qPrintable(error));
        return 1;
    }
    const QString sentence = QString::fromUtf8(kSentence);

    // Our synthesizer, its output opened and the voice loaded beforehand.
    std::unique_ptr<speech::Synthesizer> synth = speech::createSynthesizer();
    quint64 finished = 0;
    int words = 0;
    QObject::connect(synth.get(), &speech::Synthesizer::utteranceFinished, &app,
                     [&](quint64 id, bool) { finished = id; });
    QObject::connect(synth.get(), &speech::Synthesizer::wordReached, &app,
                     [&](quint64, int, int) { ++words; });
    synth->speak(1000, QStringLiteral("Да."), 1049);
    if (!QTest::qWaitFor([&] { return finished == 1000; }, 10000))
        return 1;

    std::vector<double> oursMs;
    std::vector<double> baselineMs;
    for (int run = 0; run < kRuns; ++run) {
        spin(300); // silence between runs
        const qint64 spoken = steadyNowNs();
        synth->speak(quint64(run + 1), sentence, 1049);
        spin(400);
        const qint64 heard = firstSoundAfter(recorder, spoken);
        synth->stop();
        if (heard > 0)
            oursMs.push_back(double(heard - spoken) / kMs);

        spin(300);
        const qint64 started = steadyNowNs();
        QProcess pair;
        pair.start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("espeak-ng -v ru --stdout '%1' | pacat --file-format=wav")
                        .arg(sentence)});
        // Killing the shell would leave the pair playing: let it finish.
        if (!QTest::qWaitFor([&] { return pair.state() == QProcess::NotRunning; }, 10000))
            return 1;
        const qint64 baseline = firstSoundAfter(recorder, started);
        if (baseline > 0)
            baselineMs.push_back(double(baseline - started) / kMs);
    }

    std::vector<double> stopMs;
    std::vector<double> stopCallUs;
    for (int run = 0; run < kStops; ++run) {
        spin(300);
        words = 0;
        synth->speak(quint64(100 + run), sentence, 1049);
        if (!QTest::qWaitFor([&] { return words >= 2; }, 5000))
            return 1;
        spin(15 * run % 120);
        const qint64 stopped = steadyNowNs();
        synth->stop();
        stopCallUs.push_back(double(steadyNowNs() - stopped) / 1000);
        spin(300);
        const qint64 from = recorder.frameAt(stopped - 50 * kMs);
        const std::vector<qint16> samples = recorder.samples(from);
        qint64 last = -1;
        for (std::size_t k = 0; k < samples.size(); ++k)
            if (std::abs(int(samples[k])) >= kQuiet)
                last = qint64(k);
        if (last >= 0)
            stopMs.push_back(double(recorder.timeOfFrame(from + last) - stopped) / kMs);
    }

    std::printf("sentence: %d characters, private PulseAudio null sink, monitor recorded\n",
                int(sentence.size()));
    std::printf("Speak -> first sound at the sink   median %6.1f ms  max %6.1f ms  (%zu runs)\n",
                median(oursMs), maximum(oursMs), oursMs.size());
    std::printf("baseline espeak-ng --stdout | pacat median %6.1f ms  max %6.1f ms  (%zu runs)\n",
                median(baselineMs), maximum(baselineMs), baselineMs.size());
    std::printf("Stop -> last sound at the sink     median %6.1f ms  max %6.1f ms  (%zu runs)\n",
                median(stopMs), maximum(stopMs), stopMs.size());
    std::printf("Stop() call                        median %6.1f us  max %6.1f us\n",
                median(stopCallUs), maximum(stopCallUs));
    const bool ok = median(oursMs) < 30 && median(oursMs) <= median(baselineMs) + 10 &&
                    maximum(stopMs) < 30 && oursMs.size() == std::size_t(kRuns);
    std::printf("%s\n", ok ? "within target" : "ABOVE target");
    return ok ? 0 : 1;
}
