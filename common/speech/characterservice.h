#pragma once

#include "common/speech/agentcharacter.h"

#include <QString>

namespace speech {

// The collection of loaded characters (the "Characters" of the agent control).
class CharacterService
{
public:
    virtual ~CharacterService() = default;

    // Loads the character file fileName (e.g. "Merlin.acs", looked up in the
    // per-user character folder, then in the shipped one) under name. Returns
    // false, loading nothing, for a missing, damaged or hostile file.
    virtual bool Load(const QString& name, const QString& fileName) = 0;

    // The loaded character of that name, or nullptr. Owned by the service.
    virtual AgentCharacter* Character(const QString& name) = 0;

    // Releases the character; a name not loaded is ignored.
    virtual void Unload(const QString& name) = 0;
};

} // namespace speech
