#pragma once

#include <QString>

namespace wordbook {

// The callers' statements name the field `index` bare ("... ORDER BY index;"),
// but INDEX is a keyword to SQLite. Returns the statement with every bare word
// `index` (any case) written as a quoted identifier; string literals and
// already quoted names are left alone.
QString quoteIndexIdentifier(const QString& statement);

} // namespace wordbook
