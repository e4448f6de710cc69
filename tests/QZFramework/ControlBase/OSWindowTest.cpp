// The OS window's side: the close box, closing a window from inside its own handlers, the
// placement written when the main window goes, a second instance's command line, dropped
// files, clipboard updates, and the end of a modal loop.

#include <gtest/gtest.h>

#include <string>

#include "QZFramework/ControlBase/RootWindowTestSupport.h"
#include "Support/FakeClipboardBackend.h"

namespace QZ {
namespace {

using namespace QZTest;
using Lines = std::vector<std::string>;

class OSWindowTest : public RootWindowFixture {
protected:
  // The notifications the application centre delivers at its next drain.
  Lines Drained() {
    const RCPtr<NotificationRecorder> recorder = NotificationRecorder::Listen(centre, {u"NID_APP_EXIT_REQ"});
    centre->ProcessNotifications(false);
    recorder->UnregisterAllNotifications();
    return recorder->Names();
  }

  // The placement record of profile bytes, read as the start-up reads it.
  static Win::WINDOWPLACEMENT Placement(const std::vector<uint8_t>& bytes) {
    EXPECT_EQ(bytes.size(), 44u);
    uint32_t words[11] = {};
    for (size_t i = 0; i < 11 && i * 4 + 3 < bytes.size(); ++i) {
      words[i] = uint32_t(bytes[i * 4]) | uint32_t(bytes[i * 4 + 1]) << 8 | uint32_t(bytes[i * 4 + 2]) << 16 |
                 uint32_t(bytes[i * 4 + 3]) << 24;
    }
    Win::WINDOWPLACEMENT placement;
    placement.length = words[0];
    placement.flags = words[1];
    placement.showCmd = words[2];
    placement.ptMinPosition = {int32_t(words[3]), int32_t(words[4])};
    placement.ptMaxPosition = {int32_t(words[5]), int32_t(words[6])};
    placement.rcNormalPosition = {int32_t(words[7]), int32_t(words[8]), int32_t(words[9]), int32_t(words[10])};
    return placement;
  }
};

TEST_F(OSWindowTest, AWindowIsMadeOnceAndDrawsThroughTheGdiRenderer) {
  EXPECT_FALSE(window->CreateEx(0, u"QZFrameworkWindow", u"again", 0, 0, 0, 10, 10, nullptr));
  auto* bare = new OSWindow;
  EXPECT_EQ(bare->CreateRenderer(kRendererGDI), QZ_E_FAIL) << "no window yet";
  ASSERT_TRUE(bare->CreateEx(0, u"QZFrameworkWindow", u"bare", Win::WS_CAPTION, 0, 0, 50, 40, nullptr));
  EXPECT_EQ(bare->CreateRenderer(kRendererOpenGL), QZ_E_FAIL) << "not a GL window";
  EXPECT_EQ(bare->GetRootWindow(), nullptr);
  try {
    (void)bare->CreateRenderer(99);
    ADD_FAILURE() << "an unknown kind is refused";
  } catch (const std::domain_error& error) {
    EXPECT_EQ(std::string(error.what()), "Domain Error : QZ::LRenderer::Create : Renderer\\Renderer : Line 129");
  }
  EXPECT_EQ(application.GetRootWindowCount(), 1u);
  ASSERT_EQ(bare->CreateRenderer(kRendererGDI), QZ_OK);
  EXPECT_EQ(application.GetRootWindowCount(), 2u);
  EXPECT_EQ(Win::GetParent(bare->GetSafeHwnd()), nullptr);
  EXPECT_EQ(Win::GetWindowStyle(bare->GetSafeHwnd()), Win::WS_CAPTION | Win::WS_CLIPSIBLINGS | Win::WS_CLIPCHILDREN);
}

TEST_F(OSWindowTest, TheCloseBoxOfTheMainWindowAsksTheApplicationToExitAndKeepsTheWindow) {
  ASSERT_EQ(application.GetRootWindowAt(0), RCPtr<IRootWindow>(root));
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_CLOSE));
  Pump();
  EXPECT_TRUE(Win::IsWindow(hwnd));
  EXPECT_EQ(window->GetRootWindow(), root);
  EXPECT_EQ(Drained(), Lines{"NID_APP_EXIT_REQ"});
  application.DoIdleWork(true);
  EXPECT_TRUE(Win::IsWindow(hwnd));
}

