#include "common/speech/agent/animationplayer.h"

#include <algorithm>

namespace speech::agent {

namespace {
// Catching up after a long stall (suspend, debugger) must not spin through
// thousands of looping frames; past this many steps the schedule restarts.
constexpr int kMaxStepsPerTick = 1000;
} // namespace

AnimationPlayer::AnimationPlayer(const CharacterData& character, AgentRandom& random)
    : m_character(character), m_random(random)
{}

void AnimationPlayer::start(int animation, qint64 nowMs)
{
    if (animation < 0 || animation >= m_character.animations.size())
        return;
    m_animation = animation;
    m_frame = 0;
    m_playing = true;
    m_exiting = false;
    m_deadline = nowMs + shownMs(m_character.animations[animation].frames[0]);
}

int AnimationPlayer::shownMs(const Frame& frame) const
{
    // Winding down, a frame with a way out is passed straight through.
    if (m_exiting && frame.exitTarget >= 0)
        return 0;
    return std::max(frame.durationMs, kMinFrameMs);
}

void AnimationPlayer::requestExit(qint64 nowMs)
{
    if (!m_playing || m_exiting)
        return;
    m_exiting = true;
    if (m_character.animations[m_animation].frames[m_frame].exitTarget >= 0)
        m_deadline = std::min(m_deadline, nowMs);
}

void AnimationPlayer::halt()
{
    m_playing = false;
    m_exiting = false;
}

const Frame* AnimationPlayer::currentFrame() const
{
    if (m_animation < 0)
        return nullptr;
    return &m_character.animations[m_animation].frames[m_frame];
}

std::optional<qint64> AnimationPlayer::nextDeadline() const
{
    if (!m_playing)
        return std::nullopt;
    return m_deadline;
}

int AnimationPlayer::nextFrame(const Frame& frame)
{
    if (m_exiting)
        return frame.exitTarget >= 0 ? frame.exitTarget : m_frame + 1;
    if (!frame.branches.isEmpty()) {
        int roll = m_random.bounded(100);
        for (const FrameBranch& branch : frame.branches) {
            if (roll < branch.percent)
                return branch.target;
            roll -= branch.percent;
        }
    }
    return m_frame + 1;
}

bool AnimationPlayer::tick(qint64 nowMs)
{
    bool changed = false;
    int steps = 0;
    while (m_playing && nowMs >= m_deadline) {
        const Animation& animation = m_character.animations[m_animation];
        const int next = nextFrame(animation.frames[m_frame]);
        if (next >= animation.frames.size()) {
            m_playing = false;
            m_exiting = false;
            changed = true;
            break;
        }
        // A frame that branches to itself shows nothing new.
        changed = changed || next != m_frame;
        m_frame = next;
        m_deadline += shownMs(animation.frames[next]);
        if (++steps >= kMaxStepsPerTick) {
            m_deadline = nowMs + shownMs(animation.frames[next]);
            break;
        }
    }
    return changed;
}

} // namespace speech::agent
