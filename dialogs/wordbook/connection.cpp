#include "dialogs/wordbook/connection.h"

#include "dialogs/wordbook/bookstore.h"

namespace wordbook {

Connection::Connection(const QString& path, ConnectionKind kind)
    : m_store(std::make_shared<BookStore>(path, kind)), m_kind(kind)
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

} // namespace wordbook
