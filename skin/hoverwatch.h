#pragma once

#include "skin/pointer.h"

#include <QPointF>
#include <QSize>
#include <QTimer>

#include <functional>
#include <memory>

class QWidget;

namespace skin {

// A button's 10 ms hover watch: a timer named "hoverWatch", a child of the
// button, that looks where the pointer is until it finds it outside. It runs
// only while started, so an idle window has no running timer.
class HoverWatch final
{
public:
    // `look` runs on every tick; buttons make it their hoverTick().
    HoverWatch(QWidget* button, std::function<void()> look);

    // Null restores the system pointer.
    void setPointer(std::shared_ptr<const Pointer> pointer);
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }

    // True, with the watch stopped, when the pointer is outside the button.
    // Compared in the button's own coordinates: its place in its parent has
    // nothing to do with where the pointer is relative to it.
    bool pointerLeft();

    // Whether a point in a widget's coordinates is on it; the right and bottom
    // edges count as on it.
    static bool within(QSize size, QPointF p);

private:
    QWidget* m_button;
    QTimer m_timer;
    std::shared_ptr<const Pointer> m_pointer;
};

} // namespace skin
