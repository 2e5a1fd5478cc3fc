#include "common/speech/espeakstress.h"

#include <QRandomGenerator>
#include <QTest>

using namespace speech;

namespace {

const QChar kAcute(0x0301);

// The one marked word of display paired with phonemes.
WordStress wordOf(const QString& display, const QString& phonemes)
{
    const SpeechText text = parseSpeechText(display);
    for (const MarkedWord& word : markedWords(text)) {
        if (!word.stressed.isEmpty())
            return {word, phonemes.split(u'|'), stressedSyllables(phonemes.split(u'|'))};
    }
    return {};
}

// A stand-in for espeak_TextToPhonemes: a clause ends at each comma, and the
// pointer comes back one character into the next clause, as the library's does.
QByteArray g_fakeOutput;
const char* fakeTextToPhonemes(const void** text, int, int)
{
    const QString rest = QString::fromUtf8(static_cast<const char*>(*text));
    const qsizetype comma = rest.indexOf(u',');
    g_fakeOutput = QStringLiteral("#%1").arg(comma < 0 ? rest.size() : comma).toUtf8();
    if (comma < 0 || comma + 3 > rest.size())
        *text = nullptr;
    else
        *text = static_cast<const char*>(*text) + rest.left(comma + 3).toUtf8().size();
    return g_fakeOutput.constData();
}

} // namespace

class TestEspeakStress : public QObject
{
    Q_OBJECT

private slots:
    void restressedReducesVowelsAsTheLibraryDoes_data();
    void restressedReducesVowelsAsTheLibraryDoes();
    void clausesStartAtTheWordTheLibraryStepsInto();
    void wordsPairWithPhonemesClauseByClause();
    void respeltWordsKeepTheirDisplayWords();
};

void TestEspeakStress::restressedReducesVowelsAsTheLibraryDoes_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("phonemes");
    QTest::addColumn<QString>("restressed");
    QTest::newRow("е after a soft consonant") << "тебе́"
                                              << "t;|'e|b|;|i"
                                              << "[[t;|i|b|;|'e]]";
    QTest::newRow("е after ж") << "уже́"
                               << "'u|Z|y"
                               << "[[u|Z|'E]]";
    QTest::newRow("о stressed and reduced") << "Здо́рово"
                                            << "z|d|V|r|'o|v|V"
                                            << "[[z|d|'o|r|V|v|V]]";
    QTest::newRow("а before, after and at the end") << "са́хара"
                                                    << "s|a|x|'A|r|a#"
                                                    << "[[s|'A|x|V|r|a#]]";
    QTest::newRow("а two before") << "заплачу́"
                                  << "z|a|p|l|'A|tS;|u#"
                                  << "[[z|V|p|l|a|tS;|'u#]]";
    QTest::newRow("iotated я keeps its j") << "моя́"
                                           << "m|'o|ja"
                                           << "[[m|V|'ja]]";
    QTest::newRow("secondary stress counts when alone") << "смогу́"
                                                        << "s|m|,o|g|u"
                                                        << "[[s|m|V|g|'u]]";
    QTest::newRow("hyphenated, two stresses to one") << "по-ру́сски"
                                                     << "p|'o|r|'u|s|s|k|;|I"
                                                     << "[[p|V|r|'u|s|s|k|;|I]]";
    QTest::newRow("pauses and glides") << "«Арба́тская»"
                                       << "_:|_:a|r|b|'V|t|s|k|V|ja"
                                       << "[[a|r|b|'A|t|s|k|V|ja]]";
    QTest::newRow("vowels do not match") << "до́м"
                                         << "d|'o|m|a"
                                         << "";
}

void TestEspeakStress::restressedReducesVowelsAsTheLibraryDoes()
{
    QFETCH(QString, word);
    QFETCH(QString, phonemes);
    QFETCH(QString, restressed);
    const WordStress stress = wordOf(word, phonemes);
    QCOMPARE(speech::restressed(stress, parseSpeechText(word).display), restressed);
}

void TestEspeakStress::clausesStartAtTheWordTheLibraryStepsInto()
{
    const QString text = QStringLiteral("Да, конечно, ёлка");
    const QList<PhonemeClause> clauses = phonemeClauses(fakeTextToPhonemes, text);
    QCOMPARE(clauses.size(), 3);
    QCOMPARE(clauses[0].synthesis, (TextSpan{0, 4}));
    QCOMPARE(clauses[1].synthesis, (TextSpan{4, 13}));
    QCOMPARE(clauses[2].synthesis, (TextSpan{13, int(text.size())}));
    QCOMPARE(clauses[1].phonemes, QStringLiteral("#6")); // read from where the pointer stood
}

