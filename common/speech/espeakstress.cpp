#include "common/speech/espeakstress.h"

#include <espeak-ng/speak_lib.h>

#include <QByteArray>

#include <algorithm>
#include <vector>

namespace speech {

namespace {

constexpr char kSeparator = '|';

// The syllabic vowels of espeak-ng's Russian phoneme table. "@-" (a glide
// inserted before r and l) and "I^" (a softening glide) are not syllables.
bool isSyllabic(const QString& phoneme)
{
    static const QStringList vowels = {
        QStringLiteral("a"),  QStringLiteral("a#"), QStringLiteral("A"),  QStringLiteral("V"),
        QStringLiteral("V#"), QStringLiteral("@"),  QStringLiteral("e"),  QStringLiteral("E"),
        QStringLiteral("E#"), QStringLiteral("E2"), QStringLiteral("E3"), QStringLiteral("i"),
        QStringLiteral("I"),  QStringLiteral("I#"), QStringLiteral("I2"), QStringLiteral("I3"),
        QStringLiteral("y"),  QStringLiteral("Y"),  QStringLiteral("o"),  QStringLiteral("O"),
        QStringLiteral("8"),  QStringLiteral("u"),  QStringLiteral("u#"), QStringLiteral("u\""),
        QStringLiteral("U"),  QStringLiteral("ja"), QStringLiteral("ju")};
    return vowels.contains(phoneme);
}

enum class Stress { None, Secondary, Primary };

// One phoneme as the library writes it: stress marks first. Pauses ("_",
// "_:") stuck to its front and language switches ("(en)") are dropped.
struct Phoneme {
    QString name;
    Stress stress = Stress::None;
};

Phoneme parsePhoneme(QString text)
{
    while (text.startsWith(u'_')) {
        qsizetype i = 1;
        while (i < text.size() && (text[i] == u':' || text[i] == u'!'))
            ++i;
        text.remove(0, i);
    }
    Phoneme phoneme;
    if (text.startsWith(u'('))
        return phoneme;
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == u'\'')
            phoneme.stress = Stress::Primary;
        else if (text[i] == u',')
            phoneme.stress = std::max(phoneme.stress, Stress::Secondary);
        else if (text[i] != u'%' && text[i] != u'=')
            break;
    }
    phoneme.name = text.mid(i);
    return phoneme;
}

QList<Phoneme> parseWord(const QStringList& phonemes)
{
    QList<Phoneme> result;
    for (const QString& text : phonemes) {
        Phoneme phoneme = parsePhoneme(text);
        if (!phoneme.name.isEmpty())
            result.append(phoneme);
    }
    return result;
}

// Where a vowel stands against the stressed syllables of its word.
enum class Place { Stressed, FirstPretonic, Pretonic, Posttonic, Final };

Place placeOf(int syllable, int syllables, const QList<int>& stressed)
{
    if (stressed.contains(syllable))
        return Place::Stressed;
    if (stressed.contains(syllable + 1))
        return Place::FirstPretonic;
    if (std::any_of(stressed.begin(), stressed.end(), [&](int s) { return s > syllable; }))
        return Place::Pretonic;
    return syllable == syllables - 1 ? Place::Final : Place::Posttonic;
}

bool isHissing(QChar letter)
{
    return letter == u'ж' || letter == u'ш' || letter == u'ц';
}

// The phoneme espeak-ng's Russian rules give a vowel letter in this place,
// read off its own output over the sentence table. Letters whose sound does
// not move with the stress (и, ы, у, ю, ё) and the iotated я keep the
// phoneme the library chose.
QString vowelPhoneme(QChar letter, QChar before, Place place, const QString& given)
{
    const bool stressed = place == Place::Stressed;
    switch (letter.toLower().unicode()) {
    case u'о':
        return stressed ? QStringLiteral("o") : QStringLiteral("V");
    case u'я':
        if (given == QLatin1String("ja"))
            return given;
        [[fallthrough]];
    case u'а':
        switch (place) {
        case Place::Stressed:
            return QStringLiteral("A");
        case Place::FirstPretonic:
            return QStringLiteral("a");
        case Place::Final:
            return letter.toLower() == u'а' ? QStringLiteral("a#") : QStringLiteral("V");
        default:
            return QStringLiteral("V");
        }
    case u'е':
        if (isHissing(before))
            return stressed ? QStringLiteral("E") : QStringLiteral("y");
        if (stressed)
            return QStringLiteral("e");
        return before.isNull() || isRussianVowel(before) || before == u'ь' || before == u'ъ'
                   ? QStringLiteral("I")
                   : QStringLiteral("i");
    case u'э':
        return stressed ? QStringLiteral("E") : QStringLiteral("E#");
    default:
        return given;
    }
}

// Walks the UTF-8 form of a text forward, telling the text index of a byte
// offset; offsets asked for never decrease, so a whole text costs one pass.
class Utf8Cursor
{
public:
    explicit Utf8Cursor(const QString& text) : m_text(text) {}

    int indexOf(qsizetype offset)
    {
        while (m_index < m_text.size() && m_bytes < offset) {
            const char16_t c = m_text[m_index].unicode();
            m_bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : QChar::isSurrogate(c) ? 2 : 3;
            ++m_index;
        }
        return m_index;
    }

private:
    const QString& m_text;
    int m_index = 0;
    qsizetype m_bytes = 0;
};

} // namespace

