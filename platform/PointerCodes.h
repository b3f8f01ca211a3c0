#pragma once

#include <Qt>
#include <QtGlobal>

// Mouse buttons and shift keys in the old numeric form that control events carry
// (Button and Shift arguments of mouse events).
namespace platform::pointer {

inline constexpr qint16 LeftButton = 1;
inline constexpr qint16 RightButton = 2;
inline constexpr qint16 MiddleButton = 4;

inline constexpr qint16 ShiftMask = 1;
inline constexpr qint16 CtrlMask = 2;
inline constexpr qint16 AltMask = 4;

// The buttons as one number: a single button for a press or release, every held button
// for a move. Other buttons count as none.
constexpr qint16 buttonCode(Qt::MouseButtons buttons)
{
    qint16 code = 0;
    if (buttons & Qt::LeftButton)
        code |= LeftButton;
    if (buttons & Qt::RightButton)
        code |= RightButton;
    if (buttons & Qt::MiddleButton)
        code |= MiddleButton;
    return code;
}

// The shift, control and alt keys held.
constexpr qint16 shiftCode(Qt::KeyboardModifiers modifiers)
{
    qint16 code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        code |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        code |= AltMask;
    return code;
}

} // namespace platform::pointer
