#include "common/speech/agent/framerenderer.h"

#include <QBitmap>
#include <QPainter>
#include <QSvgRenderer>

namespace speech::agent {

FrameRenderer::FrameRenderer(const CharacterData& character, qint64 cacheBytes)
    : m_character(character), m_cacheBytes(cacheBytes), m_pictures(character.images.size()),
      m_rendered(character.images.size(), false)
{}

const QImage& FrameRenderer::picture(int image)
{
    if (!m_rendered[image]) {
        m_rendered[image] = true;
        // The loader has checked that all pictures at these sizes fit the budget.
        const QSize size = m_character.pictureSize(image);
        QSvgRenderer svg(m_character.images[image].svg);
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

RenderedFrame FrameRenderer::render(const Frame* frame, Viseme viseme)
{
    DrawList drawList;
    if (frame) {
        for (const FrameLayer& layer : frame->layers)
            drawList << layer.image << layer.x << layer.y;
        const MouthOverlay& mouth = m_character.mouths[static_cast<int>(viseme)];
        if (frame->speaking && mouth.image >= 0)
            drawList << mouth.image << mouth.x + frame->mouthX << mouth.y + frame->mouthY;
    }
    const auto found = m_keptIndex.constFind(drawList);
    if (found != m_keptIndex.cend()) {
        m_kept.splice(m_kept.begin(), m_kept, *found);
        return m_kept.front().frame;
    }
    RenderedFrame rendered = compose(drawList);
    keep(drawList, rendered);
    return rendered;
}

RenderedFrame FrameRenderer::compose(const DrawList& drawList)
{
    ++m_compositions;
    QImage image(m_character.width, m_character.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (qsizetype i = 0; i + 2 < drawList.size(); i += 3)
        painter.drawImage(QPoint(drawList[i + 1], drawList[i + 2]), picture(drawList[i]));
    painter.end();
    QRegion shape(QBitmap::fromImage(image.createAlphaMask()));
    // An empty shape would mean "no shape" and show the whole rectangle.
    if (shape.isEmpty())
        shape = QRegion(0, 0, 1, 1);
    return {std::move(image), std::move(shape)};
}

void FrameRenderer::keep(const DrawList& drawList, const RenderedFrame& frame)
{
    const qint64 bytes = frame.image.sizeInBytes() +
                         static_cast<qint64>(frame.shape.rectCount()) * qint64(sizeof(QRect)) +
                         drawList.size() * qint64(sizeof(int));
    if (bytes > m_cacheBytes)
        return;
    while (m_cachedBytes + bytes > m_cacheBytes) {
        m_cachedBytes -= m_kept.back().bytes;
        m_keptIndex.remove(m_kept.back().drawList);
        m_kept.pop_back();
    }
    m_kept.push_front({drawList, frame, bytes});
    m_keptIndex.insert(drawList, m_kept.begin());
    m_cachedBytes += bytes;
}

} // namespace speech::agent
