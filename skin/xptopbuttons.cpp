#include "skin/xptopbuttons.h"

#include "skin/mousecodes.h"
#include "skin/skinbitmaps.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace skin {

namespace {

constexpr int kCells = 4;

} // namespace

xptopbuttons::xptopbuttons(QWidget* parent)
    : QWidget(parent), m_hover(this, [this] { hoverTick(); })
{
    const char* strips[] = {"closebutton", "maximisebutton", "minimisebutton", "restorebutton"};
    for (int i = 0; i < 4; ++i)
        m_pc[i] = PictureClip(skinBitmap(QString::fromLatin1(strips[i])), 1, kCells);
    setMouseTracking(true);

    apply_value();
    showCell(Normal);
    setFixedSize(kSide, kSide);
    // Running from creation: the first look tells whether the pointer is here.
    m_hover.start();
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
    m_hover.setPointer(std::move(pointer));
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

void xptopbuttons::hoverTick()
{
    if (!m_hover.pointerLeft())
        return;
    emit MouseOut();
    if (isEnabled())
        showCell(Normal);
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
    m_hover.stop();
    apply_value();
}

void xptopbuttons::mousePressEvent(QMouseEvent* event)
{
    showCell(Pressed);
    emitMouseSignal(this, &xptopbuttons::MouseDown, *event);
    m_click.arm();
}

void xptopbuttons::mouseMoveEvent(QMouseEvent* event)
{
    m_hover.start();
    if (!HoverWatch::within(size(), event->position()))
        return;
    emitMouseSignal(this, &xptopbuttons::MouseMove, *event);
    showCell(event->buttons() == Qt::LeftButton ? Pressed : Hover);
}

void xptopbuttons::mouseReleaseEvent(QMouseEvent* event)
{
    showCell(Normal);
    emitMouseSignal(this, &xptopbuttons::MouseUp, *event);
    if (m_click.release(rect().contains(event->position().toPoint())))
        emit Click();
}

void xptopbuttons::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double-click raises only the Click of its first press.
    mousePressEvent(event);
    m_click.disarm();
}

} // namespace skin
