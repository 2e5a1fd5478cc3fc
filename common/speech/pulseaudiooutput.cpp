#include "common/speech/pulseaudiooutput.h"

#include "common/speech/debuglog.h"
#include "common/speech/runtimeparts.h"
#include "common/speech/sharedlibrary.h"

#include <pulse/pulseaudio.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <sys/eventfd.h>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

namespace speech {

namespace {

// The server holds this much, enough to ride out a long busy moment of this
// process; the rest waits in the queue. With early requests the server keeps
// only one request's worth (kServerRequestMs) in the sink itself, so a flush
// at stop leaves almost nothing to play out.
constexpr int kServerBufferMs = 250;
constexpr int kServerRequestMs = 10;
constexpr qint64 kStarvedMs = 40; // queued audio at an underrun that means a gap
constexpr qint64 kMs = 1'000'000;
constexpr qint64 kRetryNs = 500 * kMs;           // between connection attempts
constexpr qint64 kConnectTimeoutNs = 1000 * kMs; // a server that accepts but never answers
constexpr qint64 kHangNs = 400 * kMs;            // a timing request unanswered: server hung
constexpr qint64 kTimingIntervalNs = 50 * kMs;   // position reports while audio is in flight
constexpr qint64 kBusyTickNs = 20 * kMs;
constexpr auto kFirstAnswerWait = std::chrono::milliseconds(500);

// libpulse's functions, resolved once: the library stays loaded until exit.
struct PulseApi {
    decltype(&pa_threaded_mainloop_new) loopNew = nullptr;
    decltype(&pa_threaded_mainloop_free) loopFree = nullptr;
    decltype(&pa_threaded_mainloop_start) loopStart = nullptr;
    decltype(&pa_threaded_mainloop_stop) loopStop = nullptr;
    decltype(&pa_threaded_mainloop_get_api) loopApi = nullptr;
    decltype(&pa_context_new) contextNew = nullptr;
    decltype(&pa_context_unref) contextUnref = nullptr;
    decltype(&pa_context_connect) contextConnect = nullptr;
    decltype(&pa_context_disconnect) contextDisconnect = nullptr;
    decltype(&pa_context_get_state) contextState = nullptr;
    decltype(&pa_context_set_state_callback) contextOnState = nullptr;
    decltype(&pa_context_errno) contextErrno = nullptr;
    decltype(&pa_strerror) errorText = nullptr;
    decltype(&pa_stream_new) streamNew = nullptr;
    decltype(&pa_stream_unref) streamUnref = nullptr;
    decltype(&pa_stream_connect_playback) streamConnect = nullptr;
    decltype(&pa_stream_disconnect) streamDisconnect = nullptr;
    decltype(&pa_stream_get_state) streamState = nullptr;
    decltype(&pa_stream_set_state_callback) streamOnState = nullptr;
    decltype(&pa_stream_set_write_callback) streamOnWritable = nullptr;
    decltype(&pa_stream_set_started_callback) streamOnStarted = nullptr;
    decltype(&pa_stream_set_underflow_callback) streamOnUnderflow = nullptr;
    decltype(&pa_stream_writable_size) streamWritable = nullptr;
    decltype(&pa_stream_write) streamWrite = nullptr;
    decltype(&pa_stream_flush) streamFlush = nullptr;
    decltype(&pa_stream_update_timing_info) streamUpdateTiming = nullptr;
    decltype(&pa_stream_get_timing_info) streamTiming = nullptr;
    decltype(&pa_operation_unref) operationUnref = nullptr;
    decltype(&pa_stream_get_buffer_attr) streamBufferAttr = nullptr;

