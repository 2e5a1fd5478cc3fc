#pragma once

#include "common/speech/agentcharacter.h"
#include "reader/narrator.h"

#include <QPointer>

namespace reader {

// Sentences said by a loaded character, through its request queue.
class CharacterNarrator final : public Narrator
{
    Q_OBJECT

public:
    explicit CharacterNarrator(speech::AgentCharacter& character, QObject* parent = nullptr);

    quint64 say(const QString& sentence) override;
    void silence() override;

private:
    QPointer<speech::AgentCharacter> m_character;
};

} // namespace reader
