#include "dialogs/sentences/sentencetable.h"

#include <QHash>

#include <benchmark/benchmark.h>

using sentences::SentenceTable;

namespace {

// The identifiers a whole-table walk asks for, Russian and English.
std::vector<int> walkIds()
{
    std::vector<int> ids;
    for (int group = 1; group <= SentenceTable::groupCount; ++group) {
        for (int k = 1; k <= SentenceTable::pairsPerGroup; ++k) {
            ids.push_back(SentenceTable::sentenceId(group, k));
            ids.push_back(SentenceTable::sentenceId(group, k) + SentenceTable::englishOffset);
        }
    }
    return ids;
}

// Playback fetches one pair at a time; lookups must cost no more than a hash.
void lookupInTable(benchmark::State& state)
{
    const SentenceTable& table = SentenceTable::instance();
    const std::vector<int> ids = walkIds();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.string(ids[i]));
        i = (i + 1) % ids.size();
    }
}
BENCHMARK(lookupInTable);

// Baseline: the same strings held in a QHash keyed by identifier.
void lookupInHashBaseline(benchmark::State& state)
{
    const SentenceTable& table = SentenceTable::instance();
    const std::vector<int> ids = walkIds();
    QHash<int, QString> hash;
    for (int id : ids) {
        if (const QString* text = table.string(id))
            hash.insert(id, *text);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(hash.constFind(ids[i]));
        i = (i + 1) % ids.size();
    }
}
BENCHMARK(lookupInHashBaseline);

// One-off cost at first use: reading and checking all 19 files.
void loadWholeTable(benchmark::State& state)
{
    SentenceTable::instance(); // registers the resources
    for (auto _ : state)
        benchmark::DoNotOptimize(SentenceTable(QStringLiteral(":/sentences")));
}
BENCHMARK(loadWholeTable)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
