#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace speech {

// One loaded speaking character, as its callers see it. Show, Hide, Speak,
// Play and MoveTo are requests: they join the character's queue, run one
// after another in the order given, and return at once. Stop empties the
// queue and cuts the current speech. Failures are silent.
class AgentCharacter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~AgentCharacter() override = default;

    virtual QString name() const = 0;

    virtual quint64 Show() = 0;
    virtual quint64 Hide() = 0;
    virtual quint64 Speak(const QString& text) = 0;
    // Animation names compare without regard to case; an unknown one is skipped.
    virtual quint64 Play(const QString& animation) = 0;
    virtual quint64 MoveTo(int x, int y) = 0;
    virtual void Stop() = 0;

    virtual void setLanguageID(int languageId) = 0;
    virtual int LanguageID() const = 0;
    virtual QStringList AnimationNames() const = 0;
    virtual bool Visible() const = 0;

signals:
    // Each request id returned above is reported once, done or dropped.
    void requestComplete(quint64 id);
    // While Speak request id plays: the word at position (length characters)
    // of its text without tags is being heard.
    void wordSpoken(quint64 id, int position, int length);
};

} // namespace speech
