// The settings work of a first start on a settings file padded to 1 MB and to
// 50 MB, next to the same work on an empty store in the same run: read the
// marker and the key list, store the 27 first-run values in one write, then
// read every value back.
//   bench_settingsstore [--benchmark_filter=...]
#include "common/settings/inifilebackend.h"
#include "common/settings/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray paddedFile(qint64 megabytes)
{
    QByteArray text = "[Lintavo01]\nAutoRead=1\n";
    for (int i = 0; text.size() < megabytes * 1024 * 1024; ++i)
        text += "pad" + QByteArray::number(i) + "=" + QByteArray(100, 'x') + "\n";
    return text;
}

void firstStart(settings::SettingsStore& store)
{
    benchmark::DoNotOptimize(store.readSetting(QStringLiteral("xxx")));
    benchmark::DoNotOptimize(store.storedKeys());
    settings::SettingChanges values;
    for (int i = 0; i < 26; ++i)
        values.append({QStringLiteral("key%1").arg(i), QString::number(i)});
    values.append({QStringLiteral("xxx"), QStringLiteral("1")});
    store.writeSettings(values);
    for (const auto& [key, text] : values)
        benchmark::DoNotOptimize(store.readSetting(key));
}

void BM_FirstStart(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Velkor.ini"));
    const QByteArray text = state.range(0) > 0 ? paddedFile(state.range(0)) : QByteArray();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        if (!text.isEmpty()) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
                state.SkipWithError("cannot write the padded file");
                return;
            }
        }
        state.ResumeTiming();
        settings::SettingsStore store(
            std::make_unique<settings::IniFileBackend>(path, QStringLiteral("Lintavo01")));
        firstStart(store);
    }
    state.SetLabel(state.range(0) > 0 ? QByteArray::number(state.range(0)).toStdString() + " MB"
                                      : "empty store (baseline)");
}

} // namespace

BENCHMARK(BM_FirstStart)->Arg(0)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
