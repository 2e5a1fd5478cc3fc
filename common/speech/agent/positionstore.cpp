#include "common/speech/agent/positionstore.h"

#include <QSettings>
#include <QStandardPaths>

namespace speech::agent {

namespace {
// Group names are character names with anything but letters and digits
// replaced, so the file stays plain INI whatever a file calls its character.
QString groupFor(const QString& character)
{
    QString group;
    for (const QChar c : character)
        group += c.isLetterOrNumber() ? c : QChar(u'_');
    return group.isEmpty() ? QStringLiteral("_") : group;
}
} // namespace

PositionStore::PositionStore(QString fileName) : m_fileName(std::move(fileName)) {}

QString PositionStore::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velkor/characters.ini");
}

std::optional<QPoint> PositionStore::position(const QString& character) const
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(groupFor(character));
    bool okX = false;
    bool okY = false;
    const int x = settings.value(QStringLiteral("x")).toInt(&okX);
    const int y = settings.value(QStringLiteral("y")).toInt(&okY);
    // Far beyond any screen: a window placed there could not be reached, and
    // its rectangle's right edge would overflow.
    constexpr int kFarthest = 1 << 20;
    const auto reachable = [](int v) { return v >= -kFarthest && v <= kFarthest; };
    if (!okX || !okY || !reachable(x) || !reachable(y))
        return std::nullopt;
    return QPoint(x, y);
}

void PositionStore::setPosition(const QString& character, QPoint topLeft)
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.beginGroup(groupFor(character));
    settings.setValue(QStringLiteral("x"), topLeft.x());
    settings.setValue(QStringLiteral("y"), topLeft.y());
    settings.endGroup();
    settings.sync();
}

} // namespace speech::agent
