#pragma once
// QZ::IControlApplication: what controls, root windows and widgets need of the application
// object: its clocks, the control factory with the skin and the string tables, the default
// font and the renderer that measures text, the cursors by name, the pointer and keyboard
// state outside any window, the list of root windows and the idle pass, the desktop's work
// area, the global hot keys, the clipboard, the status line, message boxes and the profile.
// The framework application implements it and installs it at start-up; tests install a fake
// (tests/Support/FakeControlApplication.h).
// The application's notification queue is reached through QZ::GetApplicationNotificationCenter
// (QZFramework/Services/ApplicationContext.h).
//
//   if (QZ::IControlApplication* application = QZ::GetControlApplication()) {
//     uint32_t pressedAt = application->GetTickCountMs();
//     QZ::RCPtr<QZ::LControlFactory> factory = application->GetControlFactory();
//   }
//
// The installer owns the application and keeps it alive while it is installed. Every member
// runs on the main thread unless it says otherwise.

#include <cstdint>
#include <span>

#include "QZFramework/ControlBase/RootWindowInterface.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LClipboard;
class LControl;
class LControlFactory;
class LGlobalHotKeyManager;
class LMeasurementRenderer;
class LRootWindow;

class IControlApplication {
public:
  // --- Clocks (time constants of the controls are measured with these) -------------------

  // Milliseconds from an arbitrary origin, wrapping at 2^32. Any thread.
  virtual uint32_t GetTickCountMs() = 0;
  // Seconds since the application started; each call advances it by the milliseconds
  // elapsed since the previous call.
  virtual double GetElapsedSeconds() = 0;

  // --- Skin, texts and fonts -----------------------------------------------------------

  // The factory that read the skin and the string tables and knows the control classes;
  // null before it is made.
  virtual RCPtr<LControlFactory> GetControlFactory() = 0;
  // The default font: face, size in points and style bits (bit 0 bold, 1 italic, 2
  // underline, 3 strike-out). 0, or QZ_E_FAIL with the outputs untouched.
  virtual QZResult GetDefaultFont(WString& face, float& size, int32_t& style) = 0;
  // The renderer that measures text outside painting; null before one exists.
  virtual RCPtr<LMeasurementRenderer> GetMeasurementRenderer() = 0;

  // --- Cursors and input outside the windows ----------------------------------------------

  // The cursor of a name beginning with "UI_CURSOR_" ("UI_CURSOR_ARROW", "UI_CURSOR_WAIT",
  // "UI_CURSOR_DROP_MOVE", "UI_CURSOR_NO_DROP" ...); the arrow for an unknown name.
  virtual CursorHandle GetApplicationCursor(const WString& name) = 0;
  // The pointer on the screen, for windows that are not active.
  virtual PointT<int32_t> GetMouseScreenPosition() = 0;
  // The held mouse buttons (kMouseButtonLeft ...), for windows that are not active.
  virtual uint32_t GetMouseButtons() = 0;
  // Whether the key of a Windows virtual-key number is down, as of the event being handled.
  virtual bool IsKeyDown(int32_t virtualKey) = 0;

  // --- Windows -----------------------------------------------------------------------------

  // The topmost root window whose OS window is active; null when none is.
  virtual RCPtr<IRootWindow> GetActiveRootWindow() = 0;
  // The root windows in the order they were added; the first is the main window.
  virtual uint32_t GetRootWindowCount() = 0;
  // Null for an index not below the count.
  virtual RCPtr<IRootWindow> GetRootWindowAt(uint32_t index) = 0;
  // The desktop's work area in screen coordinates.
  virtual RectT<int32_t> GetScreenRect() = 0;
  // Adds window to the root windows (an OS window does when its root window exists): its
  // index; the index it has when it is listed already.
  virtual int32_t AddRootWindow(const RCPtr<LRootWindow>& window) = 0;
  // Takes window out of the list (its OS window is gone): the index it had; -1 when it was
  // not listed.
  virtual int32_t RemoveRootWindow(const RCPtr<LRootWindow>& window) = 0;
  // The kind of renderer windows make (kRendererGDI ...).
  virtual int32_t GetRendererType() = 0;
  // One idle pass: the application's notification queues drained (then "NID_IDLE" when
  // sendIdle), then every root window's ProcessKeyQueue, last to first. True while work
  // remains. The main loop and the modal loops call it.
  virtual bool DoIdleWork(bool sendIdle) = 0;
  // The hot keys of a new root window ("GHK" of its top control), bound to the
  // application's receiver.
  virtual RCPtr<LGlobalHotKeyManager> CreateGlobalHotKeyManager() = 0;
  // A second instance handed over its command line (while a window takes input).
  virtual void OnCommandLineFromAnotherInstance(const WString& commandLine) = 0;
  // Stores the binary profile entry of section (the main window's placement "WP" under the
  // window class name): false when it cannot be written.
  [[nodiscard]] virtual bool WriteProfileBinary(const WString& section, const WString& entry,
                                                std::span<const uint8_t> bytes) = 0;
  // Makes a modal window, owned by the active root window (else the main one), whose top
  // control is control (a dialog), with a system menu when systemMenu; runs its modal loop
  // and answers the result it ended with (-1 when a quit ended it). QZ_E_FAIL when the
  // window cannot be made.
  virtual int32_t CreateRootWindowForControl(const RCPtr<LControl>& control, bool systemMenu) = 0;

  // --- Keys, status and messages ---------------------------------------------------------

  // The global hot keys ("GHK", "GHK_WIN", Alt+F4): the last stop of a key nobody took.
  // Null before they are made.
  virtual RCPtr<LGlobalHotKeyManager> GetGlobalHotKeyManager() = 0;
  // The application's clipboard (QZFramework/System/Clipboard.h), made with the
  // application; null before it is made.
  virtual RCPtr<LClipboard> GetClipboard() = 0;
  // A window received the window layer's clipboard update (WM_CLIPBOARDUPDATE): the
  // clipboard's OnClipboardUpdate runs; nothing happens without a clipboard.
  virtual void OnClipboardUpdate() = 0;
  // Shows text in the status line: 0; QZ_E_FAIL without a status line.
  virtual QZResult SetStatusText(const WString& text) = 0;
  // Puts the status line back to its idle text: 0; QZ_E_FAIL without a status line.
  virtual QZResult RestoreStatusText() = 0;
  // Shows a message box (flags as the Windows message-box style word) and returns the
  // button chosen (1 OK, 2 Cancel, 6 Yes, 7 No ...).
  virtual int32_t ShowMessageBox(const WString& text, const WString& caption, uint32_t flags) = 0;

protected:
  ~IControlApplication() = default;
};

// The installed application; null when none. Any thread.
IControlApplication* GetControlApplication();
// Makes application the installed one, replacing any other.
void InstallControlApplication(IControlApplication* application);
// Uninstalls application; does nothing when another one (or none) is installed.
void UninstallControlApplication(IControlApplication* application);

} // namespace QZ
