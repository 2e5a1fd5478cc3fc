#include "agenttestsupport.h"

#include "common/speech/agent/balloonwidget.h"
#include "common/speech/agent/characterloader.h"
#include "common/speech/agent/characterwindow.h"
#include "common/speech/agent/desktopcharacter.h"
#include "common/speech/agent/framerenderer.h"
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
    void loopingPlayGivesWayToWaitingRequests();
    void fastLoopDrawsEachFrameOnce();
    void speechStartsOverAGestureThatDrawsTheMouth();

private:
    void load(const QByteArray& text);
    // Runs every deadline up to ms from now, as the timer would; returns how
    // many times the timer fired.
    int runFor(qint64 ms);
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
    load(agenttest::tinyCharacter());
}

void TestDesktopCharacter::load(const QByteArray& text)
{
    auto loaded = CharacterLoader::fromBytes(text);
    QVERIFY2(loaded.character, qPrintable(loaded.error));
    speech::agent::CharacterContext context{&m_synth, &m_clock, &m_random,
                                            testsupport::TestEnvironment::instance().configHome() +
                                                "/pos.ini"};
    m_done.reset();
    m_character = std::make_unique<DesktopCharacter>(std::move(*loaded.character), context);
    m_done = std::make_unique<QSignalSpy>(m_character.get(), &DesktopCharacter::requestComplete);
}

void TestDesktopCharacter::cleanup()
{
    m_done.reset();
    m_character.reset();
}

