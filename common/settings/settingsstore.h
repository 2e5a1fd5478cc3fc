#pragma once

#include "common/settings/storebackend.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

namespace settings {

class StoreProblemReporter;

// The per-user section ("Velkor", "Lintavo01") shared by both programs.
// Values are text; key names are found without regard to case and each key is
// kept under one spelling only. Every read sees what the other program wrote
// since; every write reaches the file at once, merged under the file's lock
// so that two programs writing together lose nothing.
//
// A value that could not be saved is still read back for the rest of the
// session, but the write reports failure and the learner is told, once.
class SettingsStore final
{
public:
    // The per-user file, $XDG_CONFIG_HOME/Velkor/Velkor.ini.
    SettingsStore();
    explicit SettingsStore(std::unique_ptr<StoreBackend> backend);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text, or defaultValue when the key is absent.
    QString readSetting(const QString& key, const QString& defaultValue = QString());
    void writeSetting(const QString& key, const QString& text);
    // Stores several values with one write of the file, in the given order.
    // Returns whether they reached the file.
    bool writeSettings(const SettingChanges& values);

    // Who tells the learner when settings cannot be read or saved. A fault
    // met before there is one is told as soon as it is set.
    void setProblemReporter(std::unique_ptr<StoreProblemReporter> reporter);

    // Spellings of the keys as the file holds them (for tests and diagnostics).
    QStringList storedKeys();
    QString fileName() const;

    static QString defaultFileName();

    // The process-wide store used by both programs.
    static SettingsStore& shared();

private:
    void notice(const StoreOutcome& outcome);

    std::unique_ptr<StoreBackend> m_backend;
    // Written but not saved, by case-folded key.
    QMap<QString, QString> m_unsaved;
    std::unique_ptr<StoreProblemReporter> m_reporter;
    QString m_untoldMessage;
    bool m_faultNoticed = false;
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
