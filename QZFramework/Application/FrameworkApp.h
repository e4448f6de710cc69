#pragma once
// QZ::LFrameworkApp: the framework's application object, one per process. Every control,
// root window and framework service reaches it through the application pointer (Get), the
// control seam (QZ::IControlApplication) and the services' context (QZ::IApplicationContext),
// all three set while it lives. It holds what the whole user interface shares: the control
// factory and the string tables, the root windows (one per top-level window; the first is
// the main window), the default font, the global hot keys and the clipboard. It runs the
// idle pump, the
// exit request and the frame of the application's run.
//
//   // The host (MFCFrameworkApp<LApplication>) drives it:
//   RCPtr<LApplication> app(new LApplication(factory, frameworkTable, commandLine));
//   app->RunApplicationStartup();             // the framework start-up first
//   app->CreateMainWindow(app->GetRendererType());
//   app->Run();                               // first layout, one idle pass, the loop
//   app->RunApplicationShutdown();
//   // Anywhere on the UI thread:
//   bool more = QZ::LFrameworkApp::Get()->DoIdleWork(true);
//   QZ::GetApplicationNotificationCenter()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ"));
//
// It is abstract: the platform operations (message boxes, cursors, folders, clocks, window
// creation, settings files, the message loop) are supplied by QZ::LApplicationBase<TApp>
// (ApplicationBase.h), the editor's own by the program's application class.
//
// Beside it live two process-wide objects: the notification-centre manager
// (GetNotificationCenterManager) and its "application" centre, the one the engine, the
// MIDI manager, panels and controls post application-wide notifications to.
//
// The status line is the widget set's application status bar
// (QZFramework/Controls/StatusBar.h), which nothing in the program sets: status texts
// answer 0x80004005 unless a test set one.
//
// Threads: everything on the UI thread, except what QZ::IApplicationContext says may run on
// any thread (the centre, the clock).

#include <cstdint>
#include <vector>

#include "QZFramework/Application/MFCFrameworkApp.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Notification/NotificationClient.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Settings/IniFileManager.h"
#include "QZFramework/System/Clipboard.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace QZ {

// The name of the application's notification centre.
inline constexpr char16_t kApplicationCenterName[] = u"application";
// The exit request: Alt+F4, the File menu's exit, the main window's close box, SIGINT.
inline constexpr char16_t kAppExitRequest[] = u"NID_APP_EXIT_REQ";

// The process-wide notification-centre manager, made on the first call; null once the
// application object has released it (its destructor), until asked again. Any thread.
LNotificationCenterManager* GetNotificationCenterManager();

// The local date and time in the fields of the Windows SYSTEMTIME, in its order.
struct LocalTime {
  int32_t year = 0;
  int32_t month = 0;     // 1-12
  int32_t dayOfWeek = 0; // 0 Sunday
  int32_t day = 0;       // 1-31
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int32_t milliseconds = 0;
};

class LFrameworkApp : public LNotificationClient, public IControlApplication, public IApplicationContext {
public:
  // The application object while one exists (set from the constructor, cleared by the
  // destructor); null otherwise.
  static LFrameworkApp* Get();

