#pragma once

#include <QFile>
#include <QString>

#include <memory>

namespace reader {

// A line per speech event, for whole-program tests and benchmarks that need
// to know what was said and when: "<ms since the epoch> <event>". Written
// only when the environment names a file in kVariable.
class SpeechLog final
{
public:
    static constexpr const char* kVariable = "VELKOR_SPEECH_LOG";

    // The log the environment asks for, or nullptr.
    static std::unique_ptr<SpeechLog> fromEnvironment();

    explicit SpeechLog(const QString& fileName);

    // Line breaks in event become blanks, so each event stays one line.
    void write(const QString& event);

private:
    QFile m_file;
};

} // namespace reader
