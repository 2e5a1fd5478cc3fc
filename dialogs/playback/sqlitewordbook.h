#pragma once

#include "dialogs/playback/wordbooksource.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <exception>
#include <memory>

namespace wordbook {
class Connection;
class Recordset;
} // namespace wordbook

namespace playback {

// The New Words book in the word database file. The counting cursor is opened
// afresh at every pick. The bound cursor, and so its place in the book, is
// kept from one pick to the next; it is opened again (keeping the current
// record where that still exists) only when the book has changed: its size,
// or anything another connection committed (the editor deleting one pair and
// adding another keeps the size), so the changes are seen without rereading
// a large book at every pick.
//
// Everything runs on the window's thread, so a book another program holds
// locked is waited for at most kLockWaitPerPickMs in all per pick or step;
// the next pick tries again. Nothing of the book ever throws out of here.
class SqliteWordBook final : public WordBookSource
{
public:
    static inline const QString kStatement = QStringLiteral("SELECT * FROM Word ORDER BY index;");
    static constexpr int kLockWaitPerPickMs = 50;

    // programFolder: where the shipped book lies (see wordbook::wordBookPath).
    explicit SqliteWordBook(QString programFolder);
    ~SqliteWordBook() override;

    int openAndCount() override;
    BookFailure failure() const override { return m_failure; }
    QString location() const override { return m_location; }
    void bind() override;
    void step() override;
    QString russian() const override { return m_russian; }
    QString english() const override { return m_english; }

    // Whether the bound cursor is open, for tests and diagnostics.
    bool boundOpen() const { return m_boundCursor != nullptr; }

    // What a failure of the book means for the learner.
    static BookFailure failureOf(const std::exception& error);

private:
    // What is left of this pick's lock wait, in milliseconds.
    int lockWaitLeft() const;
    bool boundCursorCurrent();
    void openBoundCursor();
    void readFields();

    QString m_programFolder;
    std::unique_ptr<wordbook::Connection> m_connection;
    std::unique_ptr<wordbook::Recordset> m_counter;
    std::unique_ptr<wordbook::Connection> m_boundConnection;
    std::unique_ptr<wordbook::Recordset> m_boundCursor;
    QString m_boundPath;
    int m_lastCount = -1;
    // The bound connection's data version when its cursor was opened.
    qint64 m_boundVersion = -1;
    QDeadlineTimer m_lockWait;
    BookFailure m_failure = BookFailure::None;
    QString m_location;
    QString m_russian;
    QString m_english;
};

} // namespace playback
