#include "reader/characternarrator.h"

#include "common/speech/agentcharacter.h"

namespace reader {

CharacterNarrator::CharacterNarrator(speech::AgentCharacter& character, QObject* parent)
    : Narrator(parent), m_character(&character)
{
    connect(&character, &speech::AgentCharacter::wordSpoken, this, &Narrator::wordSpoken);
    connect(&character, &speech::AgentCharacter::requestComplete, this, &Narrator::finished);
}

quint64 CharacterNarrator::say(const QString& sentence)
{
    return m_character ? m_character->Speak(sentence) : 0;
}

void CharacterNarrator::silence()
{
    if (m_character)
        m_character->Stop();
}

} // namespace reader
