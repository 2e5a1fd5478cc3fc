#include "common/speech/espeakmapping.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace speech {

namespace {

// Below this the library ignores further slowing.
constexpr int kFloorRate = 90;
// Measured with 1.51 at the floor rate on Russian and English word lists:
// a word takes about 500 ms and each word-gap unit adds about 32 ms per word.
constexpr double kWordMsAtFloor = 500.0;
constexpr double kGapUnitMsAtFloor = 32.0;

constexpr int kSlowest = 40;
constexpr int kFastest = 450;
constexpr int kNormal = 175;

} // namespace

QByteArray voiceForLanguage(int languageId)
{
    switch (languageId) {
    case kRussianLanguage:
        return "ru";
    case 1033:
        return "en-us";
    default:
        return "en";
    }
}

EspeakRate espeakRateFor(int wordsPerMinute)
{
    if (wordsPerMinute <= 0)
        return {kNormal, 0};
    const int wpm = std::clamp(wordsPerMinute, kSlowest, kFastest);
    if (wpm >= kFloorRate)
        return {wpm, 0};
    const double extraMsPerWord = kWordMsAtFloor * (double(kFloorRate) / wpm - 1.0);
    return {kFloorRate, int(std::lround(extraMsPerWord / kGapUnitMsAtFloor))};
}

std::optional<Viseme> visemeForPhoneme(const char* mnemonic)
{
    if (!mnemonic || !*mnemonic)
        return std::nullopt;
    switch (mnemonic[0]) {
    case '_':
        return Viseme::Rest;
    case '(': // "(en)", "(ru)": the voice switches language
    case ';': // palatalisation of the previous consonant
    case '\'':
    case ',':
        return std::nullopt;
    case 'a':
    case 'A':
    case 'V':
    case '&':
    case '@':
    case '3':
        return Viseme::Open;
    case 'e':
    case 'E':
    case 'i':
    case 'I':
    case 'y':
    case 'Y':
    case 'j':
        return Viseme::Wide;
    case 'o':
    case 'O':
    case 'u':
    case 'U':
    case '0':
    case '8':
    case 'w':
        return Viseme::Round;
    case 'm':
    case 'b':
    case 'p':
        return Viseme::Closed;
    case 'f':
    case 'v':
        return Viseme::Teeth;
    default:
        return Viseme::Tongue;
    }
}

} // namespace speech
