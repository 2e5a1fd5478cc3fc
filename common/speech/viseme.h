#pragma once

namespace speech {

// The few mouth shapes a character draws; phonemes are mapped onto these.
enum class Viseme {
    Rest,   // closed, relaxed (silence, pauses)
    Open,   // a
    Wide,   // e, i, y
    Round,  // o, u
    Closed, // m, b, p
    Teeth,  // f, v
    Tongue, // t, d, n, l, s, z, r and the remaining consonants
};

constexpr int kVisemeCount = 7;

} // namespace speech
