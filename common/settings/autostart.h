#pragma once

#include <QString>
#include <QtGlobal>

namespace settings {

// Brings the start-with-system entry "Spanish" in line with the autoStart
// setting ("mark"): 1 writes $XDG_CONFIG_HOME/autostart/Spanish.desktop
// starting executablePath, 0 removes it (a missing file is fine), any other
// value leaves it alone. Returns false only when a needed write failed.
bool setAutoStart(qint16 autoStart, const QString& executablePath);

// setAutoStart for the running program: the "dialogs" beside this executable.
bool setAutoStart(qint16 autoStart);

// The Exec= value for one program path, quoted and escaped as the Desktop
// Entry format requires so that spaces, quotes, backslashes and "%" are safe.
QString desktopExecValue(const QString& executablePath);

QString autoStartEntryPath();

} // namespace settings
