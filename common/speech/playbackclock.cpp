#include "common/speech/playbackclock.h"

#include <algorithm>
#include <chrono>

namespace speech {

PlaybackClock::PlaybackClock(Now now) : m_now(now ? std::move(now) : steadyClock())
{
    m_endNs = m_now();
}

PlaybackClock::Now PlaybackClock::steadyClock()
{
    return [] {
        return qint64(std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    };
}

void PlaybackClock::setSampleRate(int sampleRate)
{
    if (sampleRate > 0)
        m_sampleRate = sampleRate;
}

void PlaybackClock::written(qint64 samples)
{
    const qint64 now = m_now();
    m_endNs = std::max(m_endNs, now) + samples * 1'000'000'000 / m_sampleRate;
}

void PlaybackClock::flush()
{
    m_endNs = m_now();
}

qint64 PlaybackClock::bufferedSamples() const
{
    const qint64 left = m_endNs - m_now();
    return left <= 0 ? 0 : (left * m_sampleRate + 999'999'999) / 1'000'000'000;
}

} // namespace speech
