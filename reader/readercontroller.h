#pragma once

#include "common/speech/agentcharacter.h"
#include "reader/narrator.h"
#include "reader/readingsession.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace settings {
class SettingsStore;
}
namespace speech {
class CharacterService;
namespace agent {
class AgentRandom;
}
} // namespace speech

namespace reader {

class ClipboardWatcher;
class LocalClock;
class ReaderView;
class SpeechLog;

// What the reader works with; everything outlives the controller.
struct ReaderServices {
    speech::CharacterService* characters = nullptr;
    // Names of the characters that can be chosen.
    std::function<QStringList()> characterNames;
    // The narrator used while no character is loaded.
    std::function<std::unique_ptr<Narrator>()> silentNarrator;
    settings::SettingsStore* store = nullptr;
    LocalClock* clock = nullptr;
    // Picks the animation of "Play Animation".
    speech::agent::AgentRandom* random = nullptr;
    ClipboardWatcher* clipboard = nullptr;
    SpeechLog* log = nullptr; // may be null
};

// Everything the reader does, behind its window's handlers: the opening, the
// auto-read box, Read, Stop, Play Animation, choosing a character, following
// the text while it is read, and the goodbye when the window closes.
class ReaderController final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRussian = 1049;
    static constexpr int kCharacterX = 166;
    static constexpr int kCharacterY = 180;
    // The goodbye is cut off after this long.
    static constexpr int kGoodbyeLimitMs = 3000;

    ReaderController(ReaderView& view, const ReaderServices& services, QObject* parent = nullptr);
    ~ReaderController() override;

    // Loads and shows the character named in the settings, restores the
    // auto-read box and greets by the hour.
    void open();
    // The auto-read box was clicked into this state.
    void setAutoRead(bool checked);
    // Reads the text box aloud.
    void read();
    void stop();
    void playAnimation();
    // A character was picked in the list; an empty name is no pick.
    void chooseCharacter(const QString& name);
    // The learner changed the text: the reading goes on but no longer marks it.
    void textEdited();
    // The window has gone: waves, says goodbye, then reports closed().
    void close();
    void goodbyeLimitTick();

    speech::AgentCharacter* character() const { return m_character; }
    QString characterName() const { return m_characterName; }
    const ReadingSession& session() const { return m_session; }
    bool isClosing() const { return m_closing; }

signals:
    // The goodbye is over (or cut off); the program may end.
    void closed();

private:
    void readAloud(const QString& text);
    // Cuts the reading and whatever else the character is doing.
    void silence();
    void onTextCopied(const QString& text);
    void useNarrator(std::unique_ptr<Narrator> narrator);
    void onSaid(quint64 id);
    quint64 speak(const QString& text);
    quint64 play(const QString& animation);
    void log(const QString& event) const;
    void finishClosing();

    ReaderView& m_view;
    ReaderServices m_services;
    QString m_characterName;
    QPointer<speech::AgentCharacter> m_character;
    std::unique_ptr<Narrator> m_narrator;
    ReadingSession m_session;
    QTimer m_goodbyeLimit;
    quint64 m_goodbyeId = 0;
    bool m_followText = true;
    bool m_closing = false;
    bool m_closed = false;
};

} // namespace reader
