#include "common/speech/agent/desktopcharacter.h"

#include "common/speech/agent/balloonwidget.h"
#include "common/speech/agent/characterwindow.h"
#include "common/speech/agent/framerenderer.h"

#include <QGuiApplication>
#include <QScreen>

#include <atomic>

namespace speech::agent {

namespace {
// Ids are unique across all characters of the process, so the one
// synthesizer they share can tell their utterances apart.
quint64 nextRequestId()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

// After this many idle animations the character moves to the next, calmer
// idling level (when the file has one).
constexpr int kIdlesPerLevel = 6;
} // namespace

DesktopCharacter::DesktopCharacter(CharacterData data, const CharacterContext& context,
                                   QObject* parent)
    : AgentCharacter(parent), m_data(std::move(data)), m_context(context),
      m_player(m_data, *context.random), m_renderer(std::make_unique<FrameRenderer>(m_data)),
      m_window(std::make_unique<CharacterWindow>()), m_balloon(std::make_unique<BalloonWidget>()),
      m_positions(context.positionFile)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DesktopCharacter::tick);
    connect(m_window.get(), &CharacterWindow::dragged, this, [this](QPoint topLeft) {
        m_positions.setPosition(m_data.name, topLeft);
        placeBalloon();
    });
    Synthesizer* synth = m_context.synthesizer;
    connect(synth, &Synthesizer::wordReached, this, &DesktopCharacter::onWord);
    connect(synth, &Synthesizer::visemeReached, this, &DesktopCharacter::onViseme);
    connect(synth, &Synthesizer::utteranceFinished, this, &DesktopCharacter::onFinished);

    m_window->setWindowTitle(m_data.name);
    const int rest = firstStateAnimation(QStringLiteral("Rest"), QStringLiteral("RestPose"));
    if (rest >= 0) {
        // Show the rest pose's first frame without playing anything.
        m_player.start(rest, m_context.clock->nowMs());
        m_player.halt();
    }
    redraw();

    QPoint topLeft;
    const auto stored = m_positions.position(m_data.name);
    // A place remembered on a screen that is no longer there is not used.
    const bool onScreen =
        stored &&
        QGuiApplication::screenAt(QRect(*stored, QSize(m_data.width, m_data.height)).center());
    if (onScreen) {
        topLeft = *stored;
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        topLeft = area.bottomRight() - QPoint(m_data.width + 40, m_data.height + 60);
    }
    m_window->placeAt(topLeft);
}

DesktopCharacter::~DesktopCharacter()
{
    if (m_speakingId != 0)
        m_context.synthesizer->stop();
}

QString DesktopCharacter::name() const
{
    return m_data.name;
}

QStringList DesktopCharacter::AnimationNames() const
{
    QStringList names;
    for (const Animation& a : m_data.animations)
        names.append(a.name);
    return names;
}

quint64 DesktopCharacter::Show()
{
    return enqueue({nextRequestId(), Kind::Show, {}, {}});
}

quint64 DesktopCharacter::Hide()
{
    return enqueue({nextRequestId(), Kind::Hide, {}, {}});
}

quint64 DesktopCharacter::Speak(const QString& text)
{
    return enqueue({nextRequestId(), Kind::Speak, text, {}});
}

quint64 DesktopCharacter::Play(const QString& animation)
{
    return enqueue({nextRequestId(), Kind::Play, animation, {}});
}

quint64 DesktopCharacter::MoveTo(int x, int y)
{
    return enqueue({nextRequestId(), Kind::MoveTo, {}, QPoint(x, y)});
}

quint64 DesktopCharacter::enqueue(Request request)
{
    const quint64 id = request.id;
    // A looping animation would hold a hide back for ever; it ends along its
    // exit jumps instead.
    if (request.kind == Kind::Hide && m_current && m_current->kind == Kind::Play)
        m_player.requestExit(m_context.clock->nowMs());
    m_queue.push_back(std::move(request));
    advance();
    return id;
}

void DesktopCharacter::Stop()
{
    std::deque<Request> dropped;
    dropped.swap(m_queue);
    if (m_current) {
        const Request current = *m_current;
        m_current.reset();
        m_waitingForAnimation = false;
        if (current.kind == Kind::Speak) {
            m_speakingId = 0;
            m_context.synthesizer->stop();
            m_viseme = Viseme::Rest;
            m_balloon->hide();
            m_balloonHideAt.reset();
        } else if (current.kind == Kind::Hide) {
            // A hide cut short still hides: the caller wanted it gone.
            hideWindows();
        }
        dropped.push_front(current);
    }
    // Whatever is playing ends along its exit jumps rather than freezing.
    m_player.requestExit(m_context.clock->nowMs());
    redraw();
    for (const Request& r : dropped)
        emit requestComplete(r.id);
    reschedule();
}