  // Keeps the factory, the framework string table ("Framework", the start-up error texts)
  // and the command line; becomes the application object (pointer, control seam and
  // context installed; fonts measure through GetMeasurementRenderer); takes the
  // "application" centre and makes the global hot keys, whose commands are posted to that
  // centre and delivered at the next idle pass, and the clipboard; takes the factory's
  // application string table ("|" + the application name, the hot-key definitions).
  LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStringTable,
                const NString& commandLine);
  // In order: every registration dropped; the centre manager released; notification
  // pooling off; the application pointer, seam and context cleared; clipboard, hot keys,
  // default font and string tables released; the root windows let go (their OS windows tear down
  // without an application from now on); the command line and the factory released.
  ~LFrameworkApp() override;
  LFrameworkApp(const LFrameworkApp&) = delete;
  LFrameworkApp& operator=(const LFrameworkApp&) = delete;

  // --- Notifications and the command line -----------------------------------------------

  // "NID_APP_EXIT_REQ": the exit flag is set, and the modal loops of every root window but
  // the main one are ended with 0, the last window first. Everything else is ignored. 0.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override;
  // The command line before and after the start-up, or handed over by a second
  // instance: nothing here; 0.
  virtual QZResult OnCommandLine(CommandLineStage stage, const WString& commandLine);
  void OnCommandLineFromAnotherInstance(const WString& commandLine) override;
  // The narrow copy of the command line the constructor was given.
  const NString& GetCommandLineText() const { return mCommandLine; }

  // --- Start-up, run and shut-down --------------------------------------------------------

  // The framework's start-up: notification pooling on; the widget set's 40 class names
  // registered with the factory (FrameworkControlClasses.h), each result checked (a failure
  // throws "Failed Result : QZRESULT = <code> : QZ::LFrameworkApp::RunApplicationStartup :
  // Application\FrameworkApp : Line <151 + the row>"); the application table's "GHK" hot
  // keys bound in the global hot keys; the clipboard's edit requests subscribed; the first
  // skin applied: the remembered one (GetCurrentSkinIndex) held to the factory's skins (a
  // negative index is 0). 0; 0x80004005 without a factory or a skin, or when a step throws
  // (the steps after it do not run).
  [[nodiscard]] virtual QZResult RunApplicationStartup();
  // The run: the main window laid out, OnBeforeRun, an idle pass, the message loop, an
  // idle pass. An exception out of the loop shows the start-up error box ("STARTUP_ERROR",
  // "STARTUP_ERROR_CAPTION" of the framework table, English without them; style 0x10),
  // goes to standard error and the trace, posts "NID_APP_EXIT_REQ" and makes the process's
  // exit code 1; the run then ends as usual.
  virtual void Run();
  virtual void OnBeforeRun() {}
  virtual int32_t RunMessageLoop() = 0;
  // Releases the factory, the global hot keys and the clipboard (each pointer cleared
  // first). 0.
  virtual QZResult RunApplicationShutdown();
  // Whether an exit was requested; never cleared.
  virtual bool IsExiting() const { return mExiting; }

  // --- Skins ---------------------------------------------------------------------------------

  // The remembered skin: "CurrentSkinIndex" of the user settings file (OpenSettingsFiles(1));
  // 0 without the file or the key.
  int32_t GetCurrentSkinIndex();
  // Makes the factory's skin index the current one: the default font becomes the system
  // font overridden by what the skin gives (a face that is not empty, a size of 1.0 or more,
  // a style other than -1); each root window in turn, under a wait scope ("Loading Skin..."),
  // loses the keyboard focus when it is active, has its tree set up again from the new skin
  // (a tree the skin lacks stays as it is), its client rectangle read again and repainted,
  // and is activated again (its focused control with it); the index is remembered as
  // "CurrentSkinIndex" when the user settings file is open. 0; 0x80070057 for an index
  // outside the factory's skins (nothing changes). Throws "Failed Result : QZRESULT = <code> :
  // QZ::LFrameworkApp::SetSkin : Application\FrameworkApp : Line 234" when the system font
  // cannot be read (nothing changes). Each wait scope runs an idle pass. UI thread.
  QZResult SetSkin(int32_t index);

  // --- Idle work --------------------------------------------------------------------------

  // One idle pass: the notification centres drained ("NID_IDLE" when sendIdle), then
  // every root window's ProcessKeyQueue, the last first, each visited even when work is
  // known to remain, over a copy of the list (a window may close meanwhile). True while
  // work remains. The host's idle rule, the modal loops and the wait scope call it.
  bool DoIdleWork(bool sendIdle) override;

  // --- Root windows -----------------------------------------------------------------------

  // Appends window: its index; the index it has when it is listed already.
  int32_t AddRootWindow(const RCPtr<LRootWindow>& window) override;
  // Takes window out: the index it had; -1 when it is not listed.
  int32_t RemoveRootWindow(const RCPtr<LRootWindow>& window) override;
  // A copy of the list, in the order the windows were added.
  std::vector<RCPtr<LRootWindow>> GetRootWindows() const { return mRootWindows; }
  uint32_t GetRootWindowCount() override { return uint32_t(mRootWindows.size()); }
  RCPtr<IRootWindow> GetRootWindowAt(uint32_t index) override;
  // The last added root window whose OS window is active; null when none is.
  RCPtr<LRootWindow> FindActiveRootWindow() const;
  RCPtr<IRootWindow> GetActiveRootWindow() override { return FindActiveRootWindow(); }
  // The first root window, else the process-wide default root window (no OS window, no
  // renderer), made on first use and kept while this object lives.
  RCPtr<LRootWindow> GetMainRootWindow();
  // The top control of GetMainRootWindow's window, without making the default one; null
  // when there is none.
  RCPtr<LControl> GetMainRootControl() const;

  // --- Pointer and keys outside the windows -----------------------------------------------

  // With an active root window its pointer (client coordinates) converted to the screen,
  // else the system's pointer position.
  PointT<int32_t> GetCursorPosition();
  PointT<int32_t> GetMouseScreenPosition() override { return GetCursorPosition(); }
  // With an active root window its buttons, else the key state: virtual key 1 (left) 0x1,
  // 4 (middle) 0x2, 2 (right) 0x4.
  uint32_t GetMouseButtons() override;
  // The key of a Windows virtual-key number: down (held) and toggled (Caps Lock and the
  // like on, or an odd number of presses) as of the message being handled. 0.
  virtual QZResult IsKeyDown(int32_t virtualKey, bool& down, bool& toggled) = 0;
  bool IsKeyDown(int32_t virtualKey) override;

  // --- Status line --------------------------------------------------------------------------

  // Shows text on the application's status bar, at once (immediate) or at its next idle
  // tick: that call's result; 0x80004005 without a root window (the main window, held for
  // the call) or status bar.
  QZResult SetStatusText(const WString& text, bool immediate);
  // Puts the status bar's idle text back, the same way.
  QZResult RestoreStatusText(bool immediate);
  QZResult SetStatusText(const WString& text) override { return SetStatusText(text, true); }
  QZResult RestoreStatusText() override { return RestoreStatusText(false); }

  // --- What the application shares ----------------------------------------------------------

  RCPtr<LControlFactory> GetControlFactory() override { return mControlFactory; }
  const RCPtr<LStringTable>& GetFrameworkStringTable() const { return mFrameworkStringTable; }
  // The application's own table ("|" + the application name); null when the documents
  // hold none.
  const RCPtr<LStringTable>& GetStringTable() const { return mStringTable; }
  RCPtr<LGlobalHotKeyManager> GetGlobalHotKeyManager() override { return mGlobalHotKeyManager; }
  // Null once the shut-down released it.
  RCPtr<LClipboard> GetClipboard() override { return mClipboard; }
  void OnClipboardUpdate() override;
  // A new hot-key manager whose commands are posted to the application centre.
  RCPtr<LGlobalHotKeyManager> CreateGlobalHotKeyManager() override;
  // The default font: the skin's once one is applied (SetDefaultFont), else the system
  // font. 0; 0x80004005 when neither is known.
  QZResult GetDefaultFont(WString& face, float& size, int32_t& style) override;
  const RCPtr<LFont>& GetDefaultFontObject() const { return mDefaultFont; }
  void SetDefaultFont(const RCPtr<LFont>& font) { mDefaultFont = font; }
  // The renderer of the first root window; without one a window-less renderer of the
  // application's kind, made once. Null when none can be made.
  RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override;

  // --- The platform layer (LApplicationBase) -------------------------------------------------

  virtual WString GetCompanyName() = 0;
  virtual WString GetProductName() = 0;
  virtual WString GetProductVersion() = 0;
  virtual WString GetVersionString() = 0;
  virtual WString GetMainControlName() = 0;
  // The cursor of a "UI_CURSOR_" name; the arrow for any other.
  virtual CursorHandle GetCursor(const WString& name) = 0;
  CursorHandle GetApplicationCursor(const WString& name) override { return GetCursor(name); }
  virtual uint32_t GetLanguageId() = 0;
  // The system's user-interface font: face, size in points, style bits. 0, or a failure
  // result.
  virtual QZResult GetSystemFont(WString& face, float& size, int32_t& style) = 0;
  virtual RectT<int32_t> GetDesktopWorkArea() = 0;
  RectT<int32_t> GetScreenRect() override { return GetDesktopWorkArea(); }
  virtual WString GetFolder(int32_t pathId) = 0;
  virtual LocalTime GetLocalTime() = 0;
  // The settings store the application holds.
  virtual IIniFileManager* GetIniFileManagerPtr() const = 0;
  IIniFileManager* GetIniFileManager() const override { return GetIniFileManagerPtr(); }
  // The settings file of kind (0 "AppSettings.ini", 1 "UserSettings.ini"), opened on first
  // use: its handle; 0 for another kind or when it cannot be opened.
  [[nodiscard]] virtual uint32_t OpenSettingsFiles(int32_t kind) = 0;
  uint32_t OpenSettingsFile(int32_t kind) override { return OpenSettingsFiles(kind); }
  // The top control of a skin name, not in a window yet; null when the skin has none.
  virtual RCPtr<LControl> CreateControl(const WString& name) = 0;
  // A modal window for control, owned by the active window: the modal loop's result;
  // QZ_E_FAIL when the window cannot be made (the controls' DoModal asks for it).
  int32_t CreateRootWindowForControl(const RCPtr<LControl>& control, bool systemMenu) override = 0;
  // A top-level window for control: its root window's index, or 0x80004005.
  virtual int32_t CreateRootWindowAt(const RCPtr<LControl>& control, bool systemMenu, bool minimizeBox,
                                     bool maximizeBox) = 0;
  virtual int32_t ShowCursor(bool show) = 0;
  virtual QZResult SetCursorPosition(int32_t x, int32_t y) = 0;
  [[nodiscard]] virtual QZResult CreateMainWindow(int32_t rendererType) = 0;

  // --- IApplicationContext --------------------------------------------------------------------

  // The "application" centre this object took at construction. Any thread.
  LNotificationCenter* GetApplicationNotificationCenter() const override { return mApplicationCentre.Get(); }

protected:
  // The process's exit request went through: the flag is set and the other windows' modal
  // loops are ended (the platform layer closes the main window and quits).
  void RequestExit();

private:
  // The "STARTUP_ERROR" box of a run that failed.
  void ReportRunFailure(const char* what);

  RCPtr<LControlFactory> mControlFactory;
  NString mCommandLine;
  std::vector<RCPtr<LRootWindow>> mRootWindows;
  RCPtr<LStringTable> mFrameworkStringTable;
  RCPtr<LStringTable> mStringTable;
  bool mExiting = false;
  RCPtr<LFont> mDefaultFont;
  RCPtr<LNotificationCenter> mApplicationCentre;
  RCPtr<LGlobalHotKeyManager> mGlobalHotKeyManager;
  RCPtr<LClipboard> mClipboard;
  RCPtr<LRootWindow> mDefaultRootWindow;
  RCPtr<LMeasurementRenderer> mWindowlessRenderer;
};

} // namespace QZ
