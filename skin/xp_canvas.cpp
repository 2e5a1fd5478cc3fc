#include "skin/xp_canvas.h"

#include "skin/mousecodes.h"
#include "skin/qthostwindow.h"
#include "skin/skinbitmaps.h"
#include "skin/trans_colour.h"

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
    grip->setObjectName(QStringLiteral("imgresize(%1)").arg(index));
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
    case xp_canvas::LeftEdge:
    case xp_canvas::RightEdge:
        return Qt::SizeHorCursor;
    case xp_canvas::TopEdge:
    case xp_canvas::BottomEdge:
        return Qt::SizeVerCursor;
    case xp_canvas::TopLeftGrip:
    case xp_canvas::BottomRightGrip:
        return Qt::SizeFDiagCursor;
    default:
        return Qt::SizeBDiagCursor;
    }
}

} // namespace

xp_canvas::xp_canvas(QWidget* parent) : QWidget(parent), m_timer1(this), m_timer2(this)
{
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_pictop = makeStrip(this, "pictop");
    m_lblshadow = new QLabel(m_pictop);
    m_lblshadow->setObjectName(QStringLiteral("lblshadow"));
    m_lblcaption = new QLabel(m_pictop);
    m_lblcaption->setObjectName(QStringLiteral("lblcaption"));
    m_imgicon = makeStrip(m_pictop, "imgicon");
    m_imgicon->setScaledContents(true);
    m_imgicon->setGeometry(6, 8, 16, 16);
    // Grips last so they sit above the labels in the title bar.
    m_edges[TopRightGrip] = makeGrip(m_pictop, 6);
    m_edges[TopLeftGrip] = makeGrip(m_pictop, 7);
    m_edges[TopEdge] = makeGrip(m_pictop, 2);
    m_edges[TopEdge]->resize(kGrip, kGrip);
    m_picbottom = makeStrip(this, "picbottom");
    m_edges[BottomLeftGrip] = makeGrip(m_picbottom, 5);
    m_edges[BottomRightGrip] = makeGrip(m_picbottom, 4);
    m_picleft = makeStrip(this, "picleft");
    m_picright = makeStrip(this, "picright");
    m_edges[LeftEdge] = m_picleft;
    m_edges[RightEdge] = m_picright;
    m_edges[BottomEdge] = m_picbottom;

    QFont captionFont(QStringLiteral("Trebuchet MS"));
    captionFont.setPointSizeF(9.75);
    captionFont.setBold(true);
    for (QLabel* label : {m_lblcaption, m_lblshadow}) {
        label->setFont(captionFont);
        label->setAttribute(Qt::WA_TranslucentBackground);
    }
    QPalette white = m_lblcaption->palette();
    white.setColor(QPalette::WindowText, QColor(255, 255, 255));
    m_lblcaption->setPalette(white);
    QPalette shadow = m_lblshadow->palette();
    shadow.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    m_lblshadow->setPalette(shadow);

    for (QObject* piece :
         std::initializer_list<QObject*>{m_pictop, m_lblcaption, m_lblshadow, m_imgicon})
        piece->installEventFilter(this);
    for (QWidget* edge : m_edges)
        edge->installEventFilter(this);

    m_active = {skinBitmap("imgleft1"), skinBitmap("imgright1"), skinBitmap("imgtop1"),
                skinBitmap("imgtopmax1"), skinBitmap("imgbottom1")};
    m_inactive = {skinBitmap("imgleft2"), skinBitmap("imgright2"), skinBitmap("imgtop2"),
                  skinBitmap("imgtopmax2"), skinBitmap("imgbottom2")};

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    for (QTimer* timer : {&m_timer1, &m_timer2})
        timer->setInterval(kWatchMs);
    connect(&m_timer1, &QTimer::timeout, this, &xp_canvas::deactivationTick);
    connect(&m_timer2, &QTimer::timeout, this, &xp_canvas::activationTick);

    m_icon = skinBitmap("defaulticon");
    m_imgicon->setPixmap(QPixmap::fromImage(m_icon));
    m_lblcaption->setText(objectName());
    m_lblshadow->setText(objectName());

    set_active_skin();
    layoutPass();
    startWatches();
}

xp_canvas::~xp_canvas() = default;

void xp_canvas::readProperties(const QVariantMap& design)
{
    setCaption(design.value(QStringLiteral("Caption"), objectName()).toString());
    const QVariant icon = design.value(QStringLiteral("Icon"));
    setIcon(icon.canConvert<QImage>() && !icon.value<QImage>().isNull()
                ? icon.value<QImage>()
                : skinBitmap("defaulticon"));
    setFixed_Single(design.value(QStringLiteral("Fixed_Single"), false).toBool());
}

