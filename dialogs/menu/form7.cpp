#include "dialogs/menu/form7.h"

#include "dialogs/menu/menuhost.h"
#include "dialogs/startup/form4.h"

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

Form7::Form7(MenuHost& host, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint),
      m_host(host)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Version"));
    setFixedSize(kInnerSize);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(QPoint(0, 0), kInnerSize));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
}

void Form7::open()
{
    // The picture is borrowed from the splash window's design; the splash
    // window itself is not needed for that.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    Image1->setPixmap(startup::Form4::picture(ratio));

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

bool Form7::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form7::closeEvent(QCloseEvent* event)
{
    // However the box goes (its picture, the window manager's close button),
    // the menu must become reachable again, or the program could no longer
    // be ended from its menu.
    m_host.setMenuHotSpotEnabled(true);
    event->accept();
}

} // namespace menu
