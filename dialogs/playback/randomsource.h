#pragma once

namespace playback {

// Where the random order draws its numbers. Tests give a fixed sequence.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // A uniform number in [0, 1).
    virtual double next() = 0;
};

// The process's one generator, seeded once on first use. Seeding again before
// every draw would repeat values within one clock tick.
RandomSource& processRandom();

} // namespace playback
