#include "common/speech/pcaudiooutput.h"

#include "common/speech/sharedlibrary.h"

#include <pcaudiolib/audio.h>

namespace speech {

// The library's functions, resolved when a device is first opened.
struct PcAudioOutput::Api {
    SharedLibrary library{"libpcaudio.so.0"};
    decltype(&create_audio_device_object) create = nullptr;
    decltype(&audio_object_open) open = nullptr;
    decltype(&audio_object_write) write = nullptr;
    decltype(&audio_object_flush) flush = nullptr;
    decltype(&audio_object_close) close = nullptr;
    decltype(&audio_object_destroy) destroy = nullptr;

    Api()
    {
        library.resolve("create_audio_device_object", create);
        library.resolve("audio_object_open", open);
        library.resolve("audio_object_write", write);
        library.resolve("audio_object_flush", flush);
        library.resolve("audio_object_close", close);
        library.resolve("audio_object_destroy", destroy);
    }
};

void PcAudioOutput::Closer::operator()(audio_object* object) const
{
    api->close(object);
    api->destroy(object);
}

PcAudioOutput::PcAudioOutput() : m_device(nullptr, Closer(nullptr)) {}

PcAudioOutput::~PcAudioOutput() = default;

bool PcAudioOutput::open(int sampleRate)
{
    m_device.reset();
    if (!m_api)
        m_api = std::make_unique<Api>();
    if (!m_api->library.complete())
        return false;
    audio_object* device = m_api->create(nullptr, "velkor", "Speech");
    if (!device)
        return false;
    if (m_api->open(device, AUDIO_OBJECT_FORMAT_S16LE, uint32_t(sampleRate), 1) != 0) {
        m_api->destroy(device);
        return false;
    }
    m_device = std::unique_ptr<audio_object, Closer>(device, Closer{m_api.get()});
    m_clock.setSampleRate(sampleRate);
    m_clock.flush();
    return true;
}

void PcAudioOutput::write(const qint16* samples, qsizetype count)
{
    // A device lost mid-way leaves the clock running: the speech goes on silently.
    if (m_device)
        m_api->write(m_device.get(), samples, size_t(count) * sizeof(qint16));
    m_clock.written(count);
}

void PcAudioOutput::flush()
{
    if (m_device)
        m_api->flush(m_device.get());
    m_clock.flush();
}

qint64 PcAudioOutput::bufferedSamples() const
{
    return m_clock.bufferedSamples();
}

} // namespace speech
