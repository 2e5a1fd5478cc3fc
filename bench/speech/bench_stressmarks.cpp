// What stress marks add to Speak for a 40-character Russian line (target:
// under 0.1 ms). Baseline, in the same run: the same line without marks,
// which takes the plain path (tags parsed, nothing handed to the phonemiser).
// The marked line is parsed, phonemised by espeak-ng in context, compared
// with its marks and has its misstressed word (тебе́) respelt as phonemes.
#include "common/speech/espeakstress.h"
#include "common/speech/speechtext.h"
#include "tools/stress/espeakphonemes.h"

#include <benchmark/benchmark.h>

namespace {

const QString kPlain = QStringLiteral("Я обязательно позвоню тебе завтра утром");
const QString kMarked =
    QStringLiteral("Я обяза\u0301тельно позвоню\u0301 тебе\u0301 за\u0301втра у\u0301тром");

stresscheck::EspeakPhonemes& espeak()
{
    static stresscheck::EspeakPhonemes instance;
    return instance;
}

speech::SpeechText prepare(const QString& raw)
{
    speech::SpeechText text = speech::parseSpeechText(raw);
    if (speech::hasMarkedStress(text))
        text = speech::withStressAsMarked(text, espeak().read(text.synthesis));
    return text;
}

void plainLineBaseline(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(prepare(kPlain));
}
BENCHMARK(plainLineBaseline)->Unit(benchmark::kMicrosecond);

void markedLine(benchmark::State& state)
{
    if (!espeak().isReady()) {
        state.SkipWithError("espeak-ng with its Russian voice is not available");
        return;
    }
    state.counters["respelt words"] = double(prepare(kMarked).phonemeWords.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(prepare(kMarked));
}
BENCHMARK(markedLine)->Unit(benchmark::kMicrosecond);

// Stripping alone, without the check against the phonemes.
void markedLineParseOnly(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(speech::parseSpeechText(kMarked));
}
BENCHMARK(markedLineParseOnly)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
