#pragma once

namespace kelvane {

// The whole run of the program, from its command line to its exit status: a command line of
// exactly "r" ends it at once; otherwise the desktop's services are installed, start-up shows
// the main window and the program runs until that window is closed. Everything it installs is
// let go before it returns, while the thread's message queue still serves the sockets of the
// knowledge-server client.
int RunProgram(int argc, char** argv);

} // namespace kelvane
