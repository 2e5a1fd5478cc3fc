#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace settings {

// The per-user section ("Velkor", "Lintavo01") shared by both programs.
// Values are text; key names are found without regard to case and each key is
// kept under one spelling only. Every write reaches the file at once, merged
// under the file lock so that two programs writing together lose nothing.
class SettingsStore final
{
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text, or defaultValue when the key is absent.
    QString readSetting(const QString& key, const QString& defaultValue = QString());
    void writeSetting(const QString& key, const QString& text);

    // Spellings of the keys as the file holds them (for tests and diagnostics).
    QStringList storedKeys();
    QString fileName() const;

    // The process-wide store used by both programs.
    static SettingsStore& shared();

private:
    QString storedSpelling(const QString& key) const;

    std::unique_ptr<QSettings> m_settings;
};

inline QString readSetting(const QString& key, const QString& defaultValue = QString())
{
    return SettingsStore::shared().readSetting(key, defaultValue);
}

inline void writeSetting(const QString& key, const QString& text)
{
    SettingsStore::shared().writeSetting(key, text);
}

} // namespace settings
