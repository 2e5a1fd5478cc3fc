#include "dialogs/startup/startupsequence.h"

#include "common/settings/settings.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "dialogs/startup/startuphost.h"

#include <algorithm>
#include <exception>

namespace startup {

namespace {

// The first-run value that records the getting-started page: earlier
// versions stored it last of all, one value per write, and only then opened
// the page, so a file that has the marker but not this value comes from a
// start that died before the page opened.
const QString& kSetupPageShown = settings::keys::fontSize;

} // namespace

StartupSequence::StartupSequence(settings::SettingsStore& store, settings::Settings& values,
                                 StartupHost& host)
    : m_store(store), m_values(values), m_host(host)
{}

void StartupSequence::step(const QString& name, const std::function<bool()>& body)
{
    bool ok = false;
    try {
        ok = body();
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok)
        m_failed.append(name);
}

settings::SettingChanges StartupSequence::firstRunValues() const
{
    using settings::formatPosition;
    namespace keys = settings::keys;
    const double halfWidth = m_host.screenWidthTwips() / 2;
    // The marker comes last: a marker in the file means the rest reached it.
    return {
        {keys::wordEnglishSeconds, "7"},
        {keys::wordSaveSettings, "1"},
        {keys::wordTopic, "54"},
        {keys::wordAutoStart, "0"},
        {keys::wordWindowLeft, formatPosition(float(halfWidth - 2000))},
        {keys::wordOnTop, "1"},
        {keys::russianFirst, "0"},
        {keys::showsPerPair, "1"},
        {keys::englishSeconds, "3"},
        {keys::russianSeconds, "5"},
        {keys::sequentialOrder, "1"},
        {keys::savePosition, "1"},
        {keys::saveSettings, "1"},
        {keys::autoHide, "0"},
        {keys::speakAloud, "1"},
        {keys::topic, "14"},
        {keys::position, "11000"},
        {keys::characterAtStartup, settings::defaultCharacter},
        {keys::unusedRed, "0"},
        {keys::autoStart, "1"},
        {keys::leftTwips, formatPosition(float(halfWidth - 3000))},
        {keys::textColour, settings::formatColour(m_host.lineTextColour())},
        {keys::backColour, settings::formatColour(m_host.windowBackColour())},
        {keys::unusedNoSpeak, "0"},
        {keys::speechSpeed, "90"},
        {keys::fontSize, "12"},
        {keys::firstRunDone, "1"},
    };
}

void StartupSequence::storeFirstRunValues()
{
    QStringList stored;
    step("first-run check", [&] {
        m_firstRun = m_store.readSetting(settings::keys::firstRunDone).isEmpty();
        stored = m_store.storedKeys();
        return true;
    });
    const auto missing = [&](const QString& key) {
        return m_firstRun || !stored.contains(key, Qt::CaseInsensitive);
    };
    // The page is asked for before the values are stored, so a marker in the
    // file means it was: only a start that finds the marker or the page's
    // record missing opens it.
    if (missing(kSetupPageShown))
        step("setup page", [&] { return m_host.openUrl(m_setupPage); });
    // A first run stores every value; any other start puts back the ones a
    // start that died half-way, or a hand, left out. One write either way.
    step("first-run values", [&] {
        settings::SettingChanges values = firstRunValues();
        values.removeIf([&](const auto& value) { return !missing(value.first); });
        return values.isEmpty() || m_store.writeSettings(values);
    });
}

void StartupSequence::readSettings()
{
    namespace keys = settings::keys;
    auto readInt = [this](const QString& key, qint16& target) {
        step(key, [&] { return settings::parseInt16(m_store.readSetting(key), target); });
    };
    // Numbers with a range are clamped into it: a damaged or hand-edited file
    // must not give a strip too tall to use or a count that never ends.
    auto readInRange = [this](const QString& key, settings::ValueRange range, qint16& target) {
        step(key, [&] { return settings::parseInRange(m_store.readSetting(key), range, target); });
    };
    auto readColour = [this](const QString& key, double& target) {
        step(key, [&] { return settings::parseColour(m_store.readSetting(key), target); });
    };
    settings::Settings& v = m_values;
    readInt(keys::russianFirst, v.russianFirst);
    readInRange(keys::showsPerPair, settings::showsPerPairRange, v.showsPerPair);
    readInRange(keys::englishSeconds, settings::englishSecondsRange, v.englishSeconds);
    readInRange(keys::russianSeconds, settings::russianSecondsRange, v.russianSeconds);
    readInt(keys::sequentialOrder, v.sequentialOrder);
    readInt(keys::savePosition, v.savePosition);
    readInt(keys::saveSettings, v.saveSettings);
    readInt(keys::autoHide, v.autoHide);
    readInt(keys::speakAloud, v.speakAloud);
    readInRange(keys::topic, settings::topicRange, v.topic);
    readInt(keys::position, v.position);
    readInt(keys::unusedRed, v.unusedRed);
    readInt(keys::autoStart, v.autoStart);
    step(keys::characterAtStartup, [&] {
        v.character = m_store.readSetting(keys::characterAtStartup);
        return true;
    });
    readInt(keys::firstRunDone, v.firstRunDone);
    step(keys::leftTwips, [&] {
        if (!settings::parsePosition(m_store.readSetting(keys::leftTwips), v.leftTwips))
            return false;
        // On the screen; the layout then keeps the whole strip on it.
        v.leftTwips =
            std::clamp(v.leftTwips, 0.0f, std::max(0.0f, float(m_host.screenWidthTwips())));
        m_host.setLeftTwips(v.leftTwips);
        return true;
    });
    readInRange(keys::speechSpeed, settings::speechSpeedRange, v.speechSpeed);
    readColour(keys::textColour, v.textColour);
    readColour(keys::backColour, v.backColour);
    readInt(keys::unusedNoSpeak, v.unusedNoSpeak);
    readInRange(keys::fontSize, settings::fontSizeRange, v.fontSize);
    // Added after the first-run set, so an absent value is normal: it stays on.
    step(keys::showStressMarks, [&] {
        settings::parseInt16(m_store.readSetting(keys::showStressMarks, QStringLiteral("1")),
                             v.showStressMarks);
        return true;
    });
}

void StartupSequence::run()
{
    m_failed.clear();
    m_firstRun = false;
    storeFirstRunValues();
    readSettings();
    step("character", [&] { return m_host.loadCharacter(m_values.character); });
    step("windows", [&] {
        m_host.setTopTwips(0);
        m_host.hideMainWindow();
        m_host.showSplash(m_host.screenWidthTwips() / 2 - 1000,
                          m_host.screenHeightTwips() / 2 - 1800);
        return true;
    });
    step("timers", [&] {
        m_host.configureTimers();
        return true;
    });
    step("counters", [&] {
        m_host.resetCounters();
        return true;
    });
    step("pickNextPair", [&] {
        m_host.pickNextPair();
        return true;
    });
    step("attachMenuPictures", [&] {
        m_host.attachMenuPictures();
        return true;
    });
    step("topmost", [&] {
        m_host.makeTopmost();
        return true;
    });
    step("layOutForFontSize", [&] {
        m_host.layOutForFontSize();
        return true;
    });
    step("rememberWindowRect", [&] {
        m_host.rememberWindowRect();
        return true;
    });
    step("colours", [&] {
        m_host.applyColours(m_values.textColour, m_values.backColour);
        return true;
    });
    step("word book labels", [&] {
        m_host.bindWordBookLabels();
        return true;
    });
}

} // namespace startup
