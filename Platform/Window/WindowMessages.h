#pragma once
// Window messages with their Windows values, the flags they carry, and the layer's own
// messages for what Windows tells through other channels.
//
// What the layer makes from SDL's events (see EventTranslator.h for the details):
//   keys              WM_KEYDOWN/UP, WM_SYSKEYDOWN/UP (Alt without Ctrl, or F10)
//   typed text        WM_CHAR, one per UTF-16 unit (WM_SYSCHAR while Alt without Ctrl)
//   mouse             WM_MOUSEMOVE, WM_[LMR]BUTTON(DOWN|UP|DBLCLK), WM_MOUSEWHEEL, WM_MOUSEHWHEEL
//   window            WM_SIZE, WM_MOVE, WM_SETFOCUS, WM_KILLFOCUS, WM_CAPTURECHANGED
//   close box         WM_SYSCOMMAND with SC_CLOSE
//   displays          WM_DISPLAYCHANGE to every window
//   dropped files     WM_DROPFILES (wParam an HDROP: DragQueryFile, DragQueryPoint, DragFinish)
//   clipboard         WM_CLIPBOARDUPDATE to the listeners (AddClipboardFormatListener)
//   SIGINT, SIGTERM   WM_QZ_QUITREQUESTED, a thread message (hwnd null)
// and, from the message queue: WM_PAINT, WM_TIMER, WM_QUIT.

#include <cstdint>

namespace QZ::Platform::Window {

inline constexpr uint32_t WM_NULL = 0x0000;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_SETFOCUS = 0x0007;
inline constexpr uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_COPYDATA = 0x004A;
inline constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
inline constexpr uint32_t WM_SETICON = 0x0080;
inline constexpr uint32_t WM_NCDESTROY = 0x0082;
inline constexpr uint32_t WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr uint32_t WM_NCRBUTTONDOWN = 0x00A4;
inline constexpr uint32_t WM_NCMBUTTONDOWN = 0x00A7;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_SYSCHAR = 0x0106;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_SYSTIMER = 0x0118;
inline constexpr uint32_t WM_ENTERIDLE = 0x0121;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
inline constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
inline constexpr uint32_t WM_MOUSEHWHEEL = 0x020E;
inline constexpr uint32_t WM_SIZING = 0x0214;
inline constexpr uint32_t WM_CAPTURECHANGED = 0x0215;
inline constexpr uint32_t WM_POWERBROADCAST = 0x0218;
inline constexpr uint32_t WM_DROPFILES = 0x0233;
inline constexpr uint32_t WM_RENDERFORMAT = 0x0305;
inline constexpr uint32_t WM_RENDERALLFORMATS = 0x0306;
inline constexpr uint32_t WM_DESTROYCLIPBOARD = 0x0307;
inline constexpr uint32_t WM_CLIPBOARDUPDATE = 0x031D;
inline constexpr uint32_t WM_KICKIDLE = 0x036A;
inline constexpr uint32_t WM_USER = 0x0400;
inline constexpr uint32_t WM_APP = 0x8000;

// The layer's own messages, at the top of the application range.
// SDL's quit event (SIGINT, SIGTERM): a thread message, no parameters.
inline constexpr uint32_t WM_QZ_QUITREQUESTED = 0xBF00;

// WM_SYSCOMMAND commands (the low four bits are the system's own).
inline constexpr uintptr_t SC_CLOSE = 0xF060;

// WM_SIZE kinds.
inline constexpr uintptr_t SIZE_RESTORED = 0;
inline constexpr uintptr_t SIZE_MINIMIZED = 1;
inline constexpr uintptr_t SIZE_MAXIMIZED = 2;

// Key and button flags in the wParam of mouse messages.
inline constexpr uintptr_t MK_LBUTTON = 0x0001;
inline constexpr uintptr_t MK_RBUTTON = 0x0002;
inline constexpr uintptr_t MK_SHIFT = 0x0004;
inline constexpr uintptr_t MK_CONTROL = 0x0008;
inline constexpr uintptr_t MK_MBUTTON = 0x0010;

// One notch of a wheel.
inline constexpr int32_t WHEEL_DELTA = 120;

// Key flags: the high word of the lParam of key and character messages (the low word
// holds the repeat count, 1).
inline constexpr uint32_t KF_EXTENDED = 0x0100; // right Ctrl or Alt, navigation cluster, keypad Enter and /
inline constexpr uint32_t KF_ALTDOWN = 0x2000;  // context: Alt held (system keys only)
inline constexpr uint32_t KF_REPEAT = 0x4000;   // previous state: the key was down
inline constexpr uint32_t KF_UP = 0x8000;       // transition: the key is being released

// Message-queue options (PeekMessage).
inline constexpr uint32_t PM_NOREMOVE = 0x0000;
inline constexpr uint32_t PM_REMOVE = 0x0001;

} // namespace QZ::Platform::Window
