#include "dialogs/wordbook/recordset.h"

#include "dialogs/wordbook/bookstore.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/statementtext.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace wordbook {

namespace {

constexpr const char* FetchSql = "SELECT English, Russian FROM Word WHERE \"index\" = ?1";
constexpr const char* InsertSql = "INSERT INTO Word (English, Russian) VALUES (?1, ?2)";
constexpr const char* UpdateSql = "UPDATE Word SET English = ?1, Russian = ?2 WHERE \"index\" = ?3";
constexpr const char* DeleteSql = "DELETE FROM Word WHERE \"index\" = ?1";

// The epoch of a row whose texts have not been read yet.
constexpr std::uint64_t NotLoaded = ~std::uint64_t(0);

[[noreturn]] void throwNoCurrentRecord()
{
    throw DbError(NoCurrentRecord, QStringLiteral("No current record"));
}

// The text's bytes as stored. sqlite3_column_text would first copy each value
// to give it a terminating NUL, which the cursor does not need.
const char* columnText(sqlite3_stmt* statement, int column, int& length)
{
    const auto* text = static_cast<const char*>(sqlite3_column_blob(statement, column));
    length = sqlite3_column_bytes(statement, column);
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
    StatementHandle handle = m_store->prepare(quoteIndexIdentifier(statement).toUtf8());
    sqlite3_stmt* query = handle.get();
    if (!sqlite3_stmt_readonly(query))
        throw DbError(EngineFailure,
                      QStringLiteral("Only a SELECT opens a cursor: \"%1\"").arg(statement));

    for (int column = 0; column < sqlite3_column_count(query); ++column) {
        const QString name = QString::fromUtf8(sqlite3_column_name(query, column));
        if (name.compare(u"index", Qt::CaseInsensitive) == 0)
            m_indexColumn = column;
        else if (name.compare(u"English", Qt::CaseInsensitive) == 0)
            m_englishColumn = column;
        else if (name.compare(u"Russian", Qt::CaseInsensitive) == 0)
            m_russianColumn = column;
    }
    if (m_indexColumn < 0 || m_englishColumn < 0 || m_russianColumn < 0)
        throw DbError(
            EngineFailure,
            QStringLiteral("\"%1\" must select index, English and Russian").arg(statement));
    m_sql = sqlite3_sql(query);

    // One pass over the keys fixes membership and order.
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW)
        m_rows.push_back(Row{sqlite3_column_int64(query, m_indexColumn), 0, 0, 0, 0, NotLoaded});
    if (rc != SQLITE_DONE)
        m_store->fail(rc, QStringLiteral("Cannot read the word book"));
    m_place = m_rows.empty() ? Place::AfterLast : Place::Current;
    m_position = 0;
}

void Recordset::loadTexts() const
{
    m_textsLoaded = true;
    StatementHandle handle = m_store->prepare(m_sql);
    sqlite3_stmt* query = handle.get();
    // The statement normally yields the keys in the cursor's order. Rows this
    // cursor added or changed are loaded already; a row the pass does not meet
    // where expected (moved or removed by another connection) stays unloaded
    // and is fetched by its key when read.
    std::size_t next = 0;
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        while (next < m_rows.size() && m_rows[next].epoch != NotLoaded)
            ++next;
        if (next == m_rows.size())
            break;
        const std::int64_t key = sqlite3_column_int64(query, m_indexColumn);
        if (m_rows[next].key != key)
            continue;
        int englishLength = 0;
        int russianLength = 0;
        const char* english = columnText(query, m_englishColumn, englishLength);
        const char* russian = columnText(query, m_russianColumn, russianLength);
        m_rows[next] = makeRow(key, english, englishLength, russian, russianLength);
        ++next;
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        m_store->fail(rc, QStringLiteral("Cannot read the word book"));
}

Recordset::Row Recordset::makeRow(std::int64_t key, const char* english, int englishLength,
                                  const char* russian, int russianLength) const
{
    constexpr std::size_t ChunkSize = 256 * 1024;
    const std::size_t needed = std::size_t(englishLength) + std::size_t(russianLength);
    if (m_chunks.empty() || m_chunkSize - m_chunkUsed < needed) {
        m_chunkSize = std::max(ChunkSize, needed);
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(m_chunkSize));
        m_chunkUsed = 0;
    }
    char* place = m_chunks.back().get() + m_chunkUsed;
    if (englishLength > 0)
        std::memcpy(place, english, std::size_t(englishLength));
    if (russianLength > 0)
        std::memcpy(place + englishLength, russian, std::size_t(russianLength));
    const Row row{key,
                  std::uint32_t(m_chunks.size() - 1),
                  std::uint32_t(m_chunkUsed),
                  std::uint32_t(englishLength),
                  std::uint32_t(russianLength),
                  m_epoch};
    m_chunkUsed += needed;
    return row;
}

