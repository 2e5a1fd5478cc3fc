#pragma once

#include <QString>

namespace wordbook {

class DbError;

// Every text the word book editor shows, in one place.
namespace editortexts {

inline const QString caption = QStringLiteral("New Dialogs Manager");
inline const QString englishLabel = QStringLiteral("English");
inline const QString russianLabel = QStringLiteral("Russian");
inline const QString saveRecord = QStringLiteral("Save Record");
inline const QString addRecord = QStringLiteral("Add Record");
inline const QString deleteRecord = QStringLiteral("Delete Record");
// The text of the picture button that starts a new record.
inline const QString add = QStringLiteral("Add");

inline const QString duplicateRecord = QStringLiteral("Duplicate record !");
inline const QString noCurrentRecord = QStringLiteral("No current record !");

// "Record 3 of about 12": position counted from 1, then the record count.
QString recordLabel(int position, int count);
// The record label of a book that cannot be written.
QString readOnlyRecordLabel(int position, int count);
// The record label of an empty book that cannot be written.
inline const QString emptyReadOnlyBook = QStringLiteral("Read-only book");

// Why a pair could not be stored or deleted, for the learner: the cause in
// plain words, and that the typing is kept.
QString storeFailure(const DbError& error);
QString deleteFailure(const DbError& error);
// Why the editor cannot open the book at all.
QString openFailure(const DbError& error);

} // namespace editortexts

} // namespace wordbook
