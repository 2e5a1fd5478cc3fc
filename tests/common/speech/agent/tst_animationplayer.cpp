#include "agenttestsupport.h"

#include "common/speech/agent/animationplayer.h"
#include "common/speech/agent/characterloader.h"

#include <QRandomGenerator>
#include <QtTest>

using speech::agent::AnimationPlayer;
using speech::agent::CharacterData;
using speech::agent::CharacterLoader;

class TestAnimationPlayer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void framesFollowTheirDurations();
    void branchesFollowTheRandomRoll();
    void exitTakesExitJumpsAndIgnoresBranches();
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
    player.requestExit();
    QVERIFY(player.isExiting());
    QCOMPARE(*player.nextDeadline(), 550);
    player.tick(550);
    QCOMPARE(player.frame(), 2); // the exit jump skips frame 1
    QCOMPARE(*player.nextDeadline(), 610);
    player.tick(610);
    QVERIFY(!player.isPlaying());
    QVERIFY(!player.isExiting());
    // Asking an ended animation to exit changes nothing.
    player.requestExit();
    QVERIFY(!player.isExiting());
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
        QByteArray text = "VELKOR-ACS 1\nname R\nsize 16 16\nanimation A\n";
        const int frames = 1 + rng.bounded(6);
        for (int f = 0; f < frames; ++f) {
            text += "frame " + QByteArray::number(1 + rng.bounded(20)) + "\n";
            if (rng.bounded(2))
                text += "branch " + QByteArray::number(rng.bounded(frames)) + " " +
                        QByteArray::number(1 + rng.bounded(100)) + "\n";
        }
        const CharacterData c = parse(text + "endanimation\n");
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
