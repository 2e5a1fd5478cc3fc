#include "dialogs/wordbook/messageboxeditormessages.h"

#include <QApplication>
#include <QMessageBox>

namespace wordbook {

void MessageBoxEditorMessages::error(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, m_parent);
    // The learner's own words may appear in a message; never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace wordbook
