#include "skin/skinframe.h"

#include "skin/colourkeyshape.h"
#include "skin/mousecodes.h"
#include "skin/qthostwindow.h"
#include "skin/skinbitmaps.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace skin {

namespace {

constexpr int kTitleHeight = 29;
constexpr int kBorder = 5;
constexpr int kGrip = 9;
constexpr int kCap = 5; // columns of the title image kept unstretched at each end
constexpr int kWatchMs = 10;
const QColor kSurface(236, 233, 216);
const QColor kTitleBackground(0, 0, 192);
const QRgb kKey = qRgb(255, 0, 255);

QLabel* makeStrip(QWidget* parent, const char* name)
{
    auto* strip = new QLabel(parent);
    strip->setObjectName(QString::fromLatin1(name));
    strip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    strip->setFrameShape(QFrame::NoFrame);
    return strip;
}

QWidget* makeGrip(QWidget* parent, int index)
{
    auto* grip = new QWidget(parent);
    grip->setObjectName(QStringLiteral("resizeGrip(%1)").arg(index));
    grip->resize(kGrip, kGrip);
    return grip;
}

// Stretch-blit from a source rectangle; empty or inverted targets paint nothing.
void blit(QPainter& p, const QRect& target, const QImage& image, const QRect& source)
{
    if (target.width() <= 0 || target.height() <= 0 || source.width() <= 0 ||
        source.height() <= 0 || image.isNull())
        return;
    p.drawImage(target, image, source);
}

QPixmap stretched(const QImage& image, QSize size)
{
    if (size.isEmpty())
        return QPixmap();
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    blit(p, out.rect(), image, image.rect());
    p.end();
    return QPixmap::fromImage(out);
}

Qt::CursorShape gripCursor(int edge)
{
    switch (edge) {
    case SkinFrame::LeftEdge:
    case SkinFrame::RightEdge:
        return Qt::SizeHorCursor;
    case SkinFrame::TopEdge:
    case SkinFrame::BottomEdge:
        return Qt::SizeVerCursor;
    case SkinFrame::TopLeftGrip:
    case SkinFrame::BottomRightGrip:
        return Qt::SizeFDiagCursor;
    default:
        return Qt::SizeBDiagCursor;
    }
}

} // namespace

SkinFrame::SkinFrame(QWidget* parent)
    : QWidget(parent), m_deactivationWatch(this), m_activationWatch(this)
{
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_titleBar = makeStrip(this, "titleBar");
    m_shadowLabel = new QLabel(m_titleBar);
    m_shadowLabel->setObjectName(QStringLiteral("shadowLabel"));
    m_captionLabel = new QLabel(m_titleBar);
    m_captionLabel->setObjectName(QStringLiteral("captionLabel"));
    m_iconLabel = makeStrip(m_titleBar, "iconLabel");
    m_iconLabel->setScaledContents(true);
    m_iconLabel->setGeometry(6, 8, 16, 16);
    // Grips last so they sit above the labels in the title bar.
    m_edges[TopRightGrip] = makeGrip(m_titleBar, 6);
    m_edges[TopLeftGrip] = makeGrip(m_titleBar, 7);
    m_edges[TopEdge] = makeGrip(m_titleBar, 2);
    m_edges[TopEdge]->resize(kGrip, kGrip);
    m_bottomBorder = makeStrip(this, "bottomBorder");
    m_edges[BottomLeftGrip] = makeGrip(m_bottomBorder, 5);
    m_edges[BottomRightGrip] = makeGrip(m_bottomBorder, 4);
    m_leftBorder = makeStrip(this, "leftBorder");
    m_rightBorder = makeStrip(this, "rightBorder");
    m_edges[LeftEdge] = m_leftBorder;
    m_edges[RightEdge] = m_rightBorder;
    m_edges[BottomEdge] = m_bottomBorder;

    QFont captionFont(QStringLiteral("Trebuchet MS"));
    captionFont.setPointSizeF(9.75);
    captionFont.setBold(true);
    for (QLabel* label : {m_captionLabel, m_shadowLabel}) {
        label->setFont(captionFont);
        label->setAttribute(Qt::WA_TranslucentBackground);
    }
    QPalette white = m_captionLabel->palette();
    white.setColor(QPalette::WindowText, QColor(255, 255, 255));
    m_captionLabel->setPalette(white);
    QPalette shadow = m_shadowLabel->palette();
    shadow.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    m_shadowLabel->setPalette(shadow);

    for (QObject* piece :
         std::initializer_list<QObject*>{m_titleBar, m_captionLabel, m_shadowLabel, m_iconLabel})
        piece->installEventFilter(this);
    for (QWidget* edge : m_edges)
        edge->installEventFilter(this);

    m_active = {skinBitmap("imgleft1"), skinBitmap("imgright1"), skinBitmap("imgtop1"),
                skinBitmap("imgtopmax1"), skinBitmap("imgbottom1")};
    m_inactive = {skinBitmap("imgleft2"), skinBitmap("imgright2"), skinBitmap("imgtop2"),
                  skinBitmap("imgtopmax2"), skinBitmap("imgbottom2")};

    m_deactivationWatch.setObjectName(QStringLiteral("deactivationWatch"));
    m_activationWatch.setObjectName(QStringLiteral("activationWatch"));
    for (QTimer* timer : {&m_deactivationWatch, &m_activationWatch})
        timer->setInterval(kWatchMs);
    connect(&m_deactivationWatch, &QTimer::timeout, this, &SkinFrame::deactivationTick);
    connect(&m_activationWatch, &QTimer::timeout, this, &SkinFrame::activationTick);

    m_icon = skinBitmap("defaulticon");
    m_iconLabel->setPixmap(QPixmap::fromImage(m_icon));
    m_captionLabel->setText(objectName());
    m_shadowLabel->setText(objectName());

    useActiveLook();
    layoutPass();
    startWatches();
}

