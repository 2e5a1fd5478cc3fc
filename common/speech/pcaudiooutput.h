#pragma once

#include "common/speech/audiooutput.h"
#include "common/speech/playbackclock.h"

#include <memory>

struct audio_object;

namespace speech {

// A real sound device through pcaudiolib (PulseAudio or PipeWire, then ALSA).
// pcaudiolib does not report its latency, so the position heard is estimated
// with the same real-time clock the silent output uses.
class PcAudioOutput final : public AudioOutput
{
public:
    PcAudioOutput();
    ~PcAudioOutput() override;

    bool open(int sampleRate) override;
    void write(const qint16* samples, qsizetype count) override;
    void flush() override;
    qint64 bufferedSamples() const override;

private:
    struct Api;
    struct Closer {
        explicit Closer(const Api* library) : api(library) {}
        void operator()(audio_object* object) const;
        const Api* api;
    };
    // Declared first so it is destroyed last, after the device it made.
    std::unique_ptr<Api> m_api;
    std::unique_ptr<audio_object, Closer> m_device;
    PlaybackClock m_clock;
};

} // namespace speech
