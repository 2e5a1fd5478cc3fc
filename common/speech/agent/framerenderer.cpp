#include "common/speech/agent/framerenderer.h"

#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

namespace speech::agent {

FrameRenderer::FrameRenderer(const CharacterData& character)
    : m_character(character), m_pictures(character.images.size()),
      m_rendered(character.images.size(), false)
{}

const QImage& FrameRenderer::picture(int image)
{
    if (!m_rendered[image]) {
        m_rendered[image] = true;
        QSvgRenderer svg(m_character.images[image].svg);
        QSize size = svg.defaultSize();
        if (!size.isValid() || size.isEmpty())
            size = QSize(m_character.width, m_character.height);
        // A picture larger than the frame could never be seen whole anyway.
        size = size.boundedTo(QSize(m_character.width, m_character.height) * 2);
        QImage rendered(size, QImage::Format_ARGB32_Premultiplied);
        rendered.fill(Qt::transparent);
        QPainter painter(&rendered);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        m_pictures[image] = std::move(rendered);
    }
    return m_pictures[image];
}

QImage FrameRenderer::render(const Frame* frame, Viseme viseme)
{
    QImage result(m_character.width, m_character.height, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    if (!frame)
        return result;
    QPainter painter(&result);
    for (const FrameLayer& layer : frame->layers)
        painter.drawImage(QPoint(layer.x, layer.y), picture(layer.image));
    if (frame->speaking) {
        const MouthOverlay& mouth = m_character.mouths[static_cast<int>(viseme)];
        if (mouth.image >= 0)
            painter.drawImage(QPoint(mouth.x + frame->mouthX, mouth.y + frame->mouthY),
                              picture(mouth.image));
    }
    return result;
}

} // namespace speech::agent
