#pragma once
// Message boxes: SDL's simple message box (shown by a program of its own,
// MessageBoxProgram.h), or standard error where there is no display.
//
//   ShowMessageBox(u"The application encountered problems during startup and will now close.",
//                  u"Error", MB_ICONERROR);
//
// A process has no display under SDL's offscreen or dummy driver, or, before the layer
// runs, without DISPLAY and WAYLAND_DISPLAY; there, and when SDL cannot show the box,
// "<caption>: <text>" and a line end go to standard error. Tests install a recorder.
// UI thread.

#include <cstdint>
#include <functional>
#include <string_view>

#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

// Shows the box (MB_ICONERROR, MB_ICONWARNING or MB_ICONINFORMATION pick its icon),
// owned by `owner` when not null, and answers IDOK once it is closed; a box shown on the
// display leaves its owner the active window (SetActiveWindow).
int32_t ShowMessageBox(std::u16string_view text, std::u16string_view caption, uint32_t style, HWND owner = nullptr);

// While installed, boxes go to the recorder instead, whose answer ShowMessageBox
// returns. An empty function uninstalls it.
using MessageBoxRecorder =
    std::function<int32_t(std::u16string_view text, std::u16string_view caption, uint32_t style)>;
void SetMessageBoxRecorder(MessageBoxRecorder recorder);

} // namespace QZ::Platform::Window
