#include "agenttestsupport.h"

#include "common/speech/agent/balloonwidget.h"
#include "common/speech/agent/characterloader.h"
#include "common/speech/agent/characterwindow.h"
#include "common/speech/agent/desktopcharacter.h"
#include "tests/support/testenvironment.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using speech::agent::CharacterLoader;
using speech::agent::DesktopCharacter;

class TestDesktopCharacter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void requestsRunInOrder();
    void stopDropsQueueAndCutsSpeech();
    void stopEndsLoopingAnimationByExitJumps();
    void hideEndsLoopingAnimation();
    void playMatchesNamesWithoutCaseAndSkipsUnknown();
    void balloonRevealsSpokenWords();
    void idlesAtRandomPausesWithOneTimer();

private:
    // Runs every deadline up to ms from now, as the timer would.
    void runFor(qint64 ms);
    QList<quint64> completed() const;
    int animationNamed(const char* name) const;

    agenttest::FakeClock m_clock;
    agenttest::FakeRandom m_random;
    agenttest::FakeSynthesizer m_synth;
    std::unique_ptr<DesktopCharacter> m_character;
    std::unique_ptr<QSignalSpy> m_done;
};

void TestDesktopCharacter::init()
{
    testsupport::TestEnvironment::instance().reset();
    m_clock.now = 1000;
    m_random = {};
    m_synth.calls.clear();
    m_synth.stops = 0;
    auto loaded = CharacterLoader::fromBytes(agenttest::tinyCharacter());
    QVERIFY(loaded.character);
    speech::agent::CharacterContext context{&m_synth, &m_clock, &m_random,
                                            testsupport::TestEnvironment::instance().configHome() +
                                                "/pos.ini"};
    m_character = std::make_unique<DesktopCharacter>(std::move(*loaded.character), context);
    m_done = std::make_unique<QSignalSpy>(m_character.get(), &DesktopCharacter::requestComplete);
}

void TestDesktopCharacter::cleanup()
{
    m_done.reset();
    m_character.reset();
}

void TestDesktopCharacter::runFor(qint64 ms)
{
    const qint64 end = m_clock.now + ms;
    while (const auto next = m_character->nextDeadline()) {
        if (*next > end)
            break;
        m_clock.now = std::max(m_clock.now, *next);
        m_character->tick();
    }
    m_clock.now = end;
}

QList<quint64> TestDesktopCharacter::completed() const
{
    QList<quint64> ids;
    for (const QList<QVariant>& args : *m_done)
        ids.append(args.at(0).toULongLong());
    return ids;
}

int TestDesktopCharacter::animationNamed(const char* name) const
{
    return m_character->data().findAnimation(QLatin1String(name));
}

void TestDesktopCharacter::requestsRunInOrder()
{
    m_character->setLanguageID(1049);
    const quint64 show = m_character->Show();
    const quint64 wave = m_character->Play(QStringLiteral("Wave"));
    const quint64 speak = m_character->Speak(QStringLiteral("Hello"));
    const quint64 move = m_character->MoveTo(10, 20);
    const quint64 hide = m_character->Hide();
    QVERIFY(m_character->Visible());
    QVERIFY(m_character->window()->isVisible());
    QVERIFY(completed().isEmpty());

    runFor(199);
    QVERIFY(completed().isEmpty());
    runFor(1);
    QCOMPARE(completed(), QList<quint64>({show}));
    QCOMPARE(m_character->player().animation(), animationNamed("Wave"));
    QVERIFY(m_synth.calls.isEmpty()); // speech waits for the wave

    runFor(150);
    QCOMPARE(completed(), QList<quint64>({show, wave}));
    QCOMPARE(m_synth.calls.size(), 1);
    QCOMPARE(m_synth.calls[0].id, speak);
    QCOMPARE(m_synth.calls[0].text, QStringLiteral("Hello"));
    QCOMPARE(m_synth.calls[0].languageId, 1049);
    runFor(5000); // nothing but speech can end a Speak
    QCOMPARE(completed().size(), 2);
    QVERIFY(m_character->window()->pos() != QPoint(10, 20));

    m_synth.finish(speak);
    QCOMPARE(completed(), QList<quint64>({show, wave, speak}));
    runFor(1000);
    QCOMPARE(completed(), QList<quint64>({show, wave, speak, move, hide}));
    QCOMPARE(m_character->window()->pos(), QPoint(10, 20));
    QVERIFY(!m_character->Visible());
    QVERIFY(!m_character->window()->isVisible());
    // Hidden and idle: nothing left to wake up for.
    QVERIFY(!m_character->nextDeadline());
    QCOMPARE(m_character->timerInterval(), -1);
}

void TestDesktopCharacter::stopDropsQueueAndCutsSpeech()
{
    m_character->Show();
    runFor(500);
    m_done->clear();
    const quint64 speak = m_character->Speak(QStringLiteral("One two"));
    const quint64 wave = m_character->Play(QStringLiteral("Wave"));
    const quint64 move = m_character->MoveTo(5, 5);
    QCOMPARE(m_synth.calls.size(), 1);
    QVERIFY(m_character->isBalloonShown());

    m_character->Stop();
    QCOMPARE(m_synth.stops, 1);
    QCOMPARE(completed(), QList<quint64>({speak, wave, move}));
    QVERIFY(!m_character->isBalloonShown());

    // The synthesizer's late report of the cut utterance is not a second completion.
    m_synth.finish(speak, false);
    runFor(5000);
    QCOMPARE(completed(), QList<quint64>({speak, wave, move}));
    QVERIFY(m_character->window()->pos() != QPoint(5, 5));
    QVERIFY(m_character->player().animation() != animationNamed("Wave"));

    // The queue works again afterwards.
    const quint64 again = m_character->Play(QStringLiteral("wave"));
    runFor(4000);
    QCOMPARE(completed().last(), again);
}

