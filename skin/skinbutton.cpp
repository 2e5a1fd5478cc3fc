#include "skin/skinbutton.h"

#include "skin/mousecodes.h"
#include "skin/skinbitmaps.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

namespace skin {

namespace {

constexpr int kCells = 5;
constexpr int kMargin = 3;
const QColor kCaptionEnabled(0, 0, 0);
const QColor kCaptionDisabled(161, 161, 146);

} // namespace

SkinButton::SkinButton(QWidget* parent)
    : QWidget(parent), m_hover(this, [this] { hoverTick(); }),
      m_faceStrip(skinBitmap("face"), 1, kCells)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_captionLabel = new QLabel(this);
    m_captionLabel->setObjectName(QStringLiteral("captionLabel"));
    m_captionLabel->setAlignment(Qt::AlignCenter);
    m_captionLabel->setTextFormat(Qt::RichText);
    m_captionLabel->setAttribute(Qt::WA_TranslucentBackground);
    // Presses on the caption belong to the button.
    m_captionLabel->setAttribute(Qt::WA_TransparentForMouseEvents);

    updateCaptionColour();
    layout();
}

void SkinButton::readProperties(const QVariantMap& design)
{
    setState(design.value(QStringLiteral("State"), 0).toInt());
    setEnabled(design.value(QStringLiteral("Enabled"), true).toBool());
    setCaption(design.value(QStringLiteral("Caption"), objectName()).toString());
    const QVariant font = design.value(QStringLiteral("Font"));
    QFont chosen = parentWidget() ? parentWidget()->font() : QWidget::font();
    if (font.typeId() == QMetaType::QFont)
        chosen = font.value<QFont>();
    else if (font.typeId() == QMetaType::QString)
        chosen.fromString(font.toString());
    setFont(chosen);
}

void SkinButton::setState(int state)
{
    m_state = state;
    showRestCell();
}

QString SkinButton::caption() const
{
    return m_caption;
}

void SkinButton::setCaption(const QString& caption)
{
    m_caption = caption;
    m_captionLabel->setText(captionMarkup(caption));
    // "&" in the caption marks an access key that clicks the button.
    if (m_shortcut)
        releaseShortcut(m_shortcut);
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    m_shortcut = mnemonic.isEmpty() ? 0 : grabShortcut(mnemonic);
    layout();
}

void SkinButton::setFaceStrip(const QImage& strip)
{
    m_faceStrip = PictureClip(strip, 1, kCells);
    showCell(m_cell);
}

void SkinButton::setPointer(std::shared_ptr<const Pointer> pointer)
{
    m_hover.setPointer(std::move(pointer));
}

void SkinButton::showRestCell()
{
    if (m_state == 1)
        m_restCell = Emphasised;
    else if (m_state == 0)
        m_restCell = Normal;
    showCell(isEnabled() ? m_restCell : Disabled);
}

void SkinButton::showCell(int cell)
{
    m_cell = cell;
    m_face = renderFace(cell);
    update();
}

QPixmap SkinButton::renderFace(int cell) const
{
    const int W = width();
    const int H = height();
    if (W <= 0 || H <= 0)
        return QPixmap();
    QImage face(W, H, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::transparent);
    const QImage src = m_faceStrip.cell(cell);
    if (!src.isNull()) {
        const int sw = src.width();
        const int sh = src.height();
        const int m = kMargin;
        const int iw = sw - 2 * m; // inner width of the cell
        const int ih = sh - 2 * m;
        const struct {
            QRect source;
            QRect target;
        } slices[] = {
            {{0, 0, m, m}, {0, 0, m, m}},
            {{sw - m, 0, m, m}, {W - m, 0, m, m}},
            {{sw - m, sh - m, m, m}, {W - m, H - m, m, m}},
            {{0, sh - m, m, m}, {0, H - m, m, m}},
            {{m, 0, iw, m}, {m, 0, W - 2 * m, m}},
            {{sw - m, m, m, ih}, {W - m, m, m, H - 2 * m}},
            {{0, m, m, ih}, {0, m, m, H - 2 * m}},
            {{m, sh - m, iw, m}, {m, H - m, W - 2 * m, m}},
            {{m, m, iw, ih}, {m, m, W - 2 * m, H - 2 * m}},
        };
        QPainter p(&face);
        for (const auto& slice : slices) {
            // Buttons of 6 pixels or less have no room for edges or centre; a
            // negative size would paint mirrored.
            if (slice.target.width() > 0 && slice.target.height() > 0)
                p.drawImage(slice.target, src, slice.source);
        }
    }
    return QPixmap::fromImage(face);
}

void SkinButton::layout()
{
    showRestCell();
    m_captionLabel->adjustSize();
    m_captionLabel->move((width() - m_captionLabel->width()) / 2,
                         (height() - m_captionLabel->height()) / 2);
}

void SkinButton::updateCaptionColour()
{
    QPalette palette = m_captionLabel->palette();
    const QColor colour = isEnabled() ? kCaptionEnabled : kCaptionDisabled;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, colour);
    m_captionLabel->setPalette(palette);
}

QString SkinButton::captionMarkup(const QString& caption)
{
    // "&x" underlines the access key x, "&&" is a plain ampersand.
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c == u'&' && i + 1 < caption.size()) {
            const QChar next = caption.at(++i);
            out += next == u'&' ? QStringLiteral("&amp;")
                                : QStringLiteral("<u>") + QString(next).toHtmlEscaped() +
                                      QStringLiteral("</u>");
        } else {
            out += QString(c).toHtmlEscaped();
        }
    }
    return out;
}

void SkinButton::hoverTick()
{
    if (!m_hover.pointerLeft())
        return;
    emit pointerLeft();
    showRestCell();
}

bool SkinButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == m_shortcut && m_shortcut) {
        emit clicked();
        return true;
    }
    return QWidget::event(event);
}

void SkinButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        showRestCell();
        updateCaptionColour();
    } else if (event->type() == QEvent::FontChange) {
        m_captionLabel->setFont(font());
        layout();
    }
}

QImage SkinButton::face() const
{
    refreshFace();
    return m_face.toImage();
}

void SkinButton::refreshFace() const
{
    // A hidden button gets its resize event only when shown; never show a
    // face cut for another size.
    if (m_face.size() != size())
        m_face = renderFace(m_cell);
}

void SkinButton::paintEvent(QPaintEvent*)
{
    refreshFace();
    QPainter p(this);
    p.drawPixmap(0, 0, m_face);
}

void SkinButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layout();
}

void SkinButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    showRestCell();
}

void SkinButton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_hover.stop();
    showRestCell();
}

void SkinButton::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(event->key(), shiftCode(event->modifiers()));
    if (!event->text().isEmpty())
        emit characterTyped(event->text().at(0).unicode());
}

void SkinButton::keyReleaseEvent(QKeyEvent* event)
{
    emit keyReleased(event->key(), shiftCode(event->modifiers()));
}

void SkinButton::mousePressEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &SkinButton::mousePressed, *event);
    showCell(Pressed);
    m_click.arm();
}

void SkinButton::mouseMoveEvent(QMouseEvent* event)
{
    m_hover.start();
    if (!HoverWatch::within(size(), event->position()))
        return;
    emitMouseSignal(this, &SkinButton::mouseMoved, *event);
    showCell(event->buttons() == Qt::LeftButton ? Pressed : Hover);
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &SkinButton::mouseReleased, *event);
    showRestCell();
    if (m_click.release(rect().contains(event->position().toPoint())))
        emit clicked();
}

void SkinButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click is a press, but not a second click.
    mousePressEvent(event);
    m_click.disarm();
}

} // namespace skin
