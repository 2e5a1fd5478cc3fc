#include "dialogs/options/spinbar.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>

namespace options {

// The bar runs over the negated range: its top, where the minimum of a
// scroll bar lies, is then the largest value, and its up arrow (one step
// towards the minimum) increases.
SpinBar::SpinBar(SpinRange range, QScrollBar* bar, QLineEdit* box, QObject* parent)
    : QObject(parent), m_range(range), m_bar(bar), m_box(box), m_value(range.minimum)
{
    m_bar->setOrientation(Qt::Vertical);
    m_bar->setRange(-m_range.maximum, -m_range.minimum);
    m_bar->setSingleStep(1);
    m_bar->setPageStep(1);
    connect(m_bar, &QScrollBar::valueChanged, this, &SpinBar::barMoved);
    connect(m_box, &QLineEdit::textChanged, this, &SpinBar::boxChanged);
    connect(m_box, &QLineEdit::editingFinished, this, &SpinBar::showTaken);
}

void SpinBar::setValue(int value)
{
    m_value = m_range.clamp(value);
    {
        const QSignalBlocker quiet(m_bar);
        m_bar->setValue(-m_value);
    }
    m_box->setText(QString::number(m_value));
}

void SpinBar::setLargeStep(int step)
{
    m_bar->setPageStep(step);
}

void SpinBar::setDisplayOnly(bool displayOnly)
{
    m_box->setReadOnly(displayOnly);
}

void SpinBar::barMoved(int barValue)
{
    m_box->setText(QString::number(-barValue));
}

void SpinBar::boxChanged(const QString& text)
{
    const std::optional<int> taken = m_range.take(text);
    if (!taken)
        return;
    m_value = *taken;
    if (m_bar->value() != -m_value) {
        const QSignalBlocker quiet(m_bar);
        m_bar->setValue(-m_value);
    }
    emit valueTaken(m_value);
}

void SpinBar::showTaken()
{
    const QString shown = QString::number(m_value);
    if (m_box->text() != shown)
        m_box->setText(shown);
}

} // namespace options
