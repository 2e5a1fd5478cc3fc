#pragma once

#include <QPoint>
#include <QString>

#include <optional>

namespace speech::agent {

// Where the learner last dragged each character, kept in a small INI file of
// its own (one group per character) so it never mixes with the programs'
// shared settings.
class PositionStore final
{
public:
    explicit PositionStore(QString fileName);

    // $XDG_CONFIG_HOME/Velkor/characters.ini
    static QString defaultFileName();

    std::optional<QPoint> position(const QString& character) const;
    void setPosition(const QString& character, QPoint topLeft);

private:
    QString m_fileName;
};

} // namespace speech::agent
