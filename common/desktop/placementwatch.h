#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include <optional>

class QScreen;
class QWidget;
class QWindow;

namespace desktop {

// What the window system says about where a top-level window is and where it
// may be: the frame geometry the window manager confirmed, which is not
// always the one the program last asked for (a window manager may move a
// window off a panel, or answer a request later), and the available area of
// the window's screen, the screen less the panels that reserve an edge.
class PlacementWatch final : public QObject
{
    Q_OBJECT

public:
    explicit PlacementWatch(QWidget& window);

    // The frame in screen pixels as last confirmed; while the window is
    // hidden, where it will be asked to show.
    QRect confirmedFrame() const;
    // The available area of the window's screen, or an empty rectangle
    // without a screen.
    QRect availableArea() const;

signals:
    // The window manager confirmed a new frame geometry.
    void frameConfirmed(const QRect& frame);
    // A panel came, went or moved, or the window went to another screen.
    void availableAreaChanged(const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void attach();
    void watchScreen(QScreen* screen);
    void confirm(const QRect& frame);

    QWidget& m_window;
    QPointer<QWindow> m_handle;
    QPointer<QScreen> m_screen;
    QMetaObject::Connection m_screenConnection;
    std::optional<QRect> m_confirmed;
};

} // namespace desktop
