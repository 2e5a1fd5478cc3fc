#include "tools/stress/espeakphonemes.h"

#include "dialogs/sentences/sentencetable.h"

#include <espeak-ng/speak_lib.h>

#include <cstdlib>

namespace stresscheck {

namespace {

int discardAudio(short*, int, espeak_EVENT*)
{
    return 0;
}

} // namespace

EspeakPhonemes::EspeakPhonemes()
{
    m_ready =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) > 0 &&
        espeak_SetVoiceByName("ru") == EE_OK;
    if (!m_ready)
        return;
    espeak_SetSynthCallback(discardAudio);
    // The rate changes timing only, not the phonemes; the fastest keeps a
    // whole-table run short.
    espeak_SetParameter(espeakRATE, espeakRATE_MAXIMUM, 0);
    m_trace = open_memstream(&m_traceBuffer, &m_traceSize);
    m_ready = m_trace != nullptr;
    if (m_trace)
        espeak_SetPhonemeTrace(espeakPHONEMES_SHOW | ('|' << 8), m_trace);
}

EspeakPhonemes::~EspeakPhonemes()
{
    if (m_trace) {
        espeak_SetPhonemeTrace(0, nullptr);
        std::fclose(m_trace);
    }
    std::free(m_traceBuffer);
    espeak_Terminate();
}

QList<speech::PhonemeClause> EspeakPhonemes::read(const QString& synthesis) const
{
    return speech::phonemeClauses(&espeak_TextToPhonemes, synthesis);
}

speech::PhonemeClause EspeakPhonemes::speak(const speech::SpeechText& text)
{
    std::fflush(m_trace);
    const std::size_t before = m_traceSize;
    const QByteArray utf8 = text.synthesis.toUtf8();
    const unsigned flags =
        espeakCHARS_UTF8 | (text.phonemeWords.isEmpty() ? 0u : unsigned(espeakPHONEMES));
    espeak_Synth(utf8.constData(), std::size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, flags,
                 nullptr, nullptr);
    std::fflush(m_trace);
    QString lines = QString::fromUtf8(m_traceBuffer + before, qsizetype(m_traceSize - before));
    lines.replace(u'\n', u' ');
    return {{0, int(text.synthesis.size())}, lines};
}

EspeakPhonemes::LineStress EspeakPhonemes::stressOf(const QString& line, Reading reading)
{
    LineStress result;
    result.text = speech::parseSpeechText(line);
    if (reading == Reading::Spoken) {
        result.text = speech::withStressAsMarked(result.text, read(result.text.synthesis));
        result.reading = speech::readStress(result.text, {speak(result.text)});
    } else {
        result.reading = speech::readStress(result.text, read(result.text.synthesis));
    }
    for (const speech::MarkedWord& word : speech::markedWords(result.text))
        result.markedWords += word.stressed.isEmpty() ? 0 : 1;
    return result;
}

void forEachRussianLine(const std::function<void(int id, const QString& text)>& visit)
{
    using sentences::SentenceTable;
    const SentenceTable& table = SentenceTable::instance();
    for (int group = 1; group <= SentenceTable::groupCount; ++group) {
        for (int k = 1; k <= SentenceTable::pairsPerGroup; ++k) {
            const int id = SentenceTable::sentenceId(group, k);
            if (const QString* line = table.string(id))
                visit(id, *line);
        }
    }
}

} // namespace stresscheck
