#pragma once

#include <QFont>

namespace text {

// The face for boxes where the learner reads and types stress marks. Qt 6.4
// shapes a combining acute after a Cyrillic letter in DejaVu Sans, the
// desktop's sans face, about an em above the line, out of sight; DejaVu
// Serif, from the same package, stands it over its vowel, higher over a
// capital. The box keeps its size and weight.
QFont stressMarkFont(QFont base);

} // namespace text
