#include "common/settings/settingsstore.h"

#include "common/settings/inifilebackend.h"
#include "common/settings/settingskeys.h"
#include "common/settings/storeproblemreporter.h"

#include <QStandardPaths>
#include <QtDebug>

#include <utility>

namespace settings {

namespace {

// What the learner is told; %1 is the file, %2 the cause.
const QString kUnusableMessage =
    QStringLiteral("The settings file %1 cannot be used: %2. The program goes on with its "
                   "first settings and saves no changes until it is started again.");
const QString kLockedMessage =
    QStringLiteral("The settings file %1 is locked: %2. Settings are still read from it, "
                   "but changes are not saved until the program is started again.");
const QString kWriteFailedMessage = QStringLiteral("Settings could not be saved to %1: %2.");

QString messageFor(const StoreOutcome& outcome)
{
    switch (outcome.fault) {
    case StoreFault::Unusable:
        return kUnusableMessage;
    case StoreFault::Locked:
        return kLockedMessage;
    case StoreFault::WriteFailed:
    case StoreFault::None:
        break;
    }
    return kWriteFailedMessage;
}

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(std::make_unique<IniFileBackend>(defaultFileName(), keys::section))
{}

SettingsStore::SettingsStore(std::unique_ptr<StoreBackend> backend) : m_backend(std::move(backend))
{}

SettingsStore::~SettingsStore() = default;

SettingsStore& SettingsStore::shared()
{
    static SettingsStore store;
    return store;
}

QString SettingsStore::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + keys::application + QLatin1Char('/') + keys::application +
           QStringLiteral(".ini");
}

QString SettingsStore::fileName() const
{
    return m_backend->location();
}

void SettingsStore::setProblemReporter(std::unique_ptr<StoreProblemReporter> reporter)
{
    m_reporter = std::move(reporter);
    if (m_reporter && !m_untoldMessage.isEmpty())
        m_reporter->report(std::exchange(m_untoldMessage, QString()));
}

void SettingsStore::notice(const StoreOutcome& outcome)
{
    if (outcome.ok() || m_faultNoticed)
        return;
    m_faultNoticed = true;
    const QString message = messageFor(outcome).arg(m_backend->location(), outcome.cause);
    qWarning().noquote() << message;
    if (m_reporter)
        m_reporter->report(message);
    else
        m_untoldMessage = message;
}

QStringList SettingsStore::storedKeys()
{
    notice(m_backend->refresh());
    return m_backend->values().keys();
}

QString SettingsStore::readSetting(const QString& key, const QString& defaultValue)
{
    // Pick up what the other program wrote since our last look.
    notice(m_backend->refresh());
    const auto unsaved = m_unsaved.constFind(key.toCaseFolded());
    if (unsaved != m_unsaved.cend())
        return *unsaved;
    const SectionValues& values = m_backend->values();
    const QString stored = storedSpelling(values, key);
    if (stored.isEmpty())
        return defaultValue;
    return values.value(stored);
}

void SettingsStore::writeSetting(const QString& key, const QString& text)
{
    writeSettings({{key, text}});
}

bool SettingsStore::writeSettings(const SettingChanges& values)
{
    const StoreOutcome outcome = m_backend->commit(values);
    for (const auto& [key, text] : values) {
        if (outcome.ok())
            m_unsaved.remove(key.toCaseFolded());
        else
            m_unsaved.insert(key.toCaseFolded(), text);
    }
    notice(outcome);
    return outcome.ok();
}

} // namespace settings
