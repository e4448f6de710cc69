// The application object: its root windows, the idle pump over them, the exit request, the
// status line, key and pointer state outside the windows, cursors, clocks, fonts, the
// measurement renderer and the error text.

#include <fontconfig/fontconfig.h>

#include <gmock/gmock.h>

#include "ApplicationTestSupport.h"
#include "Platform/Window/Input.h"
#include "QZFramework/Application/ApplicationCursors.h"
#include "QZFramework/Application/ErrorText.h"
#include "QZFramework/Application/SystemFont.h"
#include "QZFramework/ControlBase/WindowOSServices.h"
#include "QZFramework/Controls/StatusBar.h"
#include "QZFramework/Renderer/Renderer.h"
#include "Support/FontconfigInit.h"

namespace QZTest {
namespace {

using QZ::RCPtr;
using Strings = std::vector<std::string>;

const std::string kPlainSkin = SkinOf(MainControl(R"(XSizeAbs="320" YSizeAbs="200")"));

// An OS window stand-in that logs its modal ends ("<name> EndModal <result>").
class LoggingOS final : public QZ::IWindowOSServices {
public:
  LoggingOS(std::string name, Strings* log) : mName(std::move(name)), mLog(log) {}
  QZ::QZResult EndModal(int32_t result) override {
    mLog->push_back(mName + " EndModal " + std::to_string(result));
    return QZ::QZ_OK;
  }
  bool active = false;
  bool IsActive() override { return active; }

  QZ::QZResult SetTitle(const QZ::WString&) override { return QZ::QZ_OK; }
  QZ::QZResult InvalidateAll() override { return QZ::QZ_OK; }
  QZ::QZResult InvalidateRect(const QZ::RectT<int32_t>&) override { return QZ::QZ_OK; }
  QZ::QZResult GetClientRect(QZ::RectT<int32_t>& rect) override {
    rect = {0, 0, 100, 50};
    return QZ::QZ_OK;
  }
  QZ::QZResult ScreenToClient(QZ::PointT<int32_t>&) override { return QZ::QZ_OK; }
  QZ::QZResult ClientToScreen(QZ::PointT<int32_t>& point) override {
    point.x += 300;
    point.y += 400;
    return QZ::QZ_OK;
  }
  QZ::QZResult SetClientRect(const QZ::RectT<int32_t>&) override { return QZ::QZ_OK; }
  bool Show(int32_t) override { return true; }
  QZ::QZResult Redraw() override { return QZ::QZ_OK; }
  QZ::QZResult BringToTop() override { return QZ::QZ_OK; }
  QZ::QZResult SetTopMost(bool) override { return QZ::QZ_OK; }
  int32_t RunModalLoop() override { return -1; }
  bool IsModal() override { return false; }
  bool HasFocus() override { return active; }
  QZ::QZResult Activate() override { return QZ::QZ_OK; }
  QZ::CursorHandle SetCursor(QZ::CursorHandle cursor) override { return cursor; }
  QZ::PointT<int32_t> GetCursorPos() override { return {7, 8}; }
  uint32_t GetMouseButtons() override { return QZ::kMouseButtonRight; }
  QZ::WindowHandle GetHandle() override { return nullptr; }
  QZ::QZResult GetWindowRect(QZ::RectT<int32_t>& rect) override { return GetClientRect(rect); }
  QZ::QZResult SetWindowRect(const QZ::RectT<int32_t>&) override { return QZ::QZ_OK; }
  QZ::QZResult UpdateSizeLimits() override { return QZ::QZ_OK; }

private:
  std::string mName;
  Strings* mLog;
};

class FrameworkAppTest : public ApplicationFixture {
protected:
  // Three root windows over logging stand-ins, added in order; their idle ticks logged as
  // "<name> idle".
  void AddThreeWindows() {
    const char* names[] = {"main", "second", "third"};
    for (int i = 0; i < 3; ++i) {
      os.push_back(std::make_unique<LoggingOS>(names[i], &log));
      windows.push_back(QZ::LRootWindow::Create(nullptr, os.back().get()));
      ASSERT_EQ(app->AddRootWindow(windows.back()), i);
      auto listener = RCPtr<Listener>(new Listener);
      listener->onReceive = [this, name = std::string(names[i])](const RCPtr<QZ::LNotification>&) {
        log.push_back(name + " idle");
      };
      listener->RegisterNotification(windows.back()->GetIdleDistributor(), u"NID_IDLE");
      listeners.push_back(listener);
    }
  }
  void TearDown() override {
    for (const RCPtr<Listener>& listener : listeners) {
      listener->UnregisterAllNotifications();
    }
    listeners.clear();
    for (const RCPtr<QZ::LRootWindow>& window : windows) {
      window->SetOSServices(nullptr);
    }
    windows.clear();
    ApplicationFixture::TearDown();
  }

