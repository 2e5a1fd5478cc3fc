#include "skin/xptopbuttons.h"

#include "skin/mousecodes.h"
#include "skin/skinbitmaps.h"
#include "skin/systempointer.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace skin {

namespace {

constexpr int kCells = 4;
constexpr int kWatchMs = 10;

} // namespace

xptopbuttons::xptopbuttons(QWidget* parent)
    : QWidget(parent), m_timer1(this), m_pointer(SystemPointer::shared())
{
    const char* strips[] = {"closebutton", "maximisebutton", "minimisebutton", "restorebutton"};
    for (int i = 0; i < 4; ++i)
        m_pc[i] = PictureClip(skinBitmap(QString::fromLatin1(strips[i])), 1, kCells);
    setMouseTracking(true);

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(kWatchMs);
    connect(&m_timer1, &QTimer::timeout, this, &xptopbuttons::hoverTick);

    apply_value();
    showCell(Normal);
    setFixedSize(kSide, kSide);
    // Running from creation: the first look tells whether the pointer is here.
    m_timer1.start();
}

void xptopbuttons::readProperties(const QVariantMap& design)
{
    m_value = design.value(QStringLiteral("Value"), 0).toInt();
    setEnabled(design.value(QStringLiteral("Enabled"), true).toBool());
}

void xptopbuttons::setValue(int value)
{
    m_value = value;
    apply_value();
}

void xptopbuttons::setStrip(int index, const QImage& strip)
{
    if (index < 0 || index >= int(m_pc.size()))
        return;
    m_pc[index] = PictureClip(strip, 1, kCells);
    showCell(m_cell);
}

void xptopbuttons::setPointer(std::shared_ptr<const Pointer> pointer)
{
    m_pointer = pointer ? std::move(pointer) : SystemPointer::shared();
}

void xptopbuttons::apply_value()
{
    if (m_value >= 0 && m_value <= 3)
        m_strip = m_value;
    showCell(isEnabled() ? Normal : Disabled);
}

void xptopbuttons::showCell(int cell)
{
    m_cell = cell;
    m_face = QPixmap::fromImage(m_pc[m_strip].cell(cell));
    update();
}

bool xptopbuttons::insideArea(QPointF p) const
{
    return p.x() >= 0 && p.x() <= width() && p.y() >= 0 && p.y() <= height();
}

void xptopbuttons::hoverTick()
{
    // The pointer is compared in the button's own coordinates, whatever its
    // place on the title bar.
    const QPoint p = mapFromGlobal(m_pointer->position());
    if (p.x() < 0 || p.y() < 0 || p.x() > width() || p.y() > height()) {
        m_timer1.stop();
        emit MouseOut();
        if (isEnabled())
            showCell(Normal);
    }
}

void xptopbuttons::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        showCell(isEnabled() ? Normal : Disabled);
}

void xptopbuttons::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_face);
}

void xptopbuttons::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (size() != QSize(kSide, kSide))
        setFixedSize(kSide, kSide);
}

void xptopbuttons::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    apply_value();
}

void xptopbuttons::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_timer1.stop();
    apply_value();
}

void xptopbuttons::mousePressEvent(QMouseEvent* event)
{
    showCell(Pressed);
    const QPointF p = event->position();
    emit MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), float(p.x()),
                   float(p.y()));
    m_clickArmed = true;
}

void xptopbuttons::mouseMoveEvent(QMouseEvent* event)
{
    m_timer1.start();
    const QPointF p = event->position();
    if (!insideArea(p))
        return;
    emit MouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()), float(p.x()),
                   float(p.y()));
    showCell(event->buttons() == Qt::LeftButton ? Pressed : Hover);
}

void xptopbuttons::mouseReleaseEvent(QMouseEvent* event)
{
    showCell(Normal);
    const QPointF p = event->position();
    emit MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(p.x()),
                 float(p.y()));
    const bool click = m_clickArmed && rect().contains(p.toPoint());
    m_clickArmed = false;
    if (click)
        emit Click();
}

void xptopbuttons::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double-click raises only the Click of its first press.
    mousePressEvent(event);
    m_clickArmed = false;
}

} // namespace skin