SkinFrame::~SkinFrame() = default;

void SkinFrame::readProperties(const QVariantMap& design)
{
    setCaption(design.value(QStringLiteral("Caption"), objectName()).toString());
    const QVariant icon = design.value(QStringLiteral("Icon"));
    setIcon(icon.canConvert<QImage>() && !icon.value<QImage>().isNull()
                ? icon.value<QImage>()
                : skinBitmap("defaulticon"));
    setFixedBorder(design.value(QStringLiteral("Fixed_Single"), false).toBool());
}

QString SkinFrame::caption() const
{
    return m_captionLabel->text();
}

void SkinFrame::setCaption(const QString& caption)
{
    m_captionLabel->setText(caption);
    m_shadowLabel->setText(caption);
    if (HostWindow* h = host())
        h->setTitle(caption);
    layoutPass();
}

void SkinFrame::setIcon(const QImage& icon)
{
    m_icon = icon;
    m_iconLabel->setPixmap(QPixmap::fromImage(icon));
}

void SkinFrame::setFixedBorder(bool fixed)
{
    m_fixed = fixed;
    // A fixed frame's grips must not swallow presses meant for the title bar.
    for (int edge : {TopEdge, TopLeftGrip, TopRightGrip, BottomLeftGrip, BottomRightGrip})
        m_edges[edge]->setAttribute(Qt::WA_TransparentForMouseEvents, fixed);
    layoutPass();
}

void SkinFrame::setHost(std::shared_ptr<HostWindow> host)
{
    m_host = std::move(host);
    watchHostWindow();
    layoutPass();
}

HostWindow* SkinFrame::host()
{
    if (!m_host && parentWidget())
        m_host = std::make_shared<QtHostWindow>(window());
    return m_host.get();
}

QWidget* SkinFrame::edgePiece(int edge) const
{
    return edge >= 0 && edge < int(m_edges.size()) ? m_edges[edge] : nullptr;
}

int SkinFrame::edgeOf(const QObject* piece) const
{
    for (int edge = 0; edge < int(m_edges.size()); ++edge)
        if (m_edges[edge] == piece)
            return edge;
    return -1;
}

void SkinFrame::applyShape()
{
    if (HostWindow* h = host())
        applyShape(*h);
}

void SkinFrame::applyShape(HostWindow& target)
{
    // The host's surface as it will look at the title corners; only those
    // carry the key colour.
    QImage surface(target.clientSize(), QImage::Format_RGB32);
    if (surface.isNull())
        return;
    surface.fill(kSurface);
    if (target.windowState() == WindowState::Normal) {
        const QImage& top = m_current.top;
        QPainter p(&surface);
        const int h = m_titleBar->height();
        blit(p, QRect(0, 0, kCap, h), top, QRect(0, 0, kCap, top.height()));
        blit(p, QRect(m_titleBar->width() - kCap, 0, kCap, h), top,
             QRect(top.width() - kCap, 0, kCap, top.height()));
    }
    skin::applyColourKeyShape(target, surface, kKey);
    m_shaped = true;
}