QList<PhonemeClause> phonemeClauses(TextToPhonemesFunction textToPhonemes, const QString& synthesis)
{
    QList<PhonemeClause> clauses;
    const QByteArray utf8 = synthesis.toUtf8();
    const void* next = utf8.constData();
    Utf8Cursor cursor(synthesis);
    int start = 0;
    while (next) {
        const void* before = next;
        const char* phonemes = textToPhonemes(&next, espeakCHARS_UTF8, int(kSeparator) << 8);
        if (next == before) // no progress: the rest cannot be read
            next = nullptr;
        int end = next ? cursor.indexOf(static_cast<const char*>(next) - utf8.constData())
                       : int(synthesis.size());
        // The library reads a character ahead: the next clause begins at the
        // start of the word the pointer has stepped into.
        while (next && end > start && synthesis[end - 1].isLetterOrNumber())
            --end;
        clauses.append({{start, std::max(start, end)}, QString::fromUtf8(phonemes)});
        start = std::max(start, end);
    }
    return clauses;
}

QList<int> stressedSyllables(const QStringList& phonemes, int* syllables)
{
    QList<int> primary;
    QList<int> secondary;
    int count = 0;
    for (const Phoneme& phoneme : parseWord(phonemes)) {
        if (!isSyllabic(phoneme.name))
            continue;
        if (phoneme.stress == Stress::Primary)
            primary.append(count);
        else if (phoneme.stress == Stress::Secondary)
            secondary.append(count);
        ++count;
    }
    if (syllables)
        *syllables = count;
    return primary.isEmpty() ? secondary : primary;
}

StressReading readStress(const SpeechText& text, const QList<PhonemeClause>& clauses)
{
    StressReading reading;
    const QList<MarkedWord> words = markedWords(text);
    auto word = words.cbegin();
    for (const PhonemeClause& clause : clauses) {
        QList<MarkedWord> inClause;
        for (; word != words.cend() && word->synthesis.start < clause.synthesis.end; ++word) {
            if (word->synthesis.start >= clause.synthesis.start)
                inClause.append(*word);
        }
        const QStringList spokenWords = clause.phonemes.split(u' ', Qt::SkipEmptyParts);
        if (inClause.isEmpty() && spokenWords.isEmpty())
            continue;
        QList<WordStress> paired;
        bool pairs = spokenWords.size() == inClause.size();
        for (qsizetype i = 0; pairs && i < inClause.size(); ++i) {
            if (inClause[i].stressed.isEmpty())
                continue;
            WordStress stress{inClause[i], spokenWords[i].split(QChar(kSeparator)), {}};
            int syllables = 0;
            stress.spoken = stressedSyllables(stress.phonemes, &syllables);
            pairs = syllables == stress.word.syllables;
            paired.append(stress);
        }
        if (pairs)
            reading.words.append(paired);
        else
            ++reading.unpairedClauses;
    }
    return reading;
}

QString restressed(const WordStress& word, const QString& display)
{
    struct Letter {
        QChar vowel;
        QChar before;
    };
    QList<Letter> vowels;
    QChar before;
    for (int d = word.word.display.start; d < word.word.display.end; ++d) {
        const QChar c = display[d];
        if (isRussianVowel(c))
            vowels.append({c, before});
        if (c.isLetter())
            before = c.toLower();
    }

    QStringList result;
    int syllable = 0;
    for (const Phoneme& phoneme : parseWord(word.phonemes)) {
        if (!isSyllabic(phoneme.name)) {
            result.append(phoneme.name);
            continue;
        }
        if (syllable >= vowels.size())
            return {};
        const Letter& letter = vowels[syllable];
        const Place place = placeOf(syllable, int(vowels.size()), word.word.stressed);
        const QString vowel = vowelPhoneme(letter.vowel, letter.before, place, phoneme.name);
        result.append(place == Place::Stressed ? u'\'' + vowel : vowel);
        ++syllable;
    }
    if (syllable != vowels.size())
        return {};
    return QStringLiteral("[[") + result.join(QChar(kSeparator)) + QStringLiteral("]]");
}

bool hasMarkedStress(const SpeechText& text)
{
    return text.display.size() != text.synthesis.size() || text.synthesis.contains(u'ё') ||
           text.synthesis.contains(u'Ё');
}

SpeechText withStressAsMarked(const SpeechText& text, const QList<PhonemeClause>& clauses)
{
    struct Respelling {
        TextSpan synthesis;
        QString phonemes;
    };
    QList<Respelling> respellings;
    for (const WordStress& word : readStress(text, clauses).words) {
        if (word.agrees())
            continue;
        QString phonemes = restressed(word, text.display);
        if (!phonemes.isEmpty())
            respellings.append({word.word.synthesis, std::move(phonemes)});
    }
    if (respellings.isEmpty())
        return text;

    SpeechText result;
    result.display = text.display;
    result.wordsPerMinute = text.wordsPerMinute;
    auto respelling = respellings.cbegin();
    for (int i = 0; i < text.synthesis.size();) {
        if (respelling != respellings.cend() && respelling->synthesis.start == i) {
            // The whole run stands for the word: its first character maps to
            // the word's first letter and its last to the word's last letter.
            const int first = text.synthesisToDisplay[i];
            const int last = text.synthesisToDisplay[respelling->synthesis.end - 1];
            const int start = int(result.synthesis.size());
            result.synthesis += respelling->phonemes;
            for (qsizetype k = 0; k < respelling->phonemes.size(); ++k)
                result.synthesisToDisplay.append(k + 1 < respelling->phonemes.size() ? first
                                                                                     : last);
            result.phonemeWords.append({start, int(result.synthesis.size())});
            i = respelling->synthesis.end;
            ++respelling;
            continue;
        }
        // With phoneme input on, "[[" in the text itself would open phonemes.
        const QChar c = text.synthesis[i];
        result.synthesis += c == u'[' ? QChar(u' ') : c;
        result.synthesisToDisplay.append(text.synthesisToDisplay[i]);
        ++i;
    }
    return result;
}

} // namespace speech
