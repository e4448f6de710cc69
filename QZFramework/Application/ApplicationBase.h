#pragma once
// QZ::LApplicationBase<TApp>: the platform layer of the application object, between the
// framework's QZ::LFrameworkApp and the program's application class TApp. It holds the
// settings store and the clock, and gives the framework what it asks of the system: the
// version's names, cursors, the system font, the desktop's work area, folders, time, key
// state, message boxes, the pointer; it creates the main window and the other root
// windows, adds the exit request's end (the main window closed, the loop quit) and the
// start-up's exit key.
//
//   class LApplication : public QZ::LApplicationBase<LApplication> {
//   public:
//     using LApplicationBase::LApplicationBase;
//     QZ::WString GetVersionString() override { return QZ::WString(u"1_0_0"); }
//     QZ::WString GetMainControlName() override { return QZ::WString(u"mainControl"); }
//     int32_t GetRendererType() override { return QZ::kRendererGDI; }
//     bool CanExit() override { return true; }
//     uint32_t OpenSettingsFiles(int32_t kind) override;      // "AppSettings.ini", "UserSettings.ini"
//     int32_t GetCurrentEditorPage() const override;           // the services' context
//     LRootModuleEngine* GetRootModuleEngine() const override;
//   };
//   static QZ::MFCFrameworkApp<LApplication> theApp;           // the host runs it
//
// Failure texts name the class as "QZ::LApplicationBase<class TApp>" and the source
// "Application/ApplicationBaseWin". Windows are made through the window layer
// (Platform/Window) as QZ::OSWindow objects, which belong to their windows once made.
//
// One per process; UI thread, except the clock (GetTickCountMs, GetMilliseconds: any
// thread).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "QZFramework/Application/FrameworkApp.h"
#include "QZFramework/Application/SystemFont.h"
#include "QZFramework/Renderer/MillisecondClock.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {

class OSWindow;

// What does not depend on the application class.
class LApplicationBaseCommon : public LFrameworkApp {
public:
  // The framework part with the command line in UTF-8; a new settings store, initialised;
  // the clock read (clock: milliseconds wrapping at 2^32, the monotonic clock unless a
  // test gives its own).
  LApplicationBaseCommon(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStringTable,
                         const WString& commandLine, MillisecondClock clock = MonotonicMilliseconds);
  // Saves every settings file (the store closes them), then the framework part.
  ~LApplicationBaseCommon() override;

  // --- The exit request ---------------------------------------------------------------------

  // "NID_APP_EXIT_REQ" while CanExit: the framework's exit (flag, other windows' modal
  // loops ended), then WM_CLOSE posted to the main window and the quit posted. Without
  // CanExit the request is dropped. Anything else goes to the framework. 0.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override;
  // Whether the program may end now.
  virtual bool CanExit() = 0;

  // --- Start-up, loop, shut-down ----------------------------------------------------------------

  // The framework's start-up (0x80004005 when it fails: nothing below is done), then this
  // object subscribed to "NID_APP_EXIT_REQ" at the application centre, then Alt+F4 bound to
  // "NID_APP_EXIT_REQ" unless the global hot keys bind it already. 0.
  [[nodiscard]] QZResult RunApplicationStartup() override;
  // The host's message loop (HostApp::RunMessageLoop); 0 without a host.
  int32_t RunMessageLoop() override;
  // The framework's shut-down. 0.
  QZResult RunApplicationShutdown() override;

  // --- Windows ----------------------------------------------------------------------------------

  // The main window, named by the application ID and titled with the company, for the skin
  // descriptor GetMainControlName names: its style from the descriptor's size limits
  // (WindowLayout.h), placed at the descriptor's position and size, or where the profile's
  // "WP" entry (section: the application ID) left it; never minimised; shrunk to the work
  // area and moved onto it. It becomes the host's main window; its renderer is of
  // rendererType. The renderer's result (0, or a failure); 0x80004005 when the window
  // cannot be made (nothing left behind). Throws "Runtime Error : Null Pointer : Invalid
  // Control Name : QZ::LApplicationBase<class TApp>::CreateMainWindow :
  // Application/ApplicationBaseWin : Line 1272" without such a descriptor.
  [[nodiscard]] QZResult CreateMainWindow(int32_t rendererType) override;
  // The named control becomes the top control of the first root window (the default root
  // window when there is none): 0; 0x80004005 without such a control. The window, sized by
  // its top control now, is held on the work area again: shrunk to it as far as the
  // control's limits let it, then moved onto it (caption first).
  QZResult SetMainRootControl(const WString& name);
  // A window ("QZFrameworkWindow") for control: owned by the active root window (else the
  // first, else the default), kept above it, with a system menu when systemMenu; placed
  // where control lies in the owner's client area, on the work area; control becomes its
  // top control; it shares the owner's renderer. Its modal loop then runs: the loop's
  // result (0 when an exit request ended it); 0x80004005 when the window cannot be made.
  // Callers pass systemMenu true.
  int32_t CreateRootWindowForControl(const RCPtr<LControl>& control, bool systemMenu) override;
  // A top-level window for control, the same way but with no owner and the caption flags
  // given, sizable as control's descriptor says: the new root window's index; 0x80004005.
  int32_t CreateRootWindowAt(const RCPtr<LControl>& control, bool systemMenu, bool minimizeBox,
                             bool maximizeBox) override;
  // The window of a root window, the steps both of the above take. From a control: placed
  // and titled as control, owned unless ownWindow, sharing the owner's renderer. From a
  // name (fromName): the skin descriptor name (titled with its "LABEL", placed at its
  // position and size), a renderer of its own, the host's main window, shown, name its top
  // control. The style: RootWindowStyle of the caption flags, sizable (with fromName or
  // ownWindow) as the descriptor's limits say. The new root window's index, or 0x80004005.
  // Throws "Runtime Error : Null Pointer : Control descriptor is null : ...::CreateRootWindow
  // : Application/ApplicationBaseWin : Line 981" when the sizing needs a descriptor there is
  // none of, "Runtime Error : Null Pointer : Invalid Control Name : ... : Line 1039" for a
  // name the skin does not have.
  int32_t CreateRootWindow(const RCPtr<LControl>& control, bool ownWindow, bool systemMenu, bool minimizeBox,
                           bool maximizeBox, bool fromName, const WString& name);
  RCPtr<LControl> CreateControl(const WString& name) override;
  // The program's icon (64 x 64, straight-alpha ARGB) as the skin-art program drew it;
  // null when the program has none.
  virtual RCPtr<LBitmap> GetAppIcon();

