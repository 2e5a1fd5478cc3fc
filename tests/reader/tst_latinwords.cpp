#include "common/speech/espeakmapping.h"

#include <QRegularExpression>
#include <QtTest>

#include <espeak-ng/speak_lib.h>

// The reader hands mixed Russian and English text to the Russian voice in one
// piece. That is right only while the voice itself switches to English
// pronunciation for Latin words; this checks that it does.
class TestLatinWords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void latinWordsSwitchToEnglishInsideRussian();
    void cleanupTestCase() { espeak_Terminate(); }
};

void TestLatinWords::initTestCase()
{
    QVERIFY(espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0) > 0);
    QCOMPARE(espeak_SetVoiceByName(speech::voiceForLanguage(1049).constData()), EE_OK);
}

void TestLatinWords::latinWordsSwitchToEnglishInsideRussian()
{
    const QByteArray text =
        QStringLiteral("Мой друг John живёт в London, он любит Python и читает news.").toUtf8();
    QString phonemes;
    const void* position = text.constData();
    while (position) {
        const char* clause = espeak_TextToPhonemes(&position, espeakCHARS_UTF8, 0);
        phonemes += QString::fromUtf8(clause ? clause : "") + u' ';
    }
    // Each Latin word is spoken between an English and a Russian switch...
    const QRegularExpression english(QStringLiteral(R"(\(en\)([^()]*)\(ru\))"));
    QStringList runs;
    for (const QRegularExpressionMatch& m : english.globalMatch(phonemes))
        runs.append(m.captured(1).trimmed());
    QCOMPARE(runs.size(), 4);
    // ...and nothing else is.
    QString rest = phonemes;
    rest.remove(english);
    QVERIFY2(!rest.contains(QStringLiteral("(en)")), qPrintable(phonemes));
    // The Russian stays Russian: "живёт" keeps its palatalised consonant.
    QVERIFY2(rest.contains(u';'), qPrintable(phonemes));
}

QTEST_GUILESS_MAIN(TestLatinWords)
#include "tst_latinwords.moc"
