#pragma once

#include <QtGlobal>

#include <vector>

namespace speech {

// First in, first out store of samples between the synthesizer and a sound
// device. It grows when a push does not fit, so a push never fails; the
// synthesizer's own lead keeps it small. Not thread-safe: its owner locks.
class SampleRing final
{
public:
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    void push(const qint16* samples, qsizetype count);
    // Moves up to max of the oldest samples to out; returns how many.
    qsizetype pop(qint16* out, qsizetype max);
    void clear();

private:
    void grow(qsizetype needed);

    std::vector<qint16> m_data;
    qsizetype m_head = 0; // index of the oldest sample
    qsizetype m_size = 0;
};

} // namespace speech