QString xp_canvas::Caption() const
{
    return m_lblcaption->text();
}

void xp_canvas::setCaption(const QString& caption)
{
    m_lblcaption->setText(caption);
    m_lblshadow->setText(caption);
    if (HostWindow* h = host())
        h->setTitle(caption);
    layoutPass();
}

void xp_canvas::setIcon(const QImage& icon)
{
    m_icon = icon;
    m_imgicon->setPixmap(QPixmap::fromImage(icon));
}

void xp_canvas::setFixed_Single(bool fixed)
{
    m_fixed = fixed;
    // A fixed frame's grips must not swallow presses meant for the title bar.
    for (int edge : {TopEdge, TopLeftGrip, TopRightGrip, BottomLeftGrip, BottomRightGrip})
        m_edges[edge]->setAttribute(Qt::WA_TransparentForMouseEvents, fixed);
    layoutPass();
}

void xp_canvas::setHost(std::shared_ptr<HostWindow> host)
{
    m_host = std::move(host);
    watchHostWindow();
    layoutPass();
}

HostWindow* xp_canvas::host()
{
    if (!m_host && parentWidget())
        m_host = std::make_shared<QtHostWindow>(window());
    return m_host.get();
}

QWidget* xp_canvas::edgePiece(int edge) const
{
    return edge >= 0 && edge < int(m_edges.size()) ? m_edges[edge] : nullptr;
}

int xp_canvas::edgeOf(const QObject* piece) const
{
    for (int edge = 0; edge < int(m_edges.size()); ++edge)
        if (m_edges[edge] == piece)
            return edge;
    return -1;
}

void xp_canvas::make_trans()
{
    if (HostWindow* h = host())
        make_trans(*h);
}

void xp_canvas::make_trans(HostWindow& target)
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
        const int h = m_pictop->height();
        blit(p, QRect(0, 0, kCap, h), top, QRect(0, 0, kCap, top.height()));
        blit(p, QRect(m_pictop->width() - kCap, 0, kCap, h), top,
             QRect(top.width() - kCap, 0, kCap, top.height()));
    }
    trans_colour::make_region(target, surface, kKey);
    m_shaped = true;
}

void xp_canvas::SetFocus()
{
    m_timer1.stop();
    m_timer2.stop();
    set_active_skin();
    layoutPass();
}

void xp_canvas::resize_host(HostWindow& host, QPoint start, QPoint end, int edge)
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

void xp_canvas::set_active_skin()
{
    m_current = m_active;
    m_activeLook = true;
}

void xp_canvas::set_inactive_skin()
{
    m_current = m_inactive;
    m_activeLook = false;
}

void xp_canvas::layoutPass()
{
    HostWindow* h = host();
    const WindowState state = h ? h->windowState() : WindowState::Normal;
    const int W = width();
    const int H = height();
    const int sideHeight = std::max(0, H - kTitleHeight - kBorder);

    m_pictop->setGeometry(0, 0, W, kTitleHeight);
    m_picbottom->setGeometry(0, H - kBorder, W, kBorder);
    m_picleft->setGeometry(0, kTitleHeight, kBorder, sideHeight);
    m_picright->setGeometry(W - kBorder, kTitleHeight, kBorder, sideHeight);

    m_picleft->setPixmap(stretched(m_current.left, m_picleft->size()));
    m_picright->setPixmap(stretched(m_current.right, m_picright->size()));
    if (state != WindowState::Minimised)
        paintTitle(state);
    m_picbottom->setPixmap(stretched(m_current.bottom, m_picbottom->size()));

    m_lblcaption->adjustSize();
    m_lblshadow->adjustSize();
    m_lblcaption->move(26, 6);
    m_lblshadow->move(28, 8);

    const int hostWidth = h ? h->clientSize().width() : W;
    m_edges[TopRightGrip]->move(hostWidth - kGrip, 0);
    m_edges[BottomRightGrip]->move(m_picbottom->width() - kGrip, m_picbottom->height() - kGrip);
    m_edges[TopEdge]->setGeometry(kGrip, 0, std::max(0, m_pictop->width() - 2 * kGrip), kGrip);

    applyCursors(state);
    update();
    emit Resize();
}

