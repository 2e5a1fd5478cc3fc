#pragma once

#include "common/speech/audiooutput.h"
#include "common/speech/playoutqueue.h"

namespace speech {

// An output whose device has a thread of its own draining a PlayoutQueue:
// writes and flushes only touch the queue and wake that thread, so none of
// them ever waits for the device.
class QueuedAudioOutput : public AudioOutput
{
public:
    void write(const qint16* samples, qsizetype count) final;
    void flush() final;
    qint64 bufferedSamples() const final;

protected:
    explicit QueuedAudioOutput(PlaybackClock::Now now) : m_queue(std::move(now)) {}

    PlayoutQueue& queue() { return m_queue; }
    // Tells the device thread that audio or a drop waits for it.
    virtual void wakeDevice() = 0;

private:
    PlayoutQueue m_queue;
};

} // namespace speech
