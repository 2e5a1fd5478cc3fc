#include "common/speech/pcaudiooutput.h"

#include <pcaudiolib/audio.h>

namespace speech {

void PcAudioOutput::Closer::operator()(audio_object* object) const
{
    audio_object_close(object);
    audio_object_destroy(object);
}

PcAudioOutput::PcAudioOutput() = default;
PcAudioOutput::~PcAudioOutput() = default;

bool PcAudioOutput::open(int sampleRate)
{
    m_device.reset();
    audio_object* device = create_audio_device_object(nullptr, "velkor", "Speech");
    if (!device)
        return false;
    if (audio_object_open(device, AUDIO_OBJECT_FORMAT_S16LE, uint32_t(sampleRate), 1) != 0) {
        audio_object_destroy(device);
        return false;
    }
    m_device.reset(device);
    m_clock.setSampleRate(sampleRate);
    m_clock.flush();
    return true;
}

void PcAudioOutput::write(const qint16* samples, qsizetype count)
{
    // A device lost mid-way leaves the clock running: the speech goes on silently.
    if (m_device)
        audio_object_write(m_device.get(), samples, size_t(count) * sizeof(qint16));
    m_clock.written(count);
}

void PcAudioOutput::flush()
{
    if (m_device)
        audio_object_flush(m_device.get());
    m_clock.flush();
}

qint64 PcAudioOutput::bufferedSamples() const
{
    return m_clock.bufferedSamples();
}

} // namespace speech
