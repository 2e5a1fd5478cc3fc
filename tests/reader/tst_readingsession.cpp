#include "common/speech/agent/agent.h"
#include "common/speech/agent/desktopcharacter.h"
#include "reader/characternarrator.h"
#include "reader/readingsession.h"
#include "reader/sentencesplitter.h"
#include "tests/common/speech/agent/agenttestsupport.h"
#include "tests/reader/readerfakes.h"
#include "tests/support/testenvironment.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using reader::ReadingSession;
using reader::TextSpan;
using readertest::FakeNarrator;

namespace {

QString longText(QRandomGenerator& random, int sentences)
{
    static const QStringList kWords = {QStringLiteral("кошка"),       QStringLiteral("сидит"),
                                       QStringLiteral("on"),          QStringLiteral("the"),
                                       QStringLiteral("окне"),        QStringLiteral("\\tag"),
                                       QStringLiteral("broken\uFFFD")};
    QString text;
    for (int s = 0; s < sentences; ++s) {
        const int words = 1 + int(random.bounded(12));
        for (int w = 0; w < words; ++w)
            text += kWords.at(int(random.bounded(quint32(kWords.size())))) + u' ';
        text += random.bounded(5) == 0 ? QStringLiteral(".\n\n") : QStringLiteral(". ");
    }
    return text;
}

QStringList expectedSentences(const QString& text)
{
    reader::SentenceSplitter splitter(text);
    QStringList sentences;
    while (const auto span = splitter.next())
        sentences.append(text.mid(span->start, span->length)
                             .replace(u'\\', u' ')
                             .replace(QChar::ReplacementCharacter, u' '));
    return sentences;
}

} // namespace

class TestReadingSession : public QObject
{
    Q_OBJECT

private slots:
    void randomReadingsSayEachSentenceOnceAndMarkOnlyItsWords();
    void stopSilencesAndNothingFollows();
    void characterWordsReachTheText();
};

// Random readings driven by random narrator events: the sentences are said in
// order, each once, never more than two queued; every mark lies in the
// sentence being heard; the end is reported once, only when all was said.
void TestReadingSession::randomReadingsSayEachSentenceOnceAndMarkOnlyItsWords()
{
    QRandomGenerator random(5);
    for (int round = 0; round < 60; ++round) {
        FakeNarrator narrator;
        ReadingSession session;
        session.setNarrator(&narrator);
        QSignalSpy ends(&session, &ReadingSession::finished);
        QList<std::pair<qsizetype, qsizetype>> marks;
        connect(&session, &ReadingSession::wordReached, this,
                [&marks](qsizetype start, qsizetype n) {
                    marks.append({start, n});
                });

        const QString text = longText(random, 1 + int(random.bounded(30)));
        session.start(text);
        const QStringList expected = expectedSentences(text);
        int steps = 0;
        while (session.isReading()) {
            QVERIFY(++steps < 10000);
            const QList<quint64> open = narrator.pending();
            QVERIFY(!open.isEmpty());
            QVERIFY(open.size() <= ReadingSession::kSentencesAhead);
            const TextSpan current = session.queuedSentences().first();
            if (random.bounded(3) != 0) {
                const int at = int(random.bounded(quint32(current.length + 5)));
                marks.clear();
                emit narrator.wordSpoken(open.first(), at, int(random.bounded(8)));
                QCOMPARE(marks.size(), 1);
                QVERIFY(marks[0].first >= current.start);
                QVERIFY(marks[0].first + marks[0].second <= current.end());
                emit narrator.wordSpoken(open.first() + 1000, 0, 3); // not ours
                QCOMPARE(marks.size(), 1);
            } else {
                narrator.finishOne(open.first());
            }
        }
        QCOMPARE(narrator.said, expected);
        QCOMPARE(ends.size(), 1);
        QCOMPARE(marks.last(), (std::pair<qsizetype, qsizetype>(0, 0)));
        QCOMPARE(narrator.silences, 0);
    }
}

