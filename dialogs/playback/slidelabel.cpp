#include "dialogs/playback/slidelabel.h"

#include "common/text/stressmarkglyphs.h"

#include <QPainter>
#include <QTextLayout>

namespace playback {

SlideLabel::SlideLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void SlideLabel::layOut(const QString& sentence)
{
    m_sentence = sentence;
    m_layoutFont = font();
    m_layoutTop = contentsRect().top();
    QTextLayout layout(sentence, m_layoutFont);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    m_glyphs = layout.glyphRuns();
    // A pixel below the label's top edge, so that no mark's edge is cut.
    text::placeStressMarks(m_glyphs, 1 - m_layoutTop);
}

void SlideLabel::paintEvent(QPaintEvent*)
{
    const QString caption = text();
    qsizetype spaces = 0;
    while (spaces < caption.size() && caption[spaces] == u' ')
        ++spaces;
    const QString sentence = caption.mid(spaces);
    if (sentence.isEmpty())
        return;
    if (sentence != m_sentence || font() != m_layoutFont || contentsRect().top() != m_layoutTop)
        layOut(sentence);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const qreal offset = QFontMetricsF(font()).horizontalAdvance(QString(spaces, u' '));
    const QPointF origin(area.left() + offset, area.top());
    for (const QGlyphRun& run : std::as_const(m_glyphs))
        painter.drawGlyphRun(origin, run);
}

} // namespace playback
