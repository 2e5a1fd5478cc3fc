#include "dialogs/wordbook/editortexts.h"

#include "dialogs/wordbook/dberror.h"

namespace wordbook::editortexts {

namespace {

// The cause of a failed write, as the learner can act on it.
QString writeCause(const DbError& error)
{
    switch (error.number()) {
    case ReadOnlyBook:
        return QStringLiteral("The word book is read-only.");
    case FileInUse:
        return QStringLiteral("The word book is locked by another program.");
    case DiskFull:
        return QStringLiteral("The disk is full.");
    case RecordDeleted:
        return QStringLiteral("Another program has deleted this record.");
    default:
        return QStringLiteral("The word book could not be written: %1").arg(error.message());
    }
}

} // namespace

QString recordLabel(int position, int count)
{
    return QStringLiteral("Record ") + QString::number(position) + QStringLiteral(" of about ") +
           QString::number(count);
}

QString readOnlyRecordLabel(int position, int count)
{
    return recordLabel(position, count) + QStringLiteral(", read-only");
}

QString storeFailure(const DbError& error)
{
    return writeCause(error) + QStringLiteral("\nThe pair was not saved; your typing is kept.");
}

QString deleteFailure(const DbError& error)
{
    return writeCause(error) + QStringLiteral("\nThe pair was not deleted.");
}

QString openFailure(const DbError& error)
{
    QString cause;
    switch (error.number()) {
    case FileNotFound:
        cause = QStringLiteral("The word book is missing.");
        break;
    case NotAWordBook:
    case DamagedBook:
        cause = QStringLiteral("The file is damaged or is not a word book.");
        break;
    case FileInUse:
        cause = QStringLiteral("The word book is locked by another program.");
        break;
    default:
        cause = QStringLiteral("The word book cannot be opened.");
        break;
    }
    return cause + QStringLiteral("\n") + error.message();
}

} // namespace wordbook::editortexts
