// The word database layer against the same statements issued through the raw
// SQLite C API, on a generated book of 100,000 pairs. Each pair of benchmarks
// (…/layer and …/raw) runs in the same process on the same file.
#include "bench/wordbook/benchbook.h"
#include "dialogs/wordbook/connection.h"

#include <QByteArray>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int BookSize = 100000;
const char* const PlaybackSql = "SELECT * FROM Word ORDER BY index;";
const char* const EditorSql = "select * from word ORDER BY English";
// What a raw caller has to write, INDEX being a keyword to SQLite, and the
// editor's alphabetical order regardless of case.
const char* const RawPlaybackSql = "SELECT * FROM Word ORDER BY \"index\";";
const char* const RawEditorSql = wordbookbench::RawEditorSql;

QString g_book;
long long g_added = 0;

using wordbookbench::check;

sqlite3* openRaw()
{
    return wordbookbench::openRaw(g_book);
}

// Opening the playback's cursor and reading its count.
void PlaybackOpenCount_layer(benchmark::State& state)
{
    for (auto _ : state) {
        wordbook::Connection connection(g_book, wordbook::ConnectionKind::Shared);
        wordbook::Recordset words = connection.openRecordset(PlaybackSql);
        benchmark::DoNotOptimize(words.recordCount());
    }
}

void PlaybackOpenCount_raw(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = openRaw();
        sqlite3_stmt* query = nullptr;
        check(sqlite3_prepare_v2(db, RawPlaybackSql, -1, &query, nullptr), db);
        int count = 0;
        while (sqlite3_step(query) == SQLITE_ROW)
            ++count;
        benchmark::DoNotOptimize(count);
        sqlite3_finalize(query);
        sqlite3_close_v2(db);
    }
}

// Opening the editor's cursor and walking it to the end, reading both texts.
void EditorWalk_layer(benchmark::State& state)
{
    for (auto _ : state) {
        wordbook::Connection connection(g_book, wordbook::ConnectionKind::Exclusive);
        wordbook::Recordset words = connection.openRecordset(EditorSql);
        qsizetype characters = 0;
        for (words.moveFirst(); !words.eof(); words.moveNext()) {
            characters += words.field("English").toString().size();
            characters += words.field("Russian").toString().size();
        }
        benchmark::DoNotOptimize(characters);
    }
}

// The same walk through the typed accessor, for an editor that knows its fields.
void EditorWalk_layerText(benchmark::State& state)
{
    using Field = wordbook::Recordset::Field;
    for (auto _ : state) {
        wordbook::Connection connection(g_book, wordbook::ConnectionKind::Exclusive);
        wordbook::Recordset words = connection.openRecordset(EditorSql);
        qsizetype characters = 0;
        for (words.moveFirst(); !words.eof(); words.moveNext()) {
            characters += words.text(Field::English).size();
            characters += words.text(Field::Russian).size();
        }
        benchmark::DoNotOptimize(characters);
    }
}

// The raw walk hands out the texts as QString too, the form every caller needs.
void EditorWalk_raw(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = openRaw();
        sqlite3_stmt* query = nullptr;
        check(sqlite3_prepare_v2(db, RawEditorSql, -1, &query, nullptr), db);
        qsizetype characters = 0;
        while (sqlite3_step(query) == SQLITE_ROW) {
            for (int column : {1, 2}) {
                const auto* text =
                    reinterpret_cast<const char*>(sqlite3_column_text(query, column));
                characters += QString::fromUtf8(text, sqlite3_column_bytes(query, column)).size();
            }
        }
        benchmark::DoNotOptimize(characters);
        sqlite3_finalize(query);
        sqlite3_close_v2(db);
    }
}

// The same walk reading the texts only as UTF-8 bytes: the floor, for reference.
void EditorWalk_rawBytes(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = openRaw();
        sqlite3_stmt* query = nullptr;
        check(sqlite3_prepare_v2(db, RawEditorSql, -1, &query, nullptr), db);
        long long bytes = 0;
        while (sqlite3_step(query) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(query, 1));
            benchmark::DoNotOptimize(sqlite3_column_text(query, 2));
            bytes += sqlite3_column_bytes(query, 1) + sqlite3_column_bytes(query, 2);
        }
        benchmark::DoNotOptimize(bytes);
        sqlite3_finalize(query);
        sqlite3_close_v2(db);
    }
}

// 1,000 new pairs, each committed on its own, through the editor's open cursor.
void AddNew1000_layer(benchmark::State& state)
{
    wordbook::Connection connection(g_book, wordbook::ConnectionKind::Exclusive);
    wordbook::Recordset words = connection.openRecordset(EditorSql);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const QString n = QString::number(++g_added);
            words.addNew();
            words.setField("English", "added " + n);
            words.setField("Russian", "добавлено " + n);
            words.update();
        }
    }
}

// The same inserts with the durability settings the layer uses (WAL, full sync).
void AddNew1000_raw(benchmark::State& state)
{
    sqlite3* db = openRaw();
    check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr,
                       nullptr),
          db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO Word (English, Russian) VALUES (?1, ?2)", -1, &insert,
                             nullptr),
          db);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const QString n = QString::number(++g_added);
            const QByteArray english = ("added " + n).toUtf8();
            const QByteArray russian = (QStringLiteral("добавлено ") + n).toUtf8();
            sqlite3_bind_text(insert, 1, english.constData(), int(english.size()), SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, russian.constData(), int(russian.size()), SQLITE_STATIC);
            check(sqlite3_step(insert), db);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_close_v2(db);
}

} // namespace

BENCHMARK(PlaybackOpenCount_raw)->Unit(benchmark::kMillisecond);
BENCHMARK(PlaybackOpenCount_layer)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorWalk_rawBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorWalk_raw)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorWalk_layer)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorWalk_layerText)->Unit(benchmark::kMillisecond);
BENCHMARK(AddNew1000_raw)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AddNew1000_layer)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return wordbookbench::runOnBook(argc, argv, BookSize, VELKOR_SHIPPED_BOOK, g_book);
}
