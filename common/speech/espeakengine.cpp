#include "common/speech/espeakengine.h"

#include "common/speech/espeakmapping.h"
#include "common/speech/espeakstress.h"
#include "common/speech/silentaudiooutput.h"
#include "common/speech/synthesizer.h"

#include "common/speech/runtimeparts.h"
#include "common/speech/sharedlibrary.h"

#include <espeak-ng/speak_lib.h>

#include <QMetaObject>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace speech {

// The library's functions, resolved when the worker loads it.
struct EspeakApi {
    decltype(&espeak_Initialize) initialize = nullptr;
    decltype(&espeak_SetSynthCallback) setSynthCallback = nullptr;
    decltype(&espeak_SetVoiceByName) setVoiceByName = nullptr;
    decltype(&espeak_SetParameter) setParameter = nullptr;
    decltype(&espeak_Synth) synth = nullptr;
    decltype(&espeak_TextToPhonemes) textToPhonemes = nullptr;
    decltype(&espeak_Terminate) terminate = nullptr;

    bool resolve(SharedLibrary& library)
    {
        library.resolve("espeak_Initialize", initialize);
        library.resolve("espeak_SetSynthCallback", setSynthCallback);
        library.resolve("espeak_SetVoiceByName", setVoiceByName);
        library.resolve("espeak_SetParameter", setParameter);
        library.resolve("espeak_Synth", synth);
        library.resolve("espeak_TextToPhonemes", textToPhonemes);
        library.resolve("espeak_Terminate", terminate);
        return library.complete();
    }
};

namespace {

constexpr int kChunkMs = 20; // audio handed back by the library per callback
// Loading the library's data and opening the sound device wait this long, or
// until the first utterance, so they do not compete with a program's start-up.
constexpr std::chrono::milliseconds kWarmUpDelay(1500);
// Audio kept written ahead of the listener: chunks are 20 ms, so at least
// 330 ms stays queued for the sound device while an utterance is synthesised.
constexpr int kLeadMs = 350;
constexpr qint64 kMinWaitNs = 200'000;
constexpr qint64 kMaxWaitNs = 50'000'000;

// espeak-ng 1.51 creates pcaudiolib's device at initialisation even in
// synchronous mode, where it never plays, and pcaudiolib looks for a sound
// server with a blocking connection that a frozen server never answers. While
// the library initialises it is pointed at no server, so that check fails at
// once; the engine's own output connects afterwards with the real setting.
class LibraryWithoutSoundServer final
{
public:
    LibraryWithoutSoundServer()
        : m_saved(qgetenv("PULSE_SERVER")), m_wasSet(qEnvironmentVariableIsSet("PULSE_SERVER"))
    {
        qputenv("PULSE_SERVER", "unix:/dev/null");
    }
    ~LibraryWithoutSoundServer()
    {
        if (m_wasSet)
            qputenv("PULSE_SERVER", m_saved);
        else
            qunsetenv("PULSE_SERVER");
    }
    LibraryWithoutSoundServer(const LibraryWithoutSoundServer&) = delete;
    LibraryWithoutSoundServer& operator=(const LibraryWithoutSoundServer&) = delete;

private:
    QByteArray m_saved;
    bool m_wasSet;
};

int synthCallback(short* samples, int count, espeak_EVENT* events)
{
    return engineSynthCallback(samples, count, events);
}

} // namespace

int engineSynthCallback(short* samples, int count, void* events)
{
    return EspeakEngine::instance().onAudio(samples, count, events);
}

EspeakEngine& EspeakEngine::instance()
{
    static EspeakEngine engine;
    return engine;
}

EspeakEngine::EspeakEngine() : m_thread([this] { run(); }) {}

EspeakEngine::~EspeakEngine()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_cancelled = true;
        m_current = nullptr;
    }
    m_wake.notify_all();
    m_thread.join();
}

void EspeakEngine::prepare(std::shared_ptr<OutputSlot> output)
{
    Request request;
    request.output = std::move(output);
    enqueue(std::move(request));
}

void EspeakEngine::enqueue(Request request)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(request));
    }
    m_wake.notify_all();
}

void EspeakEngine::stop(Synthesizer* owner)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_current == owner) {
            m_cancelled = true;
            m_current = nullptr;
            QMetaObject::invokeMethod(
                owner, [owner, id = m_currentId] { emit owner->utteranceFinished(id, false); },
                Qt::QueuedConnection);
        }
        dropQueued(owner, true);
    }
    m_wake.notify_all();
}

void EspeakEngine::detach(Synthesizer* owner)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_current == owner) {
            m_cancelled = true;
            m_current = nullptr;
        }
        dropQueued(owner, false);
    }
    m_wake.notify_all();
}

