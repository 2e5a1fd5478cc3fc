#include "common/speech/agent/balloonwidget.h"

#include "common/desktop/accessorywindow.h"
#include "common/speech/speechtext.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace speech::agent {

namespace {
constexpr int kMargin = 10;
constexpr int kMaxTextWidth = 240;
constexpr int kRadius = 10;
constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
} // namespace

BalloonWidget::BalloonWidget(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // No focus, no taskbar button, on every desktop.
    desktop::AccessoryWindow::apply(*this);
    setWindowTitle(QStringLiteral("Balloon"));
    QFont f = font();
    f.setPointSizeF(10.5);
    setFont(f);
}

void BalloonWidget::setTexts(const QString& shownText, const QString& fullText)
{
    // The toolkit draws combining stress marks about an em above the line in
    // the balloon's font, among the words of the line before: the balloon
    // shows the words without them.
    const QString shown = withoutStressMarks(shownText);
    const QString full = withoutStressMarks(fullText);
    if (full != m_full) {
        m_full = full;
        const QRect bounds =
            fontMetrics().boundingRect(QRect(0, 0, kMaxTextWidth, 2000), kTextFlags, full);
        const QSize size(std::max(bounds.width(), 40) + 2 * kMargin,
                         std::max(bounds.height(), 16) + 2 * kMargin);
        resize(size);
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), kRadius, kRadius);
        // Without a compositor the corners outside the frame must not be drawn.
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    if (shown != m_shown) {
        m_shown = shown;
        update();
    }
}

void BalloonWidget::placeBeside(const QRect& character)
{
    const QScreen* screen = QGuiApplication::screenAt(character.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    QPoint pos(character.center().x() - width() / 2, character.top() - height() - 4);
    if (pos.y() < area.top()) {
        // No room above: beside the character, on the side with more space.
        const bool left = character.left() - area.left() > area.right() - character.right();
        pos =
            QPoint(left ? character.left() - width() - 4 : character.right() + 4, character.top());
    }
    pos.setX(std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() - width())));
    pos.setY(std::clamp(pos.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    move(pos);
}

void BalloonWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.5));
    painter.setBrush(QColor(255, 255, 225));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kRadius, kRadius);
    painter.setPen(Qt::black);
    painter.drawText(textRect(), kTextFlags, m_shown);
}

QRect BalloonWidget::textRect() const
{
    return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

} // namespace speech::agent
