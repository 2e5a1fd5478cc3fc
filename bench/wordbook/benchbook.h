#pragma once

// The generated word book the word book benchmarks run on, and the raw
// SQLite calls their baselines make.

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace wordbookbench {

// The editor's statement as SQLite runs it: alphabetical regardless of case.
inline const char* const RawEditorSql =
    "SELECT * FROM Word ORDER BY English COLLATE NOCASE, English";

inline void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

inline sqlite3* openRaw(const QString& path)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
          db);
    sqlite3_busy_timeout(db, 2000);
    return db;
}

inline QByteArray randomWord(QRandomGenerator& random, char16_t first, int letters)
{
    QString word;
    const int length = 4 + random.bounded(12);
    for (int i = 0; i < length; ++i)
        word += QChar(char16_t(first + random.bounded(letters)));
    return word.toUtf8();
}

// A copy of the shipped book at dir/dialog.ocx filled with size pairs in
// random English order; returns its path.
inline QString makeBook(const QString& dir, int size, const char* shippedBook)
{
    const QString book = dir + "/dialog.ocx";
    if (!QFile::copy(QString::fromUtf8(shippedBook), book)) {
        std::fprintf(stderr, "cannot copy %s\n", shippedBook);
        std::exit(1);
    }
    QFile::setPermissions(book, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    sqlite3* db = openRaw(book);
    check(sqlite3_exec(db, "DELETE FROM Word; BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO Word (English, Russian) VALUES (?1, ?2)", -1, &insert,
                             nullptr),
          db);
    QRandomGenerator random(42);
    for (int i = 0; i < size; ++i) {
        const QByteArray english = randomWord(random, u'a', 26) + ' ' + QByteArray::number(i);
        const QByteArray russian = randomWord(random, u'а', 32);
        sqlite3_bind_text(insert, 1, english.constData(), int(english.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, russian.constData(), int(russian.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close_v2(db);
    return book;
}

// Runs the benchmarks chosen on the command line.
inline int runBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The benchmarks' main: makes a book of size pairs in a temporary folder,
// names it in book and runs the benchmarks chosen on the command line.
inline int runOnBook(int argc, char** argv, int size, const char* shippedBook, QString& book)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    book = makeBook(dir.path(), size, shippedBook);
    return runBenchmarks(argc, argv);
}

} // namespace wordbookbench
