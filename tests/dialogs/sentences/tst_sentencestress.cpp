#include "dialogs/sentences/sentencetable.h"
#include "tools/stress/espeakphonemes.h"

#include <QtTest>

#include <memory>

using stresscheck::EspeakPhonemes;

// The speech of every Russian line of the table, through espeak-ng itself:
// the learner must hear each word stressed where its mark shows it.
class TestSentenceStress : public QObject
{
    Q_OBJECT

    std::unique_ptr<EspeakPhonemes> m_espeak;

private slots:
    void initTestCase()
    {
        m_espeak = std::make_unique<EspeakPhonemes>();
        QVERIFY2(m_espeak->isReady(), "espeak-ng with its Russian voice is needed");
    }

    void everyMarkedWordIsSpokenAsMarked()
    {
        QStringList faults;
        int lines = 0;
        int marked = 0;
        int respelt = 0;
        stresscheck::forEachRussianLine([&](int id, const QString& line) {
            ++lines;
            const QString where =
                sentences::SentenceTable::instance().location(id) + " \"" + line + "\": ";
            const EspeakPhonemes::LineStress stress =
                m_espeak->stressOf(line, EspeakPhonemes::Reading::Spoken);
            const speech::SpeechText& said = stress.text;
            marked += stress.markedWords;
            respelt += int(said.phonemeWords.size());
            if (stress.reading.unpairedClauses != 0 ||
                stress.reading.words.size() != stress.markedWords)
                faults << where + "words and phonemes do not pair up";
            for (const speech::WordStress& word : stress.reading.words) {
                if (!word.agrees())
                    faults << where + "spoken as " + word.phonemes.join(u'|');
            }

            // A word spelt as phonemes highlights exactly its display word.
            for (const speech::TextSpan& run : said.phonemeWords) {
                const speech::TextSpan shown = said.displaySpan(run.start, run.end);
                const QString before = said.display.left(shown.start);
                const QString after = said.display.mid(shown.end);
                if (shown.start >= shown.end || (!before.isEmpty() && before.back().isLetter()) ||
                    (!after.isEmpty() &&
                     (after.front().isLetter() || speech::isStressMark(after.front()))))
                    faults << where + "phoneme word shows as \"" +
                                  said.display.mid(shown.start, shown.end - shown.start) + "\"";
            }
        });
        qInfo("%d lines, %d marked words, %d spoken as phonemes", lines, marked, respelt);
        QCOMPARE(lines,
                 sentences::SentenceTable::groupCount * sentences::SentenceTable::pairsPerGroup);
        for (const QString& fault : faults)
            qWarning("%s", qUtf8Printable(fault));
        QVERIFY2(faults.isEmpty(), qPrintable(QString::number(faults.size()) + " faults"));
    }
};

QTEST_GUILESS_MAIN(TestSentenceStress)
#include "tst_sentencestress.moc"
