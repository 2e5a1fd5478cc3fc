#include "common/speech/samplering.h"

#include <algorithm>
#include <cstring>

namespace speech {

void SampleRing::push(const qint16* samples, qsizetype count)
{
    if (count <= 0)
        return;
    if (m_size + count > qsizetype(m_data.size()))
        grow(m_size + count);
    const qsizetype capacity = qsizetype(m_data.size());
    qsizetype tail = (m_head + m_size) % capacity;
    qsizetype left = count;
    while (left > 0) {
        const qsizetype run = std::min(left, capacity - tail);
        std::memcpy(m_data.data() + tail, samples, std::size_t(run) * sizeof(qint16));
        samples += run;
        left -= run;
        tail = (tail + run) % capacity;
    }
    m_size += count;
}

qsizetype SampleRing::pop(qint16* out, qsizetype max)
{
    const qsizetype count = std::clamp<qsizetype>(max, 0, m_size);
    const qsizetype capacity = qsizetype(m_data.size());
    qsizetype left = count;
    while (left > 0) {
        const qsizetype run = std::min(left, capacity - m_head);
        std::memcpy(out, m_data.data() + m_head, std::size_t(run) * sizeof(qint16));
        out += run;
        left -= run;
        m_head = (m_head + run) % capacity;
    }
    m_size -= count;
    if (m_size == 0)
        m_head = 0;
    return count;
}

void SampleRing::clear()
{
    m_head = 0;
    m_size = 0;
}

void SampleRing::grow(qsizetype needed)
{
    qsizetype capacity = std::max<qsizetype>(4096, qsizetype(m_data.size()));
    while (capacity < needed)
        capacity *= 2;
    std::vector<qint16> data(std::size_t(capacity), 0);
    const qsizetype size = m_size;
    pop(data.data(), size); // oldest first, to the front of the new store
    m_data = std::move(data);
    m_head = 0;
    m_size = size;
}

} // namespace speech
