#include "common/speech/alsaaudiooutput.h"

#include "common/speech/debuglog.h"
#include "common/speech/runtimeparts.h"
#include "common/speech/sharedlibrary.h"

#include <alsa/asoundlib.h>

#include <QSet>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace speech {

namespace {

constexpr unsigned kDeviceBufferUs = 60'000;
constexpr auto kBusyPoll = std::chrono::milliseconds(10);
constexpr auto kRetryInterval = std::chrono::seconds(2);

// libasound's functions, resolved once: the library stays loaded until exit.
struct AlsaApi {
    decltype(&snd_pcm_open) open = nullptr;
    decltype(&snd_pcm_close) close = nullptr;
    decltype(&snd_pcm_set_params) setParams = nullptr;
    decltype(&snd_pcm_writei) write = nullptr;
    decltype(&snd_pcm_avail_update) available = nullptr;
    decltype(&snd_pcm_delay) delay = nullptr;
    decltype(&snd_pcm_state) state = nullptr;
    decltype(&snd_pcm_prepare) prepare = nullptr;
    decltype(&snd_pcm_drop) drop = nullptr;
    decltype(&snd_pcm_start) start = nullptr;
    decltype(&snd_pcm_recover) recover = nullptr;
    decltype(&snd_strerror) errorText = nullptr;
    decltype(&snd_lib_error_set_handler) setErrorHandler = nullptr;

    // Null when libasound or one of its functions is missing.
    static const AlsaApi* get();
};

// ALSA prints its errors to stderr unless told otherwise; here they join the
// debug log, each distinct line once (a retried open repeats the same ones).
void routeAlsaError(const char* file, int line, const char* function, int error, const char* format,
                    ...)
{
    if (!debugLogEnabled())
        return;
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    const QString message = QStringLiteral("ALSA: %1:%2 (%3) %4%5")
                                .arg(QString::fromLocal8Bit(file))
                                .arg(line)
                                .arg(QString::fromLocal8Bit(function), QString::fromLocal8Bit(text))
                                .arg(error ? QStringLiteral(": error %1").arg(error) : QString());
    static std::mutex mutex;
    static QSet<QString> seen;
    {
        std::lock_guard lock(mutex);
        if (seen.contains(message))
            return;
        seen.insert(message);
    }
    debugLog(message);
}

const AlsaApi* AlsaApi::get()
{
    static const AlsaApi* const api = []() -> const AlsaApi* {
        static SharedLibrary library(runtimePart(SpeechPart::SoundDevice).file);
        static AlsaApi f;
        library.resolve("snd_pcm_open", f.open);
        library.resolve("snd_pcm_close", f.close);
        library.resolve("snd_pcm_set_params", f.setParams);
        library.resolve("snd_pcm_writei", f.write);
        library.resolve("snd_pcm_avail_update", f.available);
        library.resolve("snd_pcm_delay", f.delay);
        library.resolve("snd_pcm_state", f.state);
        library.resolve("snd_pcm_prepare", f.prepare);
        library.resolve("snd_pcm_drop", f.drop);
        library.resolve("snd_pcm_start", f.start);
        library.resolve("snd_pcm_recover", f.recover);
        library.resolve("snd_strerror", f.errorText);
        library.resolve("snd_lib_error_set_handler", f.setErrorHandler);
        if (!library.complete()) {
            reportMissingPart(SpeechPart::SoundDevice);
            return nullptr;
        }
        f.setErrorHandler(routeAlsaError);
        return &f;
    }();
    return api;
}

struct PcmClose {
    void operator()(snd_pcm_t* pcm) const { AlsaApi::get()->close(pcm); }
};
using PcmHandle = std::unique_ptr<snd_pcm_t, PcmClose>;

} // namespace

// The device and the thread that feeds it.
class AlsaAudioOutput::Feeder final
{
public:
    Feeder(const AlsaApi& api, PlayoutQueue& queue, QByteArray device, int sampleRate);
    ~Feeder();
    Feeder(const Feeder&) = delete;
    Feeder& operator=(const Feeder&) = delete;

    bool openDevice();
    void start();
    void wake();

private:
    void run();
    void serve();
    void lose(const char* what, int error);
    void report();

    const AlsaApi& m_api;
    PlayoutQueue& m_queue;
    const QByteArray m_deviceName;
    const int m_sampleRate;
    FailureLog m_failures{QStringLiteral("ALSA")};
    PcmHandle m_pcm;
    qint64 m_written = 0; // frames the device accepted since it opened
    std::chrono::steady_clock::time_point m_retryAt;
    std::vector<qint16> m_chunk;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_woken = false;
    bool m_quit = false;
    std::thread m_thread;
};

AlsaAudioOutput::Feeder::Feeder(const AlsaApi& api, PlayoutQueue& queue, QByteArray device,
                                int sampleRate)
    : m_api(api), m_queue(queue), m_deviceName(std::move(device)), m_sampleRate(sampleRate),
      m_chunk(std::size_t(qint64(sampleRate) * kDeviceBufferUs / 1'000'000))
{}

AlsaAudioOutput::Feeder::~Feeder()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_pcm)
        m_api.drop(m_pcm.get());
}

