#include "common/desktop/placementwatch.h"

#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace desktop {

PlacementWatch::PlacementWatch(QWidget& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("placementWatch"));
    window.installEventFilter(this);
    watchScreen(window.screen());
    if (window.isVisible())
        attach();
}

QRect PlacementWatch::confirmedFrame() const
{
    return m_confirmed.value_or(m_window.frameGeometry());
}

QRect PlacementWatch::availableArea() const
{
    return m_screen ? m_screen->availableGeometry() : QRect();
}

void PlacementWatch::attach()
{
    QWindow* handle = m_window.windowHandle();
    if (handle != m_handle) {
        if (m_handle)
            m_handle->removeEventFilter(this);
        m_handle = handle;
        if (handle) {
            handle->installEventFilter(this);
            connect(handle, &QWindow::screenChanged, this, &PlacementWatch::watchScreen,
                    Qt::UniqueConnection);
        }
    }
    if (handle)
        watchScreen(handle->screen());
}

void PlacementWatch::watchScreen(QScreen* screen)
{
    if (screen == m_screen)
        return;
    disconnect(m_screenConnection);
    m_screen = screen;
    if (!screen)
        return;
    m_screenConnection = connect(screen, &QScreen::availableGeometryChanged, this,
                                 &PlacementWatch::availableAreaChanged);
    emit availableAreaChanged(screen->availableGeometry());
}

void PlacementWatch::confirm(const QRect& frame)
{
    if (m_confirmed == frame)
        return;
    m_confirmed = frame;
    emit frameConfirmed(frame);
}

bool PlacementWatch::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &m_window) {
        if (type == QEvent::Show) {
            // Until the window manager answers, the window stands where it
            // was asked to.
            attach();
            m_confirmed = m_window.frameGeometry();
        } else if (type == QEvent::Hide) {
            m_confirmed.reset();
        }
        return false;
    }
    // Only the window system's own move and resize events carry what the
    // window manager did; the program's requests are not spontaneous.
    if (watched != m_handle || !event->spontaneous() || !m_confirmed)
        return false;
    const QMargins margins = m_handle->frameMargins();
    QRect frame = *m_confirmed;
    if (type == QEvent::Move) {
        const QPoint client = static_cast<QMoveEvent*>(event)->pos();
        frame.moveTopLeft(client - QPoint(margins.left(), margins.top()));
        confirm(frame);
    } else if (type == QEvent::Resize) {
        const QSize client = static_cast<QResizeEvent*>(event)->size();
        frame.setSize(client.grownBy(margins));
        confirm(frame);
    }
    return false;
}

} // namespace desktop