void EspeakEngine::dropQueued(Synthesizer* owner, bool report)
{
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it->owner != owner) {
            ++it;
            continue;
        }
        if (report) {
            QMetaObject::invokeMethod(
                owner, [owner, id = it->id] { emit owner->utteranceFinished(id, false); },
                Qt::QueuedConnection);
        }
        it = m_queue.erase(it);
    }
}

void EspeakEngine::run()
{
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, kWarmUpDelay, [this] {
            return m_quit || std::any_of(m_queue.begin(), m_queue.end(),
                                         [](const Request& r) { return r.owner != nullptr; });
        });
        if (m_quit)
            return;
    }
    // Loaded here rather than linked: it brings the sound libraries with it.
    SharedLibrary library(runtimePart(SpeechPart::Synthesizer).file);
    EspeakApi api;
    if (api.resolve(library)) {
        m_api = &api;
        const LibraryWithoutSoundServer noServer;
        m_sampleRate = api.initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMs, nullptr,
                                      espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
        if (m_sampleRate <= 0)
            reportMissingPart(SpeechPart::Voices);
    } else {
        reportMissingPart(SpeechPart::Synthesizer);
    }
    if (m_sampleRate > 0) {
        api.setSynthCallback(synthCallback);
        selectVoice(voiceForLanguage(kRussianLanguage)); // loading a dictionary takes tens of ms
    }
    for (;;) {
        Request request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_queue.empty(); });
            if (m_quit)
                break;
            request = std::move(m_queue.front());
            m_queue.pop_front();
            if (request.owner) {
                m_current = request.owner;
                m_currentId = request.id;
                m_cancelled = false;
            }
        }
        if (request.output)
            ensureOpen(*request.output);
        if (request.owner && request.output && !m_cancelled)
            play(request);
        std::lock_guard lock(m_mutex);
        m_current = nullptr;
    }
    if (m_sampleRate > 0)
        api.terminate();
    m_api = nullptr;
}

void EspeakEngine::ensureOpen(OutputSlot& slot)
{
    if (slot.opened)
        return;
    const int rate = m_sampleRate > 0 ? m_sampleRate : 22050;
    if (!slot.output || !slot.output->open(rate)) {
        slot.output = std::make_unique<SilentAudioOutput>();
        slot.output->open(rate);
    }
    slot.opened = true;
}

void EspeakEngine::selectVoice(const QByteArray& voice)
{
    if (voice == m_voice)
        return;
    if (m_api->setVoiceByName(voice.constData()) != EE_OK)
        m_api->setVoiceByName("en");
    m_voice = voice;
}

void EspeakEngine::play(const Request& request)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_current != request.owner)
            return;
        QMetaObject::invokeMethod(
            request.owner,
            [owner = request.owner, id = request.id] { emit owner->utteranceStarted(id); },
            Qt::QueuedConnection);
    }

    // Russian words whose marks the library would not follow go to it as
    // phonemes; phonemising a sentence takes tens of microseconds.
    SpeechText spoken;
    const SpeechText* text = &request.text;
    if (m_sampleRate > 0 && request.voice == voiceForLanguage(kRussianLanguage) &&
        hasMarkedStress(request.text)) {
        selectVoice(request.voice);
        spoken = withStressAsMarked(request.text,
                                    phonemeClauses(m_api->textToPhonemes, request.text.synthesis));
        text = &spoken;
    }

    m_play = Playback{};
    m_play.output = request.output->output.get();
    m_play.text = text;
    const QString& synthesis = text->synthesis;
    for (qsizetype i = 0; i < synthesis.size(); ++i) {
        m_play.codepointToSynthesis.push_back(int(i));
        if (synthesis[i].isHighSurrogate() && i + 1 < synthesis.size() &&
            synthesis[i + 1].isLowSurrogate())
            ++i;
    }
    m_play.codepointToSynthesis.push_back(int(synthesis.size()));

    if (m_sampleRate > 0 && !synthesis.isEmpty()) {
        selectVoice(request.voice);
        const EspeakRate rate = espeakRateFor(request.wordsPerMinute);
        m_api->setParameter(espeakRATE, rate.rate, 0);
        m_api->setParameter(espeakWORDGAP, rate.wordGap, 0);
        // No SSML; phoneme input only for the words spelt as phonemes, so
        // nothing else in the text is markup.
        const QByteArray utf8 = synthesis.toUtf8();
        const unsigned flags =
            espeakCHARS_UTF8 | (text->phonemeWords.isEmpty() ? 0u : unsigned(espeakPHONEMES));
        m_api->synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, flags, nullptr,
                     nullptr);
    }

    // What is still to be heard: events trail the audio to its end.
    for (TimedEvent& event : m_play.events)
        event.sample = std::min(event.sample, m_play.written);
    while (!m_cancelled) {
        dispatchDue();
        const qint64 buffered = m_play.output->bufferedSamples();
        if (m_play.next >= m_play.events.size() && buffered <= 0)
            break;
        const qint64 heard = m_play.written - buffered;
        const qint64 toEnd = buffered * 1'000'000'000 / std::max(1, m_sampleRate);
        waitFor(std::min(toEnd, nanosToNextEvent(heard)));
    }

    std::lock_guard lock(m_mutex);
    if (m_cancelled || m_current != request.owner) {
        m_play.output->flush();
    } else {
        Synthesizer* owner = request.owner;
        const quint64 id = request.id;
        if (m_play.lastViseme != Viseme::Rest) {
            QMetaObject::invokeMethod(
                owner, [owner, id] { emit owner->visemeReached(id, Viseme::Rest); },
                Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            owner, [owner, id] { emit owner->utteranceFinished(id, true); }, Qt::QueuedConnection);
        m_current = nullptr;
    }
    m_play = Playback{};
}