  Strings log;
  std::vector<std::unique_ptr<LoggingOS>> os;
  std::vector<RCPtr<QZ::LRootWindow>> windows;
  std::vector<RCPtr<Listener>> listeners;
};

TEST_F(FrameworkAppTest, ARootWindowIsListedOnceAndAStrangerIsNotRemoved) {
  MakeApplication(kPlainSkin);
  const RCPtr<QZ::LRootWindow> first = QZ::LRootWindow::Create(nullptr, nullptr);
  const RCPtr<QZ::LRootWindow> second = QZ::LRootWindow::Create(nullptr, nullptr);
  const RCPtr<QZ::LRootWindow> stranger = QZ::LRootWindow::Create(nullptr, nullptr);
  EXPECT_EQ(app->AddRootWindow(first), 0);
  EXPECT_EQ(app->AddRootWindow(second), 1);
  EXPECT_EQ(app->AddRootWindow(first), 0);
  EXPECT_EQ(app->GetRootWindowCount(), 2u);
  EXPECT_EQ(app->RemoveRootWindow(stranger), -1);
  EXPECT_EQ(app->GetRootWindowCount(), 2u);
  EXPECT_EQ(app->RemoveRootWindow(first), 0);
  EXPECT_EQ(app->GetRootWindowAt(0), RCPtr<QZ::IRootWindow>(second));
  EXPECT_EQ(app->GetRootWindowAt(1), nullptr);
  EXPECT_EQ(app->GetMainRootWindow(), second);
  EXPECT_EQ(app->RemoveRootWindow(second), 0);
  // Without windows of its own the application has a default one, always the same.
  const RCPtr<QZ::LRootWindow> fallback = app->GetMainRootWindow();
  ASSERT_NE(fallback, nullptr);
  EXPECT_EQ(fallback->GetOSServices(), nullptr);
  EXPECT_EQ(app->GetMainRootWindow(), fallback);
  EXPECT_EQ(app->GetRootWindowCount(), 0u);
}

TEST_F(FrameworkAppTest, IdleWorkVisitsEveryWindowLastToFirstEvenOnceWorkIsKnownToRemain) {
  MakeApplication(kPlainSkin);
  AddThreeWindows();
  // The third window is visited first and leaves work behind.
  listeners[2]->onReceive = [this](const RCPtr<QZ::LNotification>& notification) {
    log.push_back("third " + std::string(QZ::NString(QZ::WString(notification->GetID())).GetBuffer()));
    if (notification->GetID() == QZ::GetNotificationID(u"NID_IDLE")) {
      (void)windows[2]->PostNotification(QZ::LNotification::Create(u"NID_LATER")); // 0
    }
  };
  listeners[2]->RegisterNotification(windows[2]->GetIdleDistributor(), u"NID_LATER");
  EXPECT_TRUE(app->DoIdleWork(true));
  EXPECT_EQ(log, (Strings{"third NID_IDLE", "second idle", "main idle"}));
  log.clear();
  EXPECT_FALSE(app->DoIdleWork(false));
  EXPECT_EQ(log, (Strings{"third NID_LATER"}));
}

TEST_F(FrameworkAppTest, WithoutWindowsIdleWorkAnswersWhatTheCentresAnswer) {
  MakeApplication(kPlainSkin);
  auto listener = RCPtr<Listener>(new Listener);
  listener->onReceive = [this](const RCPtr<QZ::LNotification>& notification) {
    if (notification->GetID() == QZ::GetNotificationID(u"NID_FIRST")) {
      (void)centre()->PostNotification(QZ::LNotification::Create(u"NID_SECOND")); // 0
    }
  };
  listener->RegisterNotification(RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_FIRST");
  listener->RegisterNotification(RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_SECOND");
  listener->RegisterNotification(RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_IDLE");
  EXPECT_FALSE(app->DoIdleWork(false));
  ASSERT_EQ(centre()->PostNotification(QZ::LNotification::Create(u"NID_FIRST")), QZ::QZ_OK);
  EXPECT_TRUE(app->DoIdleWork(true)) << "NID_SECOND waits";
  EXPECT_FALSE(app->DoIdleWork(false));
  EXPECT_EQ(listener->heard, (std::vector<std::u16string>{u"NID_FIRST", u"NID_IDLE", u"NID_SECOND"}));
  listener->UnregisterAllNotifications();
}

TEST_F(FrameworkAppTest, AWindowThatAnotherWindowsIdleWorkClosesIsPassedSafely) {
  MakeApplication(kPlainSkin);
  QZ::OSWindow* main = OpenWindow(0, 40, 300, 200);
  QZ::OSWindow* second = OpenWindow(20, 60, 200, 100);
  QZ::OSWindow* third = OpenWindow(40, 80, 200, 100);
  ASSERT_TRUE(main && second && third);
  ASSERT_EQ(app->GetRootWindowCount(), 3u);
  const Win::HWND secondWindow = second->GetSafeHwnd();
  auto closer = RCPtr<Listener>(new Listener);
  closer->onReceive = [secondWindow](const RCPtr<QZ::LNotification>&) {
    Win::DestroyWindow(secondWindow); // its object goes, its root window leaves the list
  };
  closer->RegisterNotification(third->GetRootWindow()->GetIdleDistributor(), u"NID_IDLE");
  app->DoIdleWork(true);
  EXPECT_EQ(app->GetRootWindowCount(), 2u);
  EXPECT_FALSE(Win::IsWindow(secondWindow));
  closer->UnregisterAllNotifications();
}

TEST_F(FrameworkAppTest, TheExitRequestEndsTheOtherWindowsLoopsLastFirstThenClosesTheMainWindowAndQuits) {
  MakeApplication(kPlainSkin);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  AddThreeWindows();
  Win::HWND main = OpenWindow(0, 40, 300, 200)->GetSafeHwnd();
  ASSERT_EQ(app->RemoveRootWindow(app->GetRootWindows().back()), 3); // kept out of the list
  host->SetMainWindow(main);
  ASSERT_EQ(centre()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ")), QZ::QZ_OK);
  EXPECT_FALSE(app->IsExiting());
  app->DoIdleWork(false);
  EXPECT_TRUE(app->IsExiting());
  // The requests are carried out by the windows' own idle work, in the same pass.
  EXPECT_EQ(log, (Strings{"third EndModal 0", "second EndModal 0"}));
  Win::MSG msg;
  ASSERT_TRUE(Host::PeekMessage(&msg, Win::PM_REMOVE));
  EXPECT_EQ(msg.message, Win::WM_CLOSE);
  EXPECT_EQ(msg.hwnd, main);
  ASSERT_TRUE(Host::PeekMessage(&msg, Win::PM_REMOVE));
  EXPECT_EQ(msg.message, Win::WM_QUIT);
}

TEST_F(FrameworkAppTest, AnExitRequestTheProgramRefusesIsDropped) {
  MakeApplication(kPlainSkin);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  AddThreeWindows();
  app->canExit = false;
  ASSERT_EQ(centre()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ")), QZ::QZ_OK);
  app->DoIdleWork(false);
  EXPECT_FALSE(app->IsExiting());
  EXPECT_TRUE(log.empty());
  Win::MSG msg;
  EXPECT_FALSE(Host::PeekMessage(&msg, Win::PM_REMOVE));
}

TEST_F(FrameworkAppTest, TheStartupBindsAltF4ToTheExitRequestUnlessItIsBoundAlready) {
  const QZ::KeyCode altF4 = QZ::KeyCode::FromString(u"Alt+VKEY_F4");
  MakeApplication(kPlainSkin);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  EXPECT_EQ(app->GetGlobalHotKeyManager()->GetHotKeyMap().FindCommand(altF4), QZ::WString(u"NID_APP_EXIT_REQ"));
  // The key reaches the application at the next idle pass.
  EXPECT_EQ(app->GetGlobalHotKeyManager()->HandleKey(QZ::LKeyParam::Create(altF4, true)), QZ::QZ_OK);
  EXPECT_FALSE(app->IsExiting());
  app->DoIdleWork(true);
  EXPECT_TRUE(app->IsExiting());
  DropApplication();

  MakeApplication(kPlainSkin);
  ASSERT_EQ(app->GetGlobalHotKeyManager()->GetHotKeyMap().AddBinding(altF4, u"NID_MENU_HELP_ABOUT"), QZ::QZ_OK);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  EXPECT_EQ(app->GetGlobalHotKeyManager()->GetHotKeyMap().FindCommand(altF4), QZ::WString(u"NID_MENU_HELP_ABOUT"));
  EXPECT_FALSE(app->GetGlobalHotKeyManager()->GetHotKeyMap().HasBinding(u"NID_APP_EXIT_REQ"));
}

TEST_F(FrameworkAppTest, StatusTextsFailWithoutTheApplicationsStatusBarWhateverTheArguments) {
  MakeApplication(kPlainSkin);
  AddThreeWindows();
  for (bool immediate : {true, false}) {
    EXPECT_EQ(app->SetStatusText(QZ::WString(u"Loading Skin..."), immediate), QZ::QZ_E_FAIL);
    EXPECT_EQ(app->RestoreStatusText(immediate), QZ::QZ_E_FAIL);
  }
  QZ::IControlApplication& controls = *app;
  EXPECT_EQ(controls.SetStatusText(QZ::WString(u"x")), QZ::QZ_E_FAIL);
  EXPECT_EQ(controls.RestoreStatusText(), QZ::QZ_E_FAIL);
  // A bar made the application's takes them (this one, without its label, ignores them).
  const RCPtr<QZ::LStatusBar> bar(new QZ::LStatusBar(nullptr, QZ::WString(u"statusBar")));
  QZ::SetApplicationStatusBarForTesting(bar);
  EXPECT_EQ(app->SetStatusText(QZ::WString(u"Loading Skin..."), true), QZ::QZ_FALSE);
  EXPECT_EQ(app->RestoreStatusText(true), QZ::QZ_FALSE);
  QZ::SetApplicationStatusBarForTesting(nullptr);
}

TEST_F(FrameworkAppTest, KeysAndButtonsAreAsTheMessageInHandSaysAndThePointerFallsBackToTheSystem) {
  MakeApplication(kPlainSkin);
  const Win::HWND hwnd = OpenWindow(0, 40, 300, 200)->GetSafeHwnd();
  const uint32_t id = backend->SdlIdOf(hwnd);
  backend->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL));
  backend->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, KMOD_LCTRL | KMOD_CAPS));
  backend->Push(KeyEvent(SDL_KEYUP, id, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_CAPS));
  Win::MSG msg;
  std::vector<bool> controlHeld;
  bool down = false;
  bool toggled = false;
  while (Host::PeekMessage(&msg, Win::PM_REMOVE)) {
    if (msg.message == Win::WM_KEYDOWN || msg.message == Win::WM_KEYUP) {
      controlHeld.push_back(app->IsKeyDown(0x11));
    }
    Host::DispatchMessage(&msg);
  }
  EXPECT_EQ(controlHeld, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(app->IsKeyDown(Win::VK_CAPITAL, down, toggled), QZ::QZ_OK);
  EXPECT_TRUE(toggled);

  // No window is active: buttons from the key state, the pointer from the system.
  ASSERT_EQ(app->FindActiveRootWindow(), nullptr);
  backend->mouseX = 612;
  backend->mouseY = 345;
  EXPECT_EQ(app->GetCursorPosition().x, 612);
  EXPECT_EQ(app->GetCursorPosition().y, 345);
  backend->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_RIGHT, 10, 10));
  Pump();
  EXPECT_EQ(app->GetMouseButtons(), 0x4u);
  backend->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 10));
  Pump();
  EXPECT_EQ(app->GetMouseButtons(), 0x5u);
}