bool AlsaAudioOutput::Feeder::openDevice()
{
    snd_pcm_t* pcm = nullptr;
    // Non-blocking: a device busy elsewhere fails at once instead of waiting.
    int error =
        m_api.open(&pcm, m_deviceName.constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (error < 0) {
        m_failures.failed(
            QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(m_deviceName)),
            QString::fromLocal8Bit(m_api.errorText(error)));
        return false;
    }
    m_pcm.reset(pcm);
    error = m_api.setParams(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                            unsigned(m_sampleRate), 1, kDeviceBufferUs);
    if (error < 0) {
        m_failures.failed(
            QStringLiteral("cannot set up %1").arg(QString::fromLocal8Bit(m_deviceName)),
            QString::fromLocal8Bit(m_api.errorText(error)));
        m_pcm.reset();
        return false;
    }
    m_written = 0;
    m_failures.recovered();
    m_queue.attach();
    return true;
}

void AlsaAudioOutput::Feeder::start()
{
    m_thread = std::thread([this] { run(); });
}

void AlsaAudioOutput::Feeder::wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wake.notify_all();
}

void AlsaAudioOutput::Feeder::run()
{
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (!m_pcm) {
                m_wake.wait_until(lock, m_retryAt, [this] { return m_quit; });
            } else if (m_queue.busy()) {
                m_wake.wait_for(lock, kBusyPoll, [this] { return m_quit; });
            } else {
                m_wake.wait(lock, [this] { return m_quit || m_woken; });
            }
            if (m_quit)
                return;
            m_woken = false;
        }
        if (!m_pcm) {
            if (!openDevice())
                m_retryAt = std::chrono::steady_clock::now() + kRetryInterval;
            continue;
        }
        serve();
    }
}

void AlsaAudioOutput::Feeder::serve()
{
    snd_pcm_t* pcm = m_pcm.get();
    if (m_queue.dropRequested()) {
        m_api.drop(pcm);
        m_api.prepare(pcm);
        DeviceClock::Report empty;
        empty.atNs = m_queue.nowNs();
        empty.consumed = m_written;
        m_queue.resync(m_written, empty);
    }
    snd_pcm_sframes_t room = m_api.available(pcm);
    if (room < 0) {
        if (const int error = m_api.recover(pcm, int(room), 1); error < 0)
            return lose("device failed", error);
        room = m_api.available(pcm);
    }
    bool wrote = false;
    while (room > 0) {
        const qsizetype count =
            m_queue.take(m_chunk.data(), std::min<qsizetype>(room, qsizetype(m_chunk.size())));
        if (count == 0)
            break;
        snd_pcm_sframes_t done = m_api.write(pcm, m_chunk.data(), snd_pcm_uframes_t(count));
        if (done == -EAGAIN)
            done = 0;
        if (done < 0) {
            if (const int error = m_api.recover(pcm, int(done), 1); error < 0)
                return lose("write failed", error);
            done = m_api.write(pcm, m_chunk.data(), snd_pcm_uframes_t(count));
            if (done < 0)
                return lose("write failed", int(done));
        }
        m_written += done;
        room -= done;
        wrote = wrote || done > 0;
        if (done < count)
            break; // the rest is lost; the clock lets it pass in real time
    }
    // A tail shorter than the device's start threshold would wait for ever.
    if (wrote && m_api.state(pcm) == SND_PCM_STATE_PREPARED)
        m_api.start(pcm);
    report();
}

void AlsaAudioOutput::Feeder::report()
{
    snd_pcm_t* pcm = m_pcm.get();
    DeviceClock::Report report;
    report.atNs = m_queue.nowNs();
    const snd_pcm_state_t state = m_api.state(pcm);
    snd_pcm_sframes_t delay = 0;
    if (state == SND_PCM_STATE_RUNNING && m_api.delay(pcm, &delay) == 0) {
        report.consumed = m_written - std::max<snd_pcm_sframes_t>(0, delay);
        report.running = true;
    } else {
        // Not running: an underrun played everything, or nothing was started.
        report.consumed = m_written;
        if (state == SND_PCM_STATE_XRUN)
            m_api.prepare(pcm);
    }
    m_queue.report(report);
}

void AlsaAudioOutput::Feeder::lose(const char* what, int error)
{
    m_failures.failed(QString::fromLatin1(what), QString::fromLocal8Bit(m_api.errorText(error)));
    m_queue.detach();
    m_pcm.reset();
    m_retryAt = std::chrono::steady_clock::now() + kRetryInterval;
}

AlsaAudioOutput::AlsaAudioOutput(QByteArray device, PlaybackClock::Now now)
    : QueuedAudioOutput(std::move(now)), m_deviceName(std::move(device))
{}

AlsaAudioOutput::~AlsaAudioOutput() = default;

bool AlsaAudioOutput::open(int sampleRate)
{
    m_feeder.reset();
    const AlsaApi* api = AlsaApi::get();
    if (!api || sampleRate <= 0)
        return false;
    queue().setSampleRate(sampleRate);
    auto feeder = std::make_unique<Feeder>(*api, queue(), m_deviceName, sampleRate);
    if (!feeder->openDevice())
        return false;
    feeder->start();
    m_feeder = std::move(feeder);
    return true;
}

void AlsaAudioOutput::wakeDevice()
{
    if (m_feeder)
        m_feeder->wake();
}

} // namespace speech
