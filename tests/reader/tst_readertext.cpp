#include "reader/readabletext.h"
#include "reader/sentencesplitter.h"

#include <QRandomGenerator>
#include <QtTest>

using reader::SentenceSplitter;
using reader::TextSpan;

namespace {

// Random text from pieces that matter to splitting and cleaning: words in two
// scripts, terminators, closers, pauses, blanks, line breaks, controls, lone
// and paired surrogates, and long runs without any end.
QString randomText(QRandomGenerator& random, int pieces)
{
    static const QStringList kPieces = {
        QStringLiteral("слово"), QStringLiteral("word"),       QStringLiteral("3.14"),
        QStringLiteral(". "),    QStringLiteral("! "),         QStringLiteral("?\""),
        QStringLiteral("…"),     QStringLiteral("», "),        QStringLiteral(", "),
        QStringLiteral(" — "),   QStringLiteral(" "),          QStringLiteral("\n"),
        QStringLiteral("\n\n"),  QStringLiteral("\r\n"),       QStringLiteral("\t"),
        QStringLiteral("..."),   QStringLiteral("\\Spd=50\\"), QString(QChar(0)),
        QString(QChar(0x07)),    QString(QChar(0xD83D)),       QString(QChar(0xDE00)),
        QStringLiteral("😀"),     QString(300, u'x'),           QString(450, u'-')};
    QString text;
    for (int i = 0; i < pieces; ++i)
        text += kPieces.at(int(random.bounded(quint32(kPieces.size()))));
    return text;
}

QList<TextSpan> allSentences(const QString& text)
{
    SentenceSplitter splitter(text);
    QList<TextSpan> spans;
    while (const auto span = splitter.next())
        spans.append(*span);
    return spans;
}

QStringList sentenceTexts(const QString& text)
{
    QStringList texts;
    for (const TextSpan& span : allSentences(text))
        texts.append(text.mid(span.start, span.length));
    return texts;
}

} // namespace

class TestReaderText : public QObject
{
    Q_OBJECT

private slots:
    void cleaningKeepsEveryIndexAndLeavesNothingUnsafe();
    void cuttingNeverSplitsAPair();
    void sentencesEndWhereALearnerHearsThemEnd();
    void sentencesCoverTheWholeTextInOrder();
};

void TestReaderText::cleaningKeepsEveryIndexAndLeavesNothingUnsafe()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 300; ++round) {
        const QString raw = randomText(random, 1 + int(random.bounded(40)));
        const QString clean = reader::readableText(raw);
        QCOMPARE(clean.size(), raw.size());
        for (qsizetype i = 0; i < clean.size(); ++i) {
            const QChar c = clean[i];
            if (c.isHighSurrogate()) {
                QVERIFY2(i + 1 < clean.size() && clean[i + 1].isLowSurrogate(), "lone high half");
                QCOMPARE(clean.mid(i, 2), raw.mid(i, 2)); // a real pair stays
                ++i;
                continue;
            }
            QVERIFY2(!c.isSurrogate(), "lone low half");
            QVERIFY(c.category() != QChar::Other_Control || c == u'\t' || c == u'\n' || c == u'\r');
            if (c != raw[i])
                QVERIFY(c == u' ' || c == QChar::ReplacementCharacter);
        }
    }
    QVERIFY(!reader::hasWords(QStringLiteral(" \n\t... — !")));
    QVERIFY(!reader::hasWords(QString(3, QChar(0))));
    QVERIFY(reader::hasWords(QStringLiteral("  я ")));
    QVERIFY(reader::hasWords(QStringLiteral("𝟙"))); // a digit outside the first plane
}

void TestReaderText::cuttingNeverSplitsAPair()
{
    const QString pairs = QStringLiteral("😀😀😀");
    QCOMPARE(reader::readableText(pairs, 3), QStringLiteral("😀"));
    QCOMPARE(reader::readableText(pairs, 4), QStringLiteral("😀😀"));
    const QString huge(5 * 1024 * 1024, u'a');
    QCOMPARE(reader::readableText(huge, reader::kMaxCopiedCharacters).size(),
             reader::kMaxCopiedCharacters);
}

void TestReaderText::sentencesEndWhereALearnerHearsThemEnd()
{
    QCOMPARE(sentenceTexts(QStringLiteral("Привет! Как дела? Хорошо… Spasibo.")),
             (QStringList{"Привет!", "Как дела?", "Хорошо…", "Spasibo."}));
    // Closing quotes and brackets belong to the sentence; numbers do not end one.
    QCOMPARE(sentenceTexts(QStringLiteral("Он сказал: «Да.» Pi is 3.14 (about.) Yes")),
             (QStringList{"Он сказал: «Да.»", "Pi is 3.14 (about.)", "Yes"}));
    // A blank line ends a sentence, a single line break does not.
    QCOMPARE(sentenceTexts(QStringLiteral("Title\n\nOne line\ngoes on\r\n \r\nEnd")),
             (QStringList{"Title", "One line\ngoes on", "End"}));
    // Nothing to say: passed over.
    QCOMPARE(sentenceTexts(QStringLiteral(" ... !!! — \n\n ")), QStringList());
    // A long stretch without an end breaks at a late pause.
    const QString first = QString(250, u'a') + QStringLiteral(", ");
    const QString rest = QString(100, u'b') + u' ' + QString(100, u'c');
    QCOMPARE(sentenceTexts(first + rest), (QStringList{first.trimmed(), rest}));
}

void TestReaderText::sentencesCoverTheWholeTextInOrder()
{
    QRandomGenerator random(11);
    for (int round = 0; round < 300; ++round) {
        const QString text = reader::readableText(randomText(random, 1 + int(random.bounded(60))));
        const QList<TextSpan> spans = allSentences(text);
        qsizetype covered = 0;
        for (const TextSpan& span : spans) {
            QVERIFY(span.start >= covered);
            QVERIFY(span.length > 0 && span.length <= SentenceSplitter::kMaxLength);
            const QString sentence = text.mid(span.start, span.length);
            QCOMPARE(sentence, sentence.trimmed());
            QVERIFY(reader::hasWords(sentence));
            QVERIFY(!sentence.front().isLowSurrogate() && !sentence.back().isHighSurrogate());
            // Whatever was passed over on the way has nothing to say.
            QVERIFY(!reader::hasWords(QStringView(text).mid(covered, span.start - covered)));
            covered = span.end();
        }
        QVERIFY(!reader::hasWords(QStringView(text).mid(covered)));
    }
}

QTEST_GUILESS_MAIN(TestReaderText)
#include "tst_readertext.moc"
