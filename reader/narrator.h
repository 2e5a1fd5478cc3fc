#pragma once

#include <QObject>
#include <QString>

namespace reader {

// Whatever says the sentences of a reading: the loaded character, or, with
// none, a silent voice that keeps the timing of speech.
class Narrator : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~Narrator() override = default;

    // Queues a sentence (plain text, no tags) and returns its id, never 0.
    virtual quint64 say(const QString& sentence) = 0;
    // Cuts the sentence being said and drops the queued ones.
    virtual void silence() = 0;

signals:
    // The word at position (length characters) of sentence id is being heard.
    void wordSpoken(quint64 id, int position, int length);
    // Sentence id has been said, cut or dropped; reported once.
    void finished(quint64 id);
};

} // namespace reader
