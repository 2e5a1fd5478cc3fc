#pragma once

#include "dialogs/wordbook/sqlitehandle.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

namespace wordbook {

enum class ConnectionKind;

// One open SQLite connection to a word book, shared by the Connection that
// opened it and every cursor made from it (a cursor keeps it alive).
class BookStore final
{
public:
    // Opens and validates the file, waiting at most lockWaitMs for a lock
    // another program holds; throws DbError. Never creates the file and never
    // writes to a file that is not a valid word book.
    BookStore(const QString& path, ConnectionKind kind, int lockWaitMs);

    sqlite3* db() const { return m_db.get(); }
    const QString& path() const { return m_path; }
    bool isReadOnly() const { return m_readOnly; }

    StatementHandle prepare(const QByteArray& sql) const;
    // How long each later access waits for a lock before it fails with FileInUse.
    void setLockWait(int milliseconds);

    // Throws the DbError that matches an SQLite result code.
    [[noreturn]] void fail(int resultCode, const QString& doing) const;

    // Counts committed changes to this file made by any connection of this
    // process, so cursors know when their cached texts may be stale.
    std::atomic<std::uint64_t>& changeCounter() const { return *m_changes; }

private:
    void validateSchema();

    QString m_path;
    SqliteHandle m_db;
    bool m_readOnly = false;
    std::shared_ptr<std::atomic<std::uint64_t>> m_changes;
};

// Maps an SQLite result code to a failure number.
int errorNumberFor(int resultCode);

} // namespace wordbook