void TestEspeakStress::wordsPairWithPhonemesClauseByClause()
{
    const SpeechText text = parseSpeechText(QStringLiteral("Тебе́ 5 раз, до́ма и ещё."));
    // The number reads as two words: that clause cannot pair and is left out.
    const QList<PhonemeClause> clauses = {
        {{0, 12}, QStringLiteral("t;|'e|b|;|i p;|'A|t; r|'A|s")},
        {{12, int(text.synthesis.size())}, QStringLiteral("d|'o|m|a# 'i j|i|S;|'8")}};
    const StressReading reading = readStress(text, clauses);
    QCOMPARE(reading.unpairedClauses, 1);
    QCOMPARE(reading.words.size(), 2);
    QCOMPARE(reading.words[0].word.stressed, QList<int>{0});
    QVERIFY(reading.words[0].agrees());
    QCOMPARE(reading.words[1].word.stressed, QList<int>{1});
    QCOMPARE(reading.words[1].spoken, QList<int>{1});
}

// Random sentences of marked and plain words against phonemes stressing each
// word on a random syllable: exactly the words spoken against their marks are
// spelt as phonemes, and every character still finds its display character.
void TestEspeakStress::respeltWordsKeepTheirDisplayWords()
{
    const QStringList vocabulary = {
        QStringLiteral("до́ма"),      QStringLiteral("дома"),    QStringLiteral("ещё"),
        QStringLiteral("по-ру́сски"), QStringLiteral("и"),       QStringLiteral("тебе́"),
        QStringLiteral("Здо́рово"),   QStringLiteral("[[кот]]"), QStringLiteral("\\Spd=90\\"),
        QStringLiteral("приходи́те"), QStringLiteral("у́же́"),     QStringLiteral("Ёлка")};
    QRandomGenerator random(14);
    for (int round = 0; round < 500; ++round) {
        QString raw;
        for (int n = random.bounded(1, 8); n > 0; --n)
            raw += vocabulary[random.bounded(vocabulary.size())] +
                   (random.bounded(3) == 0 ? QStringLiteral(", ") : QStringLiteral(" "));
        const SpeechText text = parseSpeechText(raw);
        QStringList spoken;
        QList<bool> respell;
        for (const MarkedWord& word : markedWords(text)) {
            QStringList phonemes;
            const int stressed = random.bounded(std::max(1, word.syllables));
            for (int s = 0; s < word.syllables; ++s)
                phonemes << QStringLiteral("t") << (s == stressed ? "'a" : "a");
            if (phonemes.isEmpty())
                phonemes << QStringLiteral("k");
            spoken << phonemes.join(u'|');
            respell << (!word.stressed.isEmpty() && word.stressed != QList<int>{stressed});
        }
        const SpeechText said =
            withStressAsMarked(text, {{{0, int(text.synthesis.size())}, spoken.join(u' ')}});
        const QString context = QStringLiteral("round %1: %2").arg(round).arg(raw);

        QCOMPARE(said.display, text.display);
        QCOMPARE(said.synthesisToDisplay.size(), said.synthesis.size());
        const QList<MarkedWord> before = markedWords(text);
        const QList<MarkedWord> after = markedWords(said);
        QCOMPARE(after.size(), before.size());
        int runs = 0;
        for (qsizetype w = 0; w < before.size(); ++w) {
            const bool isRun = said.phonemeWords.contains(after[w].synthesis);
            QVERIFY2(isRun == respell[w], qPrintable(context));
            runs += isRun ? 1 : 0;
            QVERIFY2(after[w].display == before[w].display, qPrintable(context));
            QCOMPARE(after[w].stressed, before[w].stressed);
        }
        QCOMPARE(said.phonemeWords.size(), runs);
        for (int i = 0; i < said.synthesis.size(); ++i) {
            const bool inRun =
                std::any_of(said.phonemeWords.begin(), said.phonemeWords.end(),
                            [i](const TextSpan& r) { return i >= r.start && i < r.end; });
            const QChar shown = said.display[said.synthesisToDisplay[i]];
            if (!inRun && runs > 0)
                QVERIFY2(said.synthesis[i] != u'[' && (shown == said.synthesis[i] || shown == u'['),
                         qPrintable(context));
            else if (!inRun)
                QVERIFY2(shown == said.synthesis[i], qPrintable(context));
        }
        QVERIFY(!said.synthesis.contains(kAcute));
    }
}

QTEST_GUILESS_MAIN(TestEspeakStress)
#include "tst_espeakstress.moc"