TEST_F(FrameworkAppTest, ThePointerIsMovedAndShownThroughTheWindowSystem) {
  MakeApplication(kPlainSkin);
  EXPECT_EQ(app->SetCursorPosition(15, 25), QZ::QZ_OK);
  EXPECT_EQ(backend->mouseX, 15);
  EXPECT_EQ(backend->mouseY, 25);
  EXPECT_EQ(app->ShowCursor(false), -1);
  EXPECT_EQ(app->ShowCursor(true), 0);
  host->WinTerm(); // no window system: the pointer cannot be moved
  EXPECT_EQ(app->SetCursorPosition(15, 25), QZ::QZ_E_FAIL);
}

TEST_F(FrameworkAppTest, WindowsThatOutliveTheApplicationCloseWithoutIt) {
  MakeApplication(kPlainSkin);
  ASSERT_EQ(app->CreateMainWindow(QZ::kRendererGDI), QZ::QZ_OK);
  ASSERT_EQ(app->SetMainRootControl(QZ::WString(u"mainControl")), QZ::QZ_OK);
  const Win::HWND main = host->GetMainWindow();
  QZ::OSWindow* second = OpenWindow(20, 60, 200, 100);
  ASSERT_NE(second, nullptr);
  const Win::HWND secondWindow = second->GetSafeHwnd();
  DropApplication();
  EXPECT_EQ(QZ::GetControlApplication(), nullptr);
  EXPECT_TRUE(Win::DestroyWindow(secondWindow));
  EXPECT_TRUE(Win::DestroyWindow(main));
  EXPECT_FALSE(host->GetProfileBinary(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"WP")).has_value())
      << "no application to keep the place";
}

