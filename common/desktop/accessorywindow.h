#pragma once

#include <QObject>

class QWidget;

namespace desktop {

// Keeps a top-level window beside the learner's work rather than in it: it
// stays on top and frameless, never takes the keyboard focus (when it first
// shows, when it shows again, when it is clicked), stays out of the taskbar,
// the pager and the window switcher, and shows on every virtual desktop. The
// strip, the character and the character's balloon are such windows.
class AccessoryWindow final : public QObject
{
    Q_OBJECT

public:
    // Sets the window's flags and attributes and keeps the window manager
    // hints in place each time it is shown. Calling it again changes nothing.
    static void apply(QWidget& window);

    // The flags such a window has, whatever else it had.
    static Qt::WindowFlags flags(Qt::WindowFlags others);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit AccessoryWindow(QWidget& window);
};

} // namespace desktop
