#pragma once

#include "common/speech/audiooutput.h"
#include "common/speech/synthesizer.h"

#include <memory>

namespace speech {

struct OutputSlot;

// Speech from espeak-ng, played through output (a silent output with the same
// timing takes its place when it cannot be opened). All instances share one
// synthesis worker; each keeps its own queue order and its own output.
class EspeakSynthesizer final : public Synthesizer
{
    Q_OBJECT

public:
    explicit EspeakSynthesizer(std::unique_ptr<AudioOutput> output, QObject* parent = nullptr);
    ~EspeakSynthesizer() override;

    void speak(quint64 id, const QString& text, int languageId) override;
    void stop() override;

private:
    std::shared_ptr<OutputSlot> m_output;
};

} // namespace speech
