#include "skin/hoverwatch.h"

#include "skin/systempointer.h"

#include <QWidget>

namespace skin {

namespace {

constexpr int kWatchMs = 10;

} // namespace

HoverWatch::HoverWatch(QWidget* button, std::function<void()> look)
    : m_button(button), m_timer(button), m_pointer(SystemPointer::shared())
{
    m_timer.setObjectName(QStringLiteral("hoverWatch"));
    m_timer.setInterval(kWatchMs);
    QObject::connect(&m_timer, &QTimer::timeout, button, std::move(look));
}

void HoverWatch::setPointer(std::shared_ptr<const Pointer> pointer)
{
    m_pointer = pointer ? std::move(pointer) : SystemPointer::shared();
}

bool HoverWatch::pointerLeft()
{
    if (within(m_button->size(), m_button->mapFromGlobal(m_pointer->position())))
        return false;
    m_timer.stop();
    return true;
}

bool HoverWatch::within(QSize size, QPointF p)
{
    return p.x() >= 0 && p.x() <= size.width() && p.y() >= 0 && p.y() <= size.height();
}

} // namespace skin