TEST_F(OSWindowTest, TheCloseBoxOfAnotherWindowClosesItAtTheNextIdlePass) {
  bool deleted = false;
  OSWindow* other = Open(400, 50, 120, 80, nullptr, new TrackedOSWindow(&deleted));
  ASSERT_NE(other, nullptr);
  const Win::HWND otherHwnd = other->GetSafeHwnd();
  RCPtr<LRootWindow> otherRoot = other->GetRootWindow();
  InstanceCounter tree;
  {
    const RCPtr<TestControl> content = TestControl::Make(nullptr, u"content", &tree);
    TestControl::Make(content, u"child", &tree)->Place(0, 0, 10, 10);
    ASSERT_EQ(otherRoot->InstallRootControl(content), QZ_OK);
  }
  ASSERT_EQ(tree.live, 2);
  ASSERT_EQ(application.GetRootWindowCount(), 2u);
  script->Push(WindowEvent(script->SdlIdOf(otherHwnd), SDL_WINDOWEVENT_CLOSE));
  Pump();
  EXPECT_TRUE(Win::IsWindow(otherHwnd)) << "not inside the handler";
  EXPECT_TRUE(Drained().empty());
  application.DoIdleWork(true);
  EXPECT_FALSE(Win::IsWindow(otherHwnd));
  EXPECT_TRUE(deleted);
  EXPECT_EQ(application.GetRootWindowCount(), 1u);
  EXPECT_EQ(otherRoot->GetOSServices(), nullptr);
  EXPECT_TRUE(Win::IsWindow(hwnd));
  // The last outside reference to the root window takes its tree down with it.
  EXPECT_EQ(tree.live, 2);
  otherRoot = nullptr;
  EXPECT_EQ(tree.live, 0);
}

// A handler that closes its own window returns into a window object that still exists; the
// object goes once the message has been handled.
TEST_F(OSWindowTest, AWindowClosedInsideItsOwnHandlerGoesOnceTheHandlerHasReturned) {
  bool deleted = false;
  OSWindow* other = Open(400, 50, 120, 80, nullptr, new TrackedOSWindow(&deleted));
  ASSERT_NE(other, nullptr);
  const Win::HWND otherHwnd = other->GetSafeHwnd();
  const RCPtr<LRootWindow> otherRoot = other->GetRootWindow();
  const RCPtr<InputProbe> button = Probe(nullptr, u"button", {0, 0, 120, 80});
  ASSERT_EQ(otherRoot->InstallRootControl(button), QZ_OK);
  Activate(otherHwnd);
  bool aliveInHandler = false;
  button->captureOnPress = true;
  button->onMouseUp = [&](const RCPtr<LMouseButtonParam>&) {
    ASSERT_EQ(otherRoot->GetOSServices()->EndModal(0), QZ_OK); // not modal: the window closes
    aliveInHandler = !deleted;
    EXPECT_FALSE(Win::IsWindow(otherHwnd));
    EXPECT_EQ(otherRoot->GetOSServices(), nullptr) << "the root window is detached at once";
  };
  const uint32_t otherId = script->SdlIdOf(otherHwnd);
  script->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, otherId, SDL_BUTTON_LEFT, 10, 10));
  script->Push(ButtonEvent(SDL_MOUSEBUTTONUP, otherId, SDL_BUTTON_LEFT, 10, 10));
  Pump();
  EXPECT_TRUE(aliveInHandler);
  EXPECT_TRUE(deleted);
  EXPECT_EQ(application.GetRootWindowCount(), 1u);
}

