// The application object's life, its start-up and run frame, the idle pump and the exit
// request.

#include "QZFramework/Application/FrameworkApp.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>

#include "Platform/Window/Input.h"
#include "QZFramework/Application/FrameworkControlClasses.h"
#include "QZFramework/Controls/StatusBar.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Services/Trace/StartupTrace.h"

namespace QZ {

namespace {

constexpr char16_t kBuiltInStartupError[] = u"The application encountered problems during startup and will now close.";
constexpr char16_t kBuiltInStartupErrorCaption[] = u"Error";
constexpr uint32_t kErrorBoxStyle = 0x10; // MB_ICONERROR
constexpr std::string_view kSourceName = R"(Application\FrameworkApp)";
// The framework's registrations report the lines from here on, one a class name.
constexpr int kFirstRegistrationLine = 151;
constexpr char16_t kCurrentSkinIndexKey[] = u"CurrentSkinIndex";

LFrameworkApp* gApplication = nullptr;

std::mutex& ManagerLock() {
  static std::mutex lock;
  return lock;
}

std::unique_ptr<LNotificationCenterManager>& Manager() {
  static std::unique_ptr<LNotificationCenterManager> manager;
  return manager;
}

// Releases the process-wide manager; its centres go with it unless others hold them.
void ReleaseNotificationCenterManager() {
  std::unique_ptr<LNotificationCenterManager> released;
  {
    std::lock_guard hold(ManagerLock());
    released.swap(Manager());
  }
}

} // namespace

LNotificationCenterManager* GetNotificationCenterManager() {
  std::lock_guard hold(ManagerLock());
  if (!Manager()) {
    Manager() = std::make_unique<LNotificationCenterManager>();
  }
  return Manager().get();
}

LFrameworkApp* LFrameworkApp::Get() { return gApplication; }

LFrameworkApp::LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStringTable,
                             const NString& commandLine)
    : mControlFactory(factory), mCommandLine(commandLine), mFrameworkStringTable(frameworkStringTable) {
  gApplication = this;
  InstallControlApplication(this);
  InstallApplicationContext(this);
  LFont::SetMeasurementRendererSource([] {
    LFrameworkApp* application = LFrameworkApp::Get();
    return application ? application->GetMeasurementRenderer() : nullptr;
  });
  mApplicationCentre = GetNotificationCenterManager()->GetNotificationCenter(kApplicationCenterName);
  mGlobalHotKeyManager = CreateGlobalHotKeyManager();
  mClipboard = RCPtr<LClipboard>(new LClipboard);
  if (mControlFactory) {
    mStringTable = mControlFactory->GetApplicationStringTable();
  }
}

LFrameworkApp::~LFrameworkApp() {
  UnregisterAllNotifications();
  mApplicationCentre = nullptr;
  ReleaseNotificationCenterManager();
  LNotification::SetPoolingEnabled(false);
  LFont::SetMeasurementRendererSource({});
  UninstallApplicationContext(this);
  UninstallControlApplication(this);
  gApplication = nullptr;
  mClipboard = nullptr;
  mGlobalHotKeyManager = nullptr;
  mDefaultFont = nullptr;
  mStringTable = nullptr;
  mFrameworkStringTable = nullptr;
  // A window still open tears down later, without an application.
  mRootWindows.clear();
  mDefaultRootWindow = nullptr;
  mWindowlessRenderer = nullptr;
  mControlFactory = nullptr;
}

// =============================================================================================
// Notifications and the command line
// =============================================================================================

QZResult LFrameworkApp::ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                            const RCPtr<LNotification>& notification) {
  if (notification && notification->GetID() == GetNotificationID(kAppExitRequest)) {
    RequestExit();
  }
  return QZ_OK;
}

void LFrameworkApp::RequestExit() {
  mExiting = true;
  // Ending a loop may close its window, which leaves the list meanwhile.
  const std::vector<RCPtr<LRootWindow>> windows = mRootWindows;
  for (size_t i = windows.size(); i-- > 1;) {
    windows[i]->EndModal(0);
  }
}

