#pragma once

#include "common/speech/agent/agentrandom.h"
#include "common/speech/agent/characterdata.h"

#include <optional>

namespace speech::agent {

// Steps through the frames of one animation at a time. A plain state machine:
// the owner calls tick(now) at nextDeadline() and redraws when it returns true.
// After an animation ends its last frame stays shown.
class AnimationPlayer final
{
public:
    // Shorter frames are shown this long: faster than the eye can follow, a
    // loop of them would only keep a core busy.
    static constexpr int kMinFrameMs = 10;

    AnimationPlayer(const CharacterData& character, AgentRandom& random);

    void start(int animation, qint64 nowMs);
    // Ends the animation early along its exit jumps: random branches are no
    // longer taken, and a frame with an exit jump, the one shown now
    // included, takes it at once (at the next tick) instead of lasting its
    // time. An animation that is not playing is left alone.
    void requestExit(qint64 nowMs);
    // Stops at once, keeping the frame shown.
    void halt();

    // Advances to nowMs; true when another frame is shown or playing ended.
    bool tick(qint64 nowMs);
    std::optional<qint64> nextDeadline() const;

    bool isPlaying() const { return m_playing; }
    bool isExiting() const { return m_exiting; }
    int animation() const { return m_animation; }
    int frame() const { return m_frame; }
    // The frame shown now, or nullptr before anything was played.
    const Frame* currentFrame() const;

private:
    int nextFrame(const Frame& frame);
    int shownMs(const Frame& frame) const;

    const CharacterData& m_character;
    AgentRandom& m_random;
    int m_animation = -1;
    int m_frame = -1;
    bool m_playing = false;
    bool m_exiting = false;
    qint64 m_deadline = 0;
};

} // namespace speech::agent
