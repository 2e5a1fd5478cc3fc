#pragma once

#include "common/speech/queuedaudiooutput.h"

#include <memory>

namespace speech {

// Sound through a PulseAudio server (PipeWire desktops serve the same
// protocol) with libpulse's asynchronous API, which runs on a thread of its
// own. The server's requests drain a PlayoutQueue that the synthesizer keeps
// filled ahead; what has been heard is taken from the server's own timing
// reports. A lost, refused or unanswering server is dropped and tried again
// every half second; meanwhile the speech goes on silently with its timing.
// Nothing here ever waits for the server, so a hung one blocks no caller.
class PulseAudioOutput final : public QueuedAudioOutput
{
public:
    explicit PulseAudioOutput(PlaybackClock::Now now = {});
    ~PulseAudioOutput() override;

    // False when libpulse is missing or no server takes the first connection;
    // true once connected, or when a server exists but has not answered yet.
    bool open(int sampleRate) override;

private:
    void wakeDevice() override;

    class Connection;

    std::unique_ptr<Connection> m_connection;
};

} // namespace speech
