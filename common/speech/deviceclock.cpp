#include "common/speech/deviceclock.h"

#include <algorithm>

namespace speech {

void DeviceClock::setSampleRate(int sampleRate)
{
    if (sampleRate > 0)
        m_sampleRate = sampleRate;
}

void DeviceClock::restart(qint64 position)
{
    m_handed = position;
    m_start = position;
    m_reported = false;
    m_last = Report{};
}

void DeviceClock::report(const Report& report)
{
    m_last = report;
    m_reported = true;
}

qint64 DeviceClock::heard(qint64 nowNs) const
{
    // Until the device first says where it is, nothing counts as heard.
    if (!m_reported)
        return m_start;
    const qint64 elapsed = std::max<qint64>(0, nowNs - m_last.atNs) * m_sampleRate / 1'000'000'000;
    // A device waiting for data (before its start, after an underrun) still
    // plays out its own buffer, but takes nothing new until it runs again.
    const qint64 limit = m_last.running ? m_handed : std::min(m_handed, m_last.consumed);
    return std::min(limit, m_last.consumed - m_last.latency + elapsed);
}

} // namespace speech
