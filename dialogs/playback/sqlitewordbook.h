#pragma once

#include "dialogs/playback/wordbooksource.h"

#include <QByteArray>
#include <QString>

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
class SqliteWordBook final : public WordBookSource
{
public:
    static inline const QString kStatement = QStringLiteral("SELECT * FROM Word ORDER BY index;");

    // programFolder: where the shipped book lies (see wordbook::wordBookPath).
    explicit SqliteWordBook(QString programFolder);
    ~SqliteWordBook() override;

    int openAndCount() override;
    void bind() override;
    void step() override;
    QString russian() const override { return m_russian; }
    QString english() const override { return m_english; }

    // Whether the bound cursor is open, for tests and diagnostics.
    bool boundOpen() const { return m_boundCursor != nullptr; }

private:
    QString path() const;
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
    QString m_russian;
    QString m_english;
};

} // namespace playback
