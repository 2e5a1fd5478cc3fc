#pragma once

#include "common/speech/synthesizer.h"

#include <memory>

namespace speech {

// The espeak-ng synthesizer on the sound device, or silent with the same
// timing when no device opens.
std::unique_ptr<Synthesizer> createSynthesizer();

} // namespace speech
