#include "dialogs/options/optionssession.h"

#include "common/settings/settings.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "dialogs/options/optionshost.h"
#include "dialogs/startup/startupcountdown.h"

#include <utility>

namespace options {

namespace {

// Playback resumes on closing only once the start-up countdown is this low;
// earlier the countdown starts it itself.
constexpr qint16 kStartUpOver = 2;
constexpr int kSuffixLength = 4; // ".acs"

} // namespace

OptionsSession::OptionsSession(settings::SettingsStore& store, settings::Settings& values,
                               OptionsHost& host, AutoStart autoStart)
    : m_store(store), m_values(values), m_host(host), m_autoStart(std::move(autoStart))
{}

void OptionsSession::pausePlayback()
{
    m_host.setMenuHotSpotEnabled(false);
    m_host.pausePresentation();
}

void OptionsSession::takeFontSize(int size)
{
    m_values.fontSize = qint16(size);
    m_host.layOutForFontSize();
    m_host.rememberWindowRect();
    m_host.repaintStrip();
}

void OptionsSession::showTextColour(double reference)
{
    m_host.setRussianLineCaption(startup::StartupCountdown::kGreeting);
    m_host.setLineTextColour(reference);
    m_host.repaintStrip();
}

void OptionsSession::showBackColour(double reference)
{
    m_host.setBackColour(reference);
    m_host.repaintStrip();
}

void OptionsSession::restoreDefaultLook()
{
    m_host.setLineTextColour(kDefaultTextColour);
    m_host.setBackColour(kDefaultBackColour);
    takeFontSize(kDefaultFontSize);
}

bool OptionsSession::pickCharacter(const QString& fileName)
{
    if (fileName.size() <= kSuffixLength)
        return false;
    const QString name = fileName.chopped(kSuffixLength);
    m_store.writeSetting(settings::keys::character, name);
    m_values.character = name;
    m_host.hideCharacter();
    m_host.showCharacter();
    return true;
}

void OptionsSession::close(const OptionsChoices& choices)
{
    m_host.setMenuHotSpotEnabled(true);
    if (m_host.countdownValue() <= kStartUpOver)
        m_host.resumePresentation();

    // Leaving a topic for the whole table starts the sequence from its first
    // pair, when the position is kept at exit.
    if (m_values.topic != 0 && m_values.savePosition != 0 && choices.topic == 0)
        m_values.position = kFirstPosition;
    m_values.topic = qint16(choices.topic);
    m_values.sequentialOrder = choices.sequentialOrder ? 1 : 0;
    m_values.russianFirst = choices.russianFirst ? 1 : 0;
    m_values.showsPerPair = qint16(choices.showsPerPair);
    m_values.russianSeconds = qint16(choices.russianSeconds);
    m_values.englishSeconds = qint16(choices.englishSeconds);
    m_values.speechSpeed = qint16(choices.speechSpeed);
    m_values.fontSize = qint16(choices.fontSize);
    m_values.textColour = choices.textColour;
    m_values.backColour = choices.backColour;

    if (m_values.saveSettings != 0) {
        if (m_autoStart)
            m_autoStart(m_values.autoStart);
        writeAll();
    }
}

void OptionsSession::writeAll()
{
    namespace keys = settings::keys;
    using settings::formatInt16;
    const settings::Settings& v = m_values;
    // One write of the file for all of them, in the order they always had.
    m_store.writeSettings({
        {keys::russianFirst, formatInt16(v.russianFirst)},
        {keys::showsPerPair, formatInt16(v.showsPerPair)},
        {keys::englishSeconds, formatInt16(v.englishSeconds)},
        {keys::russianSeconds, formatInt16(v.russianSeconds)},
        {keys::sequentialOrder, formatInt16(v.sequentialOrder)},
        {keys::savePosition, formatInt16(v.savePosition)},
        {keys::saveSettings, formatInt16(v.saveSettings)},
        {keys::autoHide, formatInt16(v.autoHide)},
        {keys::topic, formatInt16(v.topic)},
        {keys::unusedRed, formatInt16(v.unusedRed)},
        {keys::autoStart, formatInt16(v.autoStart)},
        {keys::firstRunDone, QStringLiteral("1")},
        {keys::textColour, settings::formatColour(v.textColour)},
        {keys::backColour, settings::formatColour(v.backColour)},
        {keys::speechSpeed, formatInt16(v.speechSpeed)},
        {keys::fontSize, formatInt16(v.fontSize)},
        {keys::showStressMarks, formatInt16(v.showStressMarks)},
    });
}

} // namespace options
