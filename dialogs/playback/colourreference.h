#pragma once

#include <QColor>

namespace playback {

// A stored colour reference: red in the low byte, then green, then blue; with
// the high bit set the low byte picks a system colour instead (1 is the
// desktop, a fixed blue; the others follow the current palette).
QColor colourFromReference(double reference);

// The reverse for plain colours, as the options store them.
double referenceFromColour(const QColor& colour);

} // namespace playback
