#pragma once

#include "common/speech/audiooutput.h"
#include "common/speech/playoutqueue.h"

#include <QByteArray>

#include <memory>

namespace speech {

// Sound straight to an ALSA device, for systems without a sound server. A
// thread of its own keeps the device's short buffer filled from a PlayoutQueue
// and reads back the device's delay as the position heard. ALSA's own error
// printing goes to the debug log. A device that fails midway is closed and
// tried again every two seconds; meanwhile the speech goes on silently.
class AlsaAudioOutput final : public AudioOutput
{
public:
    explicit AlsaAudioOutput(QByteArray device = QByteArrayLiteral("default"),
                             PlaybackClock::Now now = {});
    ~AlsaAudioOutput() override;

    // False when libasound is missing or the device does not open.
    bool open(int sampleRate) override;
    void write(const qint16* samples, qsizetype count) override;
    void flush() override;
    qint64 bufferedSamples() const override;

private:
    class Feeder;

    PlayoutQueue m_queue;
    QByteArray m_deviceName;
    std::unique_ptr<Feeder> m_feeder; // after the queue: it uses it
};

} // namespace speech
