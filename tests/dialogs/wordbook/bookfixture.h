#pragma once

// Word books for the tests, made from the shipped file so the tests exercise
// the real schema (the unique key, the counter) rather than one of their own.

#include "dialogs/wordbook/dberror.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace wordbooktest {

// The two statements callers issue, as they write them.
inline const char* const PlaybackSql = "SELECT * FROM Word ORDER BY index;";
inline const char* const EditorSql = "select * from word ORDER BY English";

// The failure number of action: 0 when it succeeds, -1 for a failure that
// carries no message.
inline int failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const wordbook::DbError& error) {
        if (error.message().isEmpty())
            return -1;
        return error.number();
    }
    return 0;
}

using Pair = QPair<QString, QString>;

inline QString shippedBook()
{
    return testsupport::TestEnvironment::appDir() + QStringLiteral("/dialog.ocx");
}

struct RawCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using RawDb = std::unique_ptr<sqlite3, RawCloser>;

inline RawDb openRaw(const QString& path)
{
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    RawDb handle(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("cannot open test book");
    sqlite3_busy_timeout(db, 2000);
    return handle;
}

inline void execRaw(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

inline void insertRaw(sqlite3* db, const QList<Pair>& pairs)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Word (English, Russian) VALUES (?1, ?2)", -1, &statement,
                       nullptr);
    execRaw(db, "BEGIN");
    for (const Pair& pair : pairs) {
        const QByteArray english = pair.first.toUtf8();
        const QByteArray russian = pair.second.toUtf8();
        sqlite3_bind_text(statement, 1, english.constData(), int(english.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 2, russian.constData(), int(russian.size()), SQLITE_TRANSIENT);
        sqlite3_step(statement);
        sqlite3_reset(statement);
    }
    execRaw(db, "COMMIT");
    sqlite3_finalize(statement);
}

// A copy of the shipped book at dir/dialog.ocx holding exactly these pairs, in
// this index order.
inline QString makeBook(const QString& dir, const QList<Pair>& pairs)
{
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/dialog.ocx");
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    if (!QFile::copy(shippedBook(), path))
        throw std::runtime_error("cannot copy the shipped book");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const RawDb db = openRaw(path);
    execRaw(db.get(), "DELETE FROM Word");
    insertRaw(db.get(), pairs);
    return path;
}

// Every pair in index order, read straight from the file.
inline QList<Pair> rawPairs(const QString& path)
{
    const RawDb db = openRaw(path);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db.get(), "SELECT English, Russian FROM Word ORDER BY \"index\"", -1,
                       &statement, nullptr);
    QList<Pair> pairs;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        pairs.append(
            {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))),
             QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)))});
    }
    sqlite3_finalize(statement);
    return pairs;
}

// The index of every record a statement selects, in its order, read straight
// from the file; the statement must name `index` quoted.
inline QList<qint64> rawKeys(const QString& path, const char* sql)
{
    const RawDb db = openRaw(path);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db.get(), sql, -1, &statement, nullptr);
    QList<qint64> keys;
    while (sqlite3_step(statement) == SQLITE_ROW)
        keys.append(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    return keys;
}

// Every pair by its index, read straight from the file.
inline QMap<qint64, Pair> rawPairsByKey(const QString& path)
{
    const RawDb db = openRaw(path);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db.get(), "SELECT \"index\", English, Russian FROM Word", -1, &statement,
                       nullptr);
    QMap<qint64, Pair> pairs;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        pairs.insert(
            sqlite3_column_int64(statement, 0),
            {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1))),
             QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 2)))});
    }
    sqlite3_finalize(statement);
    return pairs;
}

// What SQLite's own check says of the file: "ok" when it is sound.
inline QByteArray integrityCheck(const QString& path)
{
    const RawDb db = openRaw(path);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check", -1, &check, nullptr);
    QByteArray verdict;
    if (sqlite3_step(check) == SQLITE_ROW)
        verdict = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    sqlite3_finalize(check);
    return verdict;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace wordbooktest