    // Null when libpulse or one of its functions is missing.
    static const PulseApi* get();
};

const PulseApi* PulseApi::get()
{
    static const PulseApi* const api = []() -> const PulseApi* {
        static SharedLibrary library(runtimePart(SpeechPart::SoundServer).file);
        static PulseApi f;
        library.resolve("pa_threaded_mainloop_new", f.loopNew);
        library.resolve("pa_threaded_mainloop_free", f.loopFree);
        library.resolve("pa_threaded_mainloop_start", f.loopStart);
        library.resolve("pa_threaded_mainloop_stop", f.loopStop);
        library.resolve("pa_threaded_mainloop_get_api", f.loopApi);
        library.resolve("pa_context_new", f.contextNew);
        library.resolve("pa_context_unref", f.contextUnref);
        library.resolve("pa_context_connect", f.contextConnect);
        library.resolve("pa_context_disconnect", f.contextDisconnect);
        library.resolve("pa_context_get_state", f.contextState);
        library.resolve("pa_context_set_state_callback", f.contextOnState);
        library.resolve("pa_context_errno", f.contextErrno);
        library.resolve("pa_strerror", f.errorText);
        library.resolve("pa_stream_new", f.streamNew);
        library.resolve("pa_stream_unref", f.streamUnref);
        library.resolve("pa_stream_connect_playback", f.streamConnect);
        library.resolve("pa_stream_disconnect", f.streamDisconnect);
        library.resolve("pa_stream_get_state", f.streamState);
        library.resolve("pa_stream_set_state_callback", f.streamOnState);
        library.resolve("pa_stream_set_write_callback", f.streamOnWritable);
        library.resolve("pa_stream_set_started_callback", f.streamOnStarted);
        library.resolve("pa_stream_set_underflow_callback", f.streamOnUnderflow);
        library.resolve("pa_stream_writable_size", f.streamWritable);
        library.resolve("pa_stream_write", f.streamWrite);
        library.resolve("pa_stream_flush", f.streamFlush);
        library.resolve("pa_stream_update_timing_info", f.streamUpdateTiming);
        library.resolve("pa_stream_get_timing_info", f.streamTiming);
        library.resolve("pa_operation_unref", f.operationUnref);
        library.resolve("pa_stream_get_buffer_attr", f.streamBufferAttr);
        if (!library.complete()) {
            reportMissingPart(SpeechPart::SoundServer);
            return nullptr;
        }
        return &f;
    }();
    return api;
}

// Releases a context or stream: callbacks off first, so none reaches an owner
// that is letting go of it.
struct ContextRelease {
    void operator()(pa_context* context) const
    {
        const PulseApi& api = *PulseApi::get();
        api.contextOnState(context, nullptr, nullptr);
        if (PA_CONTEXT_IS_GOOD(api.contextState(context)))
            api.contextDisconnect(context);
        api.contextUnref(context);
    }
};
struct StreamRelease {
    static void detachCallbacks(pa_stream* stream, const PulseApi& api)
    {
        api.streamOnState(stream, nullptr, nullptr);
        api.streamOnWritable(stream, nullptr, nullptr);
        api.streamOnStarted(stream, nullptr, nullptr);
        api.streamOnUnderflow(stream, nullptr, nullptr);
    }
    void operator()(pa_stream* stream) const
    {
        const PulseApi& api = *PulseApi::get();
        detachCallbacks(stream, api);
        if (PA_STREAM_IS_GOOD(api.streamState(stream)))
            api.streamDisconnect(stream);
        api.streamUnref(stream);
    }
};
struct LoopRelease {
    void operator()(pa_threaded_mainloop* loop) const { PulseApi::get()->loopFree(loop); }
};
using ContextHandle = std::unique_ptr<pa_context, ContextRelease>;
using StreamHandle = std::unique_ptr<pa_stream, StreamRelease>;
using LoopHandle = std::unique_ptr<pa_threaded_mainloop, LoopRelease>;

class FileDescriptor final
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

uint32_t bytesFor(int milliseconds, int sampleRate)
{
    return uint32_t(qint64(sampleRate) * milliseconds / 1000) * sizeof(qint16);
}

} // namespace

// Everything that touches libpulse. Apart from construction and wake(), all
// of it runs on the library's loop thread.
class PulseAudioOutput::Connection final
{
public:
    enum class FirstAnswer { Pending, Connected, Refused };

