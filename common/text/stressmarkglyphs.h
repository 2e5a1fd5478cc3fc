#pragma once

#include <QGlyphRun>
#include <QList>

namespace text {

// Puts the combining stress marks (acute and grave) of laid-out text back
// over their letters. Qt 6.4 shapes them in DejaVu Sans about an em above
// the line, out of sight, where HarfBuzz on its own puts them on the letter.
// A mark keeps its horizontal place; it stands on its letter as it stands on
// a lowercase "о", raised by as much as the letter is taller, which is where
// the font's own anchors put it. No mark's ink rises above highest (the
// runs' y, downwards): text drawn with little room above keeps its marks
// whole, a little lower over a capital.
void placeStressMarks(QList<QGlyphRun>& runs, qreal highest);

} // namespace text
