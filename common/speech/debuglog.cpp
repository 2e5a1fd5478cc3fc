#include "common/speech/debuglog.h"

#include <cstdio>
#include <mutex>

namespace speech {

bool debugLogEnabled()
{
    static const bool enabled = qEnvironmentVariableIntValue(kDebugVariable) != 0;
    return enabled;
}

void debugLog(const QString& message)
{
    if (!debugLogEnabled())
        return;
    static std::mutex mutex; // whole lines, whichever thread writes
    const QByteArray line = "velkor speech: " + message.toLocal8Bit() + '\n';
    std::lock_guard lock(mutex);
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
}

void FailureLog::failed(const QString& what, const QString& detail)
{
    if (m_reported.contains(what))
        return;
    m_reported.insert(what);
    debugLog(detail.isEmpty() ? m_source + ": " + what
                              : m_source + ": " + what + " (" + detail + ")");
}

} // namespace speech