void SkinFrame::showActiveLook()
{
    m_deactivationWatch.stop();
    m_activationWatch.stop();
    useActiveLook();
    layoutPass();
}

void SkinFrame::resizeHost(HostWindow& host, QPoint start, QPoint end, int edge)
{
    if (edge < 0 || edge > 7)
        return;
    const int dx = end.x() - start.x();
    const int dy = end.y() - start.y();
    const QRect g = host.geometry();
    int left = g.left(), top = g.top(), width = g.width(), height = g.height();
    switch (edge) {
    case LeftEdge:
        left += dx;
        width -= dx;
        break;
    case RightEdge:
        width += dx;
        break;
    case TopEdge:
        top += dy;
        height -= dy;
        break;
    case BottomEdge:
        height += dy;
        break;
    case BottomRightGrip:
        width += dx;
        height += dy;
        break;
    case BottomLeftGrip:
        left += dx;
        width -= dx;
        height += dy;
        break;
    case TopRightGrip:
        top += dy;
        width += dx;
        height -= dy;
        break;
    case TopLeftGrip:
        left += dx;
        top += dy;
        width -= dx;
        height -= dy;
        break;
    }
    const QRect wanted(left, top, width, height);
    if (wanted != g)
        host.setGeometry(wanted); // a refusal leaves the window as it was
}

void SkinFrame::useActiveLook()
{
    m_current = m_active;
    m_activeLook = true;
}

void SkinFrame::useInactiveLook()
{
    m_current = m_inactive;
    m_activeLook = false;
}

void SkinFrame::layoutPass()
{
    HostWindow* h = host();
    const WindowState state = h ? h->windowState() : WindowState::Normal;
    const int W = width();
    const int H = height();
    const int sideHeight = std::max(0, H - kTitleHeight - kBorder);

    m_titleBar->setGeometry(0, 0, W, kTitleHeight);
    m_bottomBorder->setGeometry(0, H - kBorder, W, kBorder);
    m_leftBorder->setGeometry(0, kTitleHeight, kBorder, sideHeight);
    m_rightBorder->setGeometry(W - kBorder, kTitleHeight, kBorder, sideHeight);

    m_leftBorder->setPixmap(stretched(m_current.left, m_leftBorder->size()));
    m_rightBorder->setPixmap(stretched(m_current.right, m_rightBorder->size()));
    if (state != WindowState::Minimised)
        paintTitle(state);
    m_bottomBorder->setPixmap(stretched(m_current.bottom, m_bottomBorder->size()));

    m_captionLabel->adjustSize();
    m_shadowLabel->adjustSize();
    m_captionLabel->move(26, 6);
    m_shadowLabel->move(28, 8);

    const int hostWidth = h ? h->clientSize().width() : W;
    m_edges[TopRightGrip]->move(hostWidth - kGrip, 0);
    m_edges[BottomRightGrip]->move(m_bottomBorder->width() - kGrip,
                                   m_bottomBorder->height() - kGrip);
    m_edges[TopEdge]->setGeometry(kGrip, 0, std::max(0, m_titleBar->width() - 2 * kGrip), kGrip);

    applyCursors(state);
    update();
    emit resized();
}

void SkinFrame::paintTitle(WindowState state)
{
    // Both title images are read with the normal image's size.
    const QImage& source = state == WindowState::Maximised ? m_current.topmax : m_current.top;
    const int w = m_current.top.width();
    const int h = m_current.top.height();
    const int W = m_titleBar->width();
    const int H = m_titleBar->height();
    if (W <= 0 || H <= 0)
        return;
    QImage title(W, H, QImage::Format_ARGB32_Premultiplied);
    title.fill(kTitleBackground);
    QPainter p(&title);
    blit(p, QRect(0, 0, kCap, H), source, QRect(0, 0, kCap, h));
    blit(p, QRect(kCap, 0, W - 2 * kCap, H), source, QRect(kCap, 0, w - 2 * kCap, h));
    blit(p, QRect(W - kCap, 0, kCap, H), source, QRect(w - kCap, 0, kCap, h));
    p.end();
    m_titleBar->setPixmap(QPixmap::fromImage(title));
}

void SkinFrame::applyCursors(WindowState state)
{
    if (!m_fixed && state == WindowState::Minimised)
        return;
    const bool arrows = m_fixed || state == WindowState::Maximised;
    for (int edge = 0; edge < int(m_edges.size()); ++edge)
        m_edges[edge]->setCursor(arrows ? Qt::ArrowCursor : gripCursor(edge));
    m_titleBar->setCursor(Qt::ArrowCursor);
}

