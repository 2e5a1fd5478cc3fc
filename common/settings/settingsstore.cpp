#include "common/settings/settingsstore.h"

#include "common/settings/settingskeys.h"

#include <QSettings>

namespace settings {

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             keys::application, keys::application))
{
    m_settings->beginGroup(keys::section);
}

SettingsStore::~SettingsStore() = default;

SettingsStore& SettingsStore::shared()
{
    static SettingsStore store;
    return store;
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

QStringList SettingsStore::storedKeys()
{
    m_settings->sync();
    return m_settings->childKeys();
}

QString SettingsStore::storedSpelling(const QString& key) const
{
    const QStringList keys = m_settings->childKeys();
    if (keys.contains(key))
        return key;
    for (const QString& stored : keys) {
        if (stored.compare(key, Qt::CaseInsensitive) == 0)
            return stored;
    }
    return QString();
}

QString SettingsStore::readSetting(const QString& key, const QString& defaultValue)
{
    // Pick up what the other program wrote since our last look.
    m_settings->sync();
    const QString stored = storedSpelling(key);
    if (stored.isEmpty())
        return defaultValue;
    return m_settings->value(stored).toString();
}

void SettingsStore::writeSetting(const QString& key, const QString& text)
{
    m_settings->sync();
    // Keep the spelling the file already has, and drop any other spelling a
    // concurrent writer may have added, so the file never holds two.
    QString target = storedSpelling(key);
    if (target.isEmpty())
        target = key;
    const QStringList keys = m_settings->childKeys();
    for (const QString& stored : keys) {
        if (stored != target && stored.compare(key, Qt::CaseInsensitive) == 0)
            m_settings->remove(stored);
    }
    m_settings->setValue(target, text);
    m_settings->sync();
}

} // namespace settings
