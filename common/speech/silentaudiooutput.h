#pragma once

#include "common/speech/audiooutput.h"
#include "common/speech/playbackclock.h"

namespace speech {

// Plays nothing but takes exactly as long as the audio would, so speech with
// no sound device keeps its timing.
class SilentAudioOutput final : public AudioOutput
{
public:
    explicit SilentAudioOutput(PlaybackClock::Now now = {});

    bool open(int sampleRate) override;
    void write(const qint16* samples, qsizetype count) override;
    void flush() override;
    qint64 bufferedSamples() const override;

private:
    PlaybackClock m_clock;
};

} // namespace speech
