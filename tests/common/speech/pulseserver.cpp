#include "tests/common/speech/pulseserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcessEnvironment>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace speechtest {

PulseServer::PulseServer(QString folder) : m_folder(std::move(folder)) {}

PulseServer::~PulseServer()
{
    thaw();
    stop();
}

QString PulseServer::socketPath() const
{
    return m_folder + QStringLiteral("/runtime/native");
}

QString PulseServer::log() const
{
    QFile file(m_folder + QStringLiteral("/pulseaudio.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

bool PulseServer::start(QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why + QStringLiteral("\n") + log();
        stop();
        return false;
    };
    for (const char* sub : {"runtime", "home", "config"}) {
        const QString path = m_folder + QLatin1Char('/') + QLatin1String(sub);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    }
    QFile::remove(socketPath()); // a killed daemon leaves its socket behind
    const QString script = m_folder + QStringLiteral("/server.pa");
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("cannot write ") + script);
    file.write(QStringLiteral("load-module module-null-sink sink_name=%1 rate=%2 channels=1 "
                              "format=s16le\n"
                              "load-module module-native-protocol-unix auth-anonymous=1 socket=%3\n"
                              "set-default-sink %1\n")
                   .arg(sinkName())
                   .arg(kSampleRate)
                   .arg(socketPath())
                   .toLocal8Bit());
    file.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_folder + QStringLiteral("/home"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder + QStringLiteral("/runtime"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder + QStringLiteral("/config"));
    // Nothing of a desktop session: no D-Bus, no X11 property, no autospawn.
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SERVER"})
        environment.remove(QString::fromLatin1(name));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_folder + QStringLiteral("/pulseaudio.log"),
                                    QIODevice::Append);
    // --system=no keeps root (as in CI) in per-user mode; -n skips the
    // default script, whose device modules would look for sound cards.
    m_process.start(QStringLiteral("pulseaudio"),
                    {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                     QStringLiteral("--system=no"), QStringLiteral("--use-pid-file=no"),
                     QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--log-target=stderr"),
                     QStringLiteral("-F"), script});
    if (!m_process.waitForStarted(5000))
        return fail(QStringLiteral("pulseaudio does not start: ") + m_process.errorString());

    // The event loop runs meanwhile: a test may be timing its own thread.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            return fail(QStringLiteral("pulseaudio ended at start"));
        QLocalSocket probe;
        probe.connectToServer(socketPath());
        if (probe.waitForConnected(5))
            return true;
        QTest::qWait(5);
    }
    return fail(QStringLiteral("pulseaudio takes no connections"));
}

QStringList PulseServer::clientNames() const
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("--server=") + address(),
                                          QStringLiteral("list"), QStringLiteral("clients")});
    // Waiting in the event loop: a test may be timing its own thread.
    if (!QTest::qWaitFor([&] { return pactl.state() == QProcess::NotRunning; }, 2000))
        return {};
    QStringList names;
    static const QLatin1String key("application.name = \"");
    for (const QString& line :
         QString::fromUtf8(pactl.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const qsizetype at = line.indexOf(key);
        if (at >= 0)
            names.append(line.mid(at + key.size()).chopped(1));
    }
    return names;
}

void PulseServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(1000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

void PulseServer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(2000);
}

void PulseServer::freeze()
{
    signal(SIGSTOP);
}

void PulseServer::thaw()
{
    signal(SIGCONT);
}

void PulseServer::signal(int signalNumber)
{
    if (m_process.state() != QProcess::NotRunning)
        ::kill(pid_t(m_process.processId()), signalNumber);
}

} // namespace speechtest
