#include "common/speech/queuedaudiooutput.h"

namespace speech {

void QueuedAudioOutput::write(const qint16* samples, qsizetype count)
{
    m_queue.push(samples, count);
    wakeDevice();
}

void QueuedAudioOutput::flush()
{
    m_queue.drop();
    wakeDevice();
}

qint64 QueuedAudioOutput::bufferedSamples() const
{
    return m_queue.buffered();
}

} // namespace speech