void TestReadingSession::stopSilencesAndNothingFollows()
{
    QRandomGenerator random(9);
    const QString text = longText(random, 6000); // over 200 KB
    QVERIFY(text.toUtf8().size() > 200 * 1024);
    for (int round = 0; round < 20; ++round) {
        FakeNarrator narrator;
        ReadingSession session;
        session.setNarrator(&narrator);
        QSignalSpy ends(&session, &ReadingSession::finished);
        session.start(text);
        // Only what is needed is queued, however long the text.
        QCOMPARE(narrator.said.size(), ReadingSession::kSentencesAhead);
        const int finishes = int(random.bounded(50));
        for (int i = 0; i < finishes; ++i)
            narrator.finishOne(narrator.pending().first());
        const qsizetype saidBefore = narrator.said.size();
        session.stop();
        QCOMPARE(narrator.silences, 1);
        QVERIFY(narrator.pending().isEmpty());
        QVERIFY(!session.isReading());
        QCOMPARE(narrator.said.size(), saidBefore); // the drops brought on nothing
        emit narrator.wordSpoken(narrator.ids.last(), 0, 3);
        QCOMPARE(ends.size(), 0);
        // A new reading starts afresh.
        session.start(QStringLiteral("Ещё раз."));
        QCOMPARE(narrator.said.last(), QStringLiteral("Ещё раз."));
    }
}

// Through a real character on the desktop: its Speak reaches the synthesizer,
// the synthesizer's words come back as marks on the whole text, and each
// sentence's end brings on the next at once, without waiting for the speaking
// animation to wind down (the clock does not move).
void TestReadingSession::characterWordsReachTheText()
{
    const QString folder = testsupport::TestEnvironment::instance().dataHome() + "/chars";
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + "/Tiny.ACS"); // the extension in any case
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(agenttest::tinyCharacter());
    file.close();
    auto synthesizerOwned = std::make_unique<agenttest::FakeSynthesizer>();
    agenttest::FakeSynthesizer* synthesizer = synthesizerOwned.get();
    agenttest::FakeClock clock;
    agenttest::FakeRandom random;
    speech::agent::Agent agent(std::move(synthesizerOwned),
                               {folder, QString(), folder + "/places.ini", &clock, &random});
    QVERIFY(agent.Load("Tiny", "Tiny.acs"));

    speech::AgentCharacter* character = agent.Character("Tiny");
    character->Show();
    clock.now += 500; // past the Show animation
    static_cast<speech::agent::DesktopCharacter*>(character)->tick();
    reader::CharacterNarrator narrator(*character);
    ReadingSession session;
    session.setNarrator(&narrator);
    QList<std::pair<qsizetype, qsizetype>> marks;
    connect(&session, &ReadingSession::wordReached, this, [&marks](qsizetype start, qsizetype n) {
        marks.append({start, n});
    });

    const QString text = QStringLiteral("Первое предложение. Second one! Третье.");
    session.start(text);
    QCOMPARE(synthesizer->calls.size(), 1);
    QCOMPARE(synthesizer->calls[0].text, QStringLiteral("Первое предложение."));
    synthesizer->word(synthesizer->calls[0].id, 7, 11);
    QCOMPARE(marks.last(), (std::pair<qsizetype, qsizetype>(7, 11)));
    synthesizer->finish(synthesizer->calls[0].id);
    QCOMPARE(synthesizer->calls.size(), 2);
    synthesizer->word(synthesizer->calls[1].id, 7, 3);
    QCOMPARE(text.mid(marks.last().first, marks.last().second), QStringLiteral("one"));
    synthesizer->finish(synthesizer->calls[1].id);
    synthesizer->finish(synthesizer->calls[2].id);
    QVERIFY(!session.isReading());
}

QTEST_MAIN(TestReadingSession)
#include "tst_readingsession.moc"