void DesktopCharacter::advance()
{
    if (m_advancing)
        return;
    m_advancing = true;
    while (!m_queue.empty()) {
        if (m_current) {
            if (!speechJoinsGesture())
                break;
            // The gesture plays on under the speech: its Play is done.
            const quint64 id = m_current->id;
            m_current.reset();
            m_waitingForAnimation = false;
            emit requestComplete(id);
            continue;
        }
        if (m_player.isPlaying() && !speechCanJoin()) {
            // Let an idle animation or a gesture finish along its exit jumps first.
            m_player.requestExit(m_context.clock->nowMs());
            break;
        }
        m_current = m_queue.front();
        m_queue.pop_front();
        m_idleAt.reset();
        begin(*m_current);
    }
    m_advancing = false;
    endLoopIfOthersWait();
    if (!m_current && m_queue.empty() && !m_player.isPlaying())
        scheduleIdle(m_context.clock->nowMs());
    reschedule();
}

bool DesktopCharacter::speechCanJoin() const
{
    // Speech starts over whatever animation draws a mouth: the speaking
    // animation, so text read sentence by sentence flows on, or a gesture
    // such as reading from a book, so the gesture is seen while the speech
    // is already heard. Idle animations give way instead.
    return m_queue.front().kind == Kind::Speak && !m_idleAnimating && m_player.isPlaying() &&
           m_data.animations[m_player.animation()].hasMouth();
}

bool DesktopCharacter::speechJoinsGesture() const
{
    return m_current->kind == Kind::Play && m_waitingForAnimation && speechCanJoin();
}

void DesktopCharacter::endLoopIfOthersWait()
{
    // A request waiting for an animation that may loop for ever would hold
    // every later one back, speech included; it ends along its exit jumps as
    // soon as anything queues behind it.
    if (m_current && m_waitingForAnimation && !m_queue.empty() && m_player.isPlaying() &&
        m_data.animations[m_player.animation()].canLoop())
        m_player.requestExit(m_context.clock->nowMs());
}

void DesktopCharacter::begin(const Request& request)
{
    switch (request.kind) {
    case Kind::Show: {
        if (m_visible) {
            completeCurrent();
            return;
        }
        m_visible = true;
        m_idleCount = 0;
        m_window->show();
        const int show = firstStateAnimation(QStringLiteral("Showing"), QStringLiteral("Show"));
        if (show < 0) {
            completeCurrent();
            return;
        }
        startAnimation(show);
        m_waitingForAnimation = true;
        return;
    }
    case Kind::Hide: {
        if (!m_visible) {
            completeCurrent();
            return;
        }
        const int hide = firstStateAnimation(QStringLiteral("Hiding"), QStringLiteral("Hide"));
        if (hide < 0) {
            hideWindows();
            completeCurrent();
            return;
        }
        m_balloon->hide();
        m_balloonHideAt.reset();
        startAnimation(hide);
        m_waitingForAnimation = true;
        return;
    }
    case Kind::Play: {
        const int animation = m_data.findAnimation(request.text);
        if (animation < 0 || !m_visible) {
            completeCurrent();
            return;
        }
        startAnimation(animation);
        m_waitingForAnimation = true;
        return;
    }
    case Kind::Speak: {
        m_speakingId = request.id;
        m_balloonText.start(request.text);
        m_balloonHideAt.reset();
        m_viseme = Viseme::Rest;
        if (m_visible) {
            m_balloon->setTexts(m_balloonText.shownText(), m_balloonText.fullText());
            placeBalloon();
            if (!m_balloonText.fullText().trimmed().isEmpty())
                m_balloon->show();
            // A gesture or speaking animation that speech joined plays on.
            const bool joined = m_player.isPlaying() && !m_player.isExiting() && !m_idleAnimating &&
                                m_data.animations[m_player.animation()].hasMouth();
            const int speak =
                firstStateAnimation(QStringLiteral("Speaking"), QStringLiteral("Speak"));
            if (!joined && speak >= 0)
                startAnimation(speak);
        }
        m_context.synthesizer->speak(request.id, request.text, m_languageId);
        return;
    }
    case Kind::MoveTo:
        m_window->placeAt(request.point);
        placeBalloon();
        completeCurrent();
        return;
    }
}

void DesktopCharacter::completeCurrent()
{
    if (!m_current)
        return;
    const quint64 id = m_current->id;
    m_current.reset();
    m_waitingForAnimation = false;
    emit requestComplete(id);
    advance();
}

void DesktopCharacter::tick()
{
    const qint64 now = m_context.clock->nowMs();
    const bool wasPlaying = m_player.isPlaying();
    if (m_player.tick(now))
        redraw();
    if (wasPlaying && !m_player.isPlaying())
        animationEnded();
    if (m_balloonHideAt && now >= *m_balloonHideAt) {
        m_balloonHideAt.reset();
        m_balloon->hide();
    }
    if (m_idleAt && now >= *m_idleAt) {
        m_idleAt.reset();
        startIdle(now);
    }
    reschedule();
}

