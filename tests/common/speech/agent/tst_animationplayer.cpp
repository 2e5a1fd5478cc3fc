#include "agenttestsupport.h"

#include "common/speech/agent/animationplayer.h"
#include "common/speech/agent/characterloader.h"

#include <QRandomGenerator>
#include <QtTest>

using speech::agent::AnimationPlayer;
using speech::agent::CharacterData;
using speech::agent::CharacterLoader;
using speech::agent::Frame;

class TestAnimationPlayer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void framesFollowTheirDurations();
    void branchesFollowTheRandomRoll();
    void exitTakesExitJumpsAndIgnoresBranches();
    void exitPathsPassFramesWithExitJumps();
    void longStallDoesNotSpin();
    void framesShorterThanTenMsLastTenMs();

private:
    CharacterData m_character;
    agenttest::FakeRandom m_random;
};

namespace {
CharacterData parse(const QByteArray& text)
{
    auto result = CharacterLoader::fromBytes(text);
    if (!result.character)
        qFatal("fixture refused: %s", qPrintable(result.error));
    return *result.character;
}

// A character with one animation "A" of 1 to maxFrames frames lasting
// shortestMs and up to spreadMs more, half of them with a random (perhaps
// looping) branch; with exits, two in three also jump forward on exit.
QByteArray randomAnimation(QRandomGenerator& rng, int maxFrames, int shortestMs, int spreadMs,
                           bool exits)
{
    QByteArray text = "VELKOR-ACS 1\nname R\nsize 16 16\nanimation A\n";
    const int frames = 1 + rng.bounded(maxFrames);
    for (int f = 0; f < frames; ++f) {
        text += "frame " + QByteArray::number(shortestMs + rng.bounded(spreadMs));
        if (exits && rng.bounded(3) != 0)
            text += " exit " + QByteArray::number(f + 1 + rng.bounded(frames - f));
        text += "\n";
        if (rng.bounded(2))
            text += "branch " + QByteArray::number(rng.bounded(frames)) + " " +
                    QByteArray::number(1 + rng.bounded(100)) + "\n";
    }
    return text + "endanimation\n";
}
} // namespace

void TestAnimationPlayer::init()
{
    m_character = parse(agenttest::tinyCharacter());
    m_random = {};
}

void TestAnimationPlayer::framesFollowTheirDurations()
{
    AnimationPlayer player(m_character, m_random);
    QVERIFY(!player.currentFrame());
    QVERIFY(!player.nextDeadline());
    player.start(m_character.findAnimation(QStringLiteral("Wave")), 1000);
    QCOMPARE(player.frame(), 0);
    QCOMPARE(*player.nextDeadline(), 1050);
    QVERIFY(!player.tick(1049));
    QCOMPARE(player.frame(), 0);
    QVERIFY(player.tick(1050));
    QCOMPARE(player.frame(), 1);
    QCOMPARE(*player.nextDeadline(), 1100);
    // A late tick catches up several frames at once, keeping the schedule.
    QVERIFY(player.tick(1149));
    QCOMPARE(player.frame(), 2);
    QCOMPARE(*player.nextDeadline(), 1150);
    QVERIFY(player.tick(1150));
    QVERIFY(!player.isPlaying());
    QVERIFY(!player.nextDeadline());
    // The last frame stays shown.
    QCOMPARE(player.frame(), 2);
    QCOMPARE(player.currentFrame()->layers[0].x, 3);
}

void TestAnimationPlayer::branchesFollowTheRandomRoll()
{
    // Frame 0 branches to 1 (30 %) or 2 (50 %); otherwise it goes on to 1.
    const CharacterData c = parse(
        "VELKOR-ACS 1\nname B\nsize 16 16\n"
        "animation A\nframe 10\nbranch 2 30\nbranch 0 50\nframe 10\nframe 10\nendanimation\n");
    agenttest::FakeRandom random;
    random.values = {29, 30, 79, 80};
    AnimationPlayer player(c, random);
    player.start(0, 0);
    player.tick(10); // roll 29: first branch
    QCOMPARE(player.frame(), 2);
    player.start(0, 100);
    player.tick(110); // roll 30: second branch, back to frame 0
    QCOMPARE(player.frame(), 0);
    QVERIFY(player.isPlaying());
    player.tick(120); // roll 79: still the second branch
    QCOMPARE(player.frame(), 0);
    player.tick(130); // roll 80: no branch, next frame
    QCOMPARE(player.frame(), 1);
    QVERIFY(random.values.isEmpty());
}

