#pragma once

#include <QtGlobal>

namespace speech {

// How much of the audio handed to a sound device has been heard, from the
// device's own occasional reports of its position. Between reports the
// position runs on in real time (the device plays at its rate), never past
// what the device has been given, and never past what it had taken while it
// was not playing.
class DeviceClock final
{
public:
    // What the device said about itself at one moment.
    struct Report {
        qint64 atNs = 0;      // monotonic time of the report
        qint64 consumed = 0;  // frames the device has taken of those handed to it
        qint64 latency = 0;   // frames of those taken that are still to be heard
        bool running = false; // consuming in real time (not waiting for data)
    };

    void setSampleRate(int sampleRate);
    // Starts counting afresh: the device's next frame has number position.
    // Its report must use the same numbering.
    void restart(qint64 position = 0);
    void handed(qint64 frames) { m_handed += frames; }
    void report(const Report& report);

    qint64 handedFrames() const { return m_handed; }
    qint64 heard(qint64 nowNs) const;
    // Handed but not heard yet: how far the writer is ahead of the ear.
    qint64 pending(qint64 nowNs) const { return m_handed - heard(nowNs); }

private:
    int m_sampleRate = 22050;
    qint64 m_handed = 0;
    qint64 m_start = 0; // numbering of the first frame since restart()
    bool m_reported = false;
    Report m_last;
};

} // namespace speech
