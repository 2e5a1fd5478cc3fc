#pragma once

#include "common/speech/viseme.h"

#include <QByteArray>

#include <optional>

namespace speech {

constexpr int kRussianLanguage = 1049; // Windows-style language identifier

// The voice for a Windows-style language identifier (1049 Russian).
QByteArray voiceForLanguage(int languageId);

// Rate settings that make the library speak at wordsPerMinute. It will not go
// below about 90 wpm, so slower rates keep that rate and add pauses between words.
struct EspeakRate {
    int rate = 175;  // espeakRATE
    int wordGap = 0; // espeakWORDGAP, units of 10 ms at normal speed
};
EspeakRate espeakRateFor(int wordsPerMinute);

// The mouth shape for a phoneme mnemonic of a PHONEME event; nothing for
// markers that are not sounds (language switches, palatalisation).
std::optional<Viseme> visemeForPhoneme(const char* mnemonic);

} // namespace speech
