#pragma once

#include "common/speech/agent/agentrandom.h"

#include <random>

namespace reader {

// The reader's own random numbers, seeded the same in every run so that the
// animations "Play Animation" picks come in the same order each time.
class SeededRandom final : public speech::agent::AgentRandom
{
public:
    static constexpr unsigned kSeed = 1;

    int bounded(int bound) override
    {
        return std::uniform_int_distribution<int>(0, bound - 1)(m_engine);
    }

private:
    std::mt19937 m_engine{kSeed};
};

} // namespace reader
