#include "dialogs/playback/qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

namespace playback {

void QtMessageBoxes::information(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, m_parent);
    // Plain text: an identifier, a fixed sentence or a file's place, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // A box centred on its parent would sit on the strip, which stays on top
    // too and may be raised over it; in the middle of the screen nothing of
    // the strip can cover it.
    const QScreen* screen = m_parent ? m_parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        box.adjustSize();
        box.move(screen->availableGeometry().center() - box.rect().center());
    }
    box.exec();
}

} // namespace playback
