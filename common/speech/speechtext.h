#pragma once

#include <QList>
#include <QString>

namespace speech {

// Start and end (exclusive) of a range of text.
struct TextSpan {
    int start = 0;
    int end = 0;
    bool operator==(const TextSpan&) const = default;
};

// A Speak text split into what is shown and what is synthesised. Tags of the
// form "\Name=value\" are never shown nor spoken; "\Spd=n\" (any case) sets the
// rate in words per minute. Combining grave and acute stress marks stay in the
// shown text but never reach the synthesiser as characters: a word whose mark
// the synthesiser would not follow is handed to it as phonemes instead (see
// espeakstress.h), spelt "[[...]]" in the synthesis text.
struct SpeechText {
    QString display;
    QString synthesis;
    // synthesis index -> display index, one entry per synthesis character.
    QList<int> synthesisToDisplay;
    int wordsPerMinute = -1; // -1: no rate tag
    // Words of the synthesis text spelt as phonemes, "[[...]]" included.
    QList<TextSpan> phonemeWords;

    // The display span of a word the synthesiser reports at synthesis
    // characters [first, end): a word spelt as phonemes stands for its whole
    // display word, and marks after a word's last letter belong to it.
    TextSpan displaySpan(int first, int end) const;
};

SpeechText parseSpeechText(const QString& raw);

// What the marks of the display text say about one word.
struct MarkedWord {
    TextSpan synthesis; // letters and inner hyphens, or a whole "[[...]]"
    TextSpan display;   // marks after the last letter included
    int syllables = 0;  // vowel letters
    // Syllables (0-based) carrying an acute mark or the letter ё, ascending.
    QList<int> stressed;
};

// Words of text, each with its stress as marked; words without a mark or ё
// are listed too, with stressed empty.
QList<MarkedWord> markedWords(const SpeechText& text);

// The text as it reads without its stress marks (the combining acute and
// grave), every other character kept; what a reader who turned marks off sees.
QString withoutStressMarks(const QString& text);

bool isStressMark(QChar c);
bool isRussianVowel(QChar c);

} // namespace speech
