#pragma once

#include "common/speech/agent/agentclock.h"
#include "common/speech/agent/agentrandom.h"
#include "common/speech/agent/desktopcharacter.h"
#include "common/speech/characterservice.h"
#include "common/speech/synthesizer.h"

#include <QObject>
#include <QStringList>

#include <map>
#include <memory>

namespace speech::agent {

// Where characters come from and where their positions go. Tests point these
// at temporary folders; clock and random may be left null for the real ones.
struct AgentOptions {
    QString userFolder;    // learner's own characters, searched first
    QString shippedFolder; // characters that ship with the programs
    QString positionFile;  // remembered window positions
    AgentClock* clock = nullptr;
    AgentRandom* random = nullptr;
};

// The speaking-character service of both programs: loads character files by
// name from the character folders and keeps the loaded characters.
class Agent final : public QObject, public CharacterService
{
    Q_OBJECT

public:
    // The synthesizer from createSynthesizer() and the standard folders.
    explicit Agent(QObject* parent = nullptr);
    Agent(std::unique_ptr<Synthesizer> synthesizer, AgentOptions options,
          QObject* parent = nullptr);
    ~Agent() override;

    // $XDG_DATA_HOME/Velkor/msagent/chars and <program folder>/msagent/chars.
    static AgentOptions defaultOptions();
    // Names (file names without ".acs") in both folders, each once, sorted.
    static QStringList availableCharacters(const AgentOptions& options);
    // The character files as named on disk ("Merlin.acs", "Owl.ACS"): the
    // user folder's first, then the shipped ones whose name is new; the
    // extension and the names compare without regard to case.
    static QStringList characterFiles(const AgentOptions& options);
    QStringList availableCharacters() const;

    bool Load(const QString& name, const QString& fileName) override;
    AgentCharacter* Character(const QString& name) override;
    void Unload(const QString& name) override;

    // Why the last Load failed, for logs and tests; empty after a success.
    QString lastError() const { return m_lastError; }
    // The full path fileName resolves to, or empty when neither folder has it.
    // A file that differs only in case is found when the exact one is absent.
    QString resolve(const QString& fileName) const;

private:
    // Records why a Load failed, in lastError() and the log; returns false.
    bool refuse(const QString& reason);

    AgentOptions m_options;
    std::unique_ptr<SteadyClock> m_ownClock;
    std::unique_ptr<SystemRandom> m_ownRandom;
    std::unique_ptr<Synthesizer> m_synthesizer;
    // Declared after the synthesizer so characters go first.
    std::map<QString, std::unique_ptr<DesktopCharacter>> m_characters;
    QString m_lastError;
};

} // namespace speech::agent
