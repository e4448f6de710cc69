// The application base's life, exit request, start-up and the system's services.

#include "QZFramework/Application/ApplicationBase.h"

#include <sys/time.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <utility>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Host/TerminationSignals.h"
#include "Platform/Window/Display.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/MessageBox.h"
#include "QZFramework/Application/ApplicationCursors.h"
#include "QZFramework/Application/LanguageId.h"
#include "QZFramework/Application/SystemFont.h"
#include "QZFramework/Application/Version.h"
#include "QZFramework/ControlBase/KeyCode.h"
#include "QZFramework/Controls/MessageBoxDialog.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "Resources/SkinArt/ProgramArt.h"

namespace QZ {

namespace Win = Platform::Window;
namespace Host = Platform::Host;

namespace {

MFCFrameworkAppBase* GetHost() { return dynamic_cast<MFCFrameworkAppBase*>(HostApp::Get()); }

// A box nobody is asked any more still says what went wrong (a save failing as a signal
// came), as the window layer's box does where there is no display.
void WriteUnshownBox(const WString& text, const WString& caption) {
  const std::string line = std::string(caption.ToUTF8().View()) + ": " + std::string(text.ToUTF8().View());
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  DebugTrace::Get().Narrow() << line << "\n";
}

} // namespace

LApplicationBaseCommon::LApplicationBaseCommon(const RCPtr<LControlFactory>& factory,
                                               const RCPtr<LStringTable>& frameworkStringTable,
                                               const WString& commandLine, MillisecondClock clock)
    : LFrameworkApp(factory, frameworkStringTable, NString(commandLine)), mSettings(new LIniFileManager),
      mClock(std::move(clock)) {
  mSettings->Initialize(u"");
  mLastTick = mClock();
}

LApplicationBaseCommon::~LApplicationBaseCommon() {
  (void)mSettings->SaveAndCloseAll(); // each failure is reported by the store
  mSettings = nullptr;
}

// =============================================================================================
// The exit request, start-up and shut-down
// =============================================================================================

QZResult LApplicationBaseCommon::ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                     const RCPtr<LNotification>& notification) {
  if (!notification || notification->GetID() != GetNotificationID(kAppExitRequest)) {
    return LFrameworkApp::ReceiveNotification(distributor, notification);
  }
  if (!CanExit()) {
    return QZ_OK;
  }
  LFrameworkApp::ReceiveNotification(distributor, notification);
  if (MFCFrameworkAppBase* host = GetHost()) {
    if (const Win::HWND main = host->GetMainWindow()) {
      (void)Host::PostMessage(main, Win::WM_CLOSE, 0, 0); // the window exists
    }
  }
  Host::PostQuitMessage(0);
  return QZ_OK;
}

QZResult LApplicationBaseCommon::RunApplicationStartup() {
  if (Failed(LFrameworkApp::RunApplicationStartup())) {
    return QZ_E_FAIL;
  }
  RegisterNotification(RCPtr<LNotificationDistributor>(GetApplicationNotificationCenter()), kAppExitRequest);
  const KeyCode exitKey = KeyCode::FromString(u"Alt+VKEY_F4");
  if (const RCPtr<LGlobalHotKeyManager> keys = GetGlobalHotKeyManager();
      keys && keys->GetHotKeyMap().FindCommand(exitKey).IsEmpty()) {
    (void)keys->GetHotKeyMap().AddBinding(exitKey, kAppExitRequest); // unbound, so accepted
  }
  return QZ_OK;
}

int32_t LApplicationBaseCommon::RunMessageLoop() {
  HostApp* host = HostApp::Get();
  return host ? host->RunMessageLoop() : 0;
}

QZResult LApplicationBaseCommon::RunApplicationShutdown() {
  // The system's timer resolution needs no release here.
  return LFrameworkApp::RunApplicationShutdown();
}

RCPtr<LControl> LApplicationBaseCommon::CreateControl(const WString& name) {
  const RCPtr<LControlFactory> factory = GetControlFactory();
  return factory ? factory->CreateControlByName(name, nullptr) : nullptr;
}

RCPtr<LBitmap> LApplicationBaseCommon::GetAppIcon() {
  const RCPtr<LBitmap> icon =
      LBitmap::GetBitmap(WString((u"::" + std::u16string(SkinArt::kApplicationIcon.resource)).c_str()));
  return icon && icon->GetWidth() > 0 ? icon : nullptr;
}

// =============================================================================================
// Names, cursors, the system
// =============================================================================================

