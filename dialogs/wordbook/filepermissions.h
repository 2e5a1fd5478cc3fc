#pragma once

#include <QString>

namespace wordbook {

// True when this process may write to the file or folder at path and its mode
// grants writing to someone. The second condition keeps a file or folder that
// was made read-only read-only even for the superuser, whom access() lets
// write anywhere.
bool isWritableByUs(const QString& path);

// True when the file or folder at path belongs to this process's user.
bool isOwnedByUs(const QString& path);

} // namespace wordbook
