#pragma once

#include "common/speech/agent/characterdata.h"

#include <QImage>
#include <QList>

namespace speech::agent {

// Composes frames from the character's pictures. Each picture is rendered
// from its SVG once, at its own size, and cached.
class FrameRenderer final
{
public:
    explicit FrameRenderer(const CharacterData& character);

    // The frame with its layers, and on speaking frames the mouth for viseme.
    QImage render(const Frame* frame, Viseme viseme);

private:
    const QImage& picture(int image);

    const CharacterData& m_character;
    QList<QImage> m_pictures;
    QList<bool> m_rendered;
};

} // namespace speech::agent
