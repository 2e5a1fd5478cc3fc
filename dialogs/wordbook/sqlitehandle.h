#pragma once

#include <sqlite3.h>

#include <memory>

namespace wordbook {

// Owning handles: every connection, statement and blob is released exactly once,
// whichever way the code that made it is left.
struct SqliteCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};

struct BlobCloser {
    void operator()(sqlite3_blob* blob) const noexcept { sqlite3_blob_close(blob); }
};

using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;
using BlobHandle = std::unique_ptr<sqlite3_blob, BlobCloser>;

// Resets a reused statement and drops its bindings when the scope ends, so a
// failed step never leaves a read transaction open.
class StatementReset final
{
public:
    explicit StatementReset(sqlite3_stmt* statement) : m_statement(statement) {}
    ~StatementReset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

private:
    sqlite3_stmt* m_statement;
};

} // namespace wordbook
