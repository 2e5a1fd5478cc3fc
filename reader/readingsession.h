#pragma once

#include "reader/sentencesplitter.h"

#include <QObject>
#include <QPointer>

#include <deque>

namespace reader {

class Narrator;

// One text read aloud sentence by sentence. Only a couple of sentences are
// ever queued on the narrator, the next one following as each is said, so a
// text of any length starts at once and a stop has little to drop. The word
// being heard is reported as a span of the whole text.
class ReadingSession final : public QObject
{
    Q_OBJECT

public:
    // Sentences queued on the narrator at a time: the one being said and the
    // next, so no gap opens between them.
    static constexpr int kSentencesAhead = 2;

    explicit ReadingSession(QObject* parent = nullptr);

    // The narrator of later readings; a reading in progress is stopped.
    void setNarrator(Narrator* narrator);

    // Stops any reading in progress and starts reading text.
    void start(const QString& text);
    // Cuts the reading; nothing more of it is said or reported.
    void stop();

    bool isReading() const { return m_reading; }
    // The sentences queued on the narrator, the one being said first.
    QList<TextSpan> queuedSentences() const;
    // The text being read (empty when none is).
    const QString& text() const { return m_splitter.text(); }

signals:
    // Sentence id, a span of the text, was handed to the narrator.
    void sentenceQueued(quint64 id, qsizetype start, qsizetype length);
    // The word being heard, as a span of the text; an empty span when none is.
    void wordReached(qsizetype start, qsizetype length);
    // The last sentence has been said (not sent after stop()).
    void finished();

private:
    struct Queued {
        quint64 id = 0;
        TextSpan sentence;
    };

    void feed();
    void onWord(quint64 id, int position, int length);
    void onFinished(quint64 id);
    void end();

    QPointer<Narrator> m_narrator;
    SentenceSplitter m_splitter;
    std::deque<Queued> m_queued;
    QList<quint64> m_finishedWhileQueueing;
    bool m_reading = false;
    bool m_feeding = false;
};

} // namespace reader
