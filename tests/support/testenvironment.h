#pragma once

#include <QString>

namespace testsupport {

// Every test process runs inside a private temporary home: XDG_CONFIG_HOME,
// XDG_DATA_HOME, XDG_RUNTIME_DIR and HOME point below one fresh folder that is
// created before main() and removed at exit, so no test touches a real home.
class TestEnvironment final
{
public:
    static TestEnvironment& instance();

    QString root() const;
    QString configHome() const;
    QString dataHome() const;
    QString runtimeDir() const;

    // Empties the config, data and runtime folders so a test starts afresh.
    void reset();

    // The folder of the built programs and the source tree (set by CTest).
    static QString appDir();
    static QString sourceDir();

    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

private:
    TestEnvironment();
    QString m_root;
};

} // namespace testsupport
