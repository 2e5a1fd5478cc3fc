#pragma once

#include "common/speech/audiooutput.h"

#include <QElapsedTimer>

#include <memory>
#include <mutex>

namespace speechtest {

// What a RecordingAudioOutput saw; shared with the test because the output
// itself belongs to the synthesizer. Written on the speech worker thread.
struct AudioLog {
    mutable std::mutex mutex;
    QElapsedTimer clock; // started on creation; times below are its nanoseconds
    int sampleRate = 0;
    qint64 samples = 0;
    int writes = 0;
    qint64 firstWriteNs = -1;
    qint64 lastWriteNs = -1;
    int flushes = 0;

    AudioLog() { clock.start(); }

    qint64 totalSamples() const
    {
        std::lock_guard lock(mutex);
        return samples;
    }
    qint64 lastWrite() const
    {
        std::lock_guard lock(mutex);
        return lastWriteNs;
    }
};

// Records every write. Alone it plays instantly (nothing is ever buffered), so
// a whole utterance runs at synthesis speed; around another output it keeps
// that output's timing.
class RecordingAudioOutput final : public speech::AudioOutput
{
public:
    explicit RecordingAudioOutput(std::shared_ptr<AudioLog> log,
                                  std::unique_ptr<speech::AudioOutput> inner = {})
        : m_log(std::move(log)), m_inner(std::move(inner))
    {}

    bool open(int sampleRate) override
    {
        {
            std::lock_guard lock(m_log->mutex);
            m_log->sampleRate = sampleRate;
        }
        return !m_inner || m_inner->open(sampleRate);
    }
    void write(const qint16* samples, qsizetype count) override
    {
        if (m_inner)
            m_inner->write(samples, count);
        std::lock_guard lock(m_log->mutex);
        const qint64 now = m_log->clock.nsecsElapsed();
        if (m_log->firstWriteNs < 0)
            m_log->firstWriteNs = now;
        m_log->lastWriteNs = now;
        m_log->samples += count;
        ++m_log->writes;
    }
    void flush() override
    {
        if (m_inner)
            m_inner->flush();
        std::lock_guard lock(m_log->mutex);
        ++m_log->flushes;
    }
    qint64 bufferedSamples() const override { return m_inner ? m_inner->bufferedSamples() : 0; }

private:
    std::shared_ptr<AudioLog> m_log;
    std::unique_ptr<speech::AudioOutput> m_inner;
};

} // namespace speechtest