void SkinFrame::startWatches()
{
    m_deactivationWatch.start();
    m_activationWatch.start();
}

void SkinFrame::deactivationTick()
{
    // Reactivation restarts the watches (changeEvent), so one look is enough.
    m_deactivationWatch.stop();
    HostWindow* h = host();
    if (h && h->activeWindow() != ActiveWindow::Host) {
        useInactiveLook();
        layoutPass();
    }
}

void SkinFrame::activationTick()
{
    m_activationWatch.stop();
    HostWindow* h = host();
    if (h && h->activeWindow() == ActiveWindow::Host) {
        useActiveLook();
        layoutPass();
    }
}

void SkinFrame::watchHostWindow()
{
    QWidget* top = window();
    if (top == this || top == m_watchedHost)
        return;
    if (m_watchedHost)
        m_watchedHost->removeEventFilter(this);
    m_watchedHost = top;
    top->installEventFilter(this);
}

bool SkinFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedHost) {
        // Activation is announced to the window, not to its children.
        if (event->type() == QEvent::ActivationChange) {
            startWatches();
        } else if (event->type() == QEvent::WindowStateChange) {
            layoutPass();
            if (m_shaped)
                applyShape();
        } else if (event->type() == QEvent::Resize && m_shaped) {
            applyShape(); // the old shape would clip a larger window
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        break;
    default:
        return false;
    }
    if (watched == m_titleBar || watched == m_captionLabel)
        return titleMouse(event);
    if (watched == m_iconLabel || watched == m_shadowLabel)
        return true;
    const int edge = edgeOf(watched);
    return edge >= 0 ? edgeMouse(edge, event) : false;
}

bool SkinFrame::titleMouse(QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    HostWindow* h = host();
    if (!h)
        return true;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (h->windowState() == WindowState::Normal && !h->startSystemMove()) {
            // No window manager to run the move: follow the pointer ourselves.
            m_manualMove = true;
            m_moveStart = mouse->globalPosition().toPoint();
            m_moveOrigin = h->geometry().topLeft();
        }
        break;
    case QEvent::MouseMove:
        if (m_manualMove) {
            const QRect g = h->geometry();
            const QPoint delta = mouse->globalPosition().toPoint() - m_moveStart;
            h->setGeometry(QRect(m_moveOrigin + delta, g.size()));
        }
        break;
    case QEvent::MouseButtonRelease:
        m_manualMove = false;
        break;
    case QEvent::MouseButtonDblClick:
        m_manualMove = false;
        if (!m_fixed) {
            h->setWindowState(h->windowState() == WindowState::Normal ? WindowState::Maximised
                                                                      : WindowState::Normal);
            layoutPass();
        }
        break;
    default:
        break;
    }
    return true;
}

bool SkinFrame::edgeMouse(int edge, QEvent* event)
{
    if (m_fixed)
        return true;
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragEdge = edge;
        m_dragStart = mouse->globalPosition().toPoint();
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragEdge == edge) {
            m_dragEdge = -1;
            if (HostWindow* h = host())
                resizeHost(*h, m_dragStart, mouse->globalPosition().toPoint(), edge);
        }
        break;
    default:
        break;
    }
    return true;
}

void SkinFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kSurface);
}

void SkinFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPass();
}

void SkinFrame::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    watchHostWindow();
    layoutPass();
    // A frameless host shows the key colour at its corners until it is shaped.
    applyShape();
}

void SkinFrame::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        startWatches();
    } else if (event->type() == QEvent::ParentChange) {
        m_host.reset();
        watchHostWindow();
    }
}

void SkinFrame::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    showActiveLook();
}

void SkinFrame::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    startWatches();
}

void SkinFrame::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(event->key(), shiftCode(event->modifiers()));
    if (!event->text().isEmpty())
        emit characterTyped(event->text().at(0).unicode());
}

void SkinFrame::keyReleaseEvent(QKeyEvent* event)
{
    emit keyReleased(event->key(), shiftCode(event->modifiers()));
}

void SkinFrame::mousePressEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &SkinFrame::mousePressed, *event);
}

void SkinFrame::mouseMoveEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &SkinFrame::mouseMoved, *event);
}

void SkinFrame::mouseReleaseEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &SkinFrame::mouseReleased, *event);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void SkinFrame::mouseDoubleClickEvent(QMouseEvent*)
{
    emit doubleClicked();
}

} // namespace skin
