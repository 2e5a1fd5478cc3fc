#pragma once

#include <QString>

namespace playback {

// The most characters of a text the strip shows and the character speaks.
// The widest screen at the smallest font holds well under this on one line;
// a longer text (a whole file pasted into the word book) would only cost
// layout and speech time while showing nothing more.
inline constexpr qsizetype kLongestShownText = 2000;

// text itself when it fits, else its start up to a letter's end (a stressed
// vowel keeps its mark, a surrogate pair stays whole) followed by "…", in
// all at most kLongestShownText characters. Looks only at the start of the text.
QString cutToShownLength(const QString& text);

} // namespace playback
