#pragma once

#include <QIcon>

namespace icon {

// The name of the icon in the desktop's icon theme and in the desktop entries.
inline constexpr char kThemeName[] = "velkor-dialogs";

// The program's own icon, at the sizes drawn at build time (16 to 128 px).
QIcon programIcon();

// Gives every window of the running program the icon: the taskbar, the
// window switcher and the title bars show it instead of a generic one.
void installProgramIcon();

} // namespace icon
