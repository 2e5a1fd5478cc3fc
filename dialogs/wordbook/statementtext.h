#pragma once

#include <QString>

namespace wordbook {

// The callers' statements name the field `index` bare ("... ORDER BY index;"),
// but INDEX is a keyword to SQLite. Returns the statement with every bare word
// `index` (any case) written as a quoted identifier; string literals and
// already quoted names are left alone.
QString quoteIndexIdentifier(const QString& statement);

// Learners expect "bread" next to "Bread", not after every capital. Returns
// the statement with each ORDER BY term that is the bare field English (with
// an optional ASC or DESC and no collation of its own) compared without
// regard to case, ties broken byte by byte so the order stays the same from
// one opening to the next: "ORDER BY English" becomes "ORDER BY English
// COLLATE NOCASE, English". The unique key itself stays byte-exact; only the
// order of the cursor changes.
QString caselessEnglishOrder(const QString& statement);

// True for a statement that selects every field of every record in key
// order, as the playback's "SELECT * FROM Word ORDER BY index;" does (any
// case, blanks and comments, an optional ASC and ";"): a cursor on it needs
// only the keys at opening, so a book holding huge texts opens as fast as
// any other.
bool selectsAllInKeyOrder(const QString& statement);

// What a cursor runs for a caller's statement: both of the first two above.
QString sqlForStatement(const QString& statement);

} // namespace wordbook