    Connection(const PulseApi& api, PlayoutQueue& queue, int sampleRate);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool start();
    FirstAnswer waitForFirstAnswer();
    // From the speech worker: audio or a drop waits for the server.
    void wake();

private:
    enum class Link { Down, Connecting, Up };

    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    static void onWritable(pa_stream* stream, size_t bytes, void* self);
    static void onStarted(pa_stream* stream, void* self);
    static void onUnderflow(pa_stream* stream, void* self);
    static void onTiming(pa_stream* stream, int success, void* self);
    static void onResync(pa_stream* stream, int success, void* self);
    static void onWake(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self);
    static void onTick(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);

    void connect();
    void openStream();
    void lose(const QString& what);
    void feed();
    void requestTiming(pa_stream_success_cb_t callback);
    void timingAnswered(bool success, bool resync);
    void tick();
    void scheduleTick();
    void answerFirst(FirstAnswer answer);
    QString lastError() const;
    qint64 now() const { return m_queue.nowNs(); }

    const PulseApi& m_api;
    PlayoutQueue& m_queue;
    const int m_sampleRate;
    FailureLog m_failures{QStringLiteral("PulseAudio")};
    FileDescriptor m_wakeFd;
    LoopHandle m_loop;
    pa_mainloop_api* m_loopApi = nullptr;
    pa_io_event* m_wakeEvent = nullptr;
    pa_time_event* m_tickEvent = nullptr;

    ContextHandle m_context;
    StreamHandle m_stream;
    // Released on the next tick rather than inside their own callbacks.
    std::vector<StreamHandle> m_retiredStreams;
    std::vector<ContextHandle> m_retiredContexts;
    Link m_link = Link::Down;
    qint64 m_linkSinceNs = 0;
    qint64 m_retryAtNs = 0;
    int m_timingRequests = 0;   // unanswered
    qint64 m_timingSinceNs = 0; // when the oldest unanswered one was sent
    qint64 m_lastTimingNs = 0;
    std::vector<qint16> m_chunk;

    std::mutex m_answerMutex;
    std::condition_variable m_answered;
    FirstAnswer m_firstAnswer = FirstAnswer::Pending;
};

PulseAudioOutput::Connection::Connection(const PulseApi& api, PlayoutQueue& queue, int sampleRate)
    : m_api(api), m_queue(queue), m_sampleRate(sampleRate),
      m_wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), m_loop(api.loopNew()),
      m_chunk(std::size_t(bytesFor(kServerBufferMs, sampleRate) / sizeof(qint16)))
{}

PulseAudioOutput::Connection::~Connection()
{
    if (!m_loop)
        return;
    // Stopping joins the loop thread, which only ever waits in poll(): this
    // returns at once whatever state the server is in.
    m_api.loopStop(m_loop.get());
    if (m_wakeEvent)
        m_loopApi->io_free(m_wakeEvent);
    if (m_tickEvent)
        m_loopApi->time_free(m_tickEvent);
    m_stream.reset();
    m_context.reset();
    m_retiredStreams.clear();
    m_retiredContexts.clear();
}

bool PulseAudioOutput::Connection::start()
{
    if (!m_loop || m_wakeFd.get() < 0)
        return false;
    m_loopApi = m_api.loopApi(m_loop.get());
    m_wakeEvent = m_loopApi->io_new(m_loopApi, m_wakeFd.get(), PA_IO_EVENT_INPUT, onWake, this);
    // The first tick makes the first connection attempt, on the loop thread.
    m_retryAtNs = now();
    scheduleTick();
    return m_api.loopStart(m_loop.get()) >= 0;
}

PulseAudioOutput::Connection::FirstAnswer PulseAudioOutput::Connection::waitForFirstAnswer()
{
    std::unique_lock lock(m_answerMutex);
    m_answered.wait_for(lock, kFirstAnswerWait,
                        [this] { return m_firstAnswer != FirstAnswer::Pending; });
    return m_firstAnswer;
}