TEST_F(FrameworkAppTest, TheActiveRootWindowIsTheLastActiveOneAndAnswersForThePointer) {
  MakeApplication(kPlainSkin);
  AddThreeWindows();
  EXPECT_EQ(app->FindActiveRootWindow(), nullptr);
  os[0]->active = true;
  os[1]->active = true;
  EXPECT_EQ(app->FindActiveRootWindow(), windows[1]);
  EXPECT_EQ(app->GetActiveRootWindow(), RCPtr<QZ::IRootWindow>(windows[1]));
  // The window's pointer (7, 8) moved to the screen by its client origin (300, 400).
  EXPECT_EQ(app->GetCursorPosition().x, 307);
  EXPECT_EQ(app->GetCursorPosition().y, 408);
}

TEST_F(FrameworkAppTest, CursorsComeFromTheTableAndUnknownNamesGiveTheArrow) {
  struct CursorCase {
    const char16_t* name;
    uint32_t cursor;
  };
  const CursorCase cases[] = {
      {u"UI_CURSOR_ARROW", Win::IDC_ARROW},
      {u"UI_CURSOR_IBEAM", Win::IDC_IBEAM},
      {u"UI_CURSOR_WAIT", Win::IDC_WAIT},
      {u"UI_CURSOR_CROSS", Win::IDC_CROSS},
      {u"UI_CURSOR_UP_ARROW", Win::IDC_ARROW},
      {u"UI_CURSOR_SIZE_ALL", Win::IDC_SIZEALL},
      {u"UI_CURSOR_SIZE_NWSE", Win::IDC_SIZENWSE},
      {u"UI_CURSOR_SIZE_NESW", Win::IDC_SIZENESW},
      {u"UI_CURSOR_SIZE_WE", Win::IDC_SIZEWE},
      {u"UI_CURSOR_SIZE_NS", Win::IDC_SIZENS},
      {u"UI_CURSOR_NO_DROP", Win::IDC_NO},
      {u"UI_CURSOR_HAND", Win::IDC_HAND},
      {u"UI_CURSOR_APP_STARTING", Win::IDC_APPSTARTING},
      {u"UI_CURSOR_HELP", Win::IDC_ARROW},
      {u"UI_CURSOR_DROP_MOVE", Win::IDC_ARROW},
      {u"ui_cursor_hand", Win::IDC_ARROW},
      {u"", Win::IDC_ARROW},
  };
  MakeApplication(kPlainSkin);
  for (const CursorCase& entry : cases) {
    SCOPED_TRACE(QZ::NString(QZ::WString(entry.name)).GetBuffer());
    EXPECT_EQ(QZ::SystemCursorOfName(QZ::WString(entry.name)), entry.cursor);
    EXPECT_EQ(app->GetCursor(QZ::WString(entry.name)),
              reinterpret_cast<QZ::CursorHandle>(Win::LoadCursor(entry.cursor)));
  }
  EXPECT_NE(app->GetCursor(QZ::WString(u"UI_CURSOR_SIZE_WE")), app->GetCursor(QZ::WString(u"UI_CURSOR_ARROW")));
  EXPECT_NE(app->GetCursor(QZ::WString(u"UI_CURSOR_SIZE_WE")), 0u);
}

