#pragma once

#include <QtGlobal>

namespace platform::sockets {

// A hidden window of one thread, known by its handle; 0 is no window.
using WindowHandle = quint64;

// A message posted to a window (or, with window 0, to the thread itself), with the two
// parameters of the old window messages.
struct WindowMessage {
    WindowHandle window = 0;
    quint32 message = 0;
    quintptr wParam = 0;
    qintptr lParam = 0;
};

// Message numbers with a meaning of their own.
namespace message {
inline constexpr quint32 Close = 0x0010; // asks a window to close; its default handling destroys it
inline constexpr quint32 Quit = 0x0012;  // the host asked the program to quit (posted to the thread)
inline constexpr quint32 User = 0x0400;  // the first number free for a program's own messages
} // namespace message

} // namespace platform::sockets
