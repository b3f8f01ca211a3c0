#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace kelvane::test {

// Shows a control at a size in pixels on the offscreen screen and waits until it is.
inline void showAt(QWidget& control, int width, int height)
{
    control.resize(width, height);
    control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
}

// Sends one mouse event straight to a widget, with the buttons held after it.
inline void sendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace kelvane::test