TEST_F(OSWindowTest, TheMainWindowWritesItsPlacementWhenItIsDestroyed) {
  struct Case {
    const char* what;
    uint32_t state; // scripted SDL window state
    uint32_t showCmd;
  };
  const Case cases[] = {{"normal", 0, Win::SW_SHOWNORMAL},
                        {"maximised", SDL_WINDOW_MAXIMIZED, Win::SW_SHOWMAXIMIZED},
                        {"minimised: opens restored", SDL_WINDOW_MINIMIZED, Win::SW_SHOWNORMAL}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    application.profile.clear();
    OSWindow* main = window;
    if (c.state != 0) {
      // A new main window, first in the list.
      main = Open(300, 200, 160, 90, nullptr, nullptr, u"Vandrel_Quorin ZTR Preset Editor");
      ASSERT_NE(main, nullptr);
      application.rootWindows.insert(application.rootWindows.begin(),
                                     application.rootWindows.back()); // the main window comes first
      application.rootWindows.pop_back();
      script->windowStates[script->SdlIdOf(main->GetSafeHwnd())] = c.state;
    }
    const Win::HWND mainHwnd = main->GetSafeHwnd();
    Win::WINDOWPLACEMENT before;
    ASSERT_TRUE(Win::GetWindowPlacement(mainHwnd, &before));
    const RectT<int32_t> client = main->GetRootWindow()->GetClientRect();
    Win::SendMessage(mainHwnd, Win::WM_CLOSE, 0, 0);
    EXPECT_FALSE(Win::IsWindow(mainHwnd));
    ASSERT_EQ(application.profile.size(), 1u);
    const std::string key = Utf8(application.profile.begin()->first);
    EXPECT_EQ(key, Utf8(main == window ? WString(u"QZFrameworkWindow") : WString(u"Vandrel_Quorin ZTR Preset Editor")) +
                       "|WP");
    const Win::WINDOWPLACEMENT written = Placement(application.profile.begin()->second);
    EXPECT_EQ(written.length, 44u);
    EXPECT_EQ(written.showCmd, c.showCmd);
    EXPECT_EQ((RectT<int32_t>{written.rcNormalPosition.left, written.rcNormalPosition.top,
                              written.rcNormalPosition.right - written.rcNormalPosition.left,
                              written.rcNormalPosition.bottom - written.rcNormalPosition.top}),
              client)
        << "the client area in screen coordinates";
    EXPECT_EQ(written.ptMinPosition.x, before.ptMinPosition.x);
    EXPECT_EQ(written.ptMaxPosition.y, before.ptMaxPosition.y);
    if (main == window) {
      window = Open(kLeft, kTop, kWidth, kHeight); // the next case's bystander
      ASSERT_NE(window, nullptr);
    }
  }
}

TEST_F(OSWindowTest, OnlyTheMainWindowWritesAPlacement) {
  OSWindow* other = Open(400, 50, 120, 80);
  ASSERT_NE(other, nullptr);
  Win::SendMessage(other->GetSafeHwnd(), Win::WM_CLOSE, 0, 0);
  EXPECT_TRUE(application.profile.empty());
}

// SDL has no hook while the user drags the frame: the window system gets the top control's
// limits, and each size that arrives is corrected to them.
TEST_F(OSWindowTest, TheClientSizeStaysWithinTheTopControlsLimits) {
  const RCPtr<InputProbe> limited = Probe(nullptr, u"limited", {0, 0, kWidth, kHeight});
  limited->Layout().minimum[0].abs = 150;
  limited->Layout().minimum[1].abs = 80;
  limited->Layout().maximum[0].abs = 400;
  limited->Layout().maximum[1].abs = 300;
  ASSERT_EQ(root->InstallRootControl(limited), QZ_OK);
  SDL_Window* sdlWindow = SDL_GetWindowFromID(id);
  int width = 0;
  int height = 0;
  SDL_GetWindowMinimumSize(sdlWindow, &width, &height);
  EXPECT_EQ((std::vector<int>{width, height}), (std::vector<int>{150, 80}));
  SDL_GetWindowMaximumSize(sdlWindow, &width, &height);
  EXPECT_EQ((std::vector<int>{width, height}), (std::vector<int>{400, 300}));

  struct Case {
    int32_t width;
    int32_t height;
    RectT<int32_t> client;
  };
  const Case cases[] = {
      {100, 50, {kLeft, kTop, 150, 80}}, {500, 120, {kLeft, kTop, 400, 120}}, {320, 240, {kLeft, kTop, 320, 240}}};
  for (const Case& c : cases) {
    // A window manager that ignores the limits: the size arrives as it was dragged.
    script->Push(WindowEvent(id, SDL_WINDOWEVENT_SIZE_CHANGED, c.width, c.height));
    Pump();
    EXPECT_EQ(root->GetClientRect(), c.client) << c.width << " x " << c.height;
    EXPECT_EQ(limited->GetRect(), (c.client.ToDouble().Offset(-kLeft, -kTop))) << c.width << " x " << c.height;
  }
}

