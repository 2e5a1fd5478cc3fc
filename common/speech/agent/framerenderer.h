#pragma once

#include "common/speech/agent/characterdata.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QRegion>

#include <list>

namespace speech::agent {

// A composed frame and the window shape that goes with it (its visible pixels).
struct RenderedFrame {
    QImage image;
    QRegion shape;
};

// Composes frames from the character's pictures. Each picture is rendered
// from its SVG once, at its own size, and kept. Composed frames are kept too,
// the most recently used first, up to a byte budget, so an animation that
// loops draws each of its frames once.
class FrameRenderer final
{
public:
    static constexpr qint64 kDefaultCacheBytes = 16 * 1024 * 1024;

    explicit FrameRenderer(const CharacterData& character, qint64 cacheBytes = kDefaultCacheBytes);

    // The frame with its layers, and on speaking frames the mouth for viseme.
    // Frames that draw the same pictures at the same places are one frame.
    RenderedFrame render(const Frame* frame, Viseme viseme);

    // How many frames were composed rather than found kept.
    int compositions() const { return m_compositions; }
    // Bytes the kept frames take; never more than the budget.
    qint64 cachedBytes() const { return m_cachedBytes; }

private:
    // What a frame draws: image, x, y for each picture, bottom first.
    using DrawList = QList<int>;
    struct Kept {
        DrawList drawList;
        RenderedFrame frame;
        qint64 bytes = 0;
    };

    const QImage& picture(int image);
    RenderedFrame compose(const DrawList& drawList);
    void keep(const DrawList& drawList, const RenderedFrame& frame);

    const CharacterData& m_character;
    const qint64 m_cacheBytes;
    QList<QImage> m_pictures;
    QList<bool> m_rendered;
    std::list<Kept> m_kept; // most recently used first
    QHash<DrawList, std::list<Kept>::iterator> m_keptIndex;
    qint64 m_cachedBytes = 0;
    int m_compositions = 0;
};

} // namespace speech::agent
