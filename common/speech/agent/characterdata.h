#pragma once

#include "common/speech/viseme.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QtNumeric>

#include <algorithm>
#include <array>
#include <limits>

namespace speech::agent {

// One picture drawn into a frame, offset in pixels from the frame's top left.
struct FrameLayer {
    int image = 0;
    int x = 0;
    int y = 0;
};

// A random jump taken when a frame ends: to target with percent probability.
struct FrameBranch {
    int target = 0;
    int percent = 0;
};

struct Frame {
    int durationMs = 100;
    QList<FrameLayer> layers;
    QList<FrameBranch> branches;
    // Where to go when the animation has to end early; -1 means the next frame.
    // A target equal to the frame count ends the animation at once.
    int exitTarget = -1;
    // Speaking frames draw the current mouth overlay, shifted by this offset.
    bool speaking = false;
    int mouthX = 0;
    int mouthY = 0;
};

struct Animation {
    QString name;
    QList<Frame> frames;

    // True when a random branch can come back to a frame already shown, so
    // the animation may go on for ever unless asked to end.
    bool canLoop() const
    {
        for (qsizetype i = 0; i < frames.size(); ++i) {
            for (const FrameBranch& b : frames[i].branches) {
                if (b.target <= i)
                    return true;
            }
        }
        return false;
    }

    // True when some frame draws the mouth overlay: speech can go on over
    // this animation with the mouth following it.
    bool hasMouth() const
    {
        return std::any_of(frames.cbegin(), frames.cend(),
                           [](const Frame& frame) { return frame.speaking; });
    }
};

struct MouthOverlay {
    int image = -1;
    int x = 0;
    int y = 0;
};

struct CharacterImage {
    QString id;
    QByteArray svg;
    // The size the SVG document gives itself (its own, else its content's);
    // empty when it has none.
    QSize declaredSize;
};

// Everything a character file holds, already validated by the loader: every
// image and frame reference is in range and every exit path ends.
struct CharacterData {
    QString name;
    int width = 0;
    int height = 0;
    QList<CharacterImage> images;
    QList<Animation> animations;
    std::array<MouthOverlay, kVisemeCount> mouths;
    // State name (Showing, Hiding, Speaking, IdlingLevel1..3, ...) -> animations.
    QHash<QString, QStringList> states;

    // Index of the animation of that name, compared without regard to case, or -1.
    int findAnimation(const QString& name) const
    {
        for (int i = 0; i < animations.size(); ++i) {
            if (animations[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    // The size a picture is drawn at: its own, or the frame's when it has
    // none, and never more than twice the frame's (it could not be seen whole).
    QSize pictureSize(int image) const
    {
        QSize size = images[image].declaredSize;
        if (size.isEmpty())
            size = QSize(width, height);
        return size.boundedTo(QSize(width, height) * 2);
    }

    // Bytes all pictures take once drawn, 4 a pixel; saturates rather than
    // overflowing, whatever the sizes.
    qint64 pictureBytes() const
    {
        constexpr qint64 kBytesPerPixel = 4;
        qint64 total = 0;
        for (int i = 0; i < images.size(); ++i) {
            const QSize size = pictureSize(i);
            qint64 bytes = 0;
            if (qMulOverflow<qint64>(qMax(size.width(), 0), qMax(size.height(), 0), &bytes) ||
                qMulOverflow<qint64>(bytes, kBytesPerPixel, &bytes) ||
                qAddOverflow<qint64>(total, bytes, &total))
                return std::numeric_limits<qint64>::max();
        }
        return total;
    }

    // Animations listed for a state that exist in this character.
    QList<int> stateAnimations(const QString& state) const
    {
        QList<int> result;
        for (const QString& n : states.value(state)) {
            const int index = findAnimation(n);
            if (index >= 0)
                result.append(index);
        }
        return result;
    }
};

} // namespace speech::agent
