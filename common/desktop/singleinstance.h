#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace desktop {

// One running instance of a program per user. The first instance holds a
// lock file and a local server in the user's runtime folder; a later start
// finds the lock taken, asks the running instance to come forward and ends,
// touching no setting and no file.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // key names the program; folder defaults to the user's runtime folder.
    explicit SingleInstance(const QString& key, const QString& folder = QString(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the running instance.
    bool tryBecomePrimary();

    // From a second start: asks the running instance to come forward.
    // Returns true when it answered.
    bool activateRunning(int timeoutMs = 2000);

    QString serverName() const { return m_serverName; }

signals:
    void activationRequested();

private:
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace desktop
