#pragma once

#include "dialogs/wordbook/recordset.h"

#include <QString>

#include <memory>

namespace wordbook {

class BookStore;

// Who holds a connection. All three open the file the same way on SQLite (see
// docs/wordbook.md): the write-ahead log lets the playback read while the
// editor writes, and the busy timeout absorbs the short moments in which one
// connection waits for another.
enum class ConnectionKind {
    Shared,      // the playback's connection, opened when the New Words topic starts
    BoundSource, // the strip window's bound cursor
    Exclusive,   // the word book editor's connection
};

class Connection final
{
public:
    // Long enough to outlast a commit or checkpoint of another connection,
    // short enough that a file held by a stuck process is reported rather
    // than hanging.
    static constexpr int DefaultLockWaitMs = 2000;

    // Opens the word book at path, waiting at most lockWaitMs for a lock
    // another program holds; throws DbError (FileNotFound, CannotOpen,
    // NotAWordBook, DamagedBook, FileInUse).
    explicit Connection(const QString& path, ConnectionKind kind = ConnectionKind::Shared,
                        int lockWaitMs = DefaultLockWaitMs);
    ~Connection();
    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;

    // Opens an ordered, updatable cursor on a SELECT over table Word, for
    // example "select * from word ORDER BY English". Throws DbError.
    Recordset openRecordset(const QString& statement) const;

    QString path() const;
    ConnectionKind kind() const { return m_kind; }
    // True when the file refuses writes; reading still works.
    bool isReadOnly() const;
    // How long each later access, of this connection and its cursors, waits
    // for a lock another program holds before it fails with FileInUse; 0
    // fails at once. The playback, on the window's thread, keeps it short.
    void setLockWait(int milliseconds);
    // A number that changes whenever another connection, of this process or
    // another, has committed a change to the file since the last call; this
    // connection's own writes leave it alone. Throws DbError.
    qint64 dataVersion() const;

private:
    std::shared_ptr<BookStore> m_store;
    ConnectionKind m_kind;
};

} // namespace wordbook
