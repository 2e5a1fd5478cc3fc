#include "common/desktop/accessorywindow.h"

#include "common/desktop/x11desktop.h"

#include <QEvent>
#include <QWidget>

namespace desktop {

AccessoryWindow::AccessoryWindow(QWidget& window) : QObject(&window)
{
    setObjectName(QStringLiteral("accessoryWindow"));
    window.installEventFilter(this);
}

Qt::WindowFlags AccessoryWindow::flags(Qt::WindowFlags others)
{
    // A tool window: no taskbar button on most window managers. Not accepting
    // the focus makes Qt tell the window manager so (WM_HINTS input False).
    return (others & ~Qt::WindowType_Mask) | Qt::Tool | Qt::FramelessWindowHint |
           Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
}

void AccessoryWindow::apply(QWidget& window)
{
    if (window.findChild<AccessoryWindow*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    const Qt::WindowFlags wanted = flags(window.windowFlags());
    if (window.windowFlags() != wanted)
        window.setWindowFlags(wanted);
    // Shown with a user time of 0: the window manager does not focus it.
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_X11DoNotAcceptFocus);
    new AccessoryWindow(window);
    if (window.isVisible())
        X11Desktop::markAccessory(window.winId());
}

bool AccessoryWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes after the native window exists and before it is
    // mapped, which is when the window manager reads its hints; it removes
    // them again whenever the window is hidden.
    if (event->type() == QEvent::Show)
        X11Desktop::markAccessory(static_cast<QWidget*>(watched)->winId());
    return false;
}

} // namespace desktop
