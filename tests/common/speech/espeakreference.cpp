// Renders sentences the way the speech engine does, with the library alone, so
// tests can compare what a sound server played against it:
//   espeak_reference <sentences file, one per line> <raw samples out> <language id>
// The samples of all sentences go to the raw file one after another; stdout
// gets, per sentence, "sentence <frames>" followed by "word <frame>" and
// "mouth <frame>" for each word and change of mouth shape the engine reports.
#include "common/speech/espeakmapping.h"
#include "common/speech/speechtext.h"

#include <espeak-ng/speak_lib.h>

#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace {

struct Rendering {
    int sampleRate = 0;
    int codepoints = 0;
    std::vector<qint16> samples;
    std::vector<qint64> words;
    std::vector<qint64> mouths;
    std::optional<speech::Viseme> lastMouth;
};
Rendering g_current;

int collect(short* samples, int count, espeak_EVENT* events)
{
    for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        const qint64 frame = qint64(e->audio_position) * g_current.sampleRate / 1000;
        if (e->type == espeakEVENT_WORD) {
            const int first = e->text_position - 1;
            if (e->length > 0 && first >= 0 && first < g_current.codepoints)
                g_current.words.push_back(frame);
        } else if (e->type == espeakEVENT_PHONEME) {
            char mnemonic[sizeof(e->id.string) + 1] = {};
            std::memcpy(mnemonic, e->id.string, sizeof(e->id.string));
            const std::optional<speech::Viseme> mouth = speech::visemeForPhoneme(mnemonic);
            const speech::Viseme previous = g_current.lastMouth.value_or(speech::Viseme::Rest);
            if (mouth && *mouth != previous) {
                g_current.lastMouth = mouth;
                g_current.mouths.push_back(frame);
            }
        }
    }
    if (samples && count > 0)
        g_current.samples.insert(g_current.samples.end(), samples, samples + count);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    QFile input(QString::fromLocal8Bit(argv[1]));
    QFile output(QString::fromLocal8Bit(argv[2]));
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly))
        return 1;
    const int language = std::atoi(argv[3]);
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 20, nullptr,
                          espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0)
        return 1;
    espeak_SetSynthCallback(collect);
    const QByteArray voice = speech::voiceForLanguage(language);
    if (espeak_SetVoiceByName(voice.constData()) != EE_OK)
        espeak_SetVoiceByName("en");
    const QStringList lines =
        QString::fromUtf8(input.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const speech::SpeechText text = speech::parseSpeechText(line);
        g_current = Rendering{};
        g_current.sampleRate = rate;
        g_current.codepoints = int(text.synthesis.toUcs4().size());
        const speech::EspeakRate espeakRate = speech::espeakRateFor(text.wordsPerMinute);
        espeak_SetParameter(espeakRATE, espeakRate.rate, 0);
        espeak_SetParameter(espeakWORDGAP, espeakRate.wordGap, 0);
        const QByteArray utf8 = text.synthesis.toUtf8();
        espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8, nullptr, nullptr);
        output.write(reinterpret_cast<const char*>(g_current.samples.data()),
                     qint64(g_current.samples.size() * sizeof(qint16)));
        std::printf("sentence %zu\n", g_current.samples.size());
        const qint64 end = qint64(g_current.samples.size());
        for (qint64 frame : g_current.words)
            std::printf("word %lld\n", static_cast<long long>(std::min(frame, end)));
        for (qint64 frame : g_current.mouths)
            std::printf("mouth %lld\n", static_cast<long long>(std::min(frame, end)));
    }
    espeak_Terminate();
    return 0;
}
