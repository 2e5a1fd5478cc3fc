#pragma once

#include <QString>

#include <array>

namespace speech {

// The parts of speech that come from other packages and are opened only when
// speech starts, so a package's automatic dependency scan cannot see them:
// the Debian package names them in its Depends.
//
// Without the synthesizer or its voice data the character can never speak,
// whatever the machine: that is named once on the terminal with the package
// to install. The sound libraries only decide where the sound goes; a machine
// without a sound server or card is normal use and speaks in silence, so
// their absence goes to the debug log like every other sound failure.
enum class SpeechPart { Synthesizer, Voices, SoundServer, SoundDevice };

struct RuntimePart {
    SpeechPart part;
    const char* file;    // what the program opens
    const char* package; // the Debian package that holds it
    const char* loss;    // what the learner goes without
    bool speechNeedsIt;  // without it the character never speaks
};

inline constexpr std::size_t kRuntimePartCount = 4;

// Every part, in the order speech opens them.
const std::array<RuntimePart, kRuntimePartCount>& runtimeParts();
const RuntimePart& runtimePart(SpeechPart part);

// The line that names the part, what is lost and the package to install.
QString missingPartMessage(SpeechPart part);

// Reports the part as missing, once per part and process, from any thread:
// on stderr when speech needs it, in the debug log otherwise.
void reportMissingPart(SpeechPart part);

} // namespace speech
