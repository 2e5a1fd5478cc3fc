#include "tests/common/speech/monitorrecorder.h"

#include <QDeadlineTimer>
#include <QTest>

#include <pulse/pulseaudio.h>

#include <chrono>

namespace speechtest {

qint64 steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

MonitorRecorder::MonitorRecorder(QString serverAddress, QString source, int sampleRate)
    : m_address(std::move(serverAddress)), m_source(std::move(source)), m_sampleRate(sampleRate)
{}

MonitorRecorder::~MonitorRecorder()
{
    stop();
}

bool MonitorRecorder::start(QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        stop();
        return false;
    };
    m_loop = pa_threaded_mainloop_new();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "speech test recorder");
    const QByteArray address = m_address.toLocal8Bit();
    if (pa_context_connect(m_context, address.constData(), PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return fail(QStringLiteral("cannot connect to ") + m_address);
    pa_threaded_mainloop_start(m_loop);

    const QDeadlineTimer deadline(5000);
    auto contextState = [&] {
        pa_threaded_mainloop_lock(m_loop);
        const pa_context_state_t state = pa_context_get_state(m_context);
        pa_threaded_mainloop_unlock(m_loop);
        return state;
    };
    while (contextState() != PA_CONTEXT_READY) {
        if (!PA_CONTEXT_IS_GOOD(contextState()) || deadline.hasExpired())
            return fail(QStringLiteral("no connection to ") + m_address);
        QTest::qWait(2); // the event loop runs on: a test may be timing it
    }

    pa_threaded_mainloop_lock(m_loop);
    const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(m_sampleRate), 1};
    m_stream = pa_stream_new(m_context, "monitor", &format, nullptr);
    pa_stream_set_read_callback(m_stream, onRead, this);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = attr.prebuf = attr.minreq = uint32_t(-1);
    // Small fragments: the monitor's sink then renders in small blocks too,
    // so each frame's delivery is close to its playing.
    attr.fragsize = uint32_t(m_sampleRate / 200) * sizeof(qint16);
    const QByteArray source = m_source.toLocal8Bit();
    const int connected =
        pa_stream_connect_record(m_stream, source.constData(), &attr, PA_STREAM_ADJUST_LATENCY);
    pa_threaded_mainloop_unlock(m_loop);
    if (connected < 0)
        return fail(QStringLiteral("cannot record ") + m_source);
    while (frames() == 0) {
        if (deadline.hasExpired())
            return fail(QStringLiteral("nothing recorded from ") + m_source);
        QTest::qWait(2); // the event loop runs on: a test may be timing it
    }
    return true;
}

void MonitorRecorder::stop()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_stop(m_loop);
    if (m_stream) {
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

void MonitorRecorder::onRead(pa_stream*, size_t, void* self)
{
    static_cast<MonitorRecorder*>(self)->read();
}

void MonitorRecorder::read()
{
    const qint64 arrivedNs = steadyNowNs();
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(m_stream) > 0 && pa_stream_peek(m_stream, &data, &bytes) == 0 &&
           bytes > 0) {
        std::lock_guard lock(m_mutex);
        const std::size_t count = bytes / sizeof(qint16);
        if (data) {
            const auto* samples = static_cast<const qint16*>(data);
            m_samples.insert(m_samples.end(), samples, samples + count);
        } else {
            m_samples.resize(m_samples.size() + count, 0); // a hole in the recording
        }
        pa_stream_drop(m_stream);
        const qint64 origin = arrivedNs - qint64(m_samples.size()) * 1'000'000'000 / m_sampleRate;
        if (!m_haveOrigin || origin < m_originNs) {
            m_originNs = origin;
            m_haveOrigin = true;
        }
    }
}

qint64 MonitorRecorder::frames() const
{
    std::lock_guard lock(m_mutex);
    return qint64(m_samples.size());
}

std::vector<qint16> MonitorRecorder::samples(qint64 from, qint64 to) const
{
    std::lock_guard lock(m_mutex);
    const qint64 size = qint64(m_samples.size());
    to = to < 0 ? size : std::min(to, size);
    from = std::clamp<qint64>(from, 0, to);
    return {m_samples.begin() + from, m_samples.begin() + to};
}

qint64 MonitorRecorder::timeOfFrame(qint64 frame) const
{
    std::lock_guard lock(m_mutex);
    return m_originNs + frame * 1'000'000'000 / m_sampleRate;
}

qint64 MonitorRecorder::frameAt(qint64 steadyNs) const
{
    std::lock_guard lock(m_mutex);
    return (steadyNs - m_originNs) * m_sampleRate / 1'000'000'000;
}

bool MonitorRecorder::waitUntilRecorded(qint64 steadyNs, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return frames() > frameAt(steadyNs); }, timeoutMs);
}

} // namespace speechtest