TEST_F(FrameworkAppTest, ElapsedSecondsGrowByTheClocksMillisecondsAcrossItsWrap) {
  MakeApplication(kPlainSkin);
  EXPECT_EQ(app->GetElapsedSeconds(), 0.0);
  now += 250;
  EXPECT_DOUBLE_EQ(app->GetElapsedSeconds(), 0.25);
  EXPECT_DOUBLE_EQ(app->GetElapsedSeconds(), 0.25);
  now = 0xFFFFFF00u;
  app->GetElapsedSeconds();
  const double before = app->GetElapsedSeconds();
  now = 0x00000100u; // 512 ms later, past the wrap
  EXPECT_NEAR(app->GetElapsedSeconds() - before, 0.512, 1e-9);
  EXPECT_EQ(app->GetTickCountMs(), 0x100u);
  EXPECT_EQ(app->GetMilliseconds(), 0x100u);
  const QZ::LocalTime local = app->GetLocalTime();
  EXPECT_GE(local.year, 2024);
  EXPECT_TRUE(local.month >= 1 && local.month <= 12 && local.dayOfWeek >= 0 && local.dayOfWeek <= 6);
}

TEST_F(FrameworkAppTest, TheSystemFontIsFontconfigsSansSerifOrSansAtNinePoints) {
  ASSERT_TRUE(kFontconfigLoaded);
  MakeApplication(kPlainSkin);
  QZ::WString face;
  float size = 0.0f;
  int32_t style = -1;
  ASSERT_EQ(app->GetSystemFont(face, size, style), QZ::QZ_OK);
  EXPECT_FALSE(face.IsEmpty());
  EXPECT_GE(size, 1.0f);
  EXPECT_EQ(style & ~0x3, 0);

  // An empty configuration chooses nothing.
  FcConfig* previous = FcConfigReference(nullptr);
  FcConfig* empty = FcConfigCreate();
  ASSERT_TRUE(FcConfigSetCurrent(empty)); // which holds it from now on
  FcConfigDestroy(empty);
  const QZ::SystemFont fallback = QZ::GetSystemFont();
  // The application reads it once a run: a later change of configuration is not seen.
  QZ::WString readAgain;
  float sizeAgain = 0.0f;
  int32_t styleAgain = -1;
  EXPECT_EQ(app->GetSystemFont(readAgain, sizeAgain, styleAgain), QZ::QZ_OK);
  FcConfigSetCurrent(previous);
  FcConfigDestroy(previous);
  EXPECT_EQ(fallback.face, QZ::WString(u"Sans"));
  EXPECT_EQ(fallback.size, 9.0f);
  EXPECT_EQ(fallback.style, 0);
  EXPECT_EQ(readAgain, face);
  EXPECT_EQ(sizeAgain, size);
  EXPECT_EQ(styleAgain, style);

  // Before a skin gives one, the default font is the system's.
  QZ::WString defaultFace;
  float defaultSize = 0.0f;
  int32_t defaultStyle = -1;
  ASSERT_EQ(app->GetDefaultFont(defaultFace, defaultSize, defaultStyle), QZ::QZ_OK);
  EXPECT_EQ(defaultFace, face);
  app->SetDefaultFont(QZ::LFont::GetFont(u"Arial", 8.25f, 0));
  ASSERT_EQ(app->GetDefaultFont(defaultFace, defaultSize, defaultStyle), QZ::QZ_OK);
  EXPECT_EQ(defaultFace, QZ::WString(u"Arial"));
  EXPECT_EQ(defaultSize, 8.25f);
}

