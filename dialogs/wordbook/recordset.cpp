#include "dialogs/wordbook/recordset.h"

#include "dialogs/wordbook/bookstore.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/statementtext.h"

#include <QtEndian>

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

namespace wordbook {

namespace {

constexpr const char* KeysSql = "SELECT \"index\" FROM Word ORDER BY \"index\"";
constexpr const char* RangeSql = "SELECT \"index\", English, Russian FROM Word "
                                 "WHERE \"index\" BETWEEN ?1 AND ?2 ORDER BY \"index\"";
constexpr const char* FetchSql = "SELECT English, Russian FROM Word WHERE \"index\" = ?1";
constexpr const char* InsertSql = "INSERT INTO Word (English, Russian) VALUES (?1, ?2)";
constexpr const char* UpdateSql = "UPDATE Word SET English = ?1, Russian = ?2 WHERE \"index\" = ?3";
constexpr const char* DeleteSql = "DELETE FROM Word WHERE \"index\" = ?1";

// Texts dropped from the buffer are only reclaimed past this much, so a
// cursor that is edited a little never copies its texts.
constexpr std::size_t CompactAfterBytes = 64 * 1024;

// The epoch of a row whose texts have not been read yet.
constexpr std::uint32_t NotLoaded = ~std::uint32_t(0);

// How many records in key order before the first one out of order are
// fetched one by one at opening rather than by a pass over their range.
constexpr std::size_t FetchRunByKey = 64;

bool equalsAsciiCaseless(std::string_view given, std::string_view name)
{
    if (given.size() != name.size())
        return false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        char c = given[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        char d = name[i];
        if (d >= 'A' && d <= 'Z')
            d = char(d - 'A' + 'a');
        if (c != d)
            return false;
    }
    return true;
}

// Enough UTF-8 bytes for `units` UTF-16 units: no unit takes more than three.
// When a sequence split at that end is left out, the bytes before it still
// make enough units: a split sequence of two or three bytes starts at most two
// bytes back, and a split one of four is a surrogate pair that would not fit
// whole anyway.
qsizetype utf8BytesFor(qsizetype units)
{
    return 3 * std::max<qsizetype>(units, 0);
}

// The first maxLength UTF-16 units of text at most, never half a surrogate pair.
QString cutAt(QString text, qsizetype maxLength)
{
    if (text.size() > maxLength) {
        text.truncate(std::max<qsizetype>(maxLength, 0));
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

// The same of the UTF-8 text in bytes[0, length), converting no more than its first
// utf8BytesFor(maxLength) bytes and leaving out a sequence split there.
QString utf8Start(const char* bytes, qsizetype length, qsizetype maxLength)
{
    qsizetype taken = std::min(length, utf8BytesFor(maxLength));
    while (taken > 0 && taken < length && (static_cast<unsigned char>(bytes[taken]) & 0xC0) == 0x80)
        --taken;
    return cutAt(QString::fromUtf8(bytes, taken), maxLength);
}

[[noreturn]] void throwNoCurrentRecord()
{
    throw DbError(NoCurrentRecord, QStringLiteral("No current record"));
}

// The text's bytes as stored. sqlite3_column_text would first copy each value
// to give it a terminating NUL, which the cursor does not need. Going through
// the column's value makes one checked call per column instead of two; the
// value is unprotected, which only matters to a connection shared between
// threads, and ours are opened SQLITE_OPEN_NOMUTEX for one thread.
const char* columnText(sqlite3_stmt* statement, int column, int& length)
{
    sqlite3_value* value = sqlite3_column_value(statement, column);
    const auto* text = static_cast<const char*>(sqlite3_value_blob(value));
    length = sqlite3_value_bytes(value);
    return text;
}

void bindText(sqlite3_stmt* statement, int parameter, const QByteArray& utf8)
{
    // The bytes outlive the step that reads them, so SQLite need not copy them.
    sqlite3_bind_text(statement, parameter, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

} // namespace

Recordset::Recordset(std::shared_ptr<BookStore> store, const QString& statement)
    : m_store(std::move(store))
{
    load(statement);
}

Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

void Recordset::load(const QString& statement)
{
    m_seenChanges = m_store->changeCounter().load(std::memory_order_acquire);
    // The whole table in key order yields only keys at first (see below), so
    // its texts are not read at all: SQLite would read every text of the
    // book, however long, to hand over rows of the statement as written.
    const bool keysOnly = selectsAllInKeyOrder(statement);
    StatementHandle handle =
        m_store->prepare(keysOnly ? QByteArray(KeysSql) : sqlForStatement(statement).toUtf8());
    sqlite3_stmt* query = handle.get();
    if (!sqlite3_stmt_readonly(query))
        throw DbError(EngineFailure,
                      QStringLiteral("Only a SELECT opens a cursor: \"%1\"").arg(statement));

    for (int column = 0; column < sqlite3_column_count(query) && !keysOnly; ++column) {
        const QString name = QString::fromUtf8(sqlite3_column_name(query, column));
        if (name.compare(u"index", Qt::CaseInsensitive) == 0)
            m_indexColumn = column;
        else if (name.compare(u"English", Qt::CaseInsensitive) == 0)
            m_englishColumn = column;
        else if (name.compare(u"Russian", Qt::CaseInsensitive) == 0)
            m_russianColumn = column;
    }
    if (keysOnly)
        m_indexColumn = 0;
    else if (m_indexColumn < 0 || m_englishColumn < 0 || m_russianColumn < 0)
        throw DbError(
            EngineFailure,
            QStringLiteral("\"%1\" must select index, English and Russian").arg(statement));

    // One pass fixes membership and order. While the keys come in ascending
    // order (the playback's cursor) only they are kept: the texts of such a
    // run can be read later in one pass over the table in key order, and a
    // cursor that is only counted never pays for them. From the first key out
    // of order on (the editor's cursor) the texts are kept as they come, since
    // reading them later would mean running the whole statement again.
    // Nothing is reserved from the file's size: a file padded far beyond its
    // records would have the cursor ask for memory it never uses, and fail
    // where memory is limited. The buffers grow with what is actually read.
    std::int64_t previous = std::numeric_limits<std::int64_t>::min();
    bool inKeyOrder = true;
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        const std::int64_t key = sqlite3_column_int64(query, m_indexColumn);
        if (inKeyOrder) {
            if (key > previous) {
                previous = key;
                m_rows.push_back(Row{key, 0, 0, 0, NotLoaded});
                continue;
            }
            if (keysOnly) // no texts to take from here on
                m_store->fail(SQLITE_CORRUPT, QStringLiteral("Keys out of order"));
            inKeyOrder = false;
            // A short run before the first key out of order is fetched now,
            // by key and within the same read, rather than by a later pass
            // over the whole range of its keys.
            if (m_rows.size() <= FetchRunByKey) {
                for (Row& row : m_rows)
                    refetch(row);
            } else {
                m_keyOrderedRows = m_rows.size();
            }
        }
        int englishLength = 0;
        int russianLength = 0;
        const char* english = columnText(query, m_englishColumn, englishLength);
        const char* russian = columnText(query, m_russianColumn, russianLength);
        m_rows.push_back(makeRow(key, english, englishLength, russian, russianLength));
    }
    if (rc != SQLITE_DONE)
        m_store->fail(rc, QStringLiteral("Cannot read the word book"));
    if (inKeyOrder)
        m_keyOrderedRows = m_rows.size();
    m_place = m_rows.empty() ? Place::AfterLast : Place::Current;
    m_position = 0;
}

void Recordset::loadKeyOrderedTexts() const
{
    const std::size_t count = m_keyOrderedRows;
    // deleteCurrent() shortens the run with the rows; a run longer than the
    // rows would read past them.
    requireRowCount(count);
    m_keyOrderedRows = 0;
    if (count == 0)
        return;
    StatementHandle handle = m_store->prepare(RangeSql);
    sqlite3_stmt* scan = handle.get();
    sqlite3_bind_int64(scan, 1, m_rows.front().key);
    sqlite3_bind_int64(scan, 2, m_rows[count - 1].key);
    // A merge of two ascending lists. Every row of the run is still unread:
    // reading or editing any of them starts this pass. A key the scan does
    // not meet (deleted through another connection) stays unread, to be
    // fetched by its key, and reported deleted, when read.
    std::size_t next = 0;
    int rc = SQLITE_DONE;
    while (next < count && (rc = sqlite3_step(scan)) == SQLITE_ROW) {
        const std::int64_t key = sqlite3_column_int64(scan, 0);
        while (next < count && m_rows[next].key < key)
            ++next;
        if (next == count || m_rows[next].key != key)
            continue;
        Row& row = m_rows[next++];
        int englishLength = 0;
        int russianLength = 0;
        const char* english = columnText(scan, 1, englishLength);
        const char* russian = columnText(scan, 2, russianLength);
        row = makeRow(key, english, englishLength, russian, russianLength);
    }
    if (next < count && rc != SQLITE_DONE)
        m_store->fail(rc, QStringLiteral("Cannot read the word book"));
}

Recordset::Row Recordset::makeRow(std::int64_t key, const char* english, int englishLength,
                                  const char* russian, int russianLength) const
{
    const std::size_t needed = std::size_t(englishLength) + std::size_t(russianLength);
    // Offsets are 32-bit to keep a row small; 4 GiB of words is no word book.
    if (m_texts.size() + needed > std::numeric_limits<std::uint32_t>::max()) {
        compactTexts();
        if (m_texts.size() + needed > std::numeric_limits<std::uint32_t>::max())
            throw DbError(EngineFailure, QStringLiteral("The word book is too large to open"));
    }
    const Row row{key, std::uint32_t(m_texts.size()), std::uint32_t(englishLength),
                  std::uint32_t(russianLength), m_epoch};
    m_texts.append(english, std::size_t(englishLength));
    m_texts.append(russian, std::size_t(russianLength));
    return row;
}

void Recordset::replaceTexts(Row& row, const char* english, int englishLength, const char* russian,
                             int russianLength) const
{
    m_deadBytes += std::size_t(row.englishLength) + row.russianLength;
    row = makeRow(row.key, english, englishLength, russian, russianLength);
    if (m_deadBytes > CompactAfterBytes && m_deadBytes > m_texts.size() / 2)
        compactTexts();
}

void Recordset::compactTexts() const
{
    std::string live;
    live.reserve(m_texts.size() - m_deadBytes);
    for (Row& row : m_rows) {
        const std::uint32_t offset = std::uint32_t(live.size());
        live.append(m_texts, row.offset, std::size_t(row.englishLength) + row.russianLength);
        row.offset = offset;
    }
    m_texts = std::move(live);
    m_deadBytes = 0;
}

QString Recordset::english(const Row& row) const
{
    return QString::fromUtf8(m_texts.data() + row.offset, qsizetype(row.englishLength));
}

QString Recordset::russian(const Row& row) const
{
    return QString::fromUtf8(m_texts.data() + row.offset + row.englishLength,
                             qsizetype(row.russianLength));
}

bool Recordset::eof() const
{
    return m_rows.empty() || m_place == Place::AfterLast;
}

bool Recordset::bof() const
{
    return m_rows.empty() || m_place == Place::BeforeFirst;
}

void Recordset::placeAt(long long position)
{
    m_pending = Pending::None; // a move drops an unsaved addNew() or edit()
    if (position < 0) {
        m_place = Place::BeforeFirst;
    } else if (position >= static_cast<long long>(m_rows.size())) {
        m_place = Place::AfterLast;
    } else {
        m_place = Place::Current;
        m_position = std::size_t(position);
    }
}

void Recordset::moveFirst()
{
    if (m_rows.empty())
        throwNoCurrentRecord();
    placeAt(0);
}

void Recordset::moveLast()
{
    if (m_rows.empty())
        throwNoCurrentRecord();
    placeAt(static_cast<long long>(m_rows.size()) - 1);
}

void Recordset::moveNext()
{
    if (eof())
        throwNoCurrentRecord();
    switch (m_place) {
    case Place::BeforeFirst:
        placeAt(0);
        break;
    case Place::Current:
        placeAt(static_cast<long long>(m_position) + 1);
        break;
    case Place::Deleted: // the record after the deleted one now holds its place
        placeAt(static_cast<long long>(m_position));
        break;
    case Place::AfterLast:
        break;
    }
}

void Recordset::movePrevious()
{
    if (bof())
        throwNoCurrentRecord();
    switch (m_place) {
    case Place::AfterLast:
        placeAt(static_cast<long long>(m_rows.size()) - 1);
        break;
    case Place::Current:
    case Place::Deleted:
        placeAt(static_cast<long long>(m_position) - 1);
        break;
    case Place::BeforeFirst:
        break;
    }
}

void Recordset::move(int count, const QByteArray& start)
{
    placeAt(static_cast<long long>(positionOf(start)) + count);
}

void Recordset::move(int count)
{
    requireCurrent();
    placeAt(static_cast<long long>(m_position) + count);
}

int Recordset::recordCount() const
{
    return int(m_rows.size());
}

int Recordset::absolutePosition() const
{
    return m_place == Place::Current ? int(m_position) : -1;
}

QByteArray Recordset::bookmark() const
{
    requireCurrent();
    QByteArray bookmark(sizeof(std::int64_t), Qt::Uninitialized);
    qToLittleEndian<std::int64_t>(m_rows[m_position].key, bookmark.data());
    return bookmark;
}

void Recordset::setBookmark(const QByteArray& bookmark)
{
    placeAt(static_cast<long long>(positionOf(bookmark)));
}

QByteArray Recordset::lastModified() const
{
    if (!m_hasLastModified)
        return {};
    QByteArray bookmark(sizeof(std::int64_t), Qt::Uninitialized);
    qToLittleEndian<std::int64_t>(m_lastModified, bookmark.data());
    return bookmark;
}

std::size_t Recordset::positionOf(const QByteArray& bookmark) const
{
    if (bookmark.size() == sizeof(std::int64_t)) {
        const auto key = qFromLittleEndian<std::int64_t>(bookmark.constData());
        const auto found = std::find_if(m_rows.begin(), m_rows.end(),
                                        [key](const Row& row) { return row.key == key; });
        if (found != m_rows.end())
            return std::size_t(found - m_rows.begin());
    }
    throw DbError(NotValidBookmark, QStringLiteral("Not a valid bookmark"));
}

void Recordset::requireCurrent() const
{
    if (m_place != Place::Current)
        throwNoCurrentRecord();
    requireRowCount(m_position + 1);
}

void Recordset::requireRowCount(std::size_t count) const
{
    // Checked in every build: the bookkeeping that keeps a count within the
    // rows is what keeps reads within them.
    if (count > m_rows.size())
        throw DbError(EngineFailure,
                      QStringLiteral("The cursor lost track of its records (%1 of %2)")
                          .arg(count)
                          .arg(m_rows.size()));
}

Recordset::Row& Recordset::changedRow() const
{
    requireRowCount(m_position + 1);
    return m_rows[m_position];
}

Recordset::Row& Recordset::currentRow() const
{
    requireCurrent();
    Row& row = m_rows[m_position];
    refresh(row);
    return row;
}

void Recordset::noteOtherChanges() const
{
    const std::uint64_t changes = m_store->changeCounter().load(std::memory_order_acquire);
    if (changes != m_seenChanges) {
        // Another connection wrote: every text read so far may be stale.
        m_seenChanges = changes;
        m_epoch = m_epoch + 1 == NotLoaded ? 0 : m_epoch + 1;
    }
}

void Recordset::refresh(Row& row) const
{
    noteOtherChanges();
    if (row.epoch == NotLoaded && m_keyOrderedRows > 0)
        loadKeyOrderedTexts();
    if (row.epoch != m_epoch)
        refetch(row);
}

void Recordset::refetch(Row& row) const
{
    if (!m_fetch)
        m_fetch = m_store->prepare(FetchSql);
    sqlite3_stmt* fetch = m_fetch.get();
    const StatementReset reset(fetch);
    sqlite3_bind_int64(fetch, 1, row.key);
    const int rc = sqlite3_step(fetch);
    if (rc == SQLITE_DONE)
        throw DbError(RecordDeleted, QStringLiteral("The record was deleted"));
    if (rc != SQLITE_ROW)
        m_store->fail(rc, QStringLiteral("Cannot read the record"));
    int englishLength = 0;
    int russianLength = 0;
    const char* english = columnText(fetch, 0, englishLength);
    const char* russian = columnText(fetch, 1, russianLength);
    replaceTexts(row, english, englishLength, russian, russianLength);
}

QVariant Recordset::field(const QString& name) const
{
    if (name.compare(u"English", Qt::CaseInsensitive) == 0)
        return value(Column::English);
    if (name.compare(u"Russian", Qt::CaseInsensitive) == 0)
        return value(Column::Russian);
    if (name.compare(u"index", Qt::CaseInsensitive) == 0)
        return value(Column::Index);
    throw DbError(ItemNotFound, QStringLiteral("No field %1 in table Word").arg(name));
}

QVariant Recordset::fieldByName(const char* name, std::size_t length) const
{
    const std::string_view given(name, length);
    if (equalsAsciiCaseless(given, "English"))
        return value(Column::English);
    if (equalsAsciiCaseless(given, "Russian"))
        return value(Column::Russian);
    if (equalsAsciiCaseless(given, "index"))
        return value(Column::Index);
    // Not an ASCII match; Unicode case folding may still find one.
    return field(QString::fromUtf8(name, qsizetype(length)));
}

QString Recordset::text(Field field) const
{
    if (m_pending != Pending::None)
        return field == Field::English ? m_pendingEnglish : m_pendingRussian;
    const Row& row = currentRow();
    return field == Field::English ? english(row) : russian(row);
}

QString Recordset::text(Field field, qsizetype maxLength) const
{
    if (m_pending != Pending::None)
        return cutAt(field == Field::English ? m_pendingEnglish : m_pendingRussian, maxLength);
    requireCurrent();
    Row& row = m_rows[m_position];
    noteOtherChanges();
    if (row.epoch != m_epoch) {
        // Not at hand: only the start is read, straight from the book, and
        // nothing is kept. Reading it whole (or the whole run of texts, as a
        // first read otherwise does) would cost as much as the text is long.
        if (std::optional<QString> start = readTextStart(row.key, field, maxLength))
            return *std::move(start);
        refetch(row);
    }
    const char* bytes =
        m_texts.data() + row.offset + (field == Field::English ? 0 : row.englishLength);
    const qsizetype length = field == Field::English ? row.englishLength : row.russianLength;
    return utf8Start(bytes, length, maxLength);
}

std::optional<QString> Recordset::readTextStart(std::int64_t key, Field field,
                                                qsizetype maxLength) const
{
    sqlite3_blob* raw = nullptr;
    const int rc = sqlite3_blob_open(m_store->db(), "main", "Word",
                                     field == Field::English ? "English" : "Russian", key, 0, &raw);
    const BlobHandle blob(raw);
    // A record deleted meanwhile, or a value that is not text (NULL, a
    // number, in a book made elsewhere): the caller reads it the usual way.
    if (rc == SQLITE_ERROR)
        return std::nullopt;
    if (rc != SQLITE_OK)
        m_store->fail(rc, QStringLiteral("Cannot read the record"));
    // One byte more than utf8Start() converts, to see whether a sequence goes on there.
    const qsizetype wanted =
        std::min<qsizetype>(sqlite3_blob_bytes(raw), utf8BytesFor(maxLength) + 1);
    QByteArray bytes(wanted, Qt::Uninitialized);
    const int read = sqlite3_blob_read(raw, bytes.data(), int(wanted), 0);
    if (read != SQLITE_OK)
        m_store->fail(read, QStringLiteral("Cannot read the record"));
    return utf8Start(bytes.constData(), wanted, maxLength);
}

QString Recordset::textAt(int position, Field field) const
{
    if (position < 0 || std::size_t(position) >= m_rows.size())
        throwNoCurrentRecord();
    Row& row = m_rows[std::size_t(position)];
    refresh(row);
    return field == Field::English ? english(row) : russian(row);
}

QVariant Recordset::value(Column column) const
{
    switch (column) {
    case Column::English:
        return text(Field::English);
    case Column::Russian:
        return text(Field::Russian);
    case Column::Index:
        break;
    }
    if (m_pending == Pending::New)
        return QVariant();
    if (m_pending == Pending::Change)
        return QVariant::fromValue(changedRow().key);
    return QVariant::fromValue(currentRow().key);
}

void Recordset::setField(const QString& name, const QVariant& value)
{
    if (m_pending == Pending::None)
        throw DbError(UpdateWithoutAddNewOrEdit,
                      QStringLiteral("Set a field only after AddNew or Edit"));
    if (name.compare(u"English", Qt::CaseInsensitive) == 0)
        m_pendingEnglish = value.toString();
    else if (name.compare(u"Russian", Qt::CaseInsensitive) == 0)
        m_pendingRussian = value.toString();
    else if (name.compare(u"index", Qt::CaseInsensitive) == 0)
        throw DbError(FieldNotUpdatable, QStringLiteral("The store gives index; it cannot be set"));
    else
        throw DbError(ItemNotFound, QStringLiteral("No field %1 in table Word").arg(name));
}

void Recordset::addNew()
{
    m_pending = Pending::New;
    m_pendingEnglish = QStringLiteral("");
    m_pendingRussian = QStringLiteral("");
}

void Recordset::edit()
{
    const Row& row = currentRow();
    m_pendingEnglish = english(row);
    m_pendingRussian = russian(row);
    m_pending = Pending::Change;
}

void Recordset::cancelUpdate()
{
    m_pending = Pending::None;
}

sqlite3_stmt* Recordset::statement(StatementHandle& handle, const char* sql)
{
    if (!handle)
        handle = m_store->prepare(sql);
    return handle.get();
}

void Recordset::noteOwnChange()
{
    const std::uint64_t before = m_store->changeCounter().fetch_add(1, std::memory_order_acq_rel);
    if (before != m_seenChanges)
        ++m_epoch; // someone else wrote since we last looked
    m_seenChanges = before + 1;
}

void Recordset::update()
{
    if (m_pending == Pending::None)
        throw DbError(UpdateWithoutAddNewOrEdit, QStringLiteral("Update without AddNew or Edit"));
    const QByteArray english = m_pendingEnglish.toUtf8();
    const QByteArray russian = m_pendingRussian.toUtf8();

    // Each statement runs in its own transaction, committed (and synced) when
    // the step returns. A failure keeps the pending record for correction.
    if (m_pending == Pending::New) {
        sqlite3_stmt* insert = statement(m_insert, InsertSql);
        const StatementReset reset(insert);
        bindText(insert, 1, english);
        bindText(insert, 2, russian);
        const int rc = sqlite3_step(insert);
        if (rc != SQLITE_DONE)
            m_store->fail(rc, QStringLiteral("Cannot store the record"));
        const std::int64_t key = sqlite3_last_insert_rowid(m_store->db());
        noteOwnChange();
        m_rows.push_back(makeRow(key, english.constData(), int(english.size()), russian.constData(),
                                 int(russian.size())));
        m_lastModified = key;
    } else {
        Row& row = changedRow();
        sqlite3_stmt* update = statement(m_update, UpdateSql);
        const StatementReset reset(update);
        bindText(update, 1, english);
        bindText(update, 2, russian);
        sqlite3_bind_int64(update, 3, row.key);
        const int rc = sqlite3_step(update);
        if (rc != SQLITE_DONE)
            m_store->fail(rc, QStringLiteral("Cannot store the record"));
        if (sqlite3_changes(m_store->db()) == 0)
            throw DbError(RecordDeleted, QStringLiteral("The record was deleted"));
        noteOwnChange();
        replaceTexts(row, english.constData(), int(english.size()), russian.constData(),
                     int(russian.size()));
        m_lastModified = row.key;
    }
    m_hasLastModified = true;
    m_pending = Pending::None;
}

void Recordset::deleteCurrent()
{
    requireCurrent();
    m_pending = Pending::None;
    sqlite3_stmt* remove = statement(m_delete, DeleteSql);
    const StatementReset reset(remove);
    sqlite3_bind_int64(remove, 1, m_rows[m_position].key);
    const int rc = sqlite3_step(remove);
    if (rc != SQLITE_DONE)
        m_store->fail(rc, QStringLiteral("Cannot delete the record"));
    noteOwnChange();
    m_deadBytes += std::size_t(m_rows[m_position].englishLength) + m_rows[m_position].russianLength;
    if (m_position < m_keyOrderedRows)
        --m_keyOrderedRows;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(m_position));
    m_place = Place::Deleted;
}

} // namespace wordbook