  // --- Names, cursors, the system ----------------------------------------------------------------

  // "CompanyName", "ProductName" and "ProductVersion" of the version resource.
  WString GetCompanyName() override;
  WString GetProductName() override;
  WString GetProductVersion() override;
  // The system cursor of the name (ApplicationCursors.h), made once and shared.
  CursorHandle GetCursor(const WString& name) override;
  // The language id the host's run stored; without a host, the environment's.
  uint32_t GetLanguageId() override;
  // SystemFont.h, read once a run (what the host found while the window system started;
  // without a host, looked up at the first call): never fails. 0.
  QZResult GetSystemFont(WString& face, float& size, int32_t& style) override;
  // The first display's usable area; empty when the window system does not tell.
  RectT<int32_t> GetDesktopWorkArea() override;
  // The host's folders (MFCFrameworkAppBase::GetFolder: 0 the program, 1 the resources, 2
  // the shared data, 3 the user's data, 4 the documents); empty without a host.
  WString GetFolder(int32_t pathId) override;
  // The system's answer to a power event: 1, allowed.
  virtual int32_t OnPowerBroadcast(uintptr_t event, intptr_t data);

  // --- Time, keys, pointer, boxes ------------------------------------------------------------------

  // Seconds since construction: each call adds the milliseconds since the previous one.
  double GetElapsedSeconds() override;
  uint32_t GetTickCountMs() override { return mClock(); }
  uint32_t GetMilliseconds() const override { return mClock(); }
  LocalTime GetLocalTime() override;
  using LFrameworkApp::IsKeyDown;
  // The window layer's key state as of the message being handled.
  QZResult IsKeyDown(int32_t virtualKey, bool& down, bool& toggled) override;
  // The box of flags (MessageBoxW's style word) and the button chosen: in the skin's look
  // (ShowSkinnedMessageBox, Controls/MessageBoxDialog.h), owned by the active root window
  // and modal to it; where the skin has no box or there is no window yet, or while the
  // window layer's recorder is installed, the window layer's box (Platform/Window/
  // MessageBox.h), owned by the active root window's window (none without a main window).
  // While the program ends (the exit request taken, or a termination signal come) nothing
  // is shown, "<caption>: <text>" goes to standard error and the debug trace, and the box
  // answers as a cancelled one (Platform::Window::CancelAnswer); a signal that comes while
  // a box is up takes it down with the same answer.
  int32_t ShowMessageBox(const WString& text, const WString& caption, uint32_t flags) override;
  // The window system's cursor display count, raised (show) or lowered.
  int32_t ShowCursor(bool show) override;
  // Moves the pointer to (x, y) on the screen: 0; 0x80004005 when the system refuses.
  QZResult SetCursorPosition(int32_t x, int32_t y) override;

  // --- Settings and profile ----------------------------------------------------------------------

  IIniFileManager* GetIniFileManagerPtr() const override { return mSettings.Get(); }
  // The host's profile: false without a host, before it names the company, or when the file
  // cannot be written.
  [[nodiscard]] bool WriteProfileBinary(const WString& section, const WString& entry,
                                        std::span<const uint8_t> bytes) override;

protected:
  // "QZ::LApplicationBase<class TApp>", which the failure texts name.
  virtual std::string GetBaseClassName() const = 0;
  std::string MethodName(std::string_view method) const { return GetBaseClassName() + "::" + std::string(method); }

private:
  // Sets the program's icon on the window, small and big.
  void SetWindowIcons(Platform::Window::HWND hwnd);
  // The main window's place from the profile, then held on the work area.
  void PlaceMainWindow(OSWindow& window);

  RCPtr<LIniFileManager> mSettings;
  MillisecondClock mClock;
  uint32_t mLastTick = 0;
  double mElapsedSeconds = 0.0;
  std::optional<SystemFont> mSystemFont;
};

template <class TApp>
class LApplicationBase : public LApplicationBaseCommon {
public:
  using LApplicationBaseCommon::LApplicationBaseCommon;

protected:
  // Asked when a text needs it: the application class's spelling may be registered after
  // this object was made.
  std::string GetBaseClassName() const override { return "QZ::LApplicationBase<" + TypeName<TApp>() + ">"; }
};

} // namespace QZ
