#include "agenttestsupport.h"

#include "common/speech/agent/characterloader.h"
#include "common/speech/agent/desktopcharacter.h"
#include "tests/support/testenvironment.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

using speech::agent::CharacterLoader;
using speech::agent::DesktopCharacter;

// How the characters that ship with the programs answer: cut short at any
// moment, whatever they do is over within 100 ms; speech asked for behind the
// reading gesture is heard at once while the gesture is seen.
class TestShippedCharacters : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void stopLeavesNextRequestWaitingAtMost100Ms_data();
    void stopLeavesNextRequestWaitingAtMost100Ms();
    void speechBehindReadingIsHeardAtOnce_data();
    void speechBehindReadingIsHeardAtOnce();

private:
    void load(const QString& name);
    int runFor(qint64 ms) { return agenttest::runFor(*m_character, m_clock, ms); }

    agenttest::FakeClock m_clock;
    agenttest::FakeRandom m_random;
    agenttest::FakeSynthesizer m_synth;
    std::unique_ptr<DesktopCharacter> m_character;
};

namespace {
constexpr qint64 kWindDownMs = 100;

void addShippedRows()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"Merlin", "Rivet", "Sova"})
        QTest::newRow(name) << QString::fromLatin1(name);
}
} // namespace

void TestShippedCharacters::init()
{
    testsupport::TestEnvironment::instance().reset();
    m_clock.now = 1000;
    m_random = {};
    m_synth.calls.clear();
}

void TestShippedCharacters::cleanup()
{
    m_character.reset();
}

void TestShippedCharacters::load(const QString& name)
{
    const QString path =
        testsupport::TestEnvironment::appDir() + QStringLiteral("/msagent/chars/") + name + ".acs";
    auto loaded = CharacterLoader::fromFile(path);
    QVERIFY2(loaded.character, qPrintable(loaded.error));
    speech::agent::CharacterContext context{&m_synth, &m_clock, &m_random,
                                            testsupport::TestEnvironment::instance().configHome() +
                                                "/pos.ini"};
    m_character = std::make_unique<DesktopCharacter>(std::move(*loaded.character), context);
    m_character->Show();
    runFor(2000);
}

void TestShippedCharacters::stopLeavesNextRequestWaitingAtMost100Ms_data()
{
    addShippedRows();
}

void TestShippedCharacters::stopLeavesNextRequestWaitingAtMost100Ms()
{
    // Every animation, and speech, cut at random moments (idle animations
    // come in between on their own), then a gesture asked for: it starts
    // within 100 ms of the Stop.
    QFETCH(QString, name);
    load(name);
    QVERIFY(m_character);
    QRandomGenerator rng(41);
    m_random.fallback = 37;
    const QStringList animations = m_character->AnimationNames();
    const int wave = m_character->data().findAnimation(QStringLiteral("Wave"));
    for (int round = 0; round < 40 * animations.size(); ++round) {
        const QString& animation = animations[round % animations.size()];
        m_random.fallback = rng.bounded(100);
        if (round % 3 == 0)
            m_character->Speak(QStringLiteral("Раз, два, три."));
        else
            m_character->Play(animation);
        runFor(rng.bounded(6000));
        m_character->Stop();
        const qint64 stoppedAt = m_clock.now;
        m_character->Play(QStringLiteral("Wave"));
        const auto& player = m_character->player();
        while (!(player.animation() == wave && player.isPlaying() && !player.isExiting() &&
                 player.frame() == 0) &&
               m_clock.now - stoppedAt <= 10 * kWindDownMs)
            runFor(1);
        QVERIFY2(m_clock.now - stoppedAt <= kWindDownMs,
                 qPrintable(QStringLiteral("%1 cut at %2 ms: the wave waited %3 ms")
                                .arg(round % 3 == 0 ? QStringLiteral("speech") : animation)
                                .arg(stoppedAt)
                                .arg(m_clock.now - stoppedAt)));
        m_character->Stop();
        runFor(rng.bounded(4000));
    }
}

void TestShippedCharacters::speechBehindReadingIsHeardAtOnce_data()
{
    addShippedRows();
}

void TestShippedCharacters::speechBehindReadingIsHeardAtOnce()
{
    QFETCH(QString, name);
    load(name);
    QVERIFY(m_character);
    const int read = m_character->data().findAnimation(QStringLiteral("read"));
    for (int roll : {0, 54, 55, 99}) {
        // Whichever way its loop goes, the book is up for its first frames
        // while the words are heard.
        m_random.fallback = roll;
        m_character->Play(QStringLiteral("read"));
        const quint64 text = m_character->Speak(QStringLiteral("Тут."));
        QCOMPARE(m_synth.calls.last().id, text);
        QCOMPARE(m_character->player().animation(), read);
        runFor(1000);
        QCOMPARE(m_character->player().animation(), read);
        QVERIFY(m_character->player().currentFrame()->speaking);
        m_synth.finish(text);
        runFor(kWindDownMs);
        QVERIFY(!m_character->player().isPlaying());
        runFor(500);
    }
}

QTEST_MAIN(TestShippedCharacters)
#include "tst_shippedcharacters.moc"
