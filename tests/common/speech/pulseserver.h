#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace speechtest {

// A private PulseAudio daemon with one null sink, started in a folder of its
// own (runtime folder, home, start-up script and log), reachable at address().
// It works as root (as CI runs) and as a normal user. The sink runs at the
// synthesizer's rate in mono, so what its monitor records is what was played,
// sample for sample.
class PulseServer final
{
public:
    static constexpr int kSampleRate = 22050;

    explicit PulseServer(QString folder);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the daemon and waits until it takes connections; false (with the
    // reason and the daemon's log in error) when it does not within 10 s.
    bool start(QString* error = nullptr);
    // Ends the daemon politely, or by force after a second.
    void stop();
    // The ways a server goes wrong: killed outright, frozen and thawed.
    void kill();
    void freeze();
    void thaw();

    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    QString address() const { return QStringLiteral("unix:") + socketPath(); }
    QString socketPath() const;
    QString sinkName() const { return QStringLiteral("velkor_test"); }
    QString monitorName() const { return sinkName() + QStringLiteral(".monitor"); }
    QString log() const;
    // The application names of the clients connected now.
    QStringList clientNames() const;

private:
    void signal(int signalNumber);

    QString m_folder;
    QProcess m_process;
};

} // namespace speechtest