TEST_F(FrameworkAppTest, WithoutWindowsTextIsMeasuredByAWindowlessRendererAndThenByTheMainWindows) {
  ASSERT_TRUE(kFontconfigLoaded);
  MakeApplication(kPlainSkin);
  const RCPtr<QZ::LMeasurementRenderer> windowless = app->GetMeasurementRenderer();
  ASSERT_NE(windowless, nullptr);
  const RCPtr<QZ::LFont> font = QZ::LFont::GetFont(u"Sans", 9.0f, 0);
  EXPECT_GT(windowless->MeasureText(*font, QZ::WString(u"Hello")).width, 0.0f);
  EXPECT_EQ(QZ::LFont::GetMeasurementRenderer(), windowless) << "fonts measure through the application";
  QZ::OSWindow* main = OpenWindow(0, 40, 300, 200);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(app->GetMeasurementRenderer(), RCPtr<QZ::LMeasurementRenderer>(main->GetRootWindow()->GetRenderer()));
  DropApplication();
  EXPECT_EQ(QZ::LFont::GetMeasurementRenderer(), nullptr);
}

TEST_F(FrameworkAppTest, ErrorTextsUseTheApplicationsExceptionTextOnceItHasOne) {
  EXPECT_EQ(QZ::FormatErrorText(12),
            QZ::WString(u"The application encountered problems during startup and will now close.  (Error code = 12)"));
  MakeApplication(kPlainSkin, QZ_PROGRAM_DOCUMENTS);
  EXPECT_EQ(QZ::FormatErrorText(12),
            QZ::WString(u"The application has encountered Error ID 12.  Please contact Vandrel Technical Support."));
  DropApplication();
  MakeApplication(kPlainSkin); // no string table
  EXPECT_EQ(QZ::FormatErrorText(12),
            QZ::WString(u"The application encountered problems during startup and will now close.  (Error code = 12)"));
}

