#pragma once

#include "dialogs/wordbook/sqlitehandle.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wordbook {

class BookStore;

// An ordered, updatable view of table Word (a dynaset). Its membership and
// order are fixed when it opens: the statement runs once, keeping every
// selected record's key (`index`) and, for records out of key order, its
// texts; records in key order get theirs in one pass over the table when a
// field is first read. Texts are kept as UTF-8 bytes in one buffer and turned
// into QString only when read. Records added through the
// cursor go to its end whatever their sort key; a changed `English` does not
// move a record; a deleted record leaves no current record until the next
// move. Changes made through other connections of this process show up the
// next time a record's fields are read.
//
// Failures are thrown as DbError: a move or field access with no current
// record is NoCurrentRecord (3021), storing a duplicate pair DuplicateKey (3022).
//
// The calls follow the database engine's cursors (moveNext, addNew, update,
// eof, ...) in the house's lower-case spelling.
class Recordset final
{
public:
    // The text fields, for text().
    enum class Field { English, Russian };

    Recordset(std::shared_ptr<BookStore> store, const QString& statement);
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    bool eof() const;
    bool bof() const;

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Makes current the record count places after the record named by start.
    void move(int count, const QByteArray& start);
    // The same, counted from the current record.
    void move(int count);

    int recordCount() const;
    int absolutePosition() const;

    QByteArray bookmark() const;
    void setBookmark(const QByteArray& bookmark);
    // Names the record last added or changed through this cursor; empty if none.
    QByteArray lastModified() const;

    // `English` and `Russian` as text, `index` as a number; of the record being
    // added or changed while one is pending, else of the current record.
    QVariant field(const QString& name) const;
    // The same for a name written as a literal, without building a QString.
    template <std::size_t N> QVariant field(const char (&name)[N]) const
    {
        return fieldByName(name, std::char_traits<char>::length(name));
    }
    // A text field as field() would give it, without the name lookup and QVariant.
    QString text(Field field) const;
    // Its first maxLength UTF-16 units at most (never half a surrogate pair),
    // for a reader that shows only so much: a text not already at hand is
    // read only that far, straight from the book, and not kept, so a huge
    // text costs no more than a short one.
    QString text(Field field, qsizetype maxLength) const;
    // A text field of the record at a position (counted from 0), stored as
    // it is, without moving the cursor or touching a pending record: for a
    // list that shows the cursor's records in its order.
    QString textAt(int position, Field field) const;
    // Sets `English` or `Russian` of the pending record.
    void setField(const QString& name, const QVariant& value);

    void addNew();
    void edit();
    // Stores the pending record and commits it before returning.
    void update();
    void cancelUpdate();
    // Removes the current record, committed before returning.
    void deleteCurrent();

private:
    enum class Place { BeforeFirst, Current, AfterLast, Deleted };
    enum class Pending { None, New, Change };
    enum class Column { Index, English, Russian };

    // A record's key and where its texts lie in m_texts: English, then
    // Russian, back to back. epoch tells whether they may be stale.
    struct Row {
        std::int64_t key;
        std::uint32_t offset;
        std::uint32_t englishLength;
        std::uint32_t russianLength;
        std::uint32_t epoch;
    };

    void load(const QString& statement);
    void loadKeyOrderedTexts() const;
    Row makeRow(std::int64_t key, const char* english, int englishLength, const char* russian,
                int russianLength) const;
    void replaceTexts(Row& row, const char* english, int englishLength, const char* russian,
                      int russianLength) const;
    void compactTexts() const;
    QString english(const Row& row) const;
    QString russian(const Row& row) const;
    QVariant value(Column column) const;
    QVariant fieldByName(const char* name, std::size_t length) const;
    Row& currentRow() const;
    // The row a pending edit() changes.
    Row& changedRow() const;
    // Throws unless count rows exist.
    void requireRowCount(std::size_t count) const;
    void noteOtherChanges() const;
    void refresh(Row& row) const;
    // The start of a text read from the book itself; nullopt when it cannot
    // be read that way (the record deleted, a value that is not text).
    std::optional<QString> readTextStart(std::int64_t key, Field field, qsizetype maxLength) const;
    void refetch(Row& row) const;
    std::size_t positionOf(const QByteArray& bookmark) const;
    void placeAt(long long position);
    void requireCurrent() const;
    void noteOwnChange();
    sqlite3_stmt* statement(StatementHandle& handle, const char* sql);

    std::shared_ptr<BookStore> m_store;
    int m_englishColumn = -1;
    int m_russianColumn = -1;
    int m_indexColumn = -1;
    // Mutable: reading a field may refetch a record that another connection changed.
    mutable std::vector<Row> m_rows;
    // The texts of every record, in one buffer so opening costs no allocation
    // per record. A record's texts written anew go to the end; what they
    // replace is dropped when it outweighs the rest.
    mutable std::string m_texts;
    mutable std::size_t m_deadBytes = 0;
    // The first rows, in ascending key order, whose texts are still to be read.
    mutable std::size_t m_keyOrderedRows = 0;
    mutable std::uint32_t m_epoch = 0;
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