int EspeakEngine::onAudio(short* samples, int count, void* events)
{
    if (m_cancelled || !m_play.output)
        return 1;
    for (auto* event = static_cast<espeak_EVENT*>(events);
         event && event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        char phoneme[sizeof(event->id.string) + 1] = {};
        if (event->type == espeakEVENT_PHONEME)
            std::memcpy(phoneme, event->id.string, sizeof(event->id.string));
        record(event->type, event->text_position, event->length, event->audio_position, phoneme);
    }
    if (samples && count > 0) {
        if (!waitForRoom())
            return 1;
        m_play.output->write(samples, count);
        m_play.written += count;
    }
    dispatchDue();
    return m_cancelled ? 1 : 0;
}

void EspeakEngine::record(int type, int textPosition, int length, int audioMs, const char* phoneme)
{
    TimedEvent event;
    event.sample = qint64(audioMs) * m_sampleRate / 1000;
    if (type == espeakEVENT_WORD) {
        // Positions are 1-based code points of the synthesised text; the
        // library also reports empty words at clause ends, which are skipped.
        const auto& map = m_play.codepointToSynthesis;
        const int codepoints = int(map.size()) - 1;
        const int first = textPosition - 1;
        if (length <= 0 || first < 0 || first >= codepoints)
            return;
        const int last = std::min(first + length, codepoints);
        const TextSpan span =
            m_play.text->displaySpan(map[std::size_t(first)], map[std::size_t(last)]);
        event.kind = EventKind::Word;
        event.position = span.start;
        event.length = span.end - span.start;
    } else if (type == espeakEVENT_PHONEME) {
        const std::optional<Viseme> viseme = visemeForPhoneme(phoneme);
        if (!viseme || *viseme == m_play.lastViseme)
            return;
        m_play.lastViseme = *viseme;
        event.kind = EventKind::Viseme;
        event.viseme = *viseme;
    } else {
        return;
    }
    m_play.events.push_back(event);
}

bool EspeakEngine::waitForRoom()
{
    const qint64 lead = qint64(kLeadMs) * m_sampleRate / 1000;
    for (;;) {
        dispatchDue();
        if (m_cancelled)
            return false;
        const qint64 buffered = m_play.output->bufferedSamples();
        if (buffered <= lead)
            return true;
        const qint64 toRoom = (buffered - lead) * 1'000'000'000 / m_sampleRate;
        waitFor(std::min(toRoom, nanosToNextEvent(m_play.written - buffered)));
    }
}

void EspeakEngine::dispatchDue()
{
    const qint64 heard = m_play.written - m_play.output->bufferedSamples();
    if (m_play.next >= m_play.events.size() || m_play.events[m_play.next].sample > heard)
        return;
    std::lock_guard lock(m_mutex);
    Synthesizer* owner = m_current;
    const quint64 id = m_currentId;
    while (m_play.next < m_play.events.size() && m_play.events[m_play.next].sample <= heard) {
        const TimedEvent& event = m_play.events[m_play.next++];
        if (!owner || m_cancelled)
            continue;
        if (event.kind == EventKind::Word) {
            QMetaObject::invokeMethod(
                owner,
                [owner, id, position = event.position, length = event.length] {
                    emit owner->wordReached(id, position, length);
                },
                Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(
                owner,
                [owner, id, viseme = event.viseme] { emit owner->visemeReached(id, viseme); },
                Qt::QueuedConnection);
        }
    }
}

qint64 EspeakEngine::nanosToNextEvent(qint64 heard) const
{
    if (m_play.next >= m_play.events.size())
        return kMaxWaitNs;
    const qint64 ahead = m_play.events[m_play.next].sample - heard;
    return std::max<qint64>(0, ahead) * 1'000'000'000 / std::max(1, m_sampleRate);
}

void EspeakEngine::waitFor(qint64 nanoseconds)
{
    nanoseconds = std::clamp(nanoseconds, kMinWaitNs, kMaxWaitNs);
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::nanoseconds(nanoseconds),
                    [this] { return m_cancelled || m_quit; });
}

} // namespace speech