void TestDesktopCharacter::stopEndsLoopingAnimationByExitJumps()
{
    m_character->Show();
    runFor(500);
    const quint64 loop = m_character->Play(QStringLiteral("Loop"));
    runFor(1000);
    QCOMPARE(m_character->player().animation(), animationNamed("Loop"));
    QCOMPARE(m_character->player().frame(), 0);
    QVERIFY(!completed().contains(loop));
    m_character->Stop();
    QVERIFY(completed().contains(loop));
    QVERIFY(m_character->player().isExiting());
    runFor(50);
    QCOMPARE(m_character->player().frame(), 2);
    runFor(60);
    QVERIFY(!m_character->player().isPlaying());
}

void TestDesktopCharacter::hideEndsLoopingAnimation()
{
    m_character->Show();
    runFor(500);
    const quint64 loop = m_character->Play(QStringLiteral("Loop"));
    runFor(1000);
    const quint64 hide = m_character->Hide();
    runFor(1000);
    QCOMPARE(completed().mid(1), QList<quint64>({loop, hide}));
    QVERIFY(!m_character->Visible());
}

void TestDesktopCharacter::playMatchesNamesWithoutCaseAndSkipsUnknown()
{
    QVERIFY(m_character->AnimationNames().contains(QStringLiteral("Wave")));
    m_character->Show();
    runFor(500);
    m_done->clear();
    const quint64 wave = m_character->Play(QStringLiteral("wAVE"));
    const quint64 unknown = m_character->Play(QStringLiteral("Juggle"));
    const quint64 blink = m_character->Play(QStringLiteral("BLINK"));
    QCOMPARE(m_character->player().animation(), animationNamed("Wave"));
    runFor(150);
    // The unknown one completes as soon as its turn comes, and Blink runs.
    QCOMPARE(completed(), QList<quint64>({wave, unknown}));
    QCOMPARE(m_character->player().animation(), animationNamed("Blink"));
    runFor(30);
    QCOMPARE(completed(), QList<quint64>({wave, unknown, blink}));
}

void TestDesktopCharacter::balloonRevealsSpokenWords()
{
    m_character->Show();
    runFor(500);
    const quint64 speak =
        m_character->Speak(QStringLiteral("\\Spd=150\\Hello big \\Pau=10\\world"));
    auto* balloon = m_character->balloon();
    QVERIFY(m_character->isBalloonShown());
    QCOMPARE(balloon->shownText(), QString());
    QCOMPARE(m_character->player().animation(), animationNamed("Speak"));

    m_synth.word(speak, 0, 5);
    QCOMPARE(balloon->shownText(), QStringLiteral("Hello"));
    m_synth.word(speak + 1000, 6, 3); // someone else's utterance
    QCOMPARE(balloon->shownText(), QStringLiteral("Hello"));
    m_synth.word(speak, 6, 3);
    QCOMPARE(balloon->shownText(), QStringLiteral("Hello big"));
    m_synth.word(speak, 0, 5); // a late repeat never hides words again
    QCOMPARE(balloon->shownText(), QStringLiteral("Hello big"));
    m_synth.viseme(speak, speech::Viseme::Open);
    runFor(1000); // the speaking animation keeps going while speech lasts
    QCOMPARE(m_character->player().animation(), animationNamed("Speak"));
    QVERIFY(m_character->player().isPlaying());

    m_synth.finish(speak);
    QVERIFY(!balloon->shownText().contains(u'\\'));
    QVERIFY(balloon->shownText().endsWith(QStringLiteral("world")));
    QVERIFY(m_character->isBalloonShown());
    runFor(DesktopCharacter::kBalloonLingerMs - 1);
    QVERIFY(m_character->isBalloonShown());
    runFor(1);
    QVERIFY(!m_character->isBalloonShown());
}

void TestDesktopCharacter::idlesAtRandomPausesWithOneTimer()
{
    m_random.values = {1234, 1};
    m_character->Show();
    runFor(200);
    QVERIFY(!m_character->player().isPlaying());
    // Shown and waiting: one deadline, the idle pause, and the timer set to it.
    const qint64 idleAt = m_clock.now + DesktopCharacter::kIdleMinMs + 1234;
    QCOMPARE(*m_character->nextDeadline(), idleAt);
    QCOMPARE(m_character->timerInterval(), DesktopCharacter::kIdleMinMs + 1234);

    m_clock.now = idleAt - 1;
    m_character->tick();
    QVERIFY(!m_character->player().isPlaying());
    m_clock.now = idleAt;
    m_character->tick();
    QVERIFY(m_character->player().isPlaying());
    QCOMPARE(m_character->player().animation(), animationNamed("Idle")); // second of IdlingLevel1

    // After the idle animation the next pause is drawn.
    runFor(40);
    QVERIFY(!m_character->player().isPlaying());
    QCOMPARE(*m_character->nextDeadline(), m_clock.now + DesktopCharacter::kIdleMinMs);

    // A request arriving mid-idle waits for the idle animation to end.
    m_clock.now = *m_character->nextDeadline();
    m_character->tick();
    QCOMPARE(m_character->player().animation(), animationNamed("Blink"));
    m_done->clear();
    const quint64 wave = m_character->Play(QStringLiteral("Wave"));
    QCOMPARE(m_character->player().animation(), animationNamed("Blink"));
    runFor(30 + 150);
    QCOMPARE(completed(), QList<quint64>({wave}));

    m_character->Hide();
    runFor(100);
    QVERIFY(!m_character->nextDeadline());
}

QTEST_MAIN(TestDesktopCharacter)
#include "tst_desktopcharacter.moc"
