#include "common/speech/synthesizerfactory.h"

#include "common/speech/espeaksynthesizer.h"
#include "common/speech/systemaudiooutput.h"

namespace speech {

std::unique_ptr<Synthesizer> createSynthesizer()
{
    return std::make_unique<EspeakSynthesizer>(std::make_unique<SystemAudioOutput>());
}

} // namespace speech