void PulseAudioOutput::Connection::answerFirst(FirstAnswer answer)
{
    {
        std::lock_guard lock(m_answerMutex);
        if (m_firstAnswer != FirstAnswer::Pending)
            return;
        m_firstAnswer = answer;
    }
    m_answered.notify_all();
}

void PulseAudioOutput::Connection::wake()
{
    const uint64_t one = 1;
    // A full counter already means "wake up"; nothing else can go wrong here.
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd.get(), &one, sizeof one);
}

void PulseAudioOutput::Connection::onWake(pa_mainloop_api*, pa_io_event*, int fd,
                                          pa_io_event_flags_t, void* self)
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
    auto* connection = static_cast<Connection*>(self);
    connection->feed();
    connection->scheduleTick();
}

void PulseAudioOutput::Connection::onTick(pa_mainloop_api*, pa_time_event*, const struct timeval*,
                                          void* self)
{
    static_cast<Connection*>(self)->tick();
}

void PulseAudioOutput::Connection::tick()
{
    m_retiredStreams.clear();
    m_retiredContexts.clear();
    const qint64 at = now();
    switch (m_link) {
    case Link::Down:
        if (at >= m_retryAtNs)
            connect();
        break;
    case Link::Connecting:
        if (at - m_linkSinceNs > kConnectTimeoutNs)
            lose(QStringLiteral("the sound server does not answer"));
        break;
    case Link::Up:
        if (m_timingRequests > 0 && at - m_timingSinceNs > kHangNs) {
            lose(QStringLiteral("the sound server stopped answering"));
            break;
        }
        if (m_timingRequests == 0 && m_queue.busy() && at - m_lastTimingNs >= kTimingIntervalNs)
            requestTiming(onTiming);
        feed();
        break;
    }
    scheduleTick();
}

void PulseAudioOutput::Connection::scheduleTick()
{
    qint64 delay = -1;
    switch (m_link) {
    case Link::Down:
        delay = std::max<qint64>(0, m_retryAtNs - now());
        break;
    case Link::Connecting:
        delay = kBusyTickNs;
        break;
    case Link::Up:
        // An idle connection needs no tick: the worker's wake or the server's
        // own messages start things again.
        if (m_timingRequests > 0 || m_queue.busy())
            delay = kBusyTickNs;
        break;
    }
    if (delay < 0) {
        if (m_tickEvent)
            m_loopApi->time_restart(m_tickEvent, nullptr);
        return;
    }
    struct timeval when {
    };
    ::gettimeofday(&when, nullptr);
    const qint64 usec = qint64(when.tv_usec) + delay / 1000;
    when.tv_sec += time_t(usec / 1'000'000);
    when.tv_usec = suseconds_t(usec % 1'000'000);
    if (m_tickEvent)
        m_loopApi->time_restart(m_tickEvent, &when);
    else
        m_tickEvent = m_loopApi->time_new(m_loopApi, &when, onTick, this);
}

