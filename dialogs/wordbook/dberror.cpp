#include "dialogs/wordbook/dberror.h"

#include <utility>

namespace wordbook {

DbError::DbError(int number, QString message)
    : m_number(number), m_message(std::move(message)),
      m_what(QByteArray::number(number) + ": " + m_message.toUtf8())
{}

} // namespace wordbook
