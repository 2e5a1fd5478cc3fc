#include "dialogs/startup/splashwindow.h"

#include <QEventLoop>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace startup {

namespace {
// 4200 x 2775 twips at 96 DPI.
constexpr QSize kSize(280, 185);
// Rendered from splash.svg at build time.
const QString kPicture1x = QStringLiteral(":/pictures/splash.png");
const QString kPicture2x = QStringLiteral(":/pictures/splash@2x.png");
} // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    // It shows while the learner may be typing elsewhere.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("splashWindow"));
    setWindowTitle(QStringLiteral("Version"));
    setFixedSize(kSize);
    setCursor(Qt::PointingHandCursor);
}

QPixmap SplashWindow::picture(qreal devicePixelRatio)
{
    const QString file = devicePixelRatio > 1.0 ? kPicture2x : kPicture1x;
    QPixmap shipped(file);
    if (!shipped.isNull()) {
        shipped.setDevicePixelRatio(qreal(shipped.width()) / kSize.width());
        return shipped;
    }
    // Drawn picture for builds without the picture resources.
    QPixmap pixmap(kSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(kSize));
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0x1d, 0x4e, 0x89));
    sky.setColorAt(1, QColor(0x5b, 0x9b, 0xd5));
    painter.fillRect(area, sky);
    painter.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"), 22, QFont::Bold);
    painter.setFont(title);
    painter.drawText(area.adjusted(0, 30, 0, -90), Qt::AlignCenter, QStringLiteral("Dialogs"));
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    painter.drawText(area.adjusted(0, 90, 0, -40), Qt::AlignCenter,
                     QStringLiteral("Brisvane V3.1\nRussian \u2194 English"));
    return pixmap;
}

void SplashWindow::showPainted(int timeoutMs)
{
    show();
    if (m_painted)
        return;
    QEventLoop loop;
    connect(this, &SplashWindow::firstPainted, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture(devicePixelRatioF()));
    // The start-up benchmark measures up to this moment.
    static const bool trace = qEnvironmentVariableIsSet("VELKOR_TRACE_FIRST_PAINT");
    if (m_painted)
        return;
    m_painted = true;
    if (trace) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("painted %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
    }
    emit firstPainted();
}

void SplashWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit pictureClicked();
}

} // namespace startup