int TestDesktopCharacter::runFor(qint64 ms)
{
    return agenttest::runFor(*m_character, m_clock, ms);
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
    runFor(20); // mid-frame
    m_character->Stop();
    QVERIFY(completed().contains(loop));
    QVERIFY(m_character->player().isExiting());
    // Frame 0 has an exit jump: it is left at once, not at its end.
    runFor(0);
    QCOMPARE(m_character->player().frame(), 2);
    runFor(59);
    QVERIFY(m_character->player().isPlaying());
    runFor(1);
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

    // Stress marks count in the word positions but are not drawn.
    const quint64 marked = m_character->Speak(QStringLiteral("Приве\u0301т, мир"));
    m_synth.word(marked, 0, 7);
    QCOMPARE(balloon->shownText(), QStringLiteral("Привет"));
    m_synth.word(marked, 9, 3);
    QCOMPARE(balloon->shownText(), QStringLiteral("Привет, мир"));
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

void TestDesktopCharacter::loopingPlayGivesWayToWaitingRequests()
{
    // Wave loops back to its first frame for ever; Nod does not loop but has
    // an exit jump past its middle frame.
    load(agenttest::tinyCharacter().replace("frame 50\nlayer body 3 0\n",
                                            "frame 50\nlayer body 3 0\nbranch 0 100\n") +
         "animation Nod\nframe 50 exit 2\nframe 50\nframe 50\nendanimation\n");
    QVERIFY(m_character->data().animations[animationNamed("Wave")].canLoop());
    const quint64 show = m_character->Show();
    const quint64 wave = m_character->Play(QStringLiteral("Wave"));
    const quint64 hello = m_character->Speak(QStringLiteral("Hello"));
    // Queued behind the Show, the Wave gives way once it starts: one pass of
    // its exit path (150 ms), then the sentence is heard and shown.
    runFor(200 + 149);
    QCOMPARE(completed(), QList<quint64>({show}));
    QVERIFY(m_synth.calls.isEmpty());
    runFor(1);
    QCOMPARE(completed(), QList<quint64>({show, wave}));
    QCOMPARE(m_synth.calls.size(), 1);
    QCOMPARE(m_synth.calls[0].id, hello);
    QVERIFY(m_character->isBalloonShown());
    m_synth.finish(hello);

    // With nothing waiting the Wave goes on; a Speak arriving mid-loop ends it
    // along its exit path.
    runFor(2000);
    const quint64 again = m_character->Play(QStringLiteral("Wave"));
    runFor(10000);
    QVERIFY(!completed().contains(again));
    runFor(25); // mid-frame
    const quint64 bye = m_character->Speak(QStringLiteral("Bye"));
    runFor(200);
    QCOMPARE(completed().last(), again);
    QCOMPARE(m_synth.calls.last().id, bye);
    m_synth.finish(bye);

    // An animation that cannot loop plays whole, exit jumps and all.
    runFor(2000);
    const quint64 nod = m_character->Play(QStringLiteral("Nod"));
    m_character->Speak(QStringLiteral("Yes"));
    runFor(149);
    QVERIFY(!completed().contains(nod));
    QCOMPARE(m_character->player().frame(), 2);
    runFor(1);
    QCOMPARE(completed().last(), nod);
}

void TestDesktopCharacter::fastLoopDrawsEachFrameOnce()
{
    // Spin shows one frame again and again; Flicker alternates two pictures
    // with a third frame drawn like the first. All ask for 1 ms.
    load(agenttest::tinyCharacter() +
         "animation Spin\nframe 1\nlayer body 0 0\nbranch 0 100\nendanimation\n"
         "animation Flicker\nframe 1\nlayer body 0 0\nframe 1\nlayer body 0 5\n"
         "frame 1\nlayer body 0 0\nbranch 0 100\nendanimation\n");
    m_character->Show();
    runFor(500);
    const auto& renderer = m_character->renderer();
    const auto* window = m_character->window();
    m_character->Play(QStringLiteral("Spin"));
    runFor(20);
    const int compositions = renderer.compositions();
    const int frames = window->frameChanges();
    const int shapes = window->shapeChanges();
    // A second of looping: at most one wake-up per 10 ms, nothing redrawn.
    QVERIFY(runFor(1000) <= 100);
    QCOMPARE(renderer.compositions(), compositions);
    QCOMPARE(window->frameChanges(), frames);
    QCOMPARE(window->shapeChanges(), shapes);

    m_character->Play(QStringLiteral("Flicker"));
    runFor(1000); // Spin gives way, Flicker runs its first rounds
    QCOMPARE(m_character->player().animation(), animationNamed("Flicker"));
    QVERIFY(renderer.compositions() <= compositions + 1);
    const int flickerCompositions = renderer.compositions();
    const int flickerFrames = window->frameChanges();
    const int flickerShapes = window->shapeChanges();
    // Every 30 ms round shows the two pictures, each with its own shape; the
    // third frame looks like the first and changes nothing.
    QVERIFY(runFor(3000) <= 300);
    QCOMPARE(renderer.compositions(), flickerCompositions);
    QCOMPARE(window->frameChanges() - flickerFrames, 200);
    QCOMPARE(window->shapeChanges() - flickerShapes, 200);
}

void TestDesktopCharacter::speechStartsOverAGestureThatDrawsTheMouth()
{
    // Read draws the mouth on every frame but its last and loops until asked
    // to end; Nod draws it too and plays once. The open mouth sits apart from
    // the others, so the frame shows which viseme is drawn.
    load(agenttest::tinyCharacter().replace("mouth open mouth 0 0", "mouth open mouth 5 5") +
         "animation Read\nframe 100 exit 3 mouth 0 0\nlayer body 0 3\n"
         "frame 100 exit 3 mouth 0 0\nlayer body 0 4\nframe 100 exit 3 mouth 0 0\n"
         "layer body 0 5\nbranch 1 100\nframe 50\nlayer body 0 0\nendanimation\n"
         "animation Nod\nframe 100 mouth 0 0\nlayer body 1 1\nframe 100 mouth 0 0\n"
         "layer body 2 2\nendanimation\n");
    const int read = animationNamed("Read");
    const quint64 show = m_character->Show();
    runFor(500);
    const quint64 gesture = m_character->Play(QStringLiteral("Read"));
    runFor(30);
    QCOMPARE(m_character->player().animation(), read);
    QVERIFY(m_synth.calls.isEmpty());

    // Queued behind the gesture, the speech is heard at once, over it: the
    // Play is done, the gesture goes on where it was.
    const quint64 first = m_character->Speak(QStringLiteral("One."));
    QCOMPARE(m_synth.calls.size(), 1);
    QCOMPARE(m_synth.calls[0].id, first);
    QCOMPARE(completed(), QList<quint64>({show, gesture}));
    QCOMPARE(m_character->player().animation(), read);
    QCOMPARE(m_character->player().frame(), 0);
    QVERIFY(!m_character->player().isExiting());
    QVERIFY(m_character->isBalloonShown());
    const int frames = m_character->window()->frameChanges();
    m_synth.viseme(first, speech::Viseme::Open);
    QCOMPARE(m_character->window()->frameChanges(), frames + 1);

    // The next sentence waits its turn and then goes on over the same gesture.
    const quint64 second = m_character->Speak(QStringLiteral("Two."));
    runFor(1000);
    QCOMPARE(m_synth.calls.size(), 1);
    QCOMPARE(m_character->player().animation(), read);
    m_synth.finish(first);
    QCOMPARE(m_synth.calls.size(), 2);
    QCOMPARE(m_synth.calls[1].id, second);
    QCOMPARE(m_character->player().animation(), read);
    QVERIFY(!m_character->player().isExiting());

    // Nothing more to say: the gesture leaves along its exit path at once.
    m_synth.finish(second);
    QCOMPARE(completed(), QList<quint64>({show, gesture, first, second}));
    QVERIFY(m_character->player().isExiting());
    runFor(0);
    QCOMPARE(m_character->player().frame(), 3);
    runFor(50);
    QVERIFY(!m_character->player().isPlaying());

    // A gesture that ends before the speech hands over to the speaking animation.
    runFor(100);
    const quint64 nod = m_character->Play(QStringLiteral("Nod"));
    const quint64 third = m_character->Speak(QStringLiteral("Three."));
    QCOMPARE(completed().last(), nod);
    QCOMPARE(m_synth.calls.last().id, third);
    runFor(199);
    QCOMPARE(m_character->player().animation(), animationNamed("Nod"));
    runFor(1);
    QCOMPARE(m_character->player().animation(), animationNamed("Speak"));
}

QTEST_MAIN(TestDesktopCharacter)
#include "tst_desktopcharacter.moc"
