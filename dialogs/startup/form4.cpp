#include "dialogs/startup/form4.h"

#include <QFile>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <ctime>

namespace startup
{

namespace
{
// 4200 x 2775 twips at 96 DPI.
constexpr QSize kSize(280, 185);
const QString kPictureResource = QStringLiteral(":/pictures/splash.svg");
} // namespace

Form4::Form4(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Version"));
    setFixedSize(kSize);
    setCursor(Qt::PointingHandCursor);
}

QPixmap Form4::picture(qreal devicePixelRatio)
{
    QPixmap pixmap(kSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(kSize));
    if (QFile::exists(kPictureResource)) {
        QSvgRenderer(kPictureResource).render(&painter, area);
        return pixmap;
    }
    // Drawn picture for builds without the picture resource.
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

void Form4::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture(devicePixelRatioF()));
    // The start-up benchmark measures up to this moment.
    static const bool trace = qEnvironmentVariableIsSet("VELKOR_TRACE_FIRST_PAINT");
    if (trace && !m_painted) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("painted %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
    }
    m_painted = true;
}

void Form4::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit Image1Click();
}

} // namespace startup