TEST_F(FrameworkAppTest, TheApplicationIsEveryoneElsesApplicationWhileItLives) {
  EXPECT_EQ(QZ::LFrameworkApp::Get(), nullptr);
  MakeApplication(kPlainSkin);
  EXPECT_EQ(QZ::LFrameworkApp::Get(), app.Get());
  EXPECT_EQ(QZ::GetControlApplication(), static_cast<QZ::IControlApplication*>(app.Get()));
  EXPECT_EQ(QZ::GetApplicationContext(), static_cast<QZ::IApplicationContext*>(app.Get()));
  ASSERT_NE(QZ::GetApplicationNotificationCenter(), nullptr);
  EXPECT_EQ(QZ::GetApplicationNotificationCenter()->GetName(), QZ::WString(u"application"));
  EXPECT_EQ(QZ::GetNotificationCenterManager()->GetNotificationCenter(u"application").Get(),
            QZ::GetApplicationNotificationCenter());
  EXPECT_EQ(app->GetCommandLineText(), QZ::NString("editor"));
  const RCPtr<QZ::LClipboard> clipboard = app->GetClipboard();
  ASSERT_NE(clipboard, nullptr);
  EXPECT_EQ(clipboard->GetRegistrationCount(), 0);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  EXPECT_TRUE(QZ::LNotification::IsPoolingEnabled());
  EXPECT_EQ(clipboard->GetRegistrationCount(), 4) << "cut, copy, paste and delete at the application centre";
  ASSERT_EQ(app->RunApplicationShutdown(), QZ::QZ_OK);
  EXPECT_EQ(app->GetClipboard(), nullptr);
  EXPECT_EQ(app->GetControlFactory(), nullptr);
  EXPECT_EQ(app->GetGlobalHotKeyManager(), nullptr);
  DropApplication();
  EXPECT_EQ(QZ::LFrameworkApp::Get(), nullptr);
  EXPECT_EQ(QZ::GetControlApplication(), nullptr);
  EXPECT_EQ(QZ::GetApplicationContext(), nullptr);
  EXPECT_FALSE(QZ::LNotification::IsPoolingEnabled());
}

} // namespace
} // namespace QZTest
