#pragma once

#include "common/speech/agent/agentclock.h"
#include "common/speech/agent/agentrandom.h"
#include "common/speech/agent/animationplayer.h"
#include "common/speech/agent/balloontext.h"
#include "common/speech/agent/characterdata.h"
#include "common/speech/agent/positionstore.h"
#include "common/speech/agentcharacter.h"
#include "common/speech/synthesizer.h"

#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

namespace speech::agent {

class BalloonWidget;
class CharacterWindow;
class FrameRenderer;

// What a character needs from the agent that loaded it. The synthesizer,
// clock and randomness outlive the character.
struct CharacterContext {
    Synthesizer* synthesizer = nullptr;
    AgentClock* clock = nullptr;
    AgentRandom* random = nullptr;
    QString positionFile;
};

// A loaded character on the desktop. Requests run one after another from a
// queue; a Speak may start over the animation of the Play before it when that
// animation draws the mouth. Between requests the character idles. All timing goes through
// tick(), driven by one single-shot timer set to the next deadline.
class DesktopCharacter final : public AgentCharacter
{
    Q_OBJECT

public:
    static constexpr int kBalloonLingerMs = 1500;
    static constexpr int kIdleMinMs = 3000;
    static constexpr int kIdleSpreadMs = 7000;

    DesktopCharacter(CharacterData data, const CharacterContext& context,
                     QObject* parent = nullptr);
    ~DesktopCharacter() override;

    QString name() const override;
    quint64 Show() override;
    quint64 Hide() override;
    quint64 Speak(const QString& text) override;
    quint64 Play(const QString& animation) override;
    quint64 MoveTo(int x, int y) override;
    void Stop() override;
    void setLanguageID(int languageId) override { m_languageId = languageId; }
    int LanguageID() const override { return m_languageId; }
    QStringList AnimationNames() const override;
    bool Visible() const override { return m_visible; }

    // Runs whatever is due at the clock's time and sets the timer again.
    void tick();
    // The earliest moment something is due, or none while nothing is.
    std::optional<qint64> nextDeadline() const;
    // Milliseconds the timer is set to, or -1 while it is stopped.
    int timerInterval() const;

    const AnimationPlayer& player() const { return m_player; }
    const FrameRenderer& renderer() const { return *m_renderer; }
    const CharacterData& data() const { return m_data; }
    CharacterWindow* window() const { return m_window.get(); }
    BalloonWidget* balloon() const { return m_balloon.get(); }
    bool isBalloonShown() const;

private:
    enum class Kind { Show, Hide, Speak, Play, MoveTo };
    struct Request {
        quint64 id = 0;
        Kind kind = Kind::Show;
        QString text;
        QPoint point;
    };

    quint64 enqueue(Request request);
    void advance();
    // The Speak first in the queue may start over the animation playing.
    bool speechCanJoin() const;
    // ... and the gesture of the current Play goes on under it.
    bool speechJoinsGesture() const;
    void endLoopIfOthersWait();
    void begin(const Request& request);
    void completeCurrent();
    void animationEnded();
    int firstStateAnimation(const QString& state, const QString& fallback) const;
    void startAnimation(int animation);
    void startIdle(qint64 now);
    void scheduleIdle(qint64 now);
    void hideWindows();
    void redraw();
    void reschedule();
    void placeBalloon();

    void onWord(quint64 id, int position, int length);
    void onViseme(quint64 id, Viseme viseme);
    void onFinished(quint64 id, bool completed);

    CharacterData m_data;
    CharacterContext m_context;
    AnimationPlayer m_player;
    std::unique_ptr<FrameRenderer> m_renderer;
    std::unique_ptr<CharacterWindow> m_window;
    std::unique_ptr<BalloonWidget> m_balloon;
    PositionStore m_positions;
    BalloonText m_balloonText;
    QTimer m_timer;

    std::deque<Request> m_queue;
    std::optional<Request> m_current;
    bool m_waitingForAnimation = false;
    quint64 m_speakingId = 0;
    bool m_idleAnimating = false;
    int m_idleCount = 0;
    std::optional<qint64> m_idleAt;
    std::optional<qint64> m_balloonHideAt;
    Viseme m_viseme = Viseme::Rest;
    int m_languageId = 1033;
    bool m_visible = false;
    bool m_advancing = false;
};

} // namespace speech::agent
