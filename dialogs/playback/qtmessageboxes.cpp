#include "dialogs/playback/qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>

namespace playback {

void QtMessageBoxes::information(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, m_parent);
    // Plain text: an identifier or a fixed sentence, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

} // namespace playback