TEST_F(OSWindowTest, ASecondInstancesCommandLineIsBoundByItsLengthAndArrivesWhileTheWindowTakesInput) {
  const char buffer[] = "hello, world";
  auto send = [&](uintptr_t kind, uint32_t length) {
    Win::COPYDATASTRUCT data;
    data.dwData = kind;
    data.cbData = length;
    data.lpData = buffer;
    return Win::SendMessage(hwnd, Win::WM_COPYDATA, 0, reinterpret_cast<Win::LPARAM>(&data));
  };
  EXPECT_EQ(send(1125, 5), 1);
  EXPECT_EQ(send(1124, 5), 0);
  EXPECT_EQ(send(1125, sizeof(buffer)), 1) << "the sender's NUL ends the text";
  window->DisableInput();
  EXPECT_EQ(send(1125, 5), 0);
  window->EnableInput();
  ASSERT_EQ(application.commandLines.size(), 2u);
  EXPECT_EQ(Utf8(application.commandLines[0]), "hello");
  EXPECT_EQ(Utf8(application.commandLines[1]), "hello, world");
}

TEST_F(OSWindowTest, DroppedFilesReachTheControlUnderThePointerWhenItTakesThem) {
  const RCPtr<InputProbe> dropper = Probe(top, u"dropper", {10, 10, 80, 40});
  dropper->acceptsDrops = true;
  const std::string longPath = "/tmp/" + std::string(300, 'x') + "/preset.qzp";
  auto drop = [&](int32_t x, int32_t y) {
    script->mouseX = kLeft + x;
    script->mouseY = kTop + y;
    script->Push(DropFileEvent(id, "/home/user/One preset.qzp"));
    script->Push(DropFileEvent(id, longPath));
    script->Push(OfType(SDL_DROPCOMPLETE, id));
    Pump();
  };
  drop(30, 20);
  EXPECT_EQ(events, Lines{"dropper drop 2"});
  ASSERT_EQ(dropper->dropped.size(), 2u);
  EXPECT_EQ(Utf8(dropper->dropped[0]), "/home/user/One preset.qzp");
  EXPECT_EQ(Utf8(dropper->dropped[1]), longPath) << "whole paths";

  events.clear();
  drop(150, 80); // the top control does not take files
  drop(250, 80); // outside the window: no control at all
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(dropper->dropped.size(), 2u);
}

// Another program's copy reaches the application's clipboard through the window's
// clipboard updates, so that a paste reads the clipboard again.
TEST_F(OSWindowTest, ClipboardUpdatesTellTheApplicationsClipboardItLostTheClipboard) {
  ScopedFakeClipboard system;
  const RCPtr<LClipboard> clipboard(new LClipboard);
  application.clipboard = clipboard;
  ASSERT_EQ(clipboard->SetText(MakeStringableWrapper(u"ours")), QZ_OK);
  system->text = "theirs";
  EXPECT_EQ(std::u16string(clipboard->GetText()->View()), u"ours") << "no update yet";
  script->Push(OfType(SDL_CLIPBOARDUPDATE));
  Pump();
  EXPECT_EQ(std::u16string(clipboard->GetText()->View()), u"theirs");
  application.clipboard = nullptr;
  script->Push(OfType(SDL_CLIPBOARDUPDATE)); // without a clipboard nobody listens
  Pump();
}

// The loop ends on the idle pass after the click that ends it, and its caller gets the result.
TEST_F(OSWindowTest, EndModalInAClickHandlerEndsTheLoopOnTheNextIdlePass) {
  bool deleted = false;
  OSWindow* dialog = Open(150, 80, 120, 60, hwnd, new TrackedOSWindow(&deleted));
  ASSERT_NE(dialog, nullptr);
  const Win::HWND dialogHwnd = dialog->GetSafeHwnd();
  const RCPtr<LRootWindow> dialogRoot = dialog->GetRootWindow();
  const RCPtr<InputProbe> ok = Probe(nullptr, u"ok", {0, 0, 120, 60});
  ASSERT_EQ(dialogRoot->InstallRootControl(ok), QZ_OK);
  ok->captureOnPress = true;
  size_t idlePassesAtClick = 0;
  bool ownerEnabledInLoop = true;
  bool modalAfterEndModal = false;
  ok->onMouseUp = [&](const RCPtr<LMouseButtonParam>&) {
    EXPECT_EQ(dialogRoot->EndModal(7), QZ_OK);
    modalAfterEndModal = dialogRoot->GetOSServices()->IsModal();
    idlePassesAtClick = application.idlePasses.size();
    ownerEnabledInLoop = Win::IsWindowEnabled(hwnd);
  };
  const uint32_t dialogId = script->SdlIdOf(dialogHwnd);
  script->Push(WindowEvent(dialogId, SDL_WINDOWEVENT_FOCUS_GAINED));
  script->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, dialogId, SDL_BUTTON_LEFT, 10, 10));
  script->Push(ButtonEvent(SDL_MOUSEBUTTONUP, dialogId, SDL_BUTTON_LEFT, 10, 10));
  const int32_t result = dialogRoot->GetOSServices()->RunModalLoop();
  EXPECT_EQ(result, 7);
  EXPECT_TRUE(modalAfterEndModal) << "not ended inside the handler";
  EXPECT_EQ(application.idlePasses.size(), idlePassesAtClick + 1) << "ended by the next idle pass";
  EXPECT_FALSE(ownerEnabledInLoop);
  EXPECT_TRUE(Win::IsWindowEnabled(hwnd));
  EXPECT_FALSE(Win::IsWindow(dialogHwnd));
  EXPECT_TRUE(deleted);
  EXPECT_EQ(application.GetRootWindowCount(), 1u);
  EXPECT_EQ(events, (Lines{"ok enter", "ok down 1 (10,10)", "ok up 1 (10,10)"}));
}

