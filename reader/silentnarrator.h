#pragma once

#include "common/speech/synthesizer.h"
#include "reader/narrator.h"

#include <memory>

namespace reader {

// Sentences "said" by a synthesizer that plays nothing: the words still come
// at the moments the speech would reach them. Used while no character is
// loaded, so the text is followed with the same timing.
class SilentNarrator final : public Narrator
{
    Q_OBJECT

public:
    static constexpr int kLanguageId = 1049; // Russian, as the characters speak

    // With no synthesizer given, espeak-ng on a silent output.
    explicit SilentNarrator(std::unique_ptr<speech::Synthesizer> synthesizer = {},
                            QObject* parent = nullptr);
    ~SilentNarrator() override;

    quint64 say(const QString& sentence) override;
    void silence() override;

private:
    std::unique_ptr<speech::Synthesizer> m_synthesizer;
    quint64 m_lastId = 0;
};

} // namespace reader
