#pragma once

#include "common/speech/agentcharacter.h"

#include <QStringList>

namespace testsupport {

// A speaking character that only writes down what was asked of it:
// "Show", "Hide", "Speak <text>", "Play <animation>", "MoveTo", "Stop",
// "LanguageID <id>". The journal is its own `calls` unless the test hands it
// a shared one, to see the character's calls among others.
class FakeCharacter final : public speech::AgentCharacter
{
public:
    explicit FakeCharacter(QStringList* journal = nullptr) : m_journal(journal ? journal : &calls)
    {}

    QString name() const override { return QStringLiteral("Merlin"); }
    quint64 Show() override { return note(QStringLiteral("Show")); }
    quint64 Hide() override { return note(QStringLiteral("Hide")); }
    quint64 Speak(const QString& text) override { return note(QStringLiteral("Speak ") + text); }
    quint64 Play(const QString& animation) override
    {
        return note(QStringLiteral("Play ") + animation);
    }
    quint64 MoveTo(int, int) override { return note(QStringLiteral("MoveTo")); }
    void Stop() override { note(QStringLiteral("Stop")); }
    void setLanguageID(int id) override
    {
        m_language = id;
        note(QStringLiteral("LanguageID %1").arg(id));
    }
    int LanguageID() const override { return m_language; }
    QStringList AnimationNames() const override { return animations; }
    bool Visible() const override { return true; }

    QStringList calls;
    QStringList animations;

private:
    quint64 note(const QString& call)
    {
        m_journal->append(call);
        return quint64(m_journal->size());
    }

    QStringList* m_journal;
    int m_language = 1033;
};

} // namespace testsupport