void xp_canvas::paintTitle(WindowState state)
{
    // Both title images are read with the normal image's size.
    const QImage& source = state == WindowState::Maximised ? m_current.topmax : m_current.top;
    const int w = m_current.top.width();
    const int h = m_current.top.height();
    const int W = m_pictop->width();
    const int H = m_pictop->height();
    if (W <= 0 || H <= 0)
        return;
    QImage title(W, H, QImage::Format_ARGB32_Premultiplied);
    title.fill(kTitleBackground);
    QPainter p(&title);
    blit(p, QRect(0, 0, kCap, H), source, QRect(0, 0, kCap, h));
    blit(p, QRect(kCap, 0, W - 2 * kCap, H), source, QRect(kCap, 0, w - 2 * kCap, h));
    blit(p, QRect(W - kCap, 0, kCap, H), source, QRect(w - kCap, 0, kCap, h));
    p.end();
    m_pictop->setPixmap(QPixmap::fromImage(title));
}

void xp_canvas::applyCursors(WindowState state)
{
    if (!m_fixed && state == WindowState::Minimised)
        return;
    const bool arrows = m_fixed || state == WindowState::Maximised;
    for (int edge = 0; edge < int(m_edges.size()); ++edge)
        m_edges[edge]->setCursor(arrows ? Qt::ArrowCursor : gripCursor(edge));
    m_pictop->setCursor(Qt::ArrowCursor);
}

void xp_canvas::startWatches()
{
    m_timer1.start();
    m_timer2.start();
}

void xp_canvas::deactivationTick()
{
    // Reactivation restarts the watches (changeEvent), so one look is enough.
    m_timer1.stop();
    HostWindow* h = host();
    if (h && h->activeWindow() != ActiveWindow::Host) {
        set_inactive_skin();
        layoutPass();
    }
}

void xp_canvas::activationTick()
{
    m_timer2.stop();
    HostWindow* h = host();
    if (h && h->activeWindow() == ActiveWindow::Host) {
        set_active_skin();
        layoutPass();
    }
}

void xp_canvas::watchHostWindow()
{
    QWidget* top = window();
    if (top == this || top == m_watchedHost)
        return;
    if (m_watchedHost)
        m_watchedHost->removeEventFilter(this);
    m_watchedHost = top;
    top->installEventFilter(this);
}

bool xp_canvas::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedHost) {
        // Activation is announced to the window, not to its children.
        if (event->type() == QEvent::ActivationChange) {
            startWatches();
        } else if (event->type() == QEvent::WindowStateChange) {
            layoutPass();
            if (m_shaped)
                make_trans();
        } else if (event->type() == QEvent::Resize && m_shaped) {
            make_trans(); // the old shape would clip a larger window
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
    if (watched == m_pictop || watched == m_lblcaption)
        return titleMouse(event);
    if (watched == m_imgicon || watched == m_lblshadow)
        return true;
    const int edge = edgeOf(watched);
    return edge >= 0 ? edgeMouse(edge, event) : false;
}

bool xp_canvas::titleMouse(QEvent* event)
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

bool xp_canvas::edgeMouse(int edge, QEvent* event)
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
                resize_host(*h, m_dragStart, mouse->globalPosition().toPoint(), edge);
        }
        break;
    default:
        break;
    }
    return true;
}

void xp_canvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kSurface);
}

void xp_canvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPass();
}

void xp_canvas::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    watchHostWindow();
    layoutPass();
    // A frameless host shows the key colour at its corners until it is shaped.
    make_trans();
}

void xp_canvas::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        startWatches();
    } else if (event->type() == QEvent::ParentChange) {
        m_host.reset();
        watchHostWindow();
    }
}

void xp_canvas::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    SetFocus();
}

void xp_canvas::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    startWatches();
}

void xp_canvas::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(event->key(), shiftCode(event->modifiers()));
    if (!event->text().isEmpty())
        emit KeyPress(event->text().at(0).unicode());
}

void xp_canvas::keyReleaseEvent(QKeyEvent* event)
{
    emit KeyUp(event->key(), shiftCode(event->modifiers()));
}

void xp_canvas::mousePressEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &xp_canvas::MouseDown, *event);
}

void xp_canvas::mouseMoveEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &xp_canvas::MouseMove, *event);
}

void xp_canvas::mouseReleaseEvent(QMouseEvent* event)
{
    emitMouseSignal(this, &xp_canvas::MouseUp, *event);
    if (rect().contains(event->position().toPoint()))
        emit Click();
}

void xp_canvas::mouseDoubleClickEvent(QMouseEvent*)
{
    emit DblClick();
}

} // namespace skin
