#include "dialogs/menu/aboutbox.h"

#include "dialogs/menu/menuhost.h"
#include "dialogs/startup/splashwindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace menu {

namespace {
// Inner area of 4200 x 2775 twips at 96 DPI, the size of the splash picture.
constexpr QSize kInnerSize(280, 185);
} // namespace

AboutBox::AboutBox(MenuHost& host, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint),
      m_host(host)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("Version"));
    setFixedSize(kInnerSize);

    m_pictureLabel = new QLabel(this);
    m_pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
    m_pictureLabel->setGeometry(QRect(QPoint(0, 0), kInnerSize));
    m_pictureLabel->setCursor(Qt::PointingHandCursor);
    m_pictureLabel->installEventFilter(this);
}

void AboutBox::open()
{
    // The picture is borrowed from the splash window's design; the splash
    // window itself is not needed for that.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    m_pictureLabel->setPixmap(startup::SplashWindow::picture(ratio));

    if (screen) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    m_host.setMenuHotSpotEnabled(false);
    show();
    raise();
    activateWindow();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pictureLabel && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void AboutBox::closeEvent(QCloseEvent* event)
{
    // However the box goes (its picture, the window manager's close button),
    // the menu must become reachable again, or the program could no longer
    // be ended from its menu.
    m_host.setMenuHotSpotEnabled(true);
    event->accept();
}

} // namespace menu
