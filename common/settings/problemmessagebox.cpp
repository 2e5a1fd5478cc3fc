#include "common/settings/problemmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

namespace settings {

void ProblemMessageBox::report(const QString& message)
{
    // Owned by m_owner, and closing deletes it.
    auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(),
                                message, QMessageBox::Ok, m_owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // In the middle of the screen, well away from the strip along its top.
    box->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = box->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box->move(frame.topLeft());
    }
    box->show();
    box->raise();
}

} // namespace settings
