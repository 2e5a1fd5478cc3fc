#pragma once

#include "common/speech/espeakstress.h"

#include <QString>

#include <cstdio>
#include <functional>

namespace stresscheck {

// espeak-ng's Russian voice opened for phonemes only: no sound device, one
// per process (the library keeps global state).
class EspeakPhonemes final
{
public:
    EspeakPhonemes();
    ~EspeakPhonemes();
    EspeakPhonemes(const EspeakPhonemes&) = delete;
    EspeakPhonemes& operator=(const EspeakPhonemes&) = delete;

    bool isReady() const { return m_ready; }

    // How the library reads synthesis as plain text, clause by clause.
    QList<speech::PhonemeClause> read(const QString& synthesis) const;

    // What it speaks for text, phoneme words included, as one clause: the
    // phonemes it writes while synthesising, clause after clause.
    speech::PhonemeClause speak(const speech::SpeechText& text);

    // One line's marked words against its phonemes: as the library reads the
    // plain text, or as the character speaks it (misstressed words respelt).
    struct LineStress {
        speech::SpeechText text; // as handed to the library
        speech::StressReading reading;
        int markedWords = 0;
    };
    enum class Reading { PlainText, Spoken };
    LineStress stressOf(const QString& line, Reading reading);

private:
    bool m_ready = false;
    char* m_traceBuffer = nullptr;
    std::size_t m_traceSize = 0;
    std::FILE* m_trace = nullptr;
};

// Calls visit with the number and text of every Russian line of the
// built-in table, in table order.
void forEachRussianLine(const std::function<void(int id, const QString& text)>& visit);

} // namespace stresscheck
