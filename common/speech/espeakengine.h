#pragma once

#include "common/speech/audiooutput.h"
#include "common/speech/speechtext.h"
#include "common/speech/viseme.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace speech {

class Synthesizer;

// An output as the engine holds it: opened on the worker at first use and
// replaced by a silent one when no device opens.
struct OutputSlot {
    std::unique_ptr<AudioOutput> output;
    bool opened = false;
};

int engineSynthCallback(short* samples, int count, void* events);

// The one espeak-ng instance of the process. The library keeps global state,
// so it is initialised once and only ever used from this engine's worker
// thread; every synthesizer object queues its utterances here. Signals reach
// their synthesizer as queued calls, posted only while that synthesizer is
// still current, so a stop or a destruction is never followed by stale events.
class EspeakEngine final
{
public:
    struct Request {
        Synthesizer* owner = nullptr; // nullptr: only open the output
        quint64 id = 0;
        SpeechText text;
        QByteArray voice;
        int wordsPerMinute = -1;
        std::shared_ptr<OutputSlot> output;
    };

    static EspeakEngine& instance();

    // Opens the output ahead of the first utterance so speech starts at once.
    void prepare(std::shared_ptr<OutputSlot> output);
    void enqueue(Request request);
    // Cuts owner's current utterance and drops its queued ones, reporting each
    // as finished(false) in request order.
    void stop(Synthesizer* owner);
    // As stop, without reports: owner is being destroyed.
    void detach(Synthesizer* owner);

    ~EspeakEngine();
    EspeakEngine(const EspeakEngine&) = delete;
    EspeakEngine& operator=(const EspeakEngine&) = delete;

private:
    friend int engineSynthCallback(short* samples, int count, void* events);

    enum class EventKind { Word, Viseme };
    struct TimedEvent {
        qint64 sample = 0;
        EventKind kind = EventKind::Word;
        int position = 0;
        int length = 0;
        Viseme viseme = Viseme::Rest;
    };
    struct Playback {
        AudioOutput* output = nullptr;
        const SpeechText* text = nullptr;
        std::vector<int> codepointToSynthesis; // plus one entry past the end
        std::vector<TimedEvent> events;
        std::size_t next = 0;
        qint64 written = 0;
        Viseme lastViseme = Viseme::Rest;
    };

    EspeakEngine();
    void run();
    void ensureOpen(OutputSlot& slot);
    void selectVoice(const QByteArray& voice);
    void play(const Request& request);
    int onAudio(short* samples, int count, void* events);
    void record(int type, int textPosition, int length, int audioMs, const char* phoneme);
    bool waitForRoom();
    void dispatchDue();
    qint64 nanosToNextEvent(qint64 heard) const;
    void waitFor(qint64 nanoseconds);
    void dropQueued(Synthesizer* owner, bool report);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Request> m_queue;
    Synthesizer* m_current = nullptr;
    quint64 m_currentId = 0;
    std::atomic<bool> m_cancelled = false;
    bool m_quit = false;

    // Worker thread only.
    const struct EspeakApi* m_api = nullptr; // valid while run() holds the library
    int m_sampleRate = 0;
    QByteArray m_voice;
    Playback m_play;

    // Last, so the worker starts after everything it uses exists.
    std::thread m_thread;
};

} // namespace speech
