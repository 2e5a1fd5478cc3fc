#pragma once

#include "dialogs/options/spinrange.h"

#include <QObject>

class QLineEdit;
class QScrollBar;

namespace options {

// One spin bar and the box beside it. The bar's top end is the largest value,
// so its up arrow increases; every change of the bar writes the value into
// the box. A number typed into the box is taken clamped to the range (and the
// bar follows); any other text is left standing but taken by nobody, and the
// box shows the value taken again once editing ends.
class SpinBar final : public QObject
{
    Q_OBJECT

public:
    SpinBar(SpinRange range, QScrollBar* bar, QLineEdit* box, QObject* parent = nullptr);

    // Shows value, clamped to the range, in the bar and the box.
    void setValue(int value);
    // The last value taken, always within the range.
    int value() const { return m_value; }
    const SpinRange& range() const { return m_range; }

    QScrollBar* bar() const { return m_bar; }
    QLineEdit* box() const { return m_box; }

    void setLargeStep(int step);
    // The box only shows the bar's value; typing into it is refused.
    void setDisplayOnly(bool displayOnly);

signals:
    // The box took a value, from the bar or typed.
    void valueTaken(int value);

private:
    void barMoved(int barValue);
    void boxChanged(const QString& text);
    void showTaken();

    SpinRange m_range;
    QScrollBar* m_bar;
    QLineEdit* m_box;
    int m_value;
};

} // namespace options
