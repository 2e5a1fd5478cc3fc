#include "common/speech/espeaksynthesizer.h"

#include "common/speech/espeakengine.h"
#include "common/speech/espeakmapping.h"
#include "common/speech/speechtext.h"

namespace speech {

EspeakSynthesizer::EspeakSynthesizer(std::unique_ptr<AudioOutput> output, QObject* parent)
    : Synthesizer(parent), m_output(std::make_shared<OutputSlot>())
{
    m_output->output = std::move(output);
    EspeakEngine::instance().prepare(m_output);
}

EspeakSynthesizer::~EspeakSynthesizer()
{
    EspeakEngine::instance().detach(this);
}

void EspeakSynthesizer::speak(quint64 id, const QString& text, int languageId)
{
    EspeakEngine::Request request;
    request.owner = this;
    request.id = id;
    request.text = parseSpeechText(text);
    request.voice = voiceForLanguage(languageId);
    request.wordsPerMinute = request.text.wordsPerMinute;
    request.output = m_output;
    EspeakEngine::instance().enqueue(std::move(request));
}

void EspeakSynthesizer::stop()
{
    EspeakEngine::instance().stop(this);
}

} // namespace speech
