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
        auto cursor = std::make_unique<Recordset>(connection->OpenRecordset(kStatement));
        const int count = cursor->RecordCount();
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
        return m_counter->RecordCount();
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
    const bool sameBook = m_data1 && bookPath == m_data1Path;
    bool sameSize = false;
    if (sameBook) {
        try {
            sameSize = m_lastCount < 0 || m_data1->RecordCount() == m_lastCount;
        } catch (const DbError&) {
        }
    }
    if (!sameBook || !sameSize) {
        m_data1Path = bookPath;
        openData1();
    }
    readFields();
}

void SqliteWordBook::openData1()
{
    QByteArray place;
    if (m_data1) {
        try {
            place = m_data1->Bookmark();
        } catch (const DbError&) {
        }
    }
    m_data1.reset();
    m_data1Connection.reset();
    try {
        auto connection = std::make_unique<Connection>(m_data1Path, ConnectionKind::BoundSource);
        auto cursor = std::make_unique<Recordset>(connection->OpenRecordset(kStatement));
        m_data1Connection = std::move(connection);
        m_data1 = std::move(cursor);
    } catch (const DbError&) {
        return;
    }
    try {
        if (m_data1->Eof() && m_data1->Bof())
            return;
        m_data1->MoveFirst();
        // Go on from the record shown before, if it is still in the book.
        if (!place.isEmpty())
            m_data1->setBookmark(place);
    } catch (const DbError&) {
    }
}

void SqliteWordBook::readFields()
{
    m_russian.clear();
    m_english.clear();
    if (!m_data1)
        return;
    try {
        if (m_data1->Eof() || m_data1->Bof())
            return;
        m_russian = m_data1->Fields(QStringLiteral("Russian")).toString();
        m_english = m_data1->Fields(QStringLiteral("English")).toString();
    } catch (const DbError&) {
        // Deleted through another connection: nothing current to show.
        m_russian.clear();
        m_english.clear();
    }
}

void SqliteWordBook::step()
{
    if (!m_data1)
        return;
    try {
        if (m_data1->Eof()) {
            m_data1->MoveFirst();
        } else {
            m_data1->MoveNext();
            if (m_data1->Eof())
                m_data1->MoveFirst();
        }
    } catch (const DbError&) {
        // An empty book has no first record to go to.
    }
    readFields();
}

} // namespace playback
