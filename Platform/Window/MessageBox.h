#pragma once
// Message boxes of the window layer: SDL's message box (shown by a program of its own,
// MessageBoxProgram.h), or standard error where there is no display. The framework shows
// boxes in its skin's look where it can, and this one where it cannot (no window yet, a
// skin without one).
//
//   ShowMessageBox(u"The application encountered problems during startup and will now close.",
//                  u"Error", MB_ICONERROR);
//   if (ShowMessageBox(u"Replace it?", u"Load", MB_YESNO | MB_ICONQUESTION, owner,
//                      [] { return !TerminationRequested(); }) == IDYES) { ... }
//
// A process has no display under SDL's offscreen or dummy driver, or, before the layer
// runs, without DISPLAY and WAYLAND_DISPLAY; there, and when SDL cannot show the box,
// "<caption>: <text>" and a line end go to standard error. Tests install a recorder.
// UI thread.

#include <cstdint>
#include <functional>
#include <string_view>

#include "Platform/Window/MessageBoxStyle.h"
#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

// Asked about every 20 ms while a box is up on the display: false takes the box down.
using MessageBoxWait = std::function<bool()>;

// Shows the box of style (MessageBoxStyle.h: its buttons, default button and icon), owned
// by `owner` when not null, and answers the button chosen once it is closed; a box taken
// down by whileShown, not shown, or written to standard error answers CancelAnswer(style).
// A box shown on the display leaves its owner the active window (SetActiveWindow).
int32_t ShowMessageBox(std::u16string_view text, std::u16string_view caption, uint32_t style, HWND owner = nullptr,
                       const MessageBoxWait& whileShown = {});

// While installed, boxes go to the recorder instead, whose answer ShowMessageBox
// returns. An empty function uninstalls it.
using MessageBoxRecorder =
    std::function<int32_t(std::u16string_view text, std::u16string_view caption, uint32_t style)>;
void SetMessageBoxRecorder(MessageBoxRecorder recorder);
// Whether a recorder takes the boxes: whoever shows boxes another way hands them here then.
bool IsMessageBoxRecorderInstalled();

} // namespace QZ::Platform::Window