QString Recordset::english(const Row& row) const
{
    return QString::fromUtf8(m_chunks[row.chunk].get() + row.offset, qsizetype(row.englishLength));
}

QString Recordset::russian(const Row& row) const
{
    return QString::fromUtf8(m_chunks[row.chunk].get() + row.offset + row.englishLength,
                             qsizetype(row.russianLength));
}

bool Recordset::Eof() const
{
    return m_rows.empty() || m_place == Place::AfterLast;
}

bool Recordset::Bof() const
{
    return m_rows.empty() || m_place == Place::BeforeFirst;
}

void Recordset::placeAt(long long position)
{
    m_pending = Pending::None; // a move drops an unsaved AddNew or Edit
    if (position < 0) {
        m_place = Place::BeforeFirst;
    } else if (position >= static_cast<long long>(m_rows.size())) {
        m_place = Place::AfterLast;
    } else {
        m_place = Place::Current;
        m_position = std::size_t(position);
    }
}

void Recordset::MoveFirst()
{
    if (m_rows.empty())
        throwNoCurrentRecord();
    placeAt(0);
}

void Recordset::MoveLast()
{
    if (m_rows.empty())
        throwNoCurrentRecord();
    placeAt(static_cast<long long>(m_rows.size()) - 1);
}

void Recordset::MoveNext()
{
    if (Eof())
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

void Recordset::MovePrevious()
{
    if (Bof())
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

void Recordset::Move(int count, const QByteArray& start)
{
    placeAt(static_cast<long long>(positionOf(start)) + count);
}

void Recordset::Move(int count)
{
    requireCurrent();
    placeAt(static_cast<long long>(m_position) + count);
}

int Recordset::RecordCount() const
{
    return int(m_rows.size());
}

int Recordset::AbsolutePosition() const
{
    return m_place == Place::Current ? int(m_position) : -1;
}

QByteArray Recordset::Bookmark() const
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

QByteArray Recordset::LastModified() const
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
}

Recordset::Row& Recordset::currentRow() const
{
    requireCurrent();
    Row& row = m_rows[m_position];
    refresh(row);
    return row;
}

void Recordset::refresh(Row& row) const
{
    const std::uint64_t changes = m_store->changeCounter().load(std::memory_order_acquire);
    if (changes != m_seenChanges) {
        // Another connection wrote: every cached text may be stale.
        m_seenChanges = changes;
        ++m_epoch;
    }
    if (!m_textsLoaded)
        loadTexts();
    if (row.epoch == m_epoch)
        return;

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
    row = makeRow(row.key, english, englishLength, russian, russianLength);
}

QVariant Recordset::Fields(const QString& name) const
{
    Column column;
    if (name.compare(u"English", Qt::CaseInsensitive) == 0)
        column = Column::English;
    else if (name.compare(u"Russian", Qt::CaseInsensitive) == 0)
        column = Column::Russian;
    else if (name.compare(u"index", Qt::CaseInsensitive) == 0)
        column = Column::Index;
    else
        throw DbError(ItemNotFound, QStringLiteral("No field %1 in table Word").arg(name));

    if (m_pending != Pending::None) {
        switch (column) {
        case Column::English:
            return m_pendingEnglish;
        case Column::Russian:
            return m_pendingRussian;
        case Column::Index:
            return m_pending == Pending::New ? QVariant()
                                             : QVariant::fromValue(m_rows[m_position].key);
        }
    }
    const Row& row = currentRow();
    switch (column) {
    case Column::English:
        return english(row);
    case Column::Russian:
        return russian(row);
    case Column::Index:
        break;
    }
    return QVariant::fromValue(row.key);
}

void Recordset::setFields(const QString& name, const QVariant& value)
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

void Recordset::AddNew()
{
    m_pending = Pending::New;
    m_pendingEnglish = QStringLiteral("");
    m_pendingRussian = QStringLiteral("");
}

void Recordset::Edit()
{
    const Row& row = currentRow();
    m_pendingEnglish = english(row);
    m_pendingRussian = russian(row);
    m_pending = Pending::Change;
}

void Recordset::CancelUpdate()
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

void Recordset::Update()
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
        Row& row = m_rows[m_position];
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
        row = makeRow(row.key, english.constData(), int(english.size()), russian.constData(),
                      int(russian.size()));
        m_lastModified = row.key;
    }
    m_hasLastModified = true;
    m_pending = Pending::None;
}

void Recordset::Delete()
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
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(m_position));
    m_place = Place::Deleted;
}

} // namespace wordbook
