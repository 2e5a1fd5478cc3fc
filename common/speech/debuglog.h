#pragma once

#include <QSet>
#include <QString>

namespace speech {

// Set to a non-zero number to see the speech and sound diagnostics on stderr.
inline constexpr char kDebugVariable[] = "VELKOR_DEBUG";

// The speech and sound code's diagnostics, including what the sound libraries
// themselves would print. They reach stderr only when kDebugVariable asks for
// them: a missing sound card or server is not the learner's concern.
bool debugLogEnabled();
void debugLog(const QString& message);

// Logs each kind of failure once until things work again, so an outage that is
// retried twice a second leaves one line rather than thousands. Used from one
// thread at a time.
class FailureLog final
{
public:
    explicit FailureLog(QString source) : m_source(std::move(source)) {}

    void failed(const QString& what, const QString& detail = {});
    // The device works again: the next failure is news once more.
    void recovered() { m_reported.clear(); }

private:
    QString m_source;
    QSet<QString> m_reported;
};

} // namespace speech
