#include "dialogs/startup/startupsequence.h"

#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "dialogs/startup/startuphost.h"

#include <exception>

namespace startup {

namespace {

QString colourText(double colour)
{
    return QString::number(qint64(colour));
}

} // namespace

StartupSequence::StartupSequence(settings::SettingsStore& store, settings::Settings& values,
                                 StartupHost& host)
    : m_store(store), m_values(values), m_host(host)
{}

void StartupSequence::step(const char* name, const std::function<bool()>& body)
{
    bool ok = false;
    try {
        ok = body();
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok)
        m_failed.append(QString::fromLatin1(name));
}

void StartupSequence::writeFirstRunValues()
{
    using settings::formatPosition;
    const double halfWidth = m_host.screenWidthTwips() / 2;
    const std::pair<const char*, QString> values[] = {
        {"ctimeword", "7"},
        {"ssaveword", "1"},
        {"guageword", "54"},
        {"markword", "0"},
        {"xxx", "1"},
        {"winleftword", formatPosition(float(halfWidth - 2000))},
        {"ontopword", "1"},
        {"ce", "0"},
        {"n", "1"},
        {"ctime", "3"},
        {"etime", "5"},
        {"rd", "1"},
        {"psave", "1"},
        {"ssave", "1"},
        {"visi", "0"},
        {"voice", "1"},
        {"guage", "14"},
        {"guagen", "11000"},
        {"agent", "Merlin"},
        {"red", "0"},
        {"mark", "1"},
        {"left", formatPosition(float(halfWidth - 3000))},
        {"txtColor", colourText(m_host.label1TextColour())},
        {"formColor", colourText(m_host.formBackColour())},
        {"isnoSpeak", "0"},
        {"Spdtimes", "90"},
        {"FontSizeNumber", "12"},
    };
    for (const auto& [key, text] : values) {
        step(key, [&] {
            m_store.WriteSetting(QString::fromLatin1(key), text);
            return true;
        });
    }
}

void StartupSequence::readSettings()
{
    auto readInt = [this](const char* key, qint16& target) {
        step(key, [&] {
            return settings::parseInt16(m_store.ReadSetting(QString::fromLatin1(key)), target);
        });
    };
    auto readColour = [this](const char* key, double& target) {
        step(key, [&] {
            return settings::parseColour(m_store.ReadSetting(QString::fromLatin1(key)), target);
        });
    };
    settings::Settings& v = m_values;
    readInt("ce", v.ce);
    readInt("n", v.n);
    readInt("ctime", v.ctime);
    readInt("etime", v.etime);
    readInt("rd", v.rd);
    readInt("psave", v.psave);
    readInt("ssave", v.ssave);
    readInt("visi", v.visi);
    readInt("voice", v.voice);
    readInt("guage", v.guage);
    readInt("guagen", v.guagen);
    readInt("red", v.red);
    readInt("mark", v.mark);
    step("agent", [&] {
        v.agent = m_store.ReadSetting(QStringLiteral("agent"));
        return true;
    });
    readInt("xxx", v.xxx);
    step("left", [&] {
        if (!settings::parsePosition(m_store.ReadSetting(QStringLiteral("left")), v.left))
            return false;
        m_host.setLeftTwips(v.left);
        return true;
    });
    readInt("Spdtimes", v.Spdtimes);
    readColour("txtColor", v.txtColor);
    readColour("formColor", v.formColor);
    readInt("isnoSpeak", v.isnoSpeak);
    readInt("FontSizeNumber", v.FontSizeNumber);
}

void StartupSequence::run()
{
    m_failed.clear();
    m_firstRun = false;
    step("first-run check", [&] {
        m_firstRun = m_store.ReadSetting(QStringLiteral("xxx")).isEmpty();
        return true;
    });
    if (m_firstRun) {
        writeFirstRunValues();
        step("setup page", [&] { return m_host.openUrl(m_setupPage); });
    }
    readSettings();
    step("character", [&] { return m_host.loadCharacter(m_values.agent); });
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
    step("NextSentence", [&] {
        m_host.NextSentence();
        return true;
    });
    step("AttachMenuPictures", [&] {
        m_host.AttachMenuPictures();
        return true;
    });
    step("topmost", [&] {
        m_host.makeTopmost();
        return true;
    });
    step("AdjustSize", [&] {
        m_host.AdjustSize();
        return true;
    });
    step("Get_Windows_Rect", [&] {
        m_host.Get_Windows_Rect();
        return true;
    });
    step("colours", [&] {
        m_host.applyColours(m_values.txtColor, m_values.formColor);
        return true;
    });
    step("data labels", [&] {
        m_host.bindDataLabels();
        return true;
    });
}

} // namespace startup
