// pickNextPair on a New Words book of 100,000 pairs, next to pickNextPair on
// the built-in table and next to the bare cost of opening the book and
// counting it through the raw SQLite C API, all in the same run on the same
// file. Target: a pick from the book well under 20 ms.
#include "common/settings/settings.h"
#include "dialogs/playback/messageboxes.h"
#include "dialogs/playback/playbackengine.h"
#include "dialogs/playback/playbackview.h"
#include "dialogs/playback/randomsource.h"
#include "dialogs/playback/sqlitewordbook.h"
#include "dialogs/sentences/sentencetable.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kBookSize = 100000;
QString g_folder;

class NullView final : public playback::PlaybackView
{
public:
    void setRussianLineCaption(const QString&) override {}
    void setEnglishLineCaption(const QString&) override {}
    void setRussianLineToolTip(const QString&) override {}
    void setEnglishLineToolTip(const QString&) override {}
    int englishLineTopTwips() const override { return 400; }
    void setEnglishLineTopTwips(int) override {}
    void setBoundRussianCaption(const QString& c) override { benchmark::DoNotOptimize(c.size()); }
    void setBoundEnglishCaption(const QString&) override {}
    void setEnglishSlideEnabled(bool) override {}
    void setRussianSlideEnabled(bool) override {}
    void startWordBookStep(int) override {}
    speech::AgentCharacter* currentCharacter() const override { return nullptr; }
};

class CountingMessages final : public playback::MessageBoxes
{
public:
    void information(const QString&) override { ++shown; }
    int shown = 0;
};

void fail(const char* what, sqlite3* db)
{
    std::fprintf(stderr, "%s: %s\n", what, db ? sqlite3_errmsg(db) : "");
    std::exit(1);
}

void makeBook(const QString& folder)
{
    const QString path = folder + "/dialog.ocx";
    if (!QFile::copy(VELKOR_SHIPPED_BOOK, path))
        fail("cannot copy the shipped book", nullptr);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        fail("open", db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Word (English, Russian) VALUES (?1, ?2)", -1, &insert,
                       nullptr);
    for (int i = 0; i < kBookSize; ++i) {
        const QByteArray english = "word number " + QByteArray::number(i);
        const QByteArray russian = QString("слово номер %1").arg(i).toUtf8();
        sqlite3_bind_text(insert, 1, english.constData(), int(english.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, russian.constData(), int(russian.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            fail("insert", db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail("commit", db);
    sqlite3_close(db);
}

struct Engine {
    settings::Settings values;
    NullView view;
    CountingMessages messages;
    playback::SqliteWordBook book{g_folder};
    playback::PlaybackEngine engine{values, view,     playback::processRandom(),
                                    book,   messages, sentences::SentenceTable::instance()};
    explicit Engine(int topic)
    {
        values.topic = qint16(topic);
        values.sequentialOrder = 1;
        values.position = 11000;
        values.englishSeconds = 3;
    }
};

// The usual pick: the bound cursor is already open from the pick before.
void PickNextPair_Book(benchmark::State& state)
{
    Engine e(16);
    e.engine.pickNextPair();
    for (auto _ : state)
        e.engine.pickNextPair();
    if (e.messages.shown || e.engine.russian().isEmpty())
        state.SkipWithError("the book was not read");
}

// The first pick after start-up: the bound cursor opens and reads the book too.
void PickNextPair_BookFirstPick(benchmark::State& state)
{
    for (auto _ : state) {
        Engine e(16);
        e.engine.pickNextPair();
        benchmark::DoNotOptimize(e.engine.russian().size());
    }
}

// Baseline: a pick from the built-in table.
void PickNextPair_Table(benchmark::State& state)
{
    Engine e(14);
    for (auto _ : state)
        e.engine.pickNextPair();
}

// Baseline: open the file and count the book with the C API alone.
void RawOpenAndCount(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(g_folder + "/dialog.ocx");
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM Word", -1, &count, nullptr);
        sqlite3_step(count);
        benchmark::DoNotOptimize(sqlite3_column_int(count, 0));
        sqlite3_finalize(count);
        sqlite3_close(db);
    }
}

// What a pick costs in the word book layer alone: open, query, count.
void LayerOpenAndCount(benchmark::State& state)
{
    playback::SqliteWordBook book(g_folder);
    for (auto _ : state)
        benchmark::DoNotOptimize(book.openAndCount());
}

BENCHMARK(PickNextPair_Book)->Unit(benchmark::kMillisecond);
BENCHMARK(PickNextPair_BookFirstPick)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PickNextPair_Table)->Unit(benchmark::kMicrosecond);
BENCHMARK(LayerOpenAndCount)->Unit(benchmark::kMillisecond);
BENCHMARK(RawOpenAndCount)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary folder", nullptr);
    g_folder = dir.path();
    makeBook(g_folder);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
