#pragma once

#include "common/speech/viseme.h"

#include <QObject>
#include <QString>

namespace speech {

// Turns text into sound. speak() and stop() return at once; everything the
// synthesizer reports arrives later as queued signals on the thread that owns
// it, each at the moment the audio output reaches it (or, with no sound
// device, when it would have). Utterances play one after another.
class Synthesizer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~Synthesizer() override = default;

    // text is what the caller passed to Speak, tags included (see speechtext.h);
    // positions in wordReached refer to parseSpeechText(text).display.
    virtual void speak(quint64 id, const QString& text, int languageId) = 0;

    // Cuts the utterance being played and drops every queued one.
    virtual void stop() = 0;

signals:
    void utteranceStarted(quint64 id);
    void wordReached(quint64 id, int position, int length);
    void visemeReached(quint64 id, speech::Viseme viseme);
    // completed is false when stop() cut or dropped the utterance.
    void utteranceFinished(quint64 id, bool completed);
};

} // namespace speech
