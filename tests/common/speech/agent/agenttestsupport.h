#pragma once

#include "common/speech/agent/agentclock.h"
#include "common/speech/agent/agentrandom.h"
#include "common/speech/agent/desktopcharacter.h"
#include "common/speech/synthesizer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>

namespace agenttest {

class FakeClock final : public speech::agent::AgentClock
{
public:
    qint64 nowMs() const override { return now; }
    qint64 now = 1000;
};

// Returns the queued values in turn (each taken modulo the bound), then fallback.
class FakeRandom final : public speech::agent::AgentRandom
{
public:
    int bounded(int bound) override
    {
        const int value = values.isEmpty() ? fallback : values.takeFirst();
        return value % bound;
    }
    QList<int> values;
    int fallback = 0;
};

// Records what it is asked to say; the test decides when words and the end arrive.
class FakeSynthesizer final : public speech::Synthesizer
{
    Q_OBJECT

public:
    struct Call {
        quint64 id;
        QString text;
        int languageId;
    };

    void speak(quint64 id, const QString& text, int languageId) override
    {
        calls.append({id, text, languageId});
    }
    void stop() override { ++stops; }

    void word(quint64 id, int position, int length) { emit wordReached(id, position, length); }
    void viseme(quint64 id, speech::Viseme v) { emit visemeReached(id, v); }
    void finish(quint64 id, bool completed = true) { emit utteranceFinished(id, completed); }

    QList<Call> calls;
    int stops = 0;
};

// Runs every deadline of character up to ms from now, as its timer would;
// returns how many times the timer fired.
inline int runFor(speech::agent::DesktopCharacter& character, FakeClock& clock, qint64 ms)
{
    const qint64 end = clock.now + ms;
    int ticks = 0;
    while (const auto next = character.nextDeadline()) {
        if (*next > end)
            break;
        clock.now = std::max(clock.now, *next);
        character.tick();
        ++ticks;
    }
    clock.now = end;
    return ticks;
}

inline const char* kSvgSquare =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\">"
    "<rect x=\"4\" y=\"4\" width=\"24\" height=\"24\" fill=\"#336699\"/></svg>";

// A small, valid character: every animation has fixed, distinct timings.
//   Show 100+100, Hide 100, Wave 50+50+50, Loop 50 looping (exit jumps to its
//   last frame, 60),
//   Speak 200 (speaking, loops), Blink 30, Idle 40, RestPose 10.
inline QByteArray tinyCharacter()
{
    QByteArray text = "VELKOR-ACS 1\nname Tiny\nsize 32 32\n";
    for (const char* id : {"body", "mouth"}) {
        text += QByteArray("image ") + id + "\n" + kSvgSquare + "\nendimage\n";
    }
    for (const char* v : {"rest", "open", "wide", "round", "closed", "teeth", "tongue"})
        text += QByteArray("mouth ") + v + " mouth 0 0\n";
    text +=
        "state Showing Show\nstate Hiding Hide\nstate Speaking Speak\nstate IdlingLevel1 Blink "
        "Idle\n"
        "animation Show\nframe 100\nlayer body 0 0\nframe 100\nlayer body 0 0\nendanimation\n"
        "animation Hide\nframe 100\nendanimation\n"
        "animation Wave\nframe 50\nlayer body 1 0\nframe 50\nlayer body 2 0\n"
        "frame 50\nlayer body 3 0\nendanimation\n"
        "animation Loop\nframe 50 exit 2\nlayer body 1 0\nbranch 0 100\nframe 50\nlayer body 2 0\n"
        "frame 60\nlayer body 3 0\nendanimation\n"
        "animation Speak\nframe 200 mouth 0 0\nlayer body 0 0\nbranch 0 100\nendanimation\n"
        "animation Blink\nframe 30\nlayer body 0 1\nendanimation\n"
        "animation Idle\nframe 40\nlayer body 0 2\nendanimation\n"
        "animation RestPose\nframe 10\nlayer body 0 0\nendanimation\n";
    return text;
}

} // namespace agenttest
