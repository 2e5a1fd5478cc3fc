#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace testsupport {

namespace {

QString makeRoot()
{
    std::string pattern = QDir::tempPath().toStdString() + "/velkor-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        std::abort();
    return QString::fromStdString(pattern);
}

void setFolder(const char* variable, const QString& path)
{
    QDir().mkpath(path);
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ::setenv(variable, QFile::encodeName(path).constData(), 1);
}

// Runs before main(): the environment must be in place before Qt caches paths.
const struct Installer {
    Installer() { TestEnvironment::instance(); }
} installer;

} // namespace

TestEnvironment& TestEnvironment::instance()
{
    static TestEnvironment environment;
    return environment;
}

TestEnvironment::TestEnvironment() : m_root(makeRoot())
{
    setFolder("HOME", m_root + "/home");
    setFolder("XDG_CONFIG_HOME", configHome());
    setFolder("XDG_DATA_HOME", dataHome());
    setFolder("XDG_RUNTIME_DIR", runtimeDir());
    setFolder("XDG_CACHE_HOME", m_root + "/cache");
}

TestEnvironment::~TestEnvironment()
{
    if (!qEnvironmentVariableIsSet("VELKOR_KEEP_TEST_HOME"))
        QDir(m_root).removeRecursively();
}

QString TestEnvironment::root() const
{
    return m_root;
}
QString TestEnvironment::configHome() const
{
    return m_root + "/config";
}
QString TestEnvironment::dataHome() const
{
    return m_root + "/data";
}
QString TestEnvironment::runtimeDir() const
{
    return m_root + "/runtime";
}

void TestEnvironment::reset()
{
    for (const QString& dir : {configHome(), dataHome(), runtimeDir()}) {
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
    }
}

QString TestEnvironment::appDir()
{
    return qEnvironmentVariable("VELKOR_APP_DIR");
}
QString TestEnvironment::sourceDir()
{
    return qEnvironmentVariable("VELKOR_SOURCE_DIR");
}

} // namespace testsupport
