#include "dialogs/playback/sqlitewordbook.h"

#include "dialogs/playback/textcut.h"
#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/recordset.h"
#include "dialogs/wordbook/wordbookpath.h"

#include <QDir>

#include <algorithm>
#include <utility>

namespace playback {

using wordbook::Connection;
using wordbook::ConnectionKind;
using wordbook::DbError;
using wordbook::Recordset;

SqliteWordBook::SqliteWordBook(QString programFolder) : m_programFolder(std::move(programFolder)) {}

SqliteWordBook::~SqliteWordBook() = default;

BookFailure SqliteWordBook::failureOf(const std::exception& error)
{
    const auto* failure = dynamic_cast<const DbError*>(&error);
    if (!failure)
        return BookFailure::Unreadable; // out of memory, or anything else thrown below
    switch (failure->number()) {
    case wordbook::FileNotFound:
        return BookFailure::Missing;
    case wordbook::FileInUse:
        return BookFailure::Locked;
    case wordbook::DamagedBook:
        return BookFailure::Damaged;
    case wordbook::NotAWordBook:
        return BookFailure::NotAWordBook;
    default:
        return BookFailure::Unreadable;
    }
}

int SqliteWordBook::lockWaitLeft() const
{
    return int(std::max<qint64>(0, m_lockWait.remainingTime()));
}

int SqliteWordBook::openAndCount()
{
    m_lockWait.setRemainingTime(kLockWaitPerPickMs);
    m_failure = BookFailure::None;
    m_location = QDir(m_programFolder).filePath(QString::fromUtf16(wordbook::WordBookFileName));
    try {
        m_location = wordbook::wordBookPath(m_programFolder);
        auto connection =
            std::make_unique<Connection>(m_location, ConnectionKind::Shared, lockWaitLeft());
        auto cursor = std::make_unique<Recordset>(connection->openRecordset(kStatement));
        const int count = cursor->recordCount();
        // The old cursor goes before its connection.
        m_counter.reset();
        m_connection = std::move(connection);
        m_counter = std::move(cursor);
        m_lastCount = count;
        return count;
    } catch (const std::exception& error) {
        m_failure = failureOf(error);
    }
    return m_counter ? m_counter->recordCount() : 0;
}

bool SqliteWordBook::boundCursorCurrent()
{
    if (!m_boundCursor || m_boundPath != m_location)
        return false;
    try {
        m_boundConnection->setLockWait(lockWaitLeft());
        return (m_lastCount < 0 || m_boundCursor->recordCount() == m_lastCount) &&
               m_boundConnection->dataVersion() == m_boundVersion;
    } catch (const std::exception&) {
        return false;
    }
}

void SqliteWordBook::bind()
{
    // A book that could not be read this pick is not asked again: the cursor
    // held, if any, goes on as it is.
    if (m_failure == BookFailure::None) {
        try {
            m_location = wordbook::wordBookPath(m_programFolder);
            if (!boundCursorCurrent())
                openBoundCursor();
        } catch (const std::exception&) {
        }
    }
    readFields();
}

void SqliteWordBook::openBoundCursor()
{
    QByteArray place;
    try {
        if (m_boundCursor)
            place = m_boundCursor->bookmark();
    } catch (const std::exception&) {
    }
    try {
        auto connection =
            std::make_unique<Connection>(m_location, ConnectionKind::BoundSource, lockWaitLeft());
        // Read before the cursor opens: a change committed in between makes
        // the next bind open it once more rather than miss the change.
        const qint64 version = connection->dataVersion();
        auto cursor = std::make_unique<Recordset>(connection->openRecordset(kStatement));
        // The old cursor goes before its connection; both only once the new
        // ones are open, so a book that cannot be read keeps the one held.
        m_boundCursor.reset();
        m_boundConnection = std::move(connection);
        m_boundCursor = std::move(cursor);
        m_boundPath = m_location;
        m_boundVersion = version;
    } catch (const std::exception&) {
        return;
    }
    try {
        if (m_boundCursor->eof() && m_boundCursor->bof())
            return;
        m_boundCursor->moveFirst();
        // Go on from the record shown before, if it is still in the book.
        if (!place.isEmpty())
            m_boundCursor->setBookmark(place);
    } catch (const std::exception&) {
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
        m_boundConnection->setLockWait(lockWaitLeft());
        // Only what the strip can show, and one character more to tell a cut
        // text from one that fits: a huge text is never converted whole.
        m_russian = m_boundCursor->text(Recordset::Field::Russian, kLongestShownText + 1);
        m_english = m_boundCursor->text(Recordset::Field::English, kLongestShownText + 1);
    } catch (const std::exception&) {
        // Deleted through another connection, or the book locked: nothing
        // current to show.
        m_russian.clear();
        m_english.clear();
    }
}

void SqliteWordBook::step()
{
    if (!m_boundCursor)
        return;
    m_lockWait.setRemainingTime(kLockWaitPerPickMs);
    try {
        if (m_boundCursor->eof()) {
            m_boundCursor->moveFirst();
        } else {
            m_boundCursor->moveNext();
            if (m_boundCursor->eof())
                m_boundCursor->moveFirst();
        }
    } catch (const std::exception&) {
        // An empty book has no first record to go to.
    }
    readFields();
}

} // namespace playback
