#include "common/speech/speechtext.h"

#include <algorithm>

namespace speech {

namespace {

constexpr QChar kAcute(0x0301);
constexpr QChar kGrave(0x0300);

bool isTagName(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// If raw[start] opens a tag "\Name=value\", returns the index just past it.
qsizetype tagEnd(const QString& raw, qsizetype start)
{
    qsizetype i = start + 1;
    const qsizetype nameStart = i;
    while (i < raw.size() && isTagName(raw[i]))
        ++i;
    if (i == nameStart || i >= raw.size() || raw[i] != u'=')
        return -1;
    const qsizetype close = raw.indexOf(u'\\', i + 1);
    return close < 0 ? -1 : close + 1;
}

bool isYo(QChar c)
{
    return c == u'ё' || c == u'Ё';
}

// End of the word of letters and inner hyphens starting at synthesis[i].
int wordEnd(const QString& synthesis, int i)
{
    const int size = int(synthesis.size());
    while (i < size) {
        if (synthesis[i].isLetter())
            ++i;
        else if (synthesis[i] == u'-' && i + 1 < size && synthesis[i + 1].isLetter() && i > 0 &&
                 synthesis[i - 1].isLetter())
            ++i;
        else
            break;
    }
    return i;
}

} // namespace

bool isStressMark(QChar c)
{
    return c == kAcute || c == kGrave;
}

QString withoutStressMarks(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text) {
        if (!isStressMark(c))
            plain += c;
    }
    return plain;
}

bool isRussianVowel(QChar c)
{
    static const QString vowels = QStringLiteral("аеёиоуыэюяАЕЁИОУЫЭЮЯ");
    return vowels.contains(c);
}

SpeechText parseSpeechText(const QString& raw)
{
    SpeechText result;
    result.display.reserve(raw.size());
    result.synthesis.reserve(raw.size());
    result.synthesisToDisplay.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size();) {
        if (raw[i] == u'\\') {
            const qsizetype end = tagEnd(raw, i);
            if (end > 0) {
                const QString tag = raw.mid(i + 1, end - i - 2);
                const qsizetype eq = tag.indexOf(u'=');
                if (tag.left(eq).compare(QLatin1String("spd"), Qt::CaseInsensitive) == 0) {
                    bool ok = false;
                    const int rate = tag.mid(eq + 1).trimmed().toInt(&ok);
                    if (ok && rate > 0)
                        result.wordsPerMinute = rate;
                }
                i = end;
                continue;
            }
        }
        const QChar c = raw[i];
        if (!isStressMark(c)) {
            result.synthesis += c;
            result.synthesisToDisplay.append(int(result.display.size()));
        }
        result.display += c;
        ++i;
    }
    return result;
}

TextSpan SpeechText::displaySpan(int first, int end) const
{
    const int size = int(synthesisToDisplay.size());
    first = std::clamp(first, 0, size);
    end = std::clamp(end, first, size);
    for (const TextSpan& word : phonemeWords) {
        if (first >= word.start && first < word.end) {
            first = word.start;
            end = word.end;
            break;
        }
    }
    if (first == end) {
        const int at = first < size ? synthesisToDisplay[first] : int(display.size());
        return {at, at};
    }
    TextSpan span{synthesisToDisplay[first], synthesisToDisplay[end - 1] + 1};
    while (span.end < display.size() && isStressMark(display[span.end]))
        ++span.end;
    return span;
}

QList<MarkedWord> markedWords(const SpeechText& text)
{
    QList<MarkedWord> words;
    const QString& synthesis = text.synthesis;
    auto phonemeWord = text.phonemeWords.cbegin();
    for (int i = 0; i < synthesis.size();) {
        while (phonemeWord != text.phonemeWords.cend() && phonemeWord->end <= i)
            ++phonemeWord;
        int end = 0;
        if (phonemeWord != text.phonemeWords.cend() && phonemeWord->start == i)
            end = phonemeWord->end;
        else if (synthesis[i].isLetter())
            end = wordEnd(synthesis, i);
        if (end <= i) {
            ++i;
            continue;
        }
        MarkedWord word;
        word.synthesis = {i, end};
        word.display = text.displaySpan(i, end);
        // A mark counts only straight after its vowel (other marks between).
        bool afterVowel = false;
        for (int d = word.display.start; d < word.display.end; ++d) {
            const QChar c = text.display[d];
            if (isRussianVowel(c)) {
                if (isYo(c))
                    word.stressed.append(word.syllables);
                ++word.syllables;
                afterVowel = true;
            } else if (c == kAcute && afterVowel &&
                       (word.stressed.isEmpty() || word.stressed.back() != word.syllables - 1)) {
                word.stressed.append(word.syllables - 1);
            } else if (!isStressMark(c)) {
                afterVowel = false;
            }
        }
        words.append(word);
        i = end;
    }
    return words;
}

} // namespace speech
