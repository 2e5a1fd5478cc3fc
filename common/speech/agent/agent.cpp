#include "common/speech/agent/agent.h"

#include "common/speech/agent/balloonwidget.h"
#include "common/speech/agent/characterloader.h"
#include "common/speech/agent/characterwindow.h"
#include "common/speech/agent/positionstore.h"
#include "common/speech/synthesizerfactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <set>

namespace speech::agent {

namespace {
const QString kSuffix = QStringLiteral(".acs");

// A file name from a caller or a setting must stay inside the folder.
bool isPlainFileName(const QString& fileName)
{
    return !fileName.isEmpty() && !fileName.contains(u'/') && !fileName.contains(u'\\') &&
           fileName != QStringLiteral(".") && fileName != QStringLiteral("..") &&
           !fileName.contains(QChar(0));
}
} // namespace

Agent::Agent(QObject* parent) : Agent(createSynthesizer(), defaultOptions(), parent) {}

Agent::Agent(std::unique_ptr<Synthesizer> synthesizer, AgentOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_synthesizer(std::move(synthesizer))
{
    if (!m_options.clock) {
        m_ownClock = std::make_unique<SteadyClock>();
        m_options.clock = m_ownClock.get();
    }
    if (!m_options.random) {
        m_ownRandom = std::make_unique<SystemRandom>();
        m_options.random = m_ownRandom.get();
    }
    if (m_options.positionFile.isEmpty())
        m_options.positionFile = PositionStore::defaultFileName();
}

Agent::~Agent()
{
    m_characters.clear();
}

AgentOptions Agent::defaultOptions()
{
    AgentOptions options;
    options.userFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Velkor/msagent/chars");
    options.shippedFolder =
        QCoreApplication::applicationDirPath() + QStringLiteral("/msagent/chars");
    options.positionFile = PositionStore::defaultFileName();
    return options;
}

QStringList Agent::availableCharacters(const AgentOptions& options)
{
    std::set<QString> names;
    for (const QString& file : characterFiles(options))
        names.insert(file.chopped(kSuffix.size()));
    return QStringList(names.begin(), names.end());
}

QStringList Agent::characterFiles(const AgentOptions& options)
{
    QStringList files;
    std::set<QString> seen; // names in lower case
    for (const QString& folder : {options.userFolder, options.shippedFolder}) {
        if (folder.isEmpty())
            continue;
        const QStringList entries =
            QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
        for (const QString& file : entries) {
            if (file.size() <= kSuffix.size() || !file.endsWith(kSuffix, Qt::CaseInsensitive))
                continue;
            if (seen.insert(file.chopped(kSuffix.size()).toLower()).second)
                files.append(file);
        }
    }
    return files;
}

QStringList Agent::availableCharacters() const
{
    return availableCharacters(m_options);
}

QString Agent::resolve(const QString& fileName) const
{
    if (!isPlainFileName(fileName))
        return {};
    for (const QString& folder : {m_options.userFolder, m_options.shippedFolder}) {
        if (folder.isEmpty())
            continue;
        const QDir dir(folder);
        const QFileInfo file(dir.filePath(fileName));
        if (file.isFile())
            return file.filePath();
        // Listed as "X.ACS", asked for as "X.acs": the same character.
        for (const QString& entry : dir.entryList(QDir::Files, QDir::Name)) {
            if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
                return dir.filePath(entry);
        }
    }
    return {};
}

bool Agent::Load(const QString& name, const QString& fileName)
{
    QString file = fileName;
    if (!file.endsWith(kSuffix, Qt::CaseInsensitive))
        file += kSuffix;
    const QString path = resolve(file);
    if (path.isEmpty())
        return refuse(QStringLiteral("no character file %1").arg(file));
    CharacterLoader::Result result = CharacterLoader::fromFile(path);
    if (!result.character)
        return refuse(QStringLiteral("%1: %2").arg(path, result.error));
    m_lastError.clear();
    // The window and remembered position go by the name the caller uses.
    result.character->name = name;
    Unload(name);
    CharacterContext context{m_synthesizer.get(), m_options.clock, m_options.random,
                             m_options.positionFile};
    m_characters[name.toLower()] =
        std::make_unique<DesktopCharacter>(std::move(*result.character), context);
    return true;
}

bool Agent::refuse(const QString& reason)
{
    m_lastError = reason;
    qWarning("character not loaded: %s", qUtf8Printable(reason));
    return false;
}

AgentCharacter* Agent::Character(const QString& name)
{
    const auto it = m_characters.find(name.toLower());
    return it == m_characters.end() ? nullptr : it->second.get();
}

void Agent::Unload(const QString& name)
{
    const auto it = m_characters.find(name.toLower());
    if (it == m_characters.end())
        return;
    std::unique_ptr<DesktopCharacter> character = std::move(it->second);
    m_characters.erase(it);
    character->Stop();
    character->window()->hide();
    character->balloon()->hide();
    // A caller may unload from a requestComplete handler of this character.
    character.release()->deleteLater();
}

} // namespace speech::agent
