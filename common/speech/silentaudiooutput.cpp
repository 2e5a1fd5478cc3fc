#include "common/speech/silentaudiooutput.h"

namespace speech {

SilentAudioOutput::SilentAudioOutput(PlaybackClock::Now now) : m_clock(std::move(now)) {}

bool SilentAudioOutput::open(int sampleRate)
{
    m_clock.setSampleRate(sampleRate);
    return sampleRate > 0;
}

void SilentAudioOutput::write(const qint16*, qsizetype count)
{
    m_clock.written(count);
}

void SilentAudioOutput::flush()
{
    m_clock.flush();
}

qint64 SilentAudioOutput::bufferedSamples() const
{
    return m_clock.bufferedSamples();
}

} // namespace speech
