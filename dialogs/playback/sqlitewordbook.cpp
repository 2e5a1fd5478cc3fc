#include "dialogs/playback/sqlitewordbook.h"

#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/recordset.h"
#include "dialogs/wordbook/wordbookpath.h"

#include <utility>

namespace playback {

using wordbook::Connection;
using wordbook::ConnectionKind;
using wordbook::DbError;
using wordbook::Recordset;

SqliteWordBook::SqliteWordBook(QString programFolder) : m_programFolder(std::move(programFolder)) {}

SqliteWordBook::~SqliteWordBook() = default;

QString SqliteWordBook::path() const
{
    return wordbook::wordBookPath(m_programFolder);
}

int SqliteWordBook::openAndCount()
{
    try {
        auto connection = std::make_unique<Connection>(path(), ConnectionKind::Shared);
        auto cursor = std::make_unique<Recordset>(connection->openRecordset(kStatement));
        const int count = cursor->recordCount();
        // The old cursor goes before its connection.
        m_counter.reset();
        m_connection = std::move(connection);
        m_counter = std::move(cursor);
        m_lastCount = count;
        return count;
    } catch (const DbError&) {
    }
    if (!m_counter)
        return 0;
    try {
        return m_counter->recordCount();
    } catch (const DbError&) {
        return 0;
    }
}

void SqliteWordBook::bind()
{
    QString bookPath;
    try {
        bookPath = path();
    } catch (const DbError&) {
        return;
    }
    const bool sameBook = m_boundCursor && bookPath == m_boundPath;
    bool unchanged = false;
    if (sameBook) {
        try {
            unchanged = (m_lastCount < 0 || m_boundCursor->recordCount() == m_lastCount) &&
                        m_boundConnection->dataVersion() == m_boundVersion;
        } catch (const DbError&) {
        }
    }
    if (!unchanged) {
        m_boundPath = bookPath;
        openBoundCursor();
    }
    readFields();
}

void SqliteWordBook::openBoundCursor()
{
    QByteArray place;
    if (m_boundCursor) {
        try {
            place = m_boundCursor->bookmark();
        } catch (const DbError&) {
        }
    }
    m_boundCursor.reset();
    m_boundConnection.reset();
    try {
        auto connection = std::make_unique<Connection>(m_boundPath, ConnectionKind::BoundSource);
        // Read before the cursor opens: a change committed in between makes
        // the next bind open it once more rather than miss the change.
        const qint64 version = connection->dataVersion();
        auto cursor = std::make_unique<Recordset>(connection->openRecordset(kStatement));
        m_boundConnection = std::move(connection);
        m_boundCursor = std::move(cursor);
        m_boundVersion = version;
    } catch (const DbError&) {
        return;
    }
    try {
        if (m_boundCursor->eof() && m_boundCursor->bof())
            return;
        m_boundCursor->moveFirst();
        // Go on from the record shown before, if it is still in the book.
        if (!place.isEmpty())
            m_boundCursor->setBookmark(place);
    } catch (const DbError&) {
    }
}

void SqliteWordBook::readFields()
{
    m_russian.clear();
    m_english.clear();
    if (!m_boundCursor)
        return;
    try {
        if (m_boundCursor->eof() || m_boundCursor->bof())
            return;
        m_russian = m_boundCursor->field(QStringLiteral("Russian")).toString();
        m_english = m_boundCursor->field(QStringLiteral("English")).toString();
    } catch (const DbError&) {
        // Deleted through another connection: nothing current to show.
        m_russian.clear();
        m_english.clear();
    }
}

void SqliteWordBook::step()
{
    if (!m_boundCursor)
        return;
    try {
        if (m_boundCursor->eof()) {
            m_boundCursor->moveFirst();
        } else {
            m_boundCursor->moveNext();
            if (m_boundCursor->eof())
                m_boundCursor->moveFirst();
        }
    } catch (const DbError&) {
        // An empty book has no first record to go to.
    }
    readFields();
}

} // namespace playback
