// The playback's pick on a book whose first pair holds texts of 10 MB,
// against the same pick on a book of two short pairs and against reading
// that pair's texts whole, in the same run. The pick reads the texts only as
// far as the strip shows them; what is left is SQLite walking the record's
// overflow pages to the Russian field. Target: the pick on the huge book
// under a tenth of the whole read and under 10 ms (a pick may keep the
// window's thread 100 ms at most).
#include "bench/wordbook/benchbook.h"
#include "dialogs/playback/sqlitewordbook.h"
#include "dialogs/wordbook/connection.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

QString g_shortBook;
QString g_hugeBook;

// A copy of the shipped book in its own folder under root, holding these pairs.
QString makeBook(const QString& root, const char* name, const QList<QByteArray>& texts)
{
    const QString dir = root + u'/' + QString::fromLatin1(name);
    QDir().mkpath(dir);
    const QString book = wordbookbench::makeBook(dir, 0, VELKOR_SHIPPED_BOOK);
    sqlite3* db = wordbookbench::openRaw(book);
    sqlite3_stmt* insert = nullptr;
    wordbookbench::check(sqlite3_prepare_v2(db,
                                            "INSERT INTO Word (English, Russian) VALUES (?1, ?2)",
                                            -1, &insert, nullptr),
                         db);
    for (qsizetype i = 0; i + 1 < texts.size(); i += 2) {
        sqlite3_bind_text(insert, 1, texts[i].constData(), int(texts[i].size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, texts[i + 1].constData(), int(texts[i + 1].size()),
                          SQLITE_STATIC);
        wordbookbench::check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_close_v2(db);
    return dir;
}

// One pick of the New Words topic: count, bind, read the bound record; and
// the word book step to the next record and back.
void pick(benchmark::State& state, const QString& programFolder)
{
    playback::SqliteWordBook book(programFolder);
    for (auto _ : state) {
        benchmark::DoNotOptimize(book.openAndCount());
        book.bind();
        book.step();
        book.step();
        benchmark::DoNotOptimize(book.russian().size() + book.english().size());
    }
}

void Pick_shortTexts(benchmark::State& state)
{
    pick(state, g_shortBook);
}

void Pick_tenMegabyteTexts(benchmark::State& state)
{
    pick(state, g_hugeBook);
}

// The same pair read whole, as the cursor's plain text accessor gives it.
void WholeRead_tenMegabyteTexts(benchmark::State& state)
{
    const QString path = g_hugeBook + QStringLiteral("/dialog.ocx");
    for (auto _ : state) {
        wordbook::Connection connection(path, wordbook::ConnectionKind::BoundSource);
        wordbook::Recordset words = connection.openRecordset(playback::SqliteWordBook::kStatement);
        benchmark::DoNotOptimize(words.text(wordbook::Recordset::Field::Russian).size() +
                                 words.text(wordbook::Recordset::Field::English).size());
    }
}

} // namespace

BENCHMARK(Pick_shortTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(Pick_tenMegabyteTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeRead_tenMegabyteTexts)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QByteArray hugeEnglish(10'000'000, 'w');
    const QByteArray hugeRussian = QString(5'000'000, QChar(u'ж')).toUtf8();
    g_shortBook = makeBook(dir.path(), "short", {"Hello", "Привет", "Yes", "Да"});
    g_hugeBook = makeBook(dir.path(), "huge", {hugeEnglish, hugeRussian, "Yes", "Да"});
    return wordbookbench::runBenchmarks(argc, argv);
}
