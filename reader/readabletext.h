#pragma once

#include <QString>
#include <QStringView>

namespace reader {

// The most characters taken from one copy: a few hundred pages, far more than
// anyone listens to at once, and small enough that the text box stays quick.
inline constexpr qsizetype kMaxCopiedCharacters = 256 * 1024;

// Text that is safe to show and to hand to the speech engine, with every
// character at the index it had: control characters (NUL included) other
// than tab and line breaks become spaces and unpaired surrogates become
// U+FFFD. Anything past limit characters is left out, never half a pair.
QString readableText(QStringView raw, qsizetype limit = -1);

// Whether the text has anything to say: a letter or a digit.
bool hasWords(QStringView text);

} // namespace reader
