#include "common/speech/playoutqueue.h"

#include <algorithm>
#include <utility>

namespace speech {

namespace {

// A device with nothing to play starts once this much is waiting, or once the
// synthesizer has added nothing for kLastRunNs (a short utterance's end).
constexpr qint64 kStartRunMs = 150;
constexpr qint64 kLastRunNs = 50'000'000;

} // namespace

PlayoutQueue::PlayoutQueue(PlaybackClock::Now now)
    : m_now(now ? std::move(now) : PlaybackClock::steadyClock()), m_silent(m_now)
{}

void PlayoutQueue::setSampleRate(int sampleRate)
{
    if (sampleRate <= 0)
        return;
    std::lock_guard lock(m_mutex);
    m_sampleRate = sampleRate;
    m_device.setSampleRate(sampleRate);
    m_silent.setSampleRate(sampleRate);
}

void PlayoutQueue::push(const qint16* samples, qsizetype count)
{
    std::lock_guard lock(m_mutex);
    if (!m_toDevice && m_attached && !m_resyncing && m_silent.bufferedSamples() == 0)
        m_toDevice = true;
    if (m_toDevice) {
        m_ring.push(samples, count);
        m_lastPushNs = m_now();
    } else {
        m_silent.written(count);
    }
}

void PlayoutQueue::drop()
{
    std::lock_guard lock(m_mutex);
    m_ring.clear();
    m_silent.flush();
    if (m_toDevice && m_attached) {
        m_resyncing = true;
        m_dropRequested = true;
    }
}

qint64 PlayoutQueue::buffered() const
{
    std::lock_guard lock(m_mutex);
    return m_ring.size() + m_silent.bufferedSamples() + devicePending(m_now());
}

void PlayoutQueue::attach()
{
    std::lock_guard lock(m_mutex);
    m_attached = true;
    m_device.restart();
    m_resyncing = false;
    m_dropRequested = false;
}

void PlayoutQueue::detach()
{
    std::lock_guard lock(m_mutex);
    if (m_toDevice)
        m_silent.written(m_ring.size() + devicePending(m_now()));
    m_ring.clear();
    m_attached = false;
    m_toDevice = false;
    m_resyncing = false;
    m_dropRequested = false;
}

qsizetype PlayoutQueue::take(qint16* out, qsizetype max)
{
    std::lock_guard lock(m_mutex);
    if (!m_toDevice || !m_attached || m_resyncing || m_ring.isEmpty() || max <= 0)
        return 0;
    const qint64 now = m_now();
    if (m_device.pending(now) <= 0 && m_ring.size() < kStartRunMs * m_sampleRate / 1000 &&
        now - m_lastPushNs < kLastRunNs)
        return 0;
    const qsizetype count = m_ring.pop(out, max);
    m_device.handed(count);
    return count;
}

bool PlayoutQueue::dropRequested()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_dropRequested, false);
}

void PlayoutQueue::resync(qint64 position, const DeviceClock::Report& report)
{
    std::lock_guard lock(m_mutex);
    if (!m_resyncing || m_dropRequested)
        return;
    m_device.restart(position);
    m_device.report(report);
    m_resyncing = false;
}

void PlayoutQueue::report(const DeviceClock::Report& report)
{
    std::lock_guard lock(m_mutex);
    if (m_attached && !m_resyncing)
        m_device.report(report);
}

bool PlayoutQueue::busy() const
{
    std::lock_guard lock(m_mutex);
    return m_resyncing || !m_ring.isEmpty() || devicePending(m_now()) > 0;
}

qint64 PlayoutQueue::devicePending(qint64 nowNs) const
{
    if (!m_toDevice || m_resyncing)
        return 0;
    return std::max<qint64>(0, m_device.pending(nowNs));
}

} // namespace speech
