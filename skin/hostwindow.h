#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

namespace skin {

enum class WindowState { Normal = 0, Minimised = 1, Maximised = 2 };

// Which window of the application has the focus, seen from one host.
enum class ActiveWindow { Host, Other, None };

// What the skin widgets need from the top-level window they decorate. Real
// windows use QtHostWindow; tests supply their own so the frame logic runs
// without a window system. All values are pixels.
class HostWindow
{
public:
    virtual ~HostWindow() = default;

    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;

    // Outer position and size on the screen.
    virtual QRect geometry() const = 0;
    // Returns false when the window refuses (maximised, minimised, empty size).
    virtual bool setGeometry(const QRect& geometry) = 0;

    virtual QSize clientSize() const = 0;
    virtual void setTitle(const QString& title) = 0;
    virtual ActiveWindow activeWindow() const = 0;

    // Hands the move to the window manager; false when it will not do it.
    virtual bool startSystemMove() = 0;

    virtual void setMask(const QRegion& region) = 0;
};

} // namespace skin
