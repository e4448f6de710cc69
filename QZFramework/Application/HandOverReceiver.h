#pragma once
// What the running instance does with a command line another start handed over to it
// (SingleInstance.h): it comes to the front with its open modal dialog, and a line that is not empty goes to its main
// window as the second instance's WM_COPYDATA, which hands it to the application while the
// window takes input (not while a modal dialog is open).
//
//   for (const std::string& line : instance.TakeReceived()) {
//     QZ::ReceiveHandedOverCommandLine(host.GetMainWindow(), line, QZ::DebugTrace::Get());
//   }
//
// UI thread.

#include <string_view>

#include "Platform/Window/WindowTypes.h"

namespace QZ {

class DebugTrace;

// WM_COPYDATA's wParam and dwData of a handed-over command line.
inline constexpr uintptr_t kCommandLineCopyData = 1125;

// One trace line with the command line (UTF-8); then, with a main window: the window
// restored when minimised and raised, then the topmost root window of the application
// (IControlApplication) whose modal loop runs restored when minimised and raised; a line
// that is not empty sent to the main window as WM_COPYDATA (wParam and dwData 1125, the
// text with its NUL).
void ReceiveHandedOverCommandLine(Platform::Window::HWND mainWindow, std::string_view commandLine, DebugTrace& trace);

} // namespace QZ
