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
// afresh at every pick. Data1 keeps its cursor, and so its place in the book,
// from one pick to the next; it opens it again (keeping the current record
// where that still exists) only when the book's size has changed, so records
// added or deleted meanwhile are seen without rereading a large book at every
// pick.
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

    // Whether Data1 has an open cursor, for tests and diagnostics.
    bool boundOpen() const { return m_data1 != nullptr; }

private:
    QString path() const;
    void openData1();
    void readFields();

    QString m_programFolder;
    std::unique_ptr<wordbook::Connection> m_connection;
    std::unique_ptr<wordbook::Recordset> m_counter;
    std::unique_ptr<wordbook::Connection> m_data1Connection;
    std::unique_ptr<wordbook::Recordset> m_data1;
    QString m_data1Path;
    int m_lastCount = -1;
    QString m_russian;
    QString m_english;
};

} // namespace playback
