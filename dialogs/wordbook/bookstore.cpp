#include "dialogs/wordbook/bookstore.h"

#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/filepermissions.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <mutex>

namespace wordbook {

namespace {

// One change counter per file, shared by every connection of this process.
std::shared_ptr<std::atomic<std::uint64_t>> changeCounterFor(const QString& canonicalPath)
{
    static std::mutex mutex;
    static QHash<QString, std::shared_ptr<std::atomic<std::uint64_t>>> counters;
    const std::lock_guard lock(mutex);
    auto& counter = counters[canonicalPath];
    if (!counter)
        counter = std::make_shared<std::atomic<std::uint64_t>>(0);
    return counter;
}

} // namespace

int errorNumberFor(int resultCode)
{
    switch (resultCode) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return DuplicateKey;
    default:
        break;
    }
    switch (resultCode & 0xff) {
    case SQLITE_READONLY:
        return ReadOnlyBook;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FileInUse;
    case SQLITE_NOTADB:
        return NotAWordBook;
    case SQLITE_CORRUPT:
        return DamagedBook;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return CannotOpen;
    case SQLITE_FULL:
        return DiskFull;
    default:
        return EngineFailure;
    }
}

BookStore::BookStore(const QString& path, ConnectionKind kind, int lockWaitMs) : m_path(path)
{
    Q_UNUSED(kind); // every kind opens the same way; see docs/wordbook.md
    const QFileInfo info(path);
    if (!info.exists())
        throw DbError(FileNotFound, QStringLiteral("The word book %1 does not exist").arg(path));
    if (!info.isFile())
        throw DbError(CannotOpen, QStringLiteral("The word book %1 is not a file").arg(path));
    if (!info.isReadable())
        throw DbError(CannotOpen, QStringLiteral("The word book %1 cannot be read").arg(path));

    // Without SQLITE_OPEN_CREATE nothing is ever created; a file the mode marks
    // read-only is opened for reading so no write is even attempted.
    m_readOnly = !isWritableByUs(path);
    const int flags = (m_readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    m_db.reset(raw);
    if (rc != SQLITE_OK) {
        const QString reason = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString();
        throw DbError(CannotOpen,
                      QStringLiteral("Cannot open the word book %1: %2").arg(path, reason));
    }
    sqlite3_extended_result_codes(db(), 1);
    setLockWait(lockWaitMs);

    // Validate before anything that could write: an empty or foreign file must
    // be left exactly as it is.
    validateSchema();

    // The journal mode is the file's own: the shipped book and its per-user
    // copy are in WAL mode, and a learner's book in another mode is read and
    // written as it is, never converted.
    if (!m_readOnly && sqlite3_db_readonly(db(), "main") == 1)
        m_readOnly = true;
    // Every commit reaches the disk before update() or deleteCurrent() returns.
    sqlite3_exec(db(), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);

    const QString canonical = info.canonicalFilePath();
    m_changes = changeCounterFor(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

void BookStore::validateSchema()
{
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db(), "PRAGMA table_info(\"Word\")", -1, &raw, nullptr);
    const StatementHandle statement(raw);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("Cannot read the word book %1").arg(m_path));

    bool hasIndex = false;
    bool hasEnglish = false;
    bool hasRussian = false;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const QString name =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 1)));
        const QString type =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 2)));
        const bool primaryKey = sqlite3_column_int(raw, 5) == 1;
        if (name.compare(u"index", Qt::CaseInsensitive) == 0)
            hasIndex = primaryKey && type.compare(u"INTEGER", Qt::CaseInsensitive) == 0;
        else if (name.compare(u"English", Qt::CaseInsensitive) == 0)
            hasEnglish = true;
        else if (name.compare(u"Russian", Qt::CaseInsensitive) == 0)
            hasRussian = true;
    }
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("Cannot read the word book %1").arg(m_path));
    if (!hasIndex || !hasEnglish || !hasRussian)
        throw DbError(NotAWordBook,
                      QStringLiteral("%1 holds no table Word with the fields index, English "
                                     "and Russian")
                          .arg(m_path));
}

void BookStore::setLockWait(int milliseconds)
{
    // 0 or less: a lock held elsewhere fails at once.
    sqlite3_busy_timeout(db(), milliseconds > 0 ? milliseconds : 0);
}

StatementHandle BookStore::prepare(const QByteArray& sql) const
{
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db(), sql.constData(), int(sql.size()), &raw, nullptr);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("Cannot run \"%1\"").arg(QString::fromUtf8(sql)));
    return statement;
}

void BookStore::fail(int resultCode, const QString& doing) const
{
    const int number = errorNumberFor(resultCode);
    QString reason = QString::fromUtf8(sqlite3_errstr(resultCode));
    if (m_db && sqlite3_extended_errcode(db()) == resultCode)
        reason = QString::fromUtf8(sqlite3_errmsg(db()));
    switch (number) {
    case DuplicateKey:
        throw DbError(number, QStringLiteral("Duplicate record: this pair is already in the word "
                                             "book"));
    case ReadOnlyBook:
        throw DbError(number, QStringLiteral("The word book %1 is read-only").arg(m_path));
    case FileInUse:
        throw DbError(number,
                      QStringLiteral("The word book %1 is in use by another program").arg(m_path));
    case NotAWordBook:
        throw DbError(number, QStringLiteral("%1 is not a word book (%2)").arg(m_path, reason));
    case DamagedBook:
        throw DbError(number,
                      QStringLiteral("The word book %1 is damaged (%2)").arg(m_path, reason));
    case DiskFull:
        throw DbError(number,
                      QStringLiteral("The disk holding the word book %1 is full").arg(m_path));
    default:
        throw DbError(number, doing + QStringLiteral(": ") + reason);
    }
}

} // namespace wordbook
