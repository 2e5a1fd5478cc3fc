#include "dialogs/options/colourdialog.h"

#include <QColorDialog>

namespace options {

std::optional<QColor> askColour(QWidget* owner)
{
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, QColor(Qt::black));
    const QColor chosen = QColorDialog::getColor(QColor(Qt::black), owner);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace options
