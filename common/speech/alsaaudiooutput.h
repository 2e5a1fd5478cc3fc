#pragma once

#include "common/speech/queuedaudiooutput.h"

#include <QByteArray>

#include <memory>

namespace speech {

// Sound straight to an ALSA device, for systems without a sound server. A
// thread of its own keeps the device's short buffer filled from a PlayoutQueue
// and reads back the device's delay as the position heard. ALSA's own error
// printing goes to the debug log. A device that fails midway is closed and
// tried again every two seconds; meanwhile the speech goes on silently.
class AlsaAudioOutput final : public QueuedAudioOutput
{
public:
    explicit AlsaAudioOutput(QByteArray device = QByteArrayLiteral("default"),
                             PlaybackClock::Now now = {});
    ~AlsaAudioOutput() override;

    // False when libasound is missing or the device does not open.
    bool open(int sampleRate) override;

private:
    void wakeDevice() override;

    class Feeder;

    QByteArray m_deviceName;
    std::unique_ptr<Feeder> m_feeder;
};

} // namespace speech
