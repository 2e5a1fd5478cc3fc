#pragma once

#include <QtGlobal>

namespace speech {

// Where synthesised 16-bit mono samples go. Every call comes from the speech
// worker thread (the destructor may run on any thread). No call waits for a
// device or sound server: write() queues the samples for the device, whose
// own thread takes them when it wants them.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;

    // False when no device can take audio at that rate.
    virtual bool open(int sampleRate) = 0;
    virtual void write(const qint16* samples, qsizetype count) = 0;
    // Drops what has been written but not yet heard (used by stop).
    virtual void flush() = 0;
    // Samples written but not yet heard: how far the writer is ahead of the ear.
    virtual qint64 bufferedSamples() const = 0;
};

} // namespace speech
