#pragma once

#include "common/speech/audiooutput.h"

#include <memory>

namespace speech {

// The desktop's sound: a PulseAudio (or PipeWire) server when one answers,
// else ALSA's default device. open() fails only when neither works, and the
// speech then runs silently with the same timing.
class SystemAudioOutput final : public AudioOutput
{
public:
    bool open(int sampleRate) override;
    void write(const qint16* samples, qsizetype count) override;
    void flush() override;
    qint64 bufferedSamples() const override;

private:
    std::unique_ptr<AudioOutput> m_output;
};

} // namespace speech
