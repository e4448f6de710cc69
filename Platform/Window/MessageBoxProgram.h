#pragma once
// SDL's message box shown by a program of its own, quorin-ztr-message-box, started with
// posix_spawn. SDL shows its X11 box from a fork of the calling process; in a process
// whose other threads may hold a lock at that moment (the sanitizers' allocator's, a
// library's), the forked copy can wait on it forever. A program started afresh holds none.
//
//   const std::optional<int32_t> answer = RunMessageBoxProgram(MB_YESNO, "Load", "Replace it?", 0, {});
//   if (!answer) { ... no such program here: show the box another way ... }
//   else if (*answer == IDYES) { ... }
//
// The program is looked for beside the running program, then where the build put it. It
// makes a process group of its own and ends with its box: a termination signal sent to it
// takes the box down too.
//
// Blocks its caller until the box is closed. Any thread.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace QZ::Platform::Window {

// The program's exit statuses other than an answer (1 IDOK ... 7 IDNO).
inline constexpr int kExitNotShown = 100;
inline constexpr int kExitWrongCall = 101;

// Shows the box of a message box style (MessageBoxStyle.h), transient for the X window
// ownerXWindow when it is not 0, and waits until it is closed; whileShown, when given, is
// asked about every 20 ms meanwhile, and its false ends the program and the box. The
// answer chosen; 0 when the program could not show the box or was ended (a signal,
// whileShown); nothing when the program is not found or does not start.
std::optional<int32_t> RunMessageBoxProgram(uint32_t style, const std::string& title, const std::string& message,
                                            unsigned long ownerXWindow, const std::function<bool()>& whileShown);

} // namespace QZ::Platform::Window
