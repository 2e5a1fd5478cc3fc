#include "common/speech/systemaudiooutput.h"

#include "common/speech/alsaaudiooutput.h"
#include "common/speech/debuglog.h"
#include "common/speech/pulseaudiooutput.h"

namespace speech {

bool SystemAudioOutput::open(int sampleRate)
{
    m_output = std::make_unique<PulseAudioOutput>();
    if (m_output->open(sampleRate))
        return true;
    m_output = std::make_unique<AlsaAudioOutput>();
    if (m_output->open(sampleRate)) {
        debugLog(QStringLiteral("no sound server; playing through ALSA"));
        return true;
    }
    m_output.reset();
    debugLog(QStringLiteral("no sound server and no sound device; speaking silently"));
    return false;
}

void SystemAudioOutput::write(const qint16* samples, qsizetype count)
{
    if (m_output)
        m_output->write(samples, count);
}

void SystemAudioOutput::flush()
{
    if (m_output)
        m_output->flush();
}

qint64 SystemAudioOutput::bufferedSamples() const
{
    return m_output ? m_output->bufferedSamples() : 0;
}

} // namespace speech
