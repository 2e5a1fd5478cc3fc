#include "reader/readercontroller.h"

#include "common/settings/settings.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "common/speech/agent/agentrandom.h"
#include "common/speech/agentcharacter.h"
#include "common/speech/characterservice.h"
#include "reader/characternarrator.h"
#include "reader/clipboardwatcher.h"
#include "reader/greeting.h"
#include "reader/localclock.h"
#include "reader/readabletext.h"
#include "reader/readertexts.h"
#include "reader/readerview.h"
#include "reader/speechlog.h"

namespace reader {

ReaderController::ReaderController(ReaderView& view, const ReaderServices& services,
                                   QObject* parent)
    : QObject(parent), m_view(view), m_services(services)
{
    m_goodbyeLimit.setSingleShot(true);
    m_goodbyeLimit.setInterval(kGoodbyeLimitMs);
    connect(&m_goodbyeLimit, &QTimer::timeout, this, &ReaderController::goodbyeLimitTick);
    connect(m_services.clipboard, &ClipboardWatcher::textCopied, this,
            &ReaderController::onTextCopied);
    connect(&m_session, &ReadingSession::wordReached, this, [this](qsizetype start, qsizetype n) {
        if (m_followText || n == 0)
            m_view.highlightWord(start, n);
    });
    connect(&m_session, &ReadingSession::sentenceQueued, this,
            [this](quint64 id, qsizetype start, qsizetype length) {
                log(QStringLiteral("speak %1 %2")
                        .arg(id)
                        .arg(QStringView(m_session.text()).mid(start, length)));
            });
}

ReaderController::~ReaderController() = default;

void ReaderController::open()
{
    QString name =
        m_services.store->readSetting(settings::keys::character, settings::defaultCharacter)
            .trimmed();
    if (name.isEmpty())
        name = settings::defaultCharacter;
    m_characterName = name;
    m_view.setCharacterChoices(m_services.characterNames(), name);

    const QString fileName = name + texts::characterFileSuffix;
    speech::AgentCharacter* character = m_services.characters->Load(name, fileName)
                                            ? m_services.characters->Character(name)
                                            : nullptr;
    m_character = character;
    if (character) {
        m_view.setCharacterCaption(fileName, QString());
        useNarrator(std::make_unique<CharacterNarrator>(*character));
        character->setLanguageID(kRussian);
        character->Show();
        character->MoveTo(kCharacterX, kCharacterY);
    } else {
        m_view.setCharacterCaption(texts::noCharacterCaption,
                                   texts::characterNotLoadedDetail.arg(fileName));
        useNarrator(m_services.silentNarrator());
    }

    qint16 autoRead = 0;
    if (settings::parseInt16(m_services.store->readSetting(settings::keys::autoRead), autoRead) &&
        autoRead != 0) {
        m_view.setAutoReadChecked(true);
        setAutoRead(true);
    }
    if (character)
        speak(greetingFor(m_services.clock->timeOfDay()));
}

void ReaderController::useNarrator(std::unique_ptr<Narrator> narrator)
{
    m_session.setNarrator(narrator.get());
    m_narrator = std::move(narrator);
    if (!m_narrator)
        return;
    connect(m_narrator.get(), &Narrator::finished, this, &ReaderController::onSaid);
    if (m_services.log) {
        connect(m_narrator.get(), &Narrator::wordSpoken, this, [this](quint64 id, int at, int n) {
            log(QStringLiteral("word %1 %2 %3").arg(id).arg(at).arg(n));
        });
    }
}

void ReaderController::setAutoRead(bool checked)
{
    m_services.clipboard->setEnabled(checked);
    m_services.store->writeSetting(settings::keys::autoRead,
                                   checked ? QStringLiteral("1") : QStringLiteral("0"));
}

void ReaderController::read()
{
    readAloud(readableText(m_view.text()));
}

void ReaderController::onTextCopied(const QString& text)
{
    if (m_closing)
        return;
    m_view.setText(text);
    log(QStringLiteral("shown %1").arg(text.size()));
    readAloud(text);
}

void ReaderController::readAloud(const QString& text)
{
    if (m_closing || !hasWords(text))
        return;
    m_session.stop();
    m_followText = true;
    if (m_character)
        play(texts::readAnimation);
    m_session.start(text);
}

void ReaderController::stop()
{
    silence();
    log(QStringLiteral("stop"));
}

void ReaderController::silence()
{
    // A reading silences its narrator, the character when there is one.
    const bool reading = m_session.isReading();
    m_session.stop();
    if (!reading && m_character)
        m_character->Stop();
}

void ReaderController::playAnimation()
{
    if (!m_character)
        return;
    const QStringList names = m_character->AnimationNames();
    if (names.isEmpty())
        return;
    play(names.at(m_services.random->bounded(int(names.size()))));
}

void ReaderController::chooseCharacter(const QString& name)
{
    if (name.isEmpty()) {
        m_view.showMessage(texts::selectCharacterMessage);
        return;
    }
    m_services.store->writeSetting(settings::keys::character, name);
    m_session.stop();
    if (m_character)
        m_character->Hide();
    m_services.characters->Unload(m_characterName);
    m_character = nullptr;
    open();
}

void ReaderController::textEdited()
{
    if (!m_followText)
        return;
    m_followText = false;
    m_view.highlightWord(0, 0);
}

void ReaderController::close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_services.clipboard->setEnabled(false);
    silence();
    if (!m_character) {
        finishClosing();
        return;
    }
    play(texts::waveAnimation);
    m_goodbyeId = speak(texts::goodbye);
    m_goodbyeLimit.start();
}

void ReaderController::goodbyeLimitTick()
{
    if (m_closing)
        finishClosing();
}

void ReaderController::onSaid(quint64 id)
{
    if (m_services.log)
        log(QStringLiteral("done %1").arg(id));
    if (m_closing && id != 0 && id == m_goodbyeId)
        finishClosing();
}

void ReaderController::finishClosing()
{
    if (m_closed)
        return;
    m_closed = true;
    m_goodbyeLimit.stop();
    emit closed();
}

quint64 ReaderController::speak(const QString& text)
{
    const quint64 id = m_character->Speak(text);
    log(QStringLiteral("speak %1 %2").arg(id).arg(text));
    return id;
}

quint64 ReaderController::play(const QString& animation)
{
    const quint64 id = m_character->Play(animation);
    log(QStringLiteral("play %1 %2").arg(id).arg(animation));
    return id;
}

void ReaderController::log(const QString& event) const
{
    if (m_services.log)
        m_services.log->write(event);
}

} // namespace reader
