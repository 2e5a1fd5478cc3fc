#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace speech::agent {

// Milliseconds on a monotonic clock; tests substitute a clock they advance.
class AgentClock
{
public:
    virtual ~AgentClock() = default;
    virtual qint64 nowMs() const = 0;
};

class SteadyClock final : public AgentClock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 nowMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

} // namespace speech::agent