QZResult LFrameworkApp::OnCommandLine(CommandLineStage, const WString&) { return QZ_OK; }

void LFrameworkApp::OnCommandLineFromAnotherInstance(const WString& commandLine) {
  OnCommandLine(CommandLineStage::FromAnotherInstance, commandLine); // nobody to tell
}

// =============================================================================================
// Start-up, run and shut-down
// =============================================================================================

QZResult LFrameworkApp::RunApplicationStartup() {
  try {
    LNotification::SetPoolingEnabled(true);
    const RCPtr<LControlFactory> factory = mControlFactory;
    if (!factory) {
      return QZ_E_FAIL;
    }
    const std::span<const ControlClassEntry> classes = FrameworkControlClasses();
    for (size_t row = 0; row < classes.size(); ++row) {
      CheckResult(factory->RegisterControlCreateFunction(WString(classes[row].name), classes[row].create),
                  {"QZ::LFrameworkApp::RunApplicationStartup", kSourceName, kFirstRegistrationLine + int(row)});
    }
    if (mGlobalHotKeyManager && mStringTable) {
      (void)mGlobalHotKeyManager->GetHotKeyMap().ParseDefinitions(mStringTable.Get(),
                                                                  u"GHK"); // fails only for a null table
    }
    if (mClipboard) {
      mClipboard->Initialize();
    }
    // The remembered skin may be gone from the skin document, or be negative in a settings
    // file edited by hand: the list is never read outside its bounds.
    const int32_t count = int32_t(factory->GetSkinCount());
    if (count == 0) {
      return QZ_E_FAIL;
    }
    SetSkin(std::clamp(GetCurrentSkinIndex(), 0, count - 1));
  } catch (const std::exception&) {
    return QZ_E_FAIL;
  }
  return QZ_OK;
}

void LFrameworkApp::Run() {
  if (!mRootWindows.empty()) {
    const RCPtr<LRootWindow> main = mRootWindows.front();
    main->UpdateLayout();
    TraceStartupStep("first layout");
  }
  OnBeforeRun();
  DoIdleWork(true); // the loop idles again at once when work remains
  try {
    RunMessageLoop();
  } catch (const std::exception& failure) {
    ReportRunFailure(failure.what());
  } catch (...) {
    ReportRunFailure("An unknown exception ended the message loop.");
  }
  DoIdleWork(true);
}

void LFrameworkApp::ReportRunFailure(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::fflush(stderr);
  DebugTrace::Get().Narrow() << what << "\n";
  WString text(kBuiltInStartupError);
  WString caption(kBuiltInStartupErrorCaption);
  LookupString(mFrameworkStringTable.Get(), u"STARTUP_ERROR", text);
  LookupString(mFrameworkStringTable.Get(), u"STARTUP_ERROR_CAPTION", caption);
  ShowMessageBox(text, caption, kErrorBoxStyle); // an error box has one button
  if (mApplicationCentre) {
    (void)mApplicationCentre->PostNotification(LNotification::Create(kAppExitRequest)); // a shut centre: exiting anyway
  }
  if (auto* host = dynamic_cast<MFCFrameworkAppBase*>(HostApp::Get())) {
    host->SetExitCode(1);
  }
}

QZResult LFrameworkApp::RunApplicationShutdown() {
  RCPtr<LControlFactory> factory;
  factory.Swap(mControlFactory);
  factory = nullptr;
  RCPtr<LGlobalHotKeyManager> keys;
  keys.Swap(mGlobalHotKeyManager);
  keys = nullptr;
  RCPtr<LClipboard> clipboard;
  clipboard.Swap(mClipboard);
  clipboard = nullptr;
  return QZ_OK;
}

// =============================================================================================
// Skins
// =============================================================================================

