#pragma once

#include "common/settings/storebackend.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace settings {
class SettingsStore;
struct Settings;
} // namespace settings

namespace startup {

class StartupHost;

// The main window's load handler after the single-instance check: first run,
// reading the settings, the character, the splash, timers, the first pair and
// the layout. Every step runs even when an earlier one failed.
class StartupSequence final
{
public:
    StartupSequence(settings::SettingsStore& store, settings::Settings& values, StartupHost& host);

    // The page a first run opens (the local help's getting-started section).
    void setSetupPage(const QUrl& url) { m_setupPage = url; }

    void run();

    bool wasFirstRun() const { return m_firstRun; }
    // Names of the steps that failed in the last run, for diagnostics and tests.
    const QStringList& failedSteps() const { return m_failed; }

private:
    void step(const QString& name, const std::function<bool()>& body);
    settings::SettingChanges firstRunValues() const;
    void storeFirstRunValues();
    void readSettings();

    settings::SettingsStore& m_store;
    settings::Settings& m_values;
    StartupHost& m_host;
    QUrl m_setupPage;
    bool m_firstRun = false;
    QStringList m_failed;
};

} // namespace startup
