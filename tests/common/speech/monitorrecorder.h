#pragma once

#include <QString>
#include <QtGlobal>

#include <mutex>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace speechtest {

// Records a sink's monitor from a PulseAudio server, with the moment each
// recorded frame was played. The null sink renders without a break, so frame
// n of the recording played at firstFrameNs + n / rate on the steady clock;
// the start is taken from the earliest delivery of the recording's blocks.
class MonitorRecorder final
{
public:
    MonitorRecorder(QString serverAddress, QString source, int sampleRate);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Connects and waits for the first recorded data (at most 5 s). A fresh
    // null sink with nothing connected renders two seconds ahead, so on a new
    // server that first data takes up to two seconds; after it, the sink
    // renders in small blocks and stays close to real time.
    bool start(QString* error = nullptr);
    void stop();

    int sampleRate() const { return m_sampleRate; }
    qint64 frames() const;
    std::vector<qint16> samples(qint64 from = 0, qint64 to = -1) const;
    // Steady-clock nanoseconds of a frame, and the frame playing at a moment.
    qint64 timeOfFrame(qint64 frame) const;
    qint64 frameAt(qint64 steadyNs) const;
    // Waits (keeping the Qt event loop running) until the recording reaches a moment.
    bool waitUntilRecorded(qint64 steadyNs, int timeoutMs = 3000) const;

private:
    static void onRead(pa_stream* stream, size_t bytes, void* self);
    void read();

    QString m_address;
    QString m_source;
    int m_sampleRate;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;

    mutable std::mutex m_mutex;
    std::vector<qint16> m_samples;
    qint64 m_originNs = 0; // earliest (delivery time - duration recorded so far)
    bool m_haveOrigin = false;
};

// The steady clock the recorder's times use.
qint64 steadyNowNs();

} // namespace speechtest