WString LApplicationBaseCommon::GetCompanyName() { return Version().GetCompanyName(); }

WString LApplicationBaseCommon::GetProductName() { return Version().GetProductName(); }

WString LApplicationBaseCommon::GetProductVersion() { return Version().GetProductVersion(); }

CursorHandle LApplicationBaseCommon::GetCursor(const WString& name) {
  return reinterpret_cast<CursorHandle>(Win::LoadCursor(SystemCursorOfName(name)));
}

uint32_t LApplicationBaseCommon::GetLanguageId() {
  const MFCFrameworkAppBase* host = GetHost();
  return host ? host->GetLanguageId() : GetUserDefaultLanguageId() & 0xFFFF;
}

QZResult LApplicationBaseCommon::GetSystemFont(WString& face, float& size, int32_t& style) {
  // The first call takes what the host looked up while the window system started; every
  // skin's setting asks again, and matching the font anew took a few milliseconds each time.
  if (!mSystemFont) {
    MFCFrameworkAppBase* host = GetHost();
    std::optional<SystemFont> found = host ? host->TakeStartupSystemFont() : std::nullopt;
    mSystemFont = found ? std::move(*found) : QZ::GetSystemFont();
  }
  face = mSystemFont->face;
  size = mSystemFont->size;
  style = mSystemFont->style;
  return QZ_OK;
}

RectT<int32_t> LApplicationBaseCommon::GetDesktopWorkArea() {
  Win::RECT area{};
  if (!Win::GetWorkArea(&area)) {
    return {};
  }
  return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

WString LApplicationBaseCommon::GetFolder(int32_t pathId) {
  const MFCFrameworkAppBase* host = GetHost();
  return host ? host->GetFolder(pathId) : WString();
}

int32_t LApplicationBaseCommon::OnPowerBroadcast(uintptr_t, intptr_t) { return 1; }

// =============================================================================================
// Time, keys, pointer, boxes
// =============================================================================================

double LApplicationBaseCommon::GetElapsedSeconds() {
  const uint32_t now = mClock();
  mElapsedSeconds += double(uint32_t(now - mLastTick)) / 1000.0; // wraps with the clock
  mLastTick = now;
  return mElapsedSeconds;
}

LocalTime LApplicationBaseCommon::GetLocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_wday, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec,  int32_t(now.tv_nsec / 1000000)};
}

QZResult LApplicationBaseCommon::IsKeyDown(int32_t virtualKey, bool& down, bool& toggled) {
  const int16_t state = Win::GetKeyState(virtualKey);
  down = state < 0;
  toggled = (state & 1) != 0;
  return QZ_OK;
}

int32_t LApplicationBaseCommon::ShowMessageBox(const WString& text, const WString& caption, uint32_t flags) {
  // A box opened while the program ends would hold up its end: nobody is asked any more.
  if (IsExiting() || Host::TerminationRequested()) {
    WriteUnshownBox(text, caption);
    return Win::CancelAnswer(flags);
  }
  if (!Win::IsMessageBoxRecorderInstalled()) {
    if (const std::optional<int32_t> answer = ShowSkinnedMessageBox(*this, text, caption, flags)) {
      return *answer;
    }
  }
  Win::HWND owner = nullptr;
  const MFCFrameworkAppBase* host = GetHost();
  if (host && host->GetMainWindow()) {
    if (const RCPtr<LRootWindow> active = FindActiveRootWindow()) {
      if (IWindowOSServices* os = active->GetOSServices()) {
        owner = static_cast<Win::HWND>(os->GetHandle());
      }
    }
  }
  // The box's own program takes no quit request: a termination signal takes the box down,
  // and the quit request it posted ends the program once the box has answered.
  return Win::ShowMessageBox(text.View(), caption.View(), flags, owner, [] { return !Host::TerminationRequested(); });
}

int32_t LApplicationBaseCommon::ShowCursor(bool show) { return Win::ShowCursor(show); }

QZResult LApplicationBaseCommon::SetCursorPosition(int32_t x, int32_t y) {
  return Win::SetCursorPos(x, y) ? QZ_OK : QZ_E_FAIL;
}

bool LApplicationBaseCommon::WriteProfileBinary(const WString& section, const WString& entry,
                                                std::span<const uint8_t> bytes) {
  MFCFrameworkAppBase* host = GetHost();
  return host && host->WriteProfileBinary(section, entry, bytes);
}

} // namespace QZ
