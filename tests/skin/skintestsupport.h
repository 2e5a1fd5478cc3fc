#pragma once

#include "skin/pointer.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

namespace skintest {

// A pointer the test places; far from every widget until told otherwise.
class FixedPointer final : public skin::Pointer
{
public:
    QPoint at{-500, -500};
    QPoint position() const override { return at; }
};

// Sends a mouse event at a point in w's coordinates. Presses, releases and
// double-clicks are of the left button; moves change no button.
inline void mouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

// Every skin widget's mousePressed, mouseMoved and mouseReleased carry (button, shift,
// x, y): presses and releases the button that changed, moves the buttons
// held; buttons 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt;
// x and y unrounded in the widget's coordinates. The points used lie within
// any widget at least 8 x 8 pixels.
inline void checkMouseSignalArguments(QWidget* w)
{
    QSignalSpy down(w, SIGNAL(mousePressed(int, int, float, float)));
    QSignalSpy move(w, SIGNAL(mouseMoved(int, int, float, float)));
    QSignalSpy up(w, SIGNAL(mouseReleased(int, int, float, float)));
    QVERIFY(down.isValid() && move.isValid() && up.isValid());

    const auto send = [w](QEvent::Type type, QPointF local, Qt::MouseButton button,
                          Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
        QMouseEvent event(type, local, w->mapToGlobal(local), button, held, modifiers);
        QCoreApplication::sendEvent(w, &event);
    };
    const auto check = [](const QList<QVariant>& args, int button, int shift, float x, float y) {
        QCOMPARE(args.size(), 4);
        QCOMPARE(args.at(0).toInt(), button);
        QCOMPARE(args.at(1).toInt(), shift);
        QCOMPARE(args.at(2).toFloat(), x);
        QCOMPARE(args.at(3).toFloat(), y);
    };

    // The right button goes down while the left is already held.
    send(QEvent::MouseButtonPress, {3.5, 7.25}, Qt::RightButton, Qt::LeftButton | Qt::RightButton,
         Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(down.size(), 1);
    check(down.at(0), 2, 1 | 2, 3.5f, 7.25f);
    if (QTest::currentTestFailed())
        return;

    send(QEvent::MouseMove, {4.5, 6.0}, Qt::NoButton, Qt::LeftButton | Qt::MiddleButton,
         Qt::AltModifier);
    QCOMPARE(move.size(), 1);
    check(move.at(0), 1 | 4, 4, 4.5f, 6.0f);
    if (QTest::currentTestFailed())
        return;

    send(QEvent::MouseButtonRelease, {5.0, 2.5}, Qt::RightButton, Qt::LeftButton,
         Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(up.size(), 1);
    check(up.at(0), 2, 2 | 4, 5.0f, 2.5f);
}

} // namespace skintest
