#include "dialogs/playback/textcut.h"

#include <QTextBoundaryFinder>

namespace playback {

QString cutToShownLength(const QString& text)
{
    if (text.size() <= kLongestShownText)
        return text;
    // Room for the ellipsis. Whether a letter ends at `end` depends only on
    // the characters around it, so the finder is given just the start of
    // the text and never walks a long one.
    qsizetype end = kLongestShownText - 1;
    QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, text.constData(), end + 1);
    letters.setPosition(end);
    if (!letters.isAtBoundary())
        end = letters.toPreviousBoundary();
    if (end <= 0) {
        // One letter with thousands of marks: cut it, but never inside a
        // surrogate pair.
        end = kLongestShownText - 1;
        if (text.at(end - 1).isHighSurrogate())
            --end;
    }
    return text.left(end) + QChar(0x2026);
}

} // namespace playback
