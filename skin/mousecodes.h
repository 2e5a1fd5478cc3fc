#pragma once

#include <QMouseEvent>
#include <Qt>

namespace skin {

// Button and shift codes the skin widgets pass with their mouse and key
// signals: buttons 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt.
int buttonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

// Raises a widget's mousePressed, mouseMoved or mouseReleased for an event with the
// (button, shift, x, y) arguments: a move passes the buttons held, a press,
// release or double-click the button that changed; x and y are in the
// widget's coordinates.
template <typename Widget>
void emitMouseSignal(Widget* widget, void (Widget::*signal)(int, int, float, float),
                     const QMouseEvent& event)
{
    const Qt::MouseButtons buttons =
        event.type() == QEvent::MouseMove ? event.buttons() : Qt::MouseButtons(event.button());
    const QPointF p = event.position();
    (widget->*signal)(buttonCode(buttons), shiftCode(event.modifiers()), float(p.x()),
                      float(p.y()));
}

} // namespace skin
