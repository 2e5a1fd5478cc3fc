#pragma once

#include "common/speech/agent/characterdata.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace speech::agent {

// Reads character files (".acs", see docs/character-format.md). Every file is
// treated as hostile: sizes and counts are bounded, every number and reference
// is checked, and anything doubtful refuses the whole file with a reason.
class CharacterLoader final
{
public:
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr int kFormatVersion = 1;
    static constexpr int kMaxImages = 256;
    static constexpr qsizetype kMaxImageBytes = 512 * 1024;
    static constexpr int kMaxAnimations = 256;
    static constexpr int kMaxFramesPerAnimation = 512;
    static constexpr int kMaxTotalFrames = 8192;
    static constexpr int kMaxLayersPerFrame = 16;
    static constexpr int kMaxBranchesPerFrame = 8;
    static constexpr int kMaxStates = 64;
    static constexpr int kMaxDurationMs = 60000;
    static constexpr int kMaxOffset = 4096;
    static constexpr int kMinSize = 16;
    static constexpr int kMaxSize = 1024;
    static constexpr int kMaxNameLength = 64;
    // All pictures of a character drawn at their sizes; checked from the
    // sizes the file declares, before anything is drawn.
    static constexpr qint64 kMaxPictureBytes = 64 * 1024 * 1024;

    struct Result {
        std::optional<CharacterData> character;
        QString error; // empty on success; "line N: why" or a file-level reason
    };

    static Result fromBytes(const QByteArray& bytes);
    static Result fromFile(const QString& path);
};

} // namespace speech::agent
