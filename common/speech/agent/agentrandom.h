#pragma once

#include <QRandomGenerator>

namespace speech::agent {

// Chance for branches and idle pauses; tests substitute fixed sequences.
class AgentRandom
{
public:
    virtual ~AgentRandom() = default;
    // A number in [0, bound); bound is at least 1.
    virtual int bounded(int bound) = 0;
};

class SystemRandom final : public AgentRandom
{
public:
    int bounded(int bound) override
    {
        return static_cast<int>(QRandomGenerator::global()->bounded(bound));
    }
};

} // namespace speech::agent
