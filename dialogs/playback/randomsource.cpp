#include "dialogs/playback/randomsource.h"

#include <random>

namespace playback {

namespace {

class SeededRandom final : public RandomSource
{
public:
    SeededRandom() : m_engine(std::random_device{}()) {}

    double next() override
    {
        // 53 random bits scaled into [0, 1): never 1, unlike some
        // uniform_real_distribution implementations.
        const std::uint64_t bits = m_engine() >> 11;
        return double(bits) * 0x1.0p-53;
    }

private:
    std::mt19937_64 m_engine;
};

} // namespace

RandomSource& processRandom()
{
    static SeededRandom random;
    return random;
}

} // namespace playback