void PulseAudioOutput::Connection::connect()
{
    m_link = Link::Connecting;
    m_linkSinceNs = now();
    m_context.reset(m_api.contextNew(m_loopApi, "Velkor"));
    if (!m_context) {
        lose(QStringLiteral("cannot create a connection"));
        return;
    }
    m_api.contextOnState(m_context.get(), onContextState, this);
    // Never start a server of our own: the desktop's is the one to use.
    if (m_api.contextConnect(m_context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 &&
        m_link != Link::Down)
        lose(QStringLiteral("cannot connect"));
}

QString PulseAudioOutput::Connection::lastError() const
{
    if (!m_context)
        return {};
    return QString::fromUtf8(m_api.errorText(m_api.contextErrno(m_context.get())));
}

void PulseAudioOutput::Connection::onContextState(pa_context* context, void* self)
{
    auto* connection = static_cast<Connection*>(self);
    if (context != connection->m_context.get())
        return;
    switch (connection->m_api.contextState(context)) {
    case PA_CONTEXT_READY:
        connection->openStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        connection->lose(connection->m_link == Link::Up ? QStringLiteral("connection lost")
                                                        : QStringLiteral("cannot connect"));
        break;
    default:
        break;
    }
}

void PulseAudioOutput::Connection::openStream()
{
    const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(m_sampleRate), 1};
    m_stream.reset(m_api.streamNew(m_context.get(), "Speech", &format, nullptr));
    if (!m_stream) {
        lose(QStringLiteral("cannot create a stream"));
        return;
    }
    pa_stream* stream = m_stream.get();
    m_api.streamOnState(stream, onStreamState, this);
    m_api.streamOnWritable(stream, onWritable, this);
    m_api.streamOnStarted(stream, onStarted, this);
    m_api.streamOnUnderflow(stream, onUnderflow, this);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = bytesFor(kServerBufferMs, m_sampleRate);
    // Start on the first bytes: the queue only hands over a good run of audio.
    attr.prebuf = sizeof(qint16);
    attr.minreq = bytesFor(kServerRequestMs, m_sampleRate);
    attr.fragsize = uint32_t(-1);
    if (m_api.streamConnect(stream, nullptr, &attr, PA_STREAM_EARLY_REQUESTS, nullptr, nullptr) < 0)
        lose(QStringLiteral("cannot open a stream"));
}

void PulseAudioOutput::Connection::onStreamState(pa_stream* stream, void* self)
{
    auto* connection = static_cast<Connection*>(self);
    if (stream != connection->m_stream.get())
        return;
    switch (connection->m_api.streamState(stream)) {
    case PA_STREAM_READY:
        connection->m_link = Link::Up;
        connection->m_timingRequests = 0;
        connection->m_queue.attach();
        connection->m_failures.recovered();
        if (const pa_buffer_attr* attr = connection->m_api.streamBufferAttr(stream)) {
            debugLog(QStringLiteral("PulseAudio: connected; the server holds %1 bytes, asks for %2")
                         .arg(attr->tlength)
                         .arg(attr->minreq));
        }
        connection->answerFirst(FirstAnswer::Connected);
        connection->feed();
        connection->scheduleTick();
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        connection->lose(QStringLiteral("stream lost"));
        break;
    default:
        break;
    }
}

void PulseAudioOutput::Connection::lose(const QString& what)
{
    m_failures.failed(what, lastError());
    answerFirst(FirstAnswer::Refused);
    m_queue.detach();
    if (m_stream) {
        StreamRelease::detachCallbacks(m_stream.get(), m_api);
        m_retiredStreams.push_back(std::move(m_stream));
    }
    if (m_context) {
        m_api.contextOnState(m_context.get(), nullptr, nullptr);
        m_retiredContexts.push_back(std::move(m_context));
    }
    m_link = Link::Down;
    m_timingRequests = 0;
    m_retryAtNs = now() + kRetryNs;
    scheduleTick();
}

void PulseAudioOutput::Connection::feed()
{
    if (m_link != Link::Up)
        return;
    pa_stream* stream = m_stream.get();
    if (m_queue.dropRequested()) {
        if (pa_operation* flush = m_api.streamFlush(stream, nullptr, nullptr))
            m_api.operationUnref(flush);
        requestTiming(onResync);
    }
    const size_t writable = m_api.streamWritable(stream);
    if (writable == size_t(-1))
        return;
    qsizetype room = qsizetype(writable / sizeof(qint16));
    while (room > 0) {
        const qsizetype count =
            m_queue.take(m_chunk.data(), std::min(room, qsizetype(m_chunk.size())));
        if (count == 0)
            break;
        if (m_api.streamWrite(stream, m_chunk.data(), size_t(count) * sizeof(qint16), nullptr, 0,
                              PA_SEEK_RELATIVE) < 0) {
            lose(QStringLiteral("write failed"));
            return;
        }
        room -= count;
    }
}