void TestAnimationPlayer::exitTakesExitJumpsAndIgnoresBranches()
{
    AnimationPlayer player(m_character, m_random);
    const int loop = m_character.findAnimation(QStringLiteral("Loop"));
    player.start(loop, 0);
    // Frame 0 branches to itself every time: it would never end on its own.
    for (qint64 t = 50; t <= 500; t += 50) {
        player.tick(t);
        QCOMPARE(player.frame(), 0);
    }
    // Mid-frame: frame 0 has an exit jump, so it is left at once.
    player.requestExit(525);
    QVERIFY(player.isExiting());
    QCOMPARE(*player.nextDeadline(), 525);
    QVERIFY(player.tick(525));
    QCOMPARE(player.frame(), 2); // the exit jump skips frame 1
    QCOMPARE(*player.nextDeadline(), 585);
    player.requestExit(530); // asked again: nothing changes
    QCOMPARE(*player.nextDeadline(), 585);
    player.tick(585);
    QVERIFY(!player.isPlaying());
    QVERIFY(!player.isExiting());
    // Asking an ended animation to exit changes nothing.
    player.requestExit(600);
    QVERIFY(!player.isExiting());
}

void TestAnimationPlayer::exitPathsPassFramesWithExitJumps()
{
    // Random animations, random exit jumps (forward only, so no exit path
    // loops) and random moments to end them: once asked to end, a frame
    // with an exit jump is never shown for any time, a frame without one
    // lasts its duration, and the animation ends after exactly the time of
    // the frames without exit jumps on its path.
    QRandomGenerator rng(29);
    for (int round = 0; round < 200; ++round) {
        const QByteArray text = randomAnimation(rng, 8, 10, 200, true);
        const CharacterData c = parse(text);
        const auto& shown = c.animations[0].frames;
        const int frames = int(shown.size());
        agenttest::FakeRandom random;
        random.fallback = rng.bounded(100);
        AnimationPlayer player(c, random);
        player.start(0, 0);
        qint64 now = 0;
        const qint64 exitAt = rng.bounded(1000);
        for (; now < exitAt && player.isPlaying(); ++now)
            player.tick(now);
        if (!player.isPlaying())
            continue;
        player.requestExit(now);
        // Where it must go, and for how long, from here.
        const Frame& from = shown[player.frame()];
        qint64 expectedEnd = from.exitTarget >= 0 ? now : *player.nextDeadline();
        for (int f = from.exitTarget >= 0 ? from.exitTarget : player.frame() + 1; f < frames;
             f = shown[f].exitTarget >= 0 ? shown[f].exitTarget : f + 1) {
            if (shown[f].exitTarget < 0)
                expectedEnd += shown[f].durationMs;
        }
        for (; player.isPlaying() && now <= expectedEnd + 1000; ++now) {
            player.tick(now);
            if (player.isPlaying())
                QVERIFY2(shown[player.frame()].exitTarget < 0, text.constData());
        }
        QCOMPARE(now - 1, expectedEnd);
    }
}

void TestAnimationPlayer::longStallDoesNotSpin()
{
    AnimationPlayer player(m_character, m_random);
    player.start(m_character.findAnimation(QStringLiteral("Loop")), 0);
    QElapsedTimer timer;
    timer.start();
    player.tick(std::numeric_limits<qint64>::max() / 2);
    QVERIFY(player.isPlaying());
    QVERIFY(timer.elapsed() < 1000);
    // The schedule restarts from the stall instead of chasing the past.
    QCOMPARE(*player.nextDeadline(), std::numeric_limits<qint64>::max() / 2 + 50);
}

void TestAnimationPlayer::framesShorterThanTenMsLastTenMs()
{
    // Random animations with durations around the floor and random (looping)
    // branches, ticked every millisecond: each frame shown lasts exactly its
    // duration, or 10 ms when it asks for less.
    QRandomGenerator rng(17);
    for (int round = 0; round < 50; ++round) {
        const CharacterData c = parse(randomAnimation(rng, 6, 1, 20, false));
        const auto& shown = c.animations[0].frames;
        agenttest::FakeRandom random;
        random.fallback = rng.bounded(100);
        AnimationPlayer player(c, random);
        player.start(0, 0);
        qint64 deadline = *player.nextDeadline();
        QCOMPARE(deadline, std::max(shown[0].durationMs, AnimationPlayer::kMinFrameMs));
        int steps = 0;
        for (qint64 now = 1; now <= 1000 && player.isPlaying(); ++now) {
            player.tick(now);
            if (!player.isPlaying() || *player.nextDeadline() == deadline)
                continue;
            ++steps;
            QCOMPARE(*player.nextDeadline() - deadline,
                     std::max(shown[player.frame()].durationMs, AnimationPlayer::kMinFrameMs));
            deadline = *player.nextDeadline();
        }
        QVERIFY(steps <= 1000 / AnimationPlayer::kMinFrameMs);
    }
}

QTEST_MAIN(TestAnimationPlayer)
#include "tst_animationplayer.moc"
