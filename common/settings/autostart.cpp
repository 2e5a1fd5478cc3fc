#include "common/settings/autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace settings {

QString autoStartEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/Spanish.desktop");
}

QString desktopExecValue(const QString& executablePath)
{
    // Quoting rule first: inside double quotes, ", `, $ and \ take a backslash.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executablePath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    // A literal percent sign is a field code unless doubled.
    quoted.replace(u'%', QStringLiteral("%%"));
    // Then the string escapes of the file format itself.
    QString value;
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case '\\':
            value += QStringLiteral("\\\\");
            break;
        case '\n':
            value += QStringLiteral("\\n");
            break;
        case '\t':
            value += QStringLiteral("\\t");
            break;
        case '\r':
            value += QStringLiteral("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

bool setAutoStart(qint16 autoStart, const QString& executablePath)
{
    const QString path = autoStartEntryPath();
    if (autoStart == 0) {
        if (QFile::exists(path))
            return QFile::remove(path);
        return true;
    }
    if (autoStart != 1)
        return true;

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Dialogs\n"
                                         "Comment=Russian and English conversation trainer\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(desktopExecValue(executablePath));
    file.write(entry.toUtf8());
    return file.commit();
}

bool setAutoStart(qint16 autoStart)
{
    return setAutoStart(autoStart,
                        QCoreApplication::applicationDirPath() + QStringLiteral("/dialogs"));
}

} // namespace settings
