#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace wordbook {

// Failure numbers of the word database. Callers tell a few apart (the editor
// checks NoCurrentRecord and DuplicateKey); the others name what went wrong
// clearly enough for a message or a log line.
enum ErrorNumber : int {
    EngineFailure = 3000, // anything the store reports that has no better number
    UpdateWithoutAddNewOrEdit = 3020,
    NoCurrentRecord = 3021,
    DuplicateKey = 3022,
    DiskFull = 3026, // no room left on the disk for the change
    FileNotFound = 3024,
    ReadOnlyBook = 3027, // the file (or its folder) refuses writes
    FileInUse = 3045,    // another process holds the file locked
    DamagedBook = 3049,  // an SQLite file whose pages are damaged (truncated, overwritten)
    CannotOpen = 3051,   // exists but cannot be opened (permissions, I/O, a folder)
    NotValidBookmark = 3159,
    FieldNotUpdatable = 3164,
    RecordDeleted = 3167, // removed through another connection since this cursor opened
    ItemNotFound = 3265,  // unknown field name
    NotAWordBook = 3343,  // empty, not an SQLite file, or no usable table Word
};

class DbError final : public std::exception
{
public:
    DbError(int number, QString message);

    int number() const noexcept { return m_number; }
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_message;
    QByteArray m_what;
};

} // namespace wordbook