// The owner takes the user's next click as soon as the dialog is gone, before the window
// system gives it the focus (without a window manager it never does), whichever of the
// windows the window system said last was active: the dialog, none (a message box over the
// dialog had the focus), or the owner (the dialog's focus not read yet).
TEST_F(OSWindowTest, TheOwnerTakesTheNextClickOnceTheModalLoopHasEnded) {
  enum class LastActive { kDialog, kNone, kOwner };
  for (const LastActive last : {LastActive::kDialog, LastActive::kNone, LastActive::kOwner}) {
    SCOPED_TRACE(int(last));
    OSWindow* dialog = Open(150, 80, 120, 60, hwnd);
    ASSERT_NE(dialog, nullptr);
    const RCPtr<LRootWindow> dialogRoot = dialog->GetRootWindow();
    const RCPtr<InputProbe> ok = Probe(nullptr, u"ok", {0, 0, 120, 60});
    ASSERT_EQ(dialogRoot->InstallRootControl(ok), QZ_OK);
    ok->captureOnPress = true;
    const uint32_t dialogId = script->SdlIdOf(dialog->GetSafeHwnd());
    ok->onMouseUp = [&](const RCPtr<LMouseButtonParam>&) {
      if (last != LastActive::kDialog) {
        script->Push(WindowEvent(dialogId, SDL_WINDOWEVENT_FOCUS_LOST));
      }
      if (last == LastActive::kOwner) {
        script->Push(WindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED));
      }
      Pump();
      EXPECT_EQ(dialogRoot->EndModal(1), QZ_OK);
    };
    script->Push(WindowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST));
    script->Push(WindowEvent(dialogId, SDL_WINDOWEVENT_FOCUS_GAINED));
    script->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, dialogId, SDL_BUTTON_LEFT, 10, 10));
    script->Push(ButtonEvent(SDL_MOUSEBUTTONUP, dialogId, SDL_BUTTON_LEFT, 10, 10));
    script->focusRequests.clear();
    EXPECT_EQ(dialogRoot->GetOSServices()->RunModalLoop(), 1);
    EXPECT_EQ(Win::GetActiveWindow(), hwnd);
    EXPECT_EQ(script->focusRequests, std::vector<uint32_t>{id}) << "the window system is asked for the focus";
    events.clear();
    script->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 20, 20));
    Pump();
    EXPECT_EQ(events, (Lines{"top enter", "top down 1 (20,20)"}));
    script->Push(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, 20, 20));
    Pump();
  }
}

TEST_F(OSWindowTest, AQuitEndsTheModalLoopAndIsLeftForTheLoopsOutside) {
  OSWindow* dialog = Open(150, 80, 120, 60, hwnd);
  ASSERT_NE(dialog, nullptr);
  const Win::HWND dialogHwnd = dialog->GetSafeHwnd();
  Host::PostQuitMessage(3);
  EXPECT_EQ(dialog->GetOSServices().RunModalLoop(), -1);
  EXPECT_FALSE(Win::IsWindow(dialogHwnd));
  Win::MSG msg;
  ASSERT_TRUE(Host::PeekMessage(&msg, Win::PM_REMOVE));
  EXPECT_EQ(msg.message, Win::WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
}

} // namespace
} // namespace QZ
