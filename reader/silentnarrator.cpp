#include "reader/silentnarrator.h"

#include "common/speech/espeaksynthesizer.h"
#include "common/speech/silentaudiooutput.h"

namespace reader {

SilentNarrator::SilentNarrator(std::unique_ptr<speech::Synthesizer> synthesizer, QObject* parent)
    : Narrator(parent), m_synthesizer(std::move(synthesizer))
{
    if (!m_synthesizer)
        m_synthesizer = std::make_unique<speech::EspeakSynthesizer>(
            std::make_unique<speech::SilentAudioOutput>());
    connect(m_synthesizer.get(), &speech::Synthesizer::wordReached, this, &Narrator::wordSpoken);
    connect(m_synthesizer.get(), &speech::Synthesizer::utteranceFinished, this,
            [this](quint64 id, bool) { emit finished(id); });
}

SilentNarrator::~SilentNarrator() = default;

quint64 SilentNarrator::say(const QString& sentence)
{
    const quint64 id = ++m_lastId;
    m_synthesizer->speak(id, sentence, kLanguageId);
    return id;
}

void SilentNarrator::silence()
{
    m_synthesizer->stop();
}

} // namespace reader
