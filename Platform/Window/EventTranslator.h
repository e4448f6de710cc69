#pragma once
// How SDL's events become window messages: the one place that knows both.
//
//   SDL_Event event{};
//   event.type = SDL_KEYDOWN; event.key.windowID = id; event.key.keysym.sym = SDLK_RETURN;
//   InputQueue out;
//   TranslateEvent(event, out);   // WM_KEYDOWN, wParam VK_RETURN, lParam 0x00000001
//
// Keys. One table maps SDL keys to virtual keys: by SDL key code (letters and the like
// follow the keyboard layout, as Windows' do), else by the key's position for keys whose
// code is a character the table lacks (the digit row of a French layout gives '1'...);
// keypad digits give VK_NUMPAD0.. with Num Lock on and the navigation keys without. A key
// neither finds has virtual key 0. A key is a system key (WM_SYSKEYDOWN, WM_SYSKEYUP)
// when Ctrl is not held and Alt is (counting the Alt key itself, also as it is released),
// or it is F10. lParam: repeat count 1, KF_EXTENDED for the right-hand modifiers and the
// navigation cluster, KF_ALTDOWN for a system key while Alt is held, KF_REPEAT when the
// key was already down, KF_REPEAT | KF_UP on release. wParam carries VK_SHIFT, VK_CONTROL
// and VK_MENU for either side; the key-state change carries the side.
//
// Text. SDL_TEXTINPUT gives one WM_CHAR per UTF-16 unit (U+1F600: 0xD83D, then 0xDE00);
// WM_SYSCHAR with KF_ALTDOWN while Alt without Ctrl is held. The control characters
// (Enter, Backspace, Ctrl+letter...) come from TranslateMessage (Platform/Host).
//
// Mouse. Moves and the left, middle and right buttons go to the capture window when
// there is one, else to the window SDL names, in that window's client coordinates;
// wParam holds the MK_ flags as they are after the event. An even click count gives the
// double-click message. The wheel: preciseY and preciseX times 120 (negated when SDL says
// flipped) as WM_MOUSEWHEEL and WM_MOUSEHWHEEL deltas with the cursor in screen
// coordinates. Leaving a window with no button held gives a move, to the capture window
// if there is one, else to the window left, to a point outside its client area: the
// cursor's, or (-1, -1) while the cursor still lies over the window left (covered by
// another).
//
// Windows. A size change: WM_SIZE (SIZE_RESTORED, SIZE_MAXIMIZED or SIZE_MINIMIZED with
// a 0 x 0 client) whenever kind or size differ from the last one sent, and the window is
// invalidated; a move: WM_MOVE with the client origin in screen coordinates; an expose:
// invalidation (WM_PAINT follows from the queue) of the rectangle the backend names
// (ExposedEvent, VideoBackend.h), else of the whole window; focus gained: WM_SETFOCUS (wParam the
// window that had it); focus lost: WM_CAPTURECHANGED to the capture window, if any, then
// WM_KILLFOCUS; the close box: WM_SYSCOMMAND SC_CLOSE; a display added, removed or
// turned: WM_DISPLAYCHANGE (32 bits per pixel, the first display's size) to every window.
//
// Elsewhere. Files dropped: the paths of SDL_DROPFILE events (whose memory is freed here)
// are collected and, at SDL_DROPCOMPLETE, sent as one WM_DROPFILES to the window they
// were dropped on (else the one under the cursor), with the cursor as the drop point.
// SDL_CLIPBOARDUPDATE: WM_CLIPBOARDUPDATE to each listener. SDL_QUIT: the thread message
// WM_QZ_QUITREQUESTED. The layer's wake-up event clears the pending wake-up. Events for
// windows that are not ours, and every other event, give nothing.
//
// Every message gets the layer's clock as its time and the last known cursor position.
// UI thread.

#include <SDL2/SDL.h>

#include <cstdint>

#include "Platform/Window/EventSource.h"

namespace QZ::Platform::Window {

// Translates one event into messages appended to `out`, updating the layer's view of its
// windows (geometry, focus, capture, update regions) as the event tells.
void TranslateEvent(SDL_Event& event, InputQueue& out);

struct VirtualKeyInfo {
  uint8_t key = 0;     // with its side (VK_LSHIFT), as the key-state table keeps it
  uint8_t message = 0; // as key messages carry it (VK_SHIFT)
  bool extended = false;
};
// The table's answer for a key; all 0 for a key it does not know.
VirtualKeyInfo LookUpVirtualKey(const SDL_Keysym& keysym);

} // namespace QZ::Platform::Window
