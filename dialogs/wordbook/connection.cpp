#include "dialogs/wordbook/connection.h"

#include "dialogs/wordbook/bookstore.h"

namespace wordbook {

Connection::Connection(const QString& path, ConnectionKind kind, int lockWaitMs)
    : m_store(std::make_shared<BookStore>(path, kind, lockWaitMs)), m_kind(kind)
{}

Connection::~Connection() = default;
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;

Recordset Connection::openRecordset(const QString& statement) const
{
    return Recordset(m_store, statement);
}

QString Connection::path() const
{
    return m_store->path();
}

bool Connection::isReadOnly() const
{
    return m_store->isReadOnly();
}

void Connection::setLockWait(int milliseconds)
{
    m_store->setLockWait(milliseconds);
}

qint64 Connection::dataVersion() const
{
    const StatementHandle query = m_store->prepare("PRAGMA data_version");
    const int rc = sqlite3_step(query.get());
    if (rc != SQLITE_ROW)
        m_store->fail(rc, QStringLiteral("Cannot read the word book's version"));
    return sqlite3_column_int64(query.get(), 0);
}

} // namespace wordbook
