#pragma once

#include <QWindow>

namespace desktop {

// The window manager hints Qt has no flag for, set on the X server through
// xcb. Every call does nothing when the program does not run on X11
// (Wayland, the offscreen platform of the tests).
class X11Desktop final
{
public:
    // True when the program talks to an X server.
    static bool available();

    // Keeps the window out of the taskbar and the pager and shows it on every
    // virtual desktop (_NET_WM_STATE_SKIP_TASKBAR, _SKIP_PAGER, _STICKY and
    // _NET_WM_DESKTOP 0xFFFFFFFF). Best called just before the window is
    // mapped, when the window manager reads the hints; a mapped window is
    // asked for the same through the root window.
    static void markAccessory(WId window);
};

} // namespace desktop
