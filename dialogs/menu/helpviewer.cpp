#include "dialogs/menu/helpviewer.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace menu {

namespace {

const QString kTitle = QStringLiteral("Help");
constexpr QSize kSize(720, 560);

QPointer<HelpViewer>& openViewer()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

} // namespace

HelpViewer::HelpViewer() : QTextBrowser(nullptr)
{
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    // Links to the outside go to the desktop, whatever it makes of them.
    setOpenExternalLinks(true);
    resize(kSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), kSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

HelpViewer* HelpViewer::current()
{
    return openViewer().data();
}

HelpViewer* HelpViewer::showPage(const QUrl& page)
{
    QPointer<HelpViewer>& viewer = openViewer();
    if (!viewer)
        viewer = new HelpViewer;
    viewer->setSource(page);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

} // namespace menu