int32_t LFrameworkApp::GetCurrentSkinIndex() {
  int32_t index = 0;
  const uint32_t file = OpenSettingsFiles(kUserSettingsFile);
  if (IIniFileManager* settings = GetIniFileManager(); file != 0 && settings) {
    settings->GetInt(file, kCurrentSkinIndexKey, 0, index); // a missing key leaves 0
  }
  return index;
}

QZResult LFrameworkApp::SetSkin(int32_t index) {
  const RCPtr<LControlFactory> factory = mControlFactory;
  if (!factory || index < 0 || uint32_t(index) >= factory->GetSkinCount()) {
    return QZ_E_INVALIDARG;
  }
  WString face;
  float size = 0.0f;
  int32_t style = 0;
  CheckResult(GetSystemFont(face, size, style), {"QZ::LFrameworkApp::SetSkin", kSourceName, 234});
  factory->SetCurrentSkinIndex(index);
  factory->GetSkinFont(face, size, style);
  SetDefaultFont(LFont::GetFont(face, size, style));

  // A wait scope's idle pass may close a window meanwhile.
  const std::vector<RCPtr<LRootWindow>> windows = mRootWindows;
  for (const RCPtr<LRootWindow>& window : windows) {
    LWaitScope wait(WString(u"Loading Skin..."));
    IWindowOSServices* os = window->GetOSServices();
    const bool active = os && os->IsActive();
    if (active) {
      window->OnKillFocus();
    }
    factory->ReapplySkin(window->GetRootControl());        // a tree the skin lacks stays as it is
    const RectT<int32_t> client = window->GetClientRect(); // asked of the OS window again
    window->InvalidateRect({0, 0, client.width, client.height});
    if (active) {
      window->OnActivate();
    }
  }

  const uint32_t file = OpenSettingsFiles(kUserSettingsFile);
  if (IIniFileManager* settings = GetIniFileManagerPtr(); file != 0 && settings) {
    settings->SetInt(file, kCurrentSkinIndexKey, index);
  }
  return QZ_OK;
}

// =============================================================================================
// Idle work and root windows
// =============================================================================================

bool LFrameworkApp::DoIdleWork(bool sendIdle) {
  bool more = GetNotificationCenterManager()->ProcessNotifications(sendIdle);
  // Over a copy of the list (the work may close windows), held on the stack for the few
  // windows a program has open: an idle pass comes every 33 ms.
  constexpr size_t kHeld = 4;
  if (mRootWindows.size() <= kHeld) {
    std::array<RCPtr<LRootWindow>, kHeld> windows;
    const size_t count = mRootWindows.size();
    std::copy(mRootWindows.begin(), mRootWindows.end(), windows.begin());
    for (size_t i = count; i-- > 0;) {
      more = windows[i]->ProcessKeyQueue(sendIdle) || more;
    }
    return more;
  }
  const std::vector<RCPtr<LRootWindow>> windows = mRootWindows;
  for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
    more = (*window)->ProcessKeyQueue(sendIdle) || more;
  }
  return more;
}

int32_t LFrameworkApp::AddRootWindow(const RCPtr<LRootWindow>& window) {
  for (size_t i = 0; i < mRootWindows.size(); ++i) {
    if (mRootWindows[i] == window) {
      return int32_t(i);
    }
  }
  mRootWindows.push_back(window);
  return int32_t(mRootWindows.size() - 1);
}

int32_t LFrameworkApp::RemoveRootWindow(const RCPtr<LRootWindow>& window) {
  for (size_t i = 0; i < mRootWindows.size(); ++i) {
    if (mRootWindows[i] == window) {
      mRootWindows.erase(mRootWindows.begin() + std::ptrdiff_t(i));
      return int32_t(i);
    }
  }
  return -1;
}

RCPtr<IRootWindow> LFrameworkApp::GetRootWindowAt(uint32_t index) {
  return index < mRootWindows.size() ? RCPtr<IRootWindow>(mRootWindows[index]) : nullptr;
}

