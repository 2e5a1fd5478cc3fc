#include "skin/captionbutton.h"

#include "skin/mousecodes.h"
#include "skin/skinbitmaps.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace skin {

namespace {

constexpr int kCells = 4;

} // namespace

CaptionButton::CaptionButton(QWidget* parent)
    : QWidget(parent), m_hover(this, [this] { hoverTick(); })
{
    const char* strips[] = {"closebutton", "maximisebutton", "minimisebutton", "restorebutton"};
    for (int i = 0; i < 4; ++i)
        m_strips[i] = PictureClip(skinBitmap(QString::fromLatin1(strips[i])), 1, kCells);
    setMouseTracking(true);

    applyGlyph();
    showCell(Normal);
    setFixedSize(kSide, kSide);
    // Running from creation: the first look tells whether the pointer is here.
    m_hover.start();
}

void CaptionButton::readProperties(const QVariantMap& design)
{
    m_glyph = design.value(QStringLiteral("Value"), 0).toInt();
    setEnabled(design.value(QStringLiteral("Enabled"), true).toBool());
}

void CaptionButton::setGlyph(int glyph)
{
    m_glyph = glyph;
    applyGlyph();
}

void CaptionButton::setStrip(int index, const QImage& strip)
{
    if (index < 0 || index >= int(m_strips.size()))
        return;
    m_strips[index] = PictureClip(strip, 1, kCells);
    showCell(m_cell);
}

void CaptionButton::setPointer(std::shared_ptr<const Pointer> pointer)
{
    m_hover.setPointer(std::move(pointer));
}

void CaptionButton::applyGlyph()
{
    if (m_glyph >= 0 && m_glyph <= 3)
        m_strip = m_glyph;
    showCell(isEnabled() ? Normal : Disabled);
}

void CaptionButton::showCell(int cell)
{
    m_cell = cell;
    m_face = QPixmap::fromImage(m_strips[m_strip].cell(cell));
    update();
}

void CaptionButton::hoverTick()
{
    if (!m_hover.pointerLeft())
        return;
    emit pointerLeft();
    if (isEnabled())
        showCell(Normal);
}

void CaptionButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        showCell(isEnabled() ? Normal : Disabled);
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_face);
}

void CaptionButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (size() != QSize(kSide, kSide))
        setFixedSize(kSide, kSide);
}

void CaptionButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    applyGlyph();
}

void CaptionButton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_hover.stop();
    applyGlyph();
}

void CaptionButton::mousePressEvent(QMouseEvent* event)
{
    showCell(Pressed);
    emitMouseSignal(this, &CaptionButton::mousePressed, *event);
    m_click.arm();
}

void CaptionButton::mouseMoveEvent(QMouseEvent* event)
{
    m_hover.start();
    if (!HoverWatch::within(size(), event->position()))
        return;
    emitMouseSignal(this, &CaptionButton::mouseMoved, *event);
    showCell(event->buttons() == Qt::LeftButton ? Pressed : Hover);
}

void CaptionButton::mouseReleaseEvent(QMouseEvent* event)
{
    showCell(Normal);
    emitMouseSignal(this, &CaptionButton::mouseReleased, *event);
    if (m_click.release(rect().contains(event->position().toPoint())))
        emit clicked();
}

void CaptionButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double-click raises only the click of its first press.
    mousePressEvent(event);
    m_click.disarm();
}

} // namespace skin
