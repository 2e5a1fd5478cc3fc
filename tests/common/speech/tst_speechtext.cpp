#include "common/speech/speechtext.h"

#include <QTest>

using speech::parseSpeechText;

class TestSpeechText : public QObject
{
    Q_OBJECT

private slots:
    void rateTagInAnyCase_data();
    void rateTagInAnyCase();
    void severalTagsAreRemovedFromBothTexts();
    void malformedTagsStayAsText_data();
    void malformedTagsStayAsText();
    void stressMarksLeaveOnlyTheSynthesis();
    void wordsKnowTheirMarkedSyllables();
};

void TestSpeechText::rateTagInAnyCase_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("rate");
    QTest::newRow("upper") << "\\SPD=120\\Привет" << 120;
    QTest::newRow("lower") << "\\spd=40\\Привет" << 40;
    QTest::newRow("mixed, spaces in value") << "\\Spd= 200 \\Привет" << 200;
    QTest::newRow("not a number") << "\\Spd=fast\\Привет" << -1;
    QTest::newRow("zero") << "\\Spd=0\\Привет" << -1;
    QTest::newRow("last one wins") << "\\Spd=90\\При\\SPD=150\\вет" << 150;
}

void TestSpeechText::rateTagInAnyCase()
{
    QFETCH(QString, raw);
    QFETCH(int, rate);
    const speech::SpeechText text = parseSpeechText(raw);
    QCOMPARE(text.wordsPerMinute, rate);
    QCOMPARE(text.display, QStringLiteral("Привет"));
    QCOMPARE(text.synthesis, QStringLiteral("Привет"));
}

void TestSpeechText::severalTagsAreRemovedFromBothTexts()
{
    const auto text = parseSpeechText(QStringLiteral("\\Pit=80\\Да, \\Spd=100\\\\Vol=5\\нет."));
    QCOMPARE(text.display, QStringLiteral("Да, нет."));
    QCOMPARE(text.synthesis, text.display);
    QCOMPARE(text.wordsPerMinute, 100);
    QCOMPARE(text.synthesisToDisplay.size(), text.synthesis.size());
    for (int i = 0; i < text.synthesisToDisplay.size(); ++i)
        QCOMPARE(text.synthesisToDisplay[i], i);
}

void TestSpeechText::malformedTagsStayAsText_data()
{
    QTest::addColumn<QString>("raw");
    QTest::newRow("unclosed") << "\\Spd=100 Привет";
    QTest::newRow("no equals sign") << "C:\\path\\file";
    QTest::newRow("empty name") << "a \\=5\\ b";
    QTest::newRow("lone backslash") << "a \\ b";
    QTest::newRow("trailing backslash") << "конец\\";
}

void TestSpeechText::malformedTagsStayAsText()
{
    QFETCH(QString, raw);
    const auto text = parseSpeechText(raw);
    QCOMPARE(text.display, raw);
    QCOMPARE(text.synthesis, raw);
    QCOMPARE(text.wordsPerMinute, -1);
}

void TestSpeechText::stressMarksLeaveOnlyTheSynthesis()
{
    const QChar acute(0x0301);
    const QChar grave(0x0300);
    const QString raw = QStringLiteral("\\Spd=90\\до") + acute + QStringLiteral("ма и ещё") + grave;
    const auto text = parseSpeechText(raw);

    QCOMPARE(text.display, QStringLiteral("до") + acute + QStringLiteral("ма и ещё") + grave);
    QCOMPARE(text.synthesis, QStringLiteral("дома и ещё")); // ё is a letter, not a mark
    QCOMPARE(text.synthesisToDisplay.size(), text.synthesis.size());
    // Every synthesised character points at the same character in the display.
    for (int i = 0; i < text.synthesis.size(); ++i)
        QCOMPARE(text.display[text.synthesisToDisplay[i]], text.synthesis[i]);
    QCOMPARE(text.synthesisToDisplay[2], 3); // the "м" after the marked "о"
    // The plain text a reader sees with marks turned off is the spoken one.
    QCOMPARE(speech::withoutStressMarks(text.display), text.synthesis);
    QCOMPARE(speech::withoutStressMarks(raw), QStringLiteral("\\Spd=90\\дома и ещё"));
}

void TestSpeechText::wordsKnowTheirMarkedSyllables()
{
    // A mark after a consonant or a second mark on the same vowel says nothing more.
    const auto text = parseSpeechText(
        QStringLiteral("\\Spd=90\\Что\u0301-нибудь, ещё до\u0301\u0301ма и\u0301 зам\u0301ок "
                       "а\u0300кт 5"));
    const QList<speech::MarkedWord> words = speech::markedWords(text);
    QStringList shown;
    QList<QList<int>> stressed;
    QList<int> syllables;
    for (const speech::MarkedWord& word : words) {
        shown << text.display.mid(word.display.start, word.display.end - word.display.start);
        stressed << word.stressed;
        syllables << word.syllables;
        QCOMPARE(text.displaySpan(word.synthesis.start, word.synthesis.end), word.display);
    }
    QCOMPARE(shown, (QStringList{QStringLiteral("Что\u0301-нибудь"), QStringLiteral("ещё"),
                                 QStringLiteral("до\u0301\u0301ма"), QStringLiteral("и\u0301"),
                                 QStringLiteral("зам\u0301ок"), QStringLiteral("а\u0300кт")}));
    QCOMPARE(stressed, (QList<QList<int>>{{0}, {1}, {0}, {0}, {}, {}}));
    QCOMPARE(syllables, (QList<int>{3, 2, 2, 1, 2, 1}));
}

QTEST_GUILESS_MAIN(TestSpeechText)
#include "tst_speechtext.moc"
