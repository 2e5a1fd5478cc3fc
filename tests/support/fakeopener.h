#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Puts an xdg-open made of the given shell lines first on the PATH for as
// long as it lives, standing in for the desktop's opener.
class FakeOpener final
{
public:
    explicit FakeOpener(const QByteArray& body) : m_oldPath(qgetenv("PATH"))
    {
        QFile script(m_folder.filePath(QStringLiteral("xdg-open")));
        if (script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\n" + body + "\n");
            script.close();
            script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(m_folder.path()) + ':' + m_oldPath);
    }
    ~FakeOpener() { qputenv("PATH", m_oldPath); }
    FakeOpener(const FakeOpener&) = delete;
    FakeOpener& operator=(const FakeOpener&) = delete;

    // A file beside the script (the script's own folder is "$(dirname "$0")").
    QString file(const QString& name) const { return m_folder.filePath(name); }

    // What xdg-open does on a desktop without any browser or mail program.
    static QByteArray noHandler()
    {
        return "echo \"xdg-open: no method available for opening '$1'\" >&2\nexit 3";
    }

private:
    QTemporaryDir m_folder;
    QByteArray m_oldPath;
};

} // namespace testsupport