void PulseAudioOutput::Connection::onWritable(pa_stream* stream, size_t, void* self)
{
    auto* connection = static_cast<Connection*>(self);
    if (stream == connection->m_stream.get())
        connection->feed();
}

void PulseAudioOutput::Connection::onStarted(pa_stream* stream, void* self)
{
    // Playback (re)started: where the server is matters right now.
    auto* connection = static_cast<Connection*>(self);
    if (stream == connection->m_stream.get())
        connection->requestTiming(onTiming);
}

void PulseAudioOutput::Connection::onUnderflow(pa_stream* stream, void* self)
{
    auto* connection = static_cast<Connection*>(self);
    if (stream != connection->m_stream.get())
        return;
    // Normal at the end of each utterance; with audio still waiting here it
    // means this thread was kept from running and the listener heard a gap.
    const qint64 waitingMs = connection->m_queue.buffered() * 1000 / connection->m_sampleRate;
    if (waitingMs > kStarvedMs)
        connection->m_failures.failed(QStringLiteral("the server ran out of audio"),
                                      QStringLiteral("%1 ms were waiting").arg(waitingMs));
    connection->requestTiming(onTiming);
}

void PulseAudioOutput::Connection::requestTiming(pa_stream_success_cb_t callback)
{
    pa_operation* request = m_api.streamUpdateTiming(m_stream.get(), callback, this);
    if (!request) {
        lose(QStringLiteral("timing request failed"));
        return;
    }
    m_api.operationUnref(request);
    if (m_timingRequests++ == 0)
        m_timingSinceNs = now();
    scheduleTick();
}

void PulseAudioOutput::Connection::onTiming(pa_stream* stream, int success, void* self)
{
    auto* connection = static_cast<Connection*>(self);
    if (stream == connection->m_stream.get())
        connection->timingAnswered(success != 0, false);
}

void PulseAudioOutput::Connection::onResync(pa_stream* stream, int success, void* self)
{
    auto* connection = static_cast<Connection*>(self);
    if (stream == connection->m_stream.get())
        connection->timingAnswered(success != 0, true);
}

void PulseAudioOutput::Connection::timingAnswered(bool success, bool resync)
{
    const qint64 at = now();
    if (m_timingRequests > 0 && --m_timingRequests > 0)
        m_timingSinceNs = at; // the next one is younger; close enough for a hang check
    m_lastTimingNs = at;
    const pa_timing_info* info = success ? m_api.streamTiming(m_stream.get()) : nullptr;
    if (!info || info->read_index_corrupt) {
        if (resync) // position unknown: start over rather than guess
            lose(QStringLiteral("no position after a flush"));
        return;
    }
    DeviceClock::Report report;
    report.atNs = at;
    report.consumed = info->read_index / qint64(sizeof(qint16));
    report.latency = qint64(info->sink_usec) * m_sampleRate / 1'000'000;
    report.running = info->playing != 0;
    if (resync) {
        const int64_t written = info->write_index_corrupt ? info->read_index : info->write_index;
        m_queue.resync(written / qint64(sizeof(qint16)), report);
        feed();
    } else {
        m_queue.report(report);
    }
}

PulseAudioOutput::PulseAudioOutput(PlaybackClock::Now now) : QueuedAudioOutput(std::move(now)) {}

PulseAudioOutput::~PulseAudioOutput() = default;

bool PulseAudioOutput::open(int sampleRate)
{
    m_connection.reset();
    const PulseApi* api = PulseApi::get();
    if (!api || sampleRate <= 0)
        return false;
    queue().setSampleRate(sampleRate);
    auto connection = std::make_unique<Connection>(*api, queue(), sampleRate);
    if (!connection->start())
        return false;
    // No server at all (nothing listens): let another output try. A server
    // that is slow to answer is still the one to use.
    if (connection->waitForFirstAnswer() == Connection::FirstAnswer::Refused)
        return false;
    m_connection = std::move(connection);
    return true;
}

void PulseAudioOutput::wakeDevice()
{
    if (m_connection)
        m_connection->wake();
}

} // namespace speech
