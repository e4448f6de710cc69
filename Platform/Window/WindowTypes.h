#pragma once
// The window system's types and constants with their Windows names and values, so that
// code written against the Windows interface reads the same over this layer:
//
//   MSG msg;
//   if (msg.message == WM_LBUTTONDOWN && (msg.wParam & MK_SHIFT)) {
//     POINT at{GetXLParam(msg.lParam), GetYLParam(msg.lParam)};   // client coordinates
//   }
//
// Handles are opaque: a window handle names a window of this layer (never an SDL or X11
// object) and stays invalid once the window is destroyed; handles are not reused.

#include <cstdint>

namespace QZ::Platform::Window {

struct WindowHandleTag;
struct CursorHandleTag;
struct DropHandleTag;
using HWND = WindowHandleTag*;
using HCURSOR = CursorHandleTag*;
using HDROP = DropHandleTag*;

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct POINT {
  int32_t x = 0;
  int32_t y = 0;
};

struct SIZE {
  int32_t cx = 0;
  int32_t cy = 0;
};

// Edges; right and bottom are exclusive.
struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// A queued message: the window (null for a thread message), the message and its two
// parameters, the time it was made (posted messages: taken from the queue; milliseconds
// of the layer's clock) and the cursor position then (screen coordinates).
struct MSG {
  HWND hwnd = nullptr;
  uint32_t message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint32_t time = 0;
  POINT pt;
};

// The 44-byte placement record, as stored by the "WP" profile entry. rcNormalPosition
// holds the client rectangle in screen coordinates that the window had when it was last
// neither minimised nor maximised.
struct WINDOWPLACEMENT {
  uint32_t length = 44;
  uint32_t flags = 0;
  uint32_t showCmd = 0;
  POINT ptMinPosition{-1, -1};
  POINT ptMaxPosition{-1, -1};
  RECT rcNormalPosition;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44);

// The parameter of WM_COPYDATA: lpData points to cbData bytes owned by the sender.
struct COPYDATASTRUCT {
  uintptr_t dwData = 0;
  uint32_t cbData = 0;
  const void* lpData = nullptr;
};

// Window styles (CreateWindowEx). A window without WS_CAPTION and WS_THICKFRAME has no
// frame; WS_THICKFRAME makes it resizable. WS_CHILD windows are top-level windows owned
// by their parent: the window system has no child windows.
inline constexpr uint32_t WS_POPUP = 0x80000000u;
inline constexpr uint32_t WS_CHILD = 0x40000000u;
inline constexpr uint32_t WS_MINIMIZE = 0x20000000u;
inline constexpr uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr uint32_t WS_DISABLED = 0x08000000u;
inline constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000u;
inline constexpr uint32_t WS_CLIPCHILDREN = 0x02000000u;
inline constexpr uint32_t WS_MAXIMIZE = 0x01000000u;
inline constexpr uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr uint32_t WS_THICKFRAME = 0x00040000u;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000u;
inline constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000u;
inline constexpr uint32_t WS_EX_DLGMODALFRAME = 0x00000001u;
inline constexpr uint32_t WS_EX_TOPMOST = 0x00000008u;
// x of CreateWindowEx: let the window system place the window.
inline constexpr int32_t CW_USEDEFAULT = int32_t(0x80000000u);

// ShowWindow commands.
inline constexpr int32_t SW_HIDE = 0;
inline constexpr int32_t SW_SHOWNORMAL = 1;
inline constexpr int32_t SW_SHOWMINIMIZED = 2;
inline constexpr int32_t SW_SHOWMAXIMIZED = 3;
inline constexpr int32_t SW_MAXIMIZE = 3;
inline constexpr int32_t SW_SHOWNOACTIVATE = 4;
inline constexpr int32_t SW_SHOW = 5;
inline constexpr int32_t SW_MINIMIZE = 6;
inline constexpr int32_t SW_SHOWMINNOACTIVE = 7;
inline constexpr int32_t SW_SHOWNA = 8;
inline constexpr int32_t SW_RESTORE = 9;
inline constexpr int32_t SW_SHOWDEFAULT = 10;

// SetWindowPos flags and insert-after handles.
inline constexpr uint32_t SWP_NOSIZE = 0x0001;
inline constexpr uint32_t SWP_NOMOVE = 0x0002;
inline constexpr uint32_t SWP_NOZORDER = 0x0004;
inline constexpr uint32_t SWP_NOACTIVATE = 0x0010;
inline constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
inline constexpr uint32_t SWP_HIDEWINDOW = 0x0080;
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(intptr_t(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(intptr_t(-2));

// RedrawWindow flags (erasing is not modelled: there is no background to erase).
inline constexpr uint32_t RDW_INVALIDATE = 0x0001;
inline constexpr uint32_t RDW_ERASE = 0x0004;
inline constexpr uint32_t RDW_UPDATENOW = 0x0100;

// System cursors (LoadCursor).
inline constexpr uint32_t IDC_ARROW = 32512;
inline constexpr uint32_t IDC_IBEAM = 32513;
inline constexpr uint32_t IDC_WAIT = 32514;
inline constexpr uint32_t IDC_CROSS = 32515;
inline constexpr uint32_t IDC_UPARROW = 32516;
inline constexpr uint32_t IDC_SIZENWSE = 32642;
inline constexpr uint32_t IDC_SIZENESW = 32643;
inline constexpr uint32_t IDC_SIZEWE = 32644;
inline constexpr uint32_t IDC_SIZENS = 32645;
inline constexpr uint32_t IDC_SIZEALL = 32646;
inline constexpr uint32_t IDC_NO = 32648;
inline constexpr uint32_t IDC_HAND = 32649;
inline constexpr uint32_t IDC_APPSTARTING = 32650;
inline constexpr uint32_t IDC_HELP = 32651;

// Message-box styles and answers.
inline constexpr uint32_t MB_OK = 0x00000000u;
inline constexpr uint32_t MB_OKCANCEL = 0x00000001u;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x00000002u;
inline constexpr uint32_t MB_YESNOCANCEL = 0x00000003u;
inline constexpr uint32_t MB_YESNO = 0x00000004u;
inline constexpr uint32_t MB_RETRYCANCEL = 0x00000005u;
inline constexpr uint32_t MB_TYPEMASK = 0x0000000Fu;
inline constexpr uint32_t MB_ICONERROR = 0x00000010u;
inline constexpr uint32_t MB_ICONQUESTION = 0x00000020u;
inline constexpr uint32_t MB_ICONWARNING = 0x00000030u;
inline constexpr uint32_t MB_ICONINFORMATION = 0x00000040u;
inline constexpr uint32_t MB_ICONMASK = 0x000000F0u;
inline constexpr uint32_t MB_DEFBUTTON1 = 0x00000000u;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x00000100u;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x00000200u;
inline constexpr uint32_t MB_DEFMASK = 0x00000F00u;
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;
inline constexpr int32_t IDABORT = 3;
inline constexpr int32_t IDRETRY = 4;
inline constexpr int32_t IDIGNORE = 5;
inline constexpr int32_t IDYES = 6;
inline constexpr int32_t IDNO = 7;

// Parameter words.
constexpr uint16_t LoWord(uintptr_t value) { return uint16_t(value & 0xFFFF); }
constexpr uint16_t HiWord(uintptr_t value) { return uint16_t((value >> 16) & 0xFFFF); }
// Two signed 16-bit coordinates, x in the low word, as mouse messages carry them.
constexpr LPARAM MakeLParam(int32_t low, int32_t high) {
  return LPARAM(uint32_t(uint16_t(low)) | uint32_t(uint16_t(high)) << 16);
}
constexpr int32_t GetXLParam(LPARAM lParam) { return int16_t(LoWord(uintptr_t(lParam))); }
constexpr int32_t GetYLParam(LPARAM lParam) { return int16_t(HiWord(uintptr_t(lParam))); }
// The signed delta of WM_MOUSEWHEEL and WM_MOUSEHWHEEL.
constexpr int32_t GetWheelDeltaWParam(WPARAM wParam) { return int16_t(HiWord(wParam)); }

} // namespace QZ::Platform::Window