void DesktopCharacter::animationEnded()
{
    if (m_current && m_current->kind == Kind::Speak && m_speakingId != 0) {
        // Keep talking for as long as the speech lasts.
        const int speak = firstStateAnimation(QStringLiteral("Speaking"), QStringLiteral("Speak"));
        if (speak >= 0)
            startAnimation(speak);
        return;
    }
    m_idleAnimating = false;
    if (m_current && m_waitingForAnimation) {
        if (m_current->kind == Kind::Hide)
            hideWindows();
        completeCurrent();
        return;
    }
    advance();
}

int DesktopCharacter::firstStateAnimation(const QString& state, const QString& fallback) const
{
    const QList<int> listed = m_data.stateAnimations(state);
    if (!listed.isEmpty())
        return listed.first();
    return m_data.findAnimation(fallback);
}

void DesktopCharacter::startAnimation(int animation)
{
    m_player.start(animation, m_context.clock->nowMs());
    redraw();
}

void DesktopCharacter::scheduleIdle(qint64 now)
{
    if (!m_visible || m_idleAt)
        return;
    m_idleAt = now + kIdleMinMs + m_context.random->bounded(kIdleSpreadMs);
}

void DesktopCharacter::startIdle(qint64 now)
{
    if (!m_visible || m_current || !m_queue.empty() || m_player.isPlaying())
        return;
    QList<int> choices;
    for (int level = std::min(3, 1 + m_idleCount / kIdlesPerLevel); level >= 1 && choices.isEmpty();
         --level)
        choices = m_data.stateAnimations(QStringLiteral("IdlingLevel%1").arg(level));
    if (choices.isEmpty()) {
        for (const char* name : {"Idle", "Blink"}) {
            const int index = m_data.findAnimation(QLatin1String(name));
            if (index >= 0)
                choices.append(index);
        }
    }
    if (choices.isEmpty())
        return;
    ++m_idleCount;
    m_idleAnimating = true;
    m_player.start(choices[m_context.random->bounded(static_cast<int>(choices.size()))], now);
    redraw();
}

void DesktopCharacter::hideWindows()
{
    m_visible = false;
    m_idleAt.reset();
    m_balloonHideAt.reset();
    m_balloon->hide();
    m_window->hide();
}

void DesktopCharacter::redraw()
{
    const RenderedFrame frame = m_renderer->render(m_player.currentFrame(), m_viseme);
    m_window->setFrame(frame.image, frame.shape);
}

std::optional<qint64> DesktopCharacter::nextDeadline() const
{
    std::optional<qint64> next = m_player.nextDeadline();
    for (const auto& candidate : {m_idleAt, m_balloonHideAt}) {
        if (candidate && (!next || *candidate < *next))
            next = candidate;
    }
    return next;
}

int DesktopCharacter::timerInterval() const
{
    return m_timer.isActive() ? m_timer.interval() : -1;
}

bool DesktopCharacter::isBalloonShown() const
{
    return m_balloon->isVisible();
}

void DesktopCharacter::reschedule()
{
    const std::optional<qint64> next = nextDeadline();
    if (!next) {
        m_timer.stop();
        return;
    }
    const qint64 wait = std::clamp<qint64>(*next - m_context.clock->nowMs(), 0, 24 * 3600 * 1000);
    m_timer.start(static_cast<int>(wait));
}

void DesktopCharacter::placeBalloon()
{
    m_balloon->placeBeside(m_window->geometry());
}

void DesktopCharacter::onWord(quint64 id, int position, int length)
{
    if (id == 0 || id != m_speakingId)
        return;
    m_balloonText.wordReached(position, length);
    m_balloon->setTexts(m_balloonText.shownText(), m_balloonText.fullText());
    emit wordSpoken(id, position, length);
}

void DesktopCharacter::onViseme(quint64 id, Viseme viseme)
{
    if (id == 0 || id != m_speakingId || viseme == m_viseme)
        return;
    m_viseme = viseme;
    const Frame* frame = m_player.currentFrame();
    if (frame && frame->speaking)
        redraw();
}

void DesktopCharacter::onFinished(quint64 id, bool)
{
    if (id == 0 || id != m_speakingId)
        return;
    m_speakingId = 0;
    m_viseme = Viseme::Rest;
    m_balloonText.revealAll();
    m_balloon->setTexts(m_balloonText.shownText(), m_balloonText.fullText());
    if (m_balloon->isVisible())
        m_balloonHideAt = m_context.clock->nowMs() + kBalloonLingerMs;
    // With more to say the animation goes on under the next sentence.
    if (m_queue.empty() || m_queue.front().kind != Kind::Speak)
        m_player.requestExit(m_context.clock->nowMs());
    redraw();
    completeCurrent();
}

} // namespace speech::agent
