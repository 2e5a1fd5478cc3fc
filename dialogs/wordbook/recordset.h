#pragma once

#include "dialogs/wordbook/sqlitehandle.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

namespace wordbook {

class BookStore;

// An ordered, updatable view of table Word (a dynaset). Its membership and
// order are fixed when it opens: the keys (`index`) of the selected records
// are read in one pass, so opening and counting cost little. The first text
// read fills a cache of all texts in one more pass of the same statement;
// they are kept as bytes and turned into QString only when read. Records added through the
// cursor go to its end whatever their sort key; a changed `English` does not
// move a record; a deleted record leaves no current record until the next
// move. Changes made through other connections of this process show up the
// next time a record's fields are read.
//
// Failures are thrown as DbError: a move or field access with no current
// record is NoCurrentRecord (3021), storing a duplicate pair DuplicateKey (3022).
//
// The end and start tests are spelled Eof()/Bof() because EOF is a C macro.
class Recordset final
{
public:
    Recordset(std::shared_ptr<BookStore> store, const QString& statement);
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    bool Eof() const;
    bool Bof() const;

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // Makes current the record count places after the record named by start.
    void Move(int count, const QByteArray& start);
    // The same, counted from the current record.
    void Move(int count);

    int RecordCount() const;
    int AbsolutePosition() const;

    QByteArray Bookmark() const;
    void setBookmark(const QByteArray& bookmark);
    // Names the record last added or changed through this cursor; empty if none.
    QByteArray LastModified() const;

    // `English` and `Russian` as text, `index` as a number; of the record being
    // added or changed while one is pending, else of the current record.
    QVariant Fields(const QString& name) const;
    // Sets `English` or `Russian` of the pending record.
    void setFields(const QString& name, const QVariant& value);

    void AddNew();
    void Edit();
    // Stores the pending record and commits it before returning.
    void Update();
    void CancelUpdate();
    // Removes the current record, committed before returning.
    void Delete();

private:
    enum class Place { BeforeFirst, Current, AfterLast, Deleted };
    enum class Pending { None, New, Change };
    enum class Column { Index, English, Russian };

    // A record's key and where its cached texts lie: English, then Russian,
    // back to back in one chunk of m_chunks.
    struct Row {
        std::int64_t key;
        std::uint32_t chunk;
        std::uint32_t offset;
        std::uint32_t englishLength;
        std::uint32_t russianLength;
        std::uint64_t epoch;
    };

    void load(const QString& statement);
    void loadTexts() const;
    Row makeRow(std::int64_t key, const char* english, int englishLength, const char* russian,
                int russianLength) const;
    QString english(const Row& row) const;
    QString russian(const Row& row) const;
    Row& currentRow() const;
    void refresh(Row& row) const;
    std::size_t positionOf(const QByteArray& bookmark) const;
    void placeAt(long long position);
    void requireCurrent() const;
    void noteOwnChange();
    sqlite3_stmt* statement(StatementHandle& handle, const char* sql);

    std::shared_ptr<BookStore> m_store;
    QByteArray m_sql;
    int m_englishColumn = -1;
    int m_russianColumn = -1;
    int m_indexColumn = -1;
    mutable bool m_textsLoaded = false;
    // Mutable: reading a field may refetch a record that another connection changed.
    mutable std::vector<Row> m_rows;
    // Text chunks are never moved or grown, so a large book loads without
    // copying its texts again and again.
    mutable std::vector<std::unique_ptr<char[]>> m_chunks;
    mutable std::size_t m_chunkUsed = 0;
    mutable std::size_t m_chunkSize = 0;
    mutable std::uint64_t m_epoch = 0;
    mutable std::uint64_t m_seenChanges = 0;
    mutable StatementHandle m_fetch;
    StatementHandle m_insert;
    StatementHandle m_update;
    StatementHandle m_delete;

    Place m_place = Place::BeforeFirst;
    std::size_t m_position = 0;
    Pending m_pending = Pending::None;
    QString m_pendingEnglish;
    QString m_pendingRussian;
    std::int64_t m_lastModified = -1;
    bool m_hasLastModified = false;
};

} // namespace wordbook
