#include "common/speech/agent/agent.h"
#include "common/speech/espeaksynthesizer.h"
#include "common/speech/silentaudiooutput.h"
#include "reader/characternarrator.h"
#include "reader/readingsession.h"
#include "tests/common/speech/agent/agenttestsupport.h"
#include "tests/common/speech/recordingaudiooutput.h"
#include "tests/support/testenvironment.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

// A long text read by a character on the real speech engine (silent output,
// real timing): it goes sentence after sentence, and Stop silences it within
// 50 ms wherever it comes.
class TestReadAloud : public QObject
{
    Q_OBJECT

private slots:
    void stopSilencesALongReadingAtOnce();
};

void TestReadAloud::stopSilencesALongReadingAtOnce()
{
    constexpr qint64 kStopLimitNs = 50'000'000;
    const QString folder = testsupport::TestEnvironment::instance().dataHome() + "/chars";
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + "/Tiny.acs");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(agenttest::tinyCharacter());
    file.close();

    auto audio = std::make_shared<speechtest::AudioLog>();
    speech::agent::Agent agent(std::make_unique<speech::EspeakSynthesizer>(
                                   std::make_unique<speechtest::RecordingAudioOutput>(
                                       audio, std::make_unique<speech::SilentAudioOutput>())),
                               {folder, QString(), folder + "/places.ini", nullptr, nullptr});
    QVERIFY(agent.Load("Tiny", "Tiny.acs"));
    speech::AgentCharacter* character = agent.Character("Tiny");
    character->setLanguageID(1049);
    reader::CharacterNarrator narrator(*character);
    reader::ReadingSession session;
    session.setNarrator(&narrator);
    QSignalSpy words(&session, &reader::ReadingSession::wordReached);
    QSignalSpy sentences(&session, &reader::ReadingSession::sentenceQueued);

    QString text;
    while (text.toUtf8().size() < 200 * 1024)
        text += QStringLiteral("Да. Нет, спасибо. Hello! ");
    QRandomGenerator random(3);
    for (int round = 0; round < 4; ++round) {
        words.clear();
        sentences.clear();
        session.start(text);
        const int heard = 1 + int(random.bounded(6));
        while (words.size() < heard)
            QVERIFY(words.wait(5000));
        if (round == 0) {
            // Sentences follow one another without being asked.
            while (sentences.size() < 4)
                QVERIFY(sentences.wait(5000));
        }
        const qint64 stoppedAt = audio->clock.nsecsElapsed();
        session.stop();
        const qint64 samplesAtStop = audio->totalSamples();
        QTest::qWait(300);
        QVERIFY2(audio->lastWrite() - stoppedAt < kStopLimitNs,
                 qPrintable(QStringLiteral("audio written %1 ms after stop")
                                .arg((audio->lastWrite() - stoppedAt) / 1e6)));
        QVERIFY(audio->totalSamples() - samplesAtStop < audio->sampleRate / 20);
        QVERIFY(!session.isReading());
    }
}

QTEST_MAIN(TestReadAloud)
#include "tst_readaloud.moc"
