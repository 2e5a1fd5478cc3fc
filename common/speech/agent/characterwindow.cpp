#include "common/speech/agent/characterwindow.h"

#include "common/desktop/accessorywindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace speech::agent {

CharacterWindow::CharacterWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // No focus, no taskbar button, on every desktop.
    desktop::AccessoryWindow::apply(*this);
    setWindowTitle(QStringLiteral("Character"));
}

void CharacterWindow::setFrame(const QImage& frame, const QRegion& shape)
{
    // Frames come from the renderer's cache: one frame is one shared image.
    if (frame.cacheKey() != m_frame.cacheKey()) {
        m_frame = frame;
        ++m_frameChanges;
        if (size() != frame.size())
            resize(frame.size());
        update();
    }
    if (shape != m_shape) {
        m_shape = shape;
        ++m_shapeChanges;
        setMask(shape);
    }
}

void CharacterWindow::placeAt(QPoint topLeft)
{
    m_systemDrag = false;
    m_manualDrag = false;
    move(topLeft);
}

void CharacterWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_frame);
}

void CharacterWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_grabOffset = event->globalPosition().toPoint() - pos();
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemMove()) {
        // The window manager moves us; moveEvent reports where it ends up.
        m_systemDrag = true;
        m_manualDrag = false;
    } else {
        m_manualDrag = true;
    }
    event->accept();
}

void CharacterWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_manualDrag && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_grabOffset);
}

void CharacterWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_manualDrag) {
        m_manualDrag = false;
        emit dragged(pos());
    }
}

void CharacterWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // A system move ends without a release event reaching us, so every
    // position it passes through is reported; the last one wins.
    if (m_systemDrag)
        emit dragged(pos());
}

} // namespace speech::agent
