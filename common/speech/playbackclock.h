#pragma once

#include <QtGlobal>

#include <functional>

namespace speech {

// Models a sound device that plays written samples back to back in real time:
// it knows when the audio written so far will have been heard. After a gap
// with nothing to play (an underrun) playback restarts at the next write.
class PlaybackClock final
{
public:
    using Now = std::function<qint64()>; // monotonic nanoseconds

    explicit PlaybackClock(Now now = {});
    // The monotonic clock used when none is given.
    static Now steadyClock();

    void setSampleRate(int sampleRate);
    void written(qint64 samples);
    void flush();
    qint64 bufferedSamples() const;

private:
    Now m_now;
    int m_sampleRate = 22050;
    qint64 m_endNs = 0; // when the last written sample will have been heard
};

} // namespace speech
