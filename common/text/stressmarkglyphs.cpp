#include "common/text/stressmarkglyphs.h"

#include <QRawFont>

#include <algorithm>

namespace text {

void placeStressMarks(QList<QGlyphRun>& runs, qreal highest)
{
    for (QGlyphRun& run : runs) {
        const QRawFont font = run.rawFont();
        const QList<quint32> marks = font.glyphIndexesForString(QStringLiteral("\u0301\u0300"));
        const auto isMark = [&](quint32 glyph) { return glyph != 0 && marks.contains(glyph); };
        const quint32 lowercase = font.glyphIndexesForString(QStringLiteral("о")).value(0);
        const qreal lowercaseTop =
            lowercase != 0 ? -font.boundingRect(lowercase).top() : font.xHeight();
        const QList<quint32> glyphs = run.glyphIndexes();
        QList<QPointF> positions = run.positions();
        bool moved = false;
        for (qsizetype i = 1; i < glyphs.size(); ++i) {
            if (!isMark(glyphs[i]))
                continue;
            qsizetype base = i - 1;
            while (base > 0 && isMark(glyphs[base]))
                --base;
            if (isMark(glyphs[base]))
                continue;
            const qreal baseTop = -font.boundingRect(glyphs[base]).top();
            const qreal onLetter = positions[base].y() - std::max<qreal>(0, baseTop - lowercaseTop);
            positions[i].setY(std::max(onLetter, highest - font.boundingRect(glyphs[i]).top()));
            moved = true;
        }
        if (moved)
            run.setPositions(positions);
    }
}

} // namespace text
