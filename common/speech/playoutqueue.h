#pragma once

#include "common/speech/deviceclock.h"
#include "common/speech/playbackclock.h"
#include "common/speech/samplering.h"

#include <mutex>

namespace speech {

// Where the speech worker and a sound device's own thread meet. The worker
// pushes samples and asks how many are not heard yet; the device thread takes
// samples when the device wants them and reports where the device is.
//
// While no device is attached, pushed audio runs down a silent clock with the
// same timing. A device that comes (back) is used from the next moment when
// nothing is left to hear, that is from the next sentence; a device lost
// midway leaves what it had not played to the silent clock, so the timing goes
// on unbroken.
class PlayoutQueue final
{
public:
    explicit PlayoutQueue(PlaybackClock::Now now = {});

    void setSampleRate(int sampleRate);
    qint64 nowNs() const { return m_now(); }

    // The speech worker's side.
    void push(const qint16* samples, qsizetype count);
    // Discards everything not heard yet; the device thread is asked to drop
    // what the device holds (dropRequested) and to answer with resync().
    void drop();
    qint64 buffered() const;

    // The device thread's side.
    void attach();
    void detach();
    // Moves samples the device may have now to out. A device with nothing to
    // play is only started with a good run of audio (or the last of it), so a
    // slow moment of the synthesizer does not leave a hole right at the start.
    qsizetype take(qint16* out, qsizetype max);
    // True once after each drop() that the attached device must act on.
    bool dropRequested();
    // The device dropped what it held; its next frame has number position.
    void resync(qint64 position, const DeviceClock::Report& report);
    void report(const DeviceClock::Report& report);
    // Something waits for the device or plays on it, so its position matters.
    bool busy() const;

private:
    qint64 devicePending(qint64 nowNs) const;

    mutable std::mutex m_mutex;
    PlaybackClock::Now m_now;
    int m_sampleRate = 22050;
    SampleRing m_ring;
    DeviceClock m_device;
    PlaybackClock m_silent;
    bool m_attached = false;
    bool m_toDevice = false;  // pushes go to the device rather than the silent clock
    bool m_resyncing = false; // the device drops its audio; its position is unknown
    bool m_dropRequested = false;
    qint64 m_lastPushNs = 0;
};

} // namespace speech
