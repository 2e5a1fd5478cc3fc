#pragma once

#include "common/speech/synthesizer.h"

#include <memory>

namespace speech {

// The espeak-ng synthesizer on the desktop's sound (see SystemAudioOutput),
// or silent with the same timing when there is none.
std::unique_ptr<Synthesizer> createSynthesizer();

} // namespace speech
