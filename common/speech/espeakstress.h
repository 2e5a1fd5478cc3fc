#pragma once

#include "common/speech/speechtext.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace speech {

// espeak-ng 1.51 ignores a combining acute accent and stresses every word by
// its own dictionary and rules, which get forms like тебе́, моя́ or
// приходи́те (imperative) wrong. So a marked word is checked against the
// phonemes espeak-ng would speak, in context, and where they disagree it is
// handed over as phonemes (espeak-ng's own notation between "[[" and "]]",
// read with espeakPHONEMES) stressed where the mark says. A word with ё counts
// as marked: ё is always stressed.

// espeak-ng's phonemes for one clause of a synthesis text, as
// espeak_TextToPhonemes gives them with '|' between phonemes and a space
// between words.
struct PhonemeClause {
    TextSpan synthesis;
    QString phonemes;
};

// espeak_TextToPhonemes; it must run on the thread that owns the library,
// with the voice already chosen.
using TextToPhonemesFunction = const char* (*)(const void** text, int textMode, int phonemeMode);

// The clauses of synthesis as the library phonemises them.
QList<PhonemeClause> phonemeClauses(TextToPhonemesFunction textToPhonemes,
                                    const QString& synthesis);

// A marked word beside the phonemes espeak-ng gives it.
struct WordStress {
    MarkedWord word;
    QStringList phonemes;
    // Syllables with the strongest stress in the phonemes (primary, else
    // secondary), ascending; empty when they stress none.
    QList<int> spoken;

    bool agrees() const { return spoken == word.stressed; }
};

// Every marked word of text paired with its phonemes. A clause whose words
// do not pair one to one with the phonemes' words, syllable for syllable
// (numbers, letters read one by one, words read as another language), is
// left out and counted.
struct StressReading {
    QList<WordStress> words;
    int unpairedClauses = 0;
};
StressReading readStress(const SpeechText& text, const QList<PhonemeClause>& clauses);

// The syllables phoneme words stress, as in WordStress::spoken; -1 entries
// are never produced. syllables receives the count of syllabic vowels.
QList<int> stressedSyllables(const QStringList& phonemes, int* syllables = nullptr);

// word's phonemes restressed where its marks say, unstressed vowels reduced
// as espeak-ng's Russian rules reduce them, in phoneme-input form "[[...]]";
// empty when the phonemes do not match the word's vowels.
QString restressed(const WordStress& word, const QString& display);

// True when text has a word whose stress is marked.
bool hasMarkedStress(const SpeechText& text);

// text with every marked word that clauses stress elsewhere spelt as
// restressed phonemes; text itself when they all agree.
SpeechText withStressAsMarked(const SpeechText& text, const QList<PhonemeClause>& clauses);

} // namespace speech
