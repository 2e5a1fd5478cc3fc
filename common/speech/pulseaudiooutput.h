#pragma once

#include "common/speech/audiooutput.h"
#include "common/speech/playoutqueue.h"

#include <memory>

namespace speech {

// Sound through a PulseAudio server (PipeWire desktops serve the same
// protocol) with libpulse's asynchronous API, which runs on a thread of its
// own. The server's requests drain a PlayoutQueue that the synthesizer keeps
// filled ahead; what has been heard is taken from the server's own timing
// reports. A lost, refused or unanswering server is dropped and tried again
// every half second; meanwhile the speech goes on silently with its timing.
// Nothing here ever waits for the server, so a hung one blocks no caller.
class PulseAudioOutput final : public AudioOutput
{
public:
    explicit PulseAudioOutput(PlaybackClock::Now now = {});
    ~PulseAudioOutput() override;

    // False when libpulse is missing or no server takes the first connection;
    // true once connected, or when a server exists but has not answered yet.
    bool open(int sampleRate) override;
    void write(const qint16* samples, qsizetype count) override;
    void flush() override;
    qint64 bufferedSamples() const override;

private:
    class Connection;

    PlayoutQueue m_queue;
    std::unique_ptr<Connection> m_connection; // after the queue: it uses it
};

} // namespace speech
