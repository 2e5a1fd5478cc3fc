#include "dialogs/playback/slidelabel.h"

#include <QPainter>

namespace playback {

SlideLabel::SlideLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    m_sentence.setTextFormat(Qt::PlainText);
    m_sentence.setPerformanceHint(QStaticText::AggressiveCaching);
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
    if (m_sentence.text() != sentence)
        m_sentence.setText(sentence);
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const qreal offset = QFontMetricsF(font()).horizontalAdvance(QString(spaces, u' '));
    painter.drawStaticText(QPointF(area.left() + offset, area.top()), m_sentence);
}

} // namespace playback
