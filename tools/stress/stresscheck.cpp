// Lists every marked word of the built-in sentence table whose stress
// espeak-ng puts elsewhere, with the syllables (counted from 1) and phonemes.
//   stresscheck            espeak-ng reading the plain text (marks removed)
//   stresscheck --spoken   the speech as the character says it, words spelt
//                          as phonemes included; should list nothing
// Exit status 0 when every marked word agrees and every clause paired up.
#include "dialogs/sentences/sentencetable.h"
#include "tools/stress/espeakphonemes.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using stresscheck::EspeakPhonemes;

namespace {

QString syllables(const QList<int>& list)
{
    QStringList numbers;
    for (int s : list)
        numbers << QString::number(s + 1);
    return numbers.isEmpty() ? QStringLiteral("none") : numbers.join(u',');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool spoken = app.arguments().contains(QStringLiteral("--spoken"));

    EspeakPhonemes espeak;
    if (!espeak.isReady()) {
        std::fprintf(stderr, "espeak-ng with its Russian voice is not available\n");
        return 2;
    }

    int lines = 0;
    int marked = 0;
    int disagreements = 0;
    int unpaired = 0;
    stresscheck::forEachRussianLine([&](int id, const QString& line) {
        ++lines;
        const EspeakPhonemes::LineStress stress = espeak.stressOf(
            line, spoken ? EspeakPhonemes::Reading::Spoken : EspeakPhonemes::Reading::PlainText);
        marked += stress.markedWords;
        const QString where = QStringLiteral("%1 (%2) \"%3\"")
                                  .arg(sentences::SentenceTable::instance().location(id))
                                  .arg(id)
                                  .arg(line);
        if (stress.reading.unpairedClauses > 0) {
            unpaired += stress.reading.unpairedClauses;
            std::printf("%s: %d clause(s) not paired with the phonemes\n", qUtf8Printable(where),
                        stress.reading.unpairedClauses);
        }
        for (const speech::WordStress& word : stress.reading.words) {
            if (word.agrees())
                continue;
            ++disagreements;
            const speech::TextSpan shown = word.word.display;
            std::printf(
                "%s: %s marked %s, espeak-ng %s [%s]\n", qUtf8Printable(where),
                qUtf8Printable(stress.text.display.mid(shown.start, shown.end - shown.start)),
                qUtf8Printable(syllables(word.word.stressed)),
                qUtf8Printable(syllables(word.spoken)), qUtf8Printable(word.phonemes.join(u'|')));
        }
    });
    std::printf("%s: %d lines, %d marked words, %d disagreements, %d unpaired clauses\n",
                spoken ? "as spoken" : "as read from plain text", lines, marked, disagreements,
                unpaired);
    return disagreements == 0 && unpaired == 0 ? 0 : 1;
}