RCPtr<LRootWindow> LFrameworkApp::FindActiveRootWindow() const {
  for (auto window = mRootWindows.rbegin(); window != mRootWindows.rend(); ++window) {
    IWindowOSServices* os = (*window)->GetOSServices();
    if (os && os->IsActive()) {
      return *window;
    }
  }
  return nullptr;
}

RCPtr<LControl> LFrameworkApp::GetMainRootControl() const {
  const RCPtr<LRootWindow>& window = mRootWindows.empty() ? mDefaultRootWindow : mRootWindows.front();
  return window ? window->GetRootControl() : nullptr;
}

RCPtr<LRootWindow> LFrameworkApp::GetMainRootWindow() {
  if (!mRootWindows.empty()) {
    return mRootWindows.front();
  }
  if (!mDefaultRootWindow) {
    mDefaultRootWindow = LRootWindow::Create(nullptr, nullptr);
  }
  return mDefaultRootWindow;
}

// =============================================================================================
// Pointer, keys, status line, fonts
// =============================================================================================

PointT<int32_t> LFrameworkApp::GetCursorPosition() {
  if (const RCPtr<LRootWindow> active = FindActiveRootWindow()) {
    PointT<int32_t> point = active->GetMousePosition();
    if (IWindowOSServices* os = active->GetOSServices()) {
      os->ClientToScreen(point);
    }
    return point;
  }
  Platform::Window::POINT point{0, 0};
  Platform::Window::GetCursorPos(&point); // (0, 0) where the system does not tell
  return {point.x, point.y};
}

uint32_t LFrameworkApp::GetMouseButtons() {
  if (const RCPtr<LRootWindow> active = FindActiveRootWindow()) {
    return active->GetMouseButtons();
  }
  uint32_t buttons = 0;
  buttons |= IsKeyDown(1) ? 0x1u : 0u;
  buttons |= IsKeyDown(4) ? 0x2u : 0u;
  buttons |= IsKeyDown(2) ? 0x4u : 0u;
  return buttons;
}

bool LFrameworkApp::IsKeyDown(int32_t virtualKey) {
  bool down = false;
  bool toggled = false;
  IsKeyDown(virtualKey, down, toggled);
  return down;
}

QZResult LFrameworkApp::SetStatusText(const WString& text, bool immediate) {
  return SetApplicationStatusText(*this, text, immediate);
}

QZResult LFrameworkApp::RestoreStatusText(bool immediate) { return RestoreApplicationStatusText(*this, immediate); }

void LFrameworkApp::OnClipboardUpdate() {
  if (const RCPtr<LClipboard> clipboard = mClipboard) {
    clipboard->OnClipboardUpdate();
  }
}

RCPtr<LGlobalHotKeyManager> LFrameworkApp::CreateGlobalHotKeyManager() {
  RCPtr<LNotificationReceiver> receiver;
  if (mApplicationCentre) {
    receiver = mApplicationCentre->GetPostingReceiver();
  }
  return RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(receiver));
}

QZResult LFrameworkApp::GetDefaultFont(WString& face, float& size, int32_t& style) {
  if (mDefaultFont) {
    face = mDefaultFont->GetFaceName();
    size = mDefaultFont->GetSize();
    style = mDefaultFont->GetStyle();
    return QZ_OK;
  }
  WString systemFace;
  float systemSize = 0.0f;
  int32_t systemStyle = 0;
  if (Failed(GetSystemFont(systemFace, systemSize, systemStyle))) {
    return QZ_E_FAIL;
  }
  face = systemFace;
  size = systemSize;
  style = systemStyle;
  return QZ_OK;
}

RCPtr<LMeasurementRenderer> LFrameworkApp::GetMeasurementRenderer() {
  if (!mRootWindows.empty()) {
    if (RCPtr<LRenderer> renderer = mRootWindows.front()->GetRenderer()) {
      return renderer;
    }
  }
  if (!mWindowlessRenderer) {
    mWindowlessRenderer = LRenderer::Create(kRendererGDI, {}, nullptr);
  }
  return mWindowlessRenderer;
}

} // namespace QZ
