#pragma once
// SDL's message box shown by a program of its own, quorin-ztr-message-box, started with
// posix_spawn. SDL shows its X11 box from a fork of the calling process; in a process
// whose other threads may hold a lock at that moment (the sanitizers' allocator's, a
// library's), the forked copy can wait on it forever. A program started afresh holds none.
//
//   const std::optional<bool> shown = RunMessageBoxProgram(SDL_MESSAGEBOX_ERROR, "Error", "Startup failed.", 0);
//   if (!shown) { ... no such program here: show the box another way ... }
//
// The program is looked for beside the running program, then where the build put it. It
// makes a process group of its own and ends with its box: a termination signal sent to it
// takes the box down too.
//
// Blocks its caller until the box is closed. Any thread.

#include <cstdint>
#include <optional>
#include <string>

namespace QZ::Platform::Window {

// Shows the box (SDL's message box flags pick its icon), transient for the X window
// ownerXWindow when it is not 0, and waits until it is closed. True once the box was
// shown and closed; false when the program could not show it or a signal ended it;
// nothing when the program is not found or does not start.
std::optional<bool> RunMessageBoxProgram(uint32_t flags, const std::string& title, const std::string& message,
                                         unsigned long ownerXWindow);

} // namespace QZ::Platform::Window
