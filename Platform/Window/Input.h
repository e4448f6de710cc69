#pragma once
// Keyboard state, cursors, the cursor position, dropped files and clipboard
// notifications, with the Win32 shape.
//
//   if (GetKeyState(VK_CONTROL) < 0) { ... }                 // held now
//   bool capsOn = GetKeyState(VK_CAPITAL) & 1;               // toggled
//   SetCursor(LoadCursor(IDC_IBEAM));
//
//   case WM_DROPFILES: {
//     HDROP drop = reinterpret_cast<HDROP>(wParam);
//     for (uint32_t i = 0; i < DragQueryFileCount(drop); ++i) { paths.push_back(DragQueryFile(drop, i)); }
//     POINT at; DragQueryPoint(drop, &at);                   // client coordinates
//     DragFinish(drop);
//   }
//
// UI thread only.

#include <cstdint>
#include <string>

#include "Platform/Window/VirtualKeys.h"
#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

// The key's state as of the last message taken from the queue: the top bit (the value
// is negative) while it is held, bit 0 while it is toggled on (Caps Lock, Num Lock,
// Scroll Lock follow the keyboard's lights; any other key toggles at each press). The
// mouse buttons are VK_LBUTTON, VK_RBUTTON and VK_MBUTTON; VK_SHIFT, VK_CONTROL and
// VK_MENU are held while either side is.
int16_t GetKeyState(int32_t virtualKey);

// A shared system cursor (IDC_ values; IDC_UPARROW and IDC_HELP show the arrow); null
// for an unknown id. Never destroyed.
HCURSOR LoadCursor(uint32_t id);
// A cursor of width x height ARGB words with straight alpha, `pitch` bytes a row, whose
// hot spot is (hotX, hotY). The caller owns it: DestroyCursor. Null when SDL refuses.
HCURSOR CreateColorCursor(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, int32_t hotX,
                          int32_t hotY);
// False for shared cursors, the current cursor and unknown handles.
bool DestroyCursor(HCURSOR cursor);
// Makes the cursor the one shown over every window (null: none shown). Answers the
// previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Raises (show) or lowers the display count and answers it; the cursor shows while the
// count is 0 or more. It starts at 0.
int32_t ShowCursor(bool show);
// Screen coordinates.
bool GetCursorPos(POINT* point);
bool SetCursorPos(int32_t x, int32_t y);

// A WM_DROPFILES drop: its whole paths (no length limit), the point of the drop in the
// client coordinates of the window it went to, and its release. A drop the receiver
// does not finish is freed by DefWindowProc or, at the latest, by Shutdown.
uint32_t DragQueryFileCount(HDROP drop);
// The index'th path; empty for an index or drop that does not exist.
std::u16string DragQueryFile(HDROP drop, uint32_t index);
bool DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);

// The window gets WM_CLIPBOARDUPDATE when the clipboard's content changes.
bool AddClipboardFormatListener(HWND hwnd);
bool RemoveClipboardFormatListener(HWND hwnd);

} // namespace QZ::Platform::Window
