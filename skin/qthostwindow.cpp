#include "skin/qthostwindow.h"

#include <QApplication>
#include <QWindow>

namespace skin {

QtHostWindow::QtHostWindow(QWidget* window) : m_window(window) {}

WindowState QtHostWindow::windowState() const
{
    if (!m_window)
        return WindowState::Normal;
    if (m_window->isMinimized())
        return WindowState::Minimised;
    if (m_window->isMaximized())
        return WindowState::Maximised;
    return WindowState::Normal;
}

void QtHostWindow::setWindowState(WindowState state)
{
    if (!m_window)
        return;
    switch (state) {
    case WindowState::Normal:
        m_window->setWindowState(m_window->windowState() &
                                 ~(Qt::WindowMinimized | Qt::WindowMaximized));
        break;
    case WindowState::Minimised:
        m_window->setWindowState(m_window->windowState() | Qt::WindowMinimized);
        break;
    case WindowState::Maximised:
        m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) |
                                 Qt::WindowMaximized);
        break;
    }
}

QRect QtHostWindow::geometry() const
{
    return m_window ? m_window->geometry() : QRect();
}

bool QtHostWindow::setGeometry(const QRect& geometry)
{
    if (!m_window || windowState() != WindowState::Normal || geometry.width() < 1 ||
        geometry.height() < 1)
        return false;
    m_window->setGeometry(geometry);
    return true;
}

QSize QtHostWindow::clientSize() const
{
    return m_window ? m_window->size() : QSize();
}

void QtHostWindow::setTitle(const QString& title)
{
    if (m_window)
        m_window->setWindowTitle(title);
}

ActiveWindow QtHostWindow::activeWindow() const
{
    const QWidget* active = QApplication::activeWindow();
    if (!active)
        return ActiveWindow::None;
    return active == m_window ? ActiveWindow::Host : ActiveWindow::Other;
}

bool QtHostWindow::startSystemMove()
{
    QWindow* handle = m_window ? m_window->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

void QtHostWindow::setMask(const QRegion& region)
{
    if (m_window)
        m_window->setMask(region);
}

} // namespace skin
