// The application base's windows: the main window's style from its skin entry, its title,
// icon and remembered place held on the work area, and the windows made for controls.

#include <gmock/gmock.h>

#include <array>

#include "ApplicationTestSupport.h"
#include "QZFramework/Application/WindowLayout.h"
#include "Support/PlacementRecord.h"

namespace QZTest {
namespace {

using QZ::RCPtr;

constexpr uint32_t kStyleBits = 0x00FF0000u; // caption, system menu, border and boxes

class ApplicationWindowsTest : public ApplicationFixture {
protected:
  // The main window of skin, made as the host makes it.
  Win::HWND OpenMainWindow(const std::string& skin) {
    MakeApplication(skin);
    EXPECT_EQ(app->CreateMainWindow(app->GetRendererType()), QZ::QZ_OK);
    return host->GetMainWindow();
  }
  QZ::RectT<int32_t> WindowRect(Win::HWND hwnd) {
    Win::RECT rect{};
    EXPECT_TRUE(Win::GetWindowRect(hwnd, &rect));
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }
  bool Resizable(Win::HWND hwnd) {
    return (backend->GetWindowFlags(backend->SdlIdOf(hwnd)) & SDL_WINDOW_RESIZABLE) != 0;
  }
};

TEST_F(ApplicationWindowsTest, TheMainWindowsStyleFollowsItsSizeLimits) {
  struct StyleCase {
    const char* name;
    const char* limits;
    uint32_t style;
    bool resizable;
  };
  const StyleCase cases[] = {
      {"no limits", "", 0x00CF0000, true},
      {"equal non-zero minimum and maximum",
       R"(XMinSizeAbs="400" YMinSizeAbs="300" XMaxSizeAbs="400" YMaxSizeAbs="300")", 0x00CA0000, false},
      {"a minimum only", R"(XMinSizeAbs="400" YMinSizeAbs="300")", 0x00CF0000, true},
      {"a maximum only", R"(XMaxSizeAbs="800" YMaxSizeAbs="600")", 0x00CE0000, true},
      {"different minimum and maximum", R"(XMinSizeAbs="400" YMinSizeAbs="300" XMaxSizeAbs="800" YMaxSizeAbs="600")",
       0x00CE0000, true},
      {"every limit set", R"(XMinSizeToControl="Children" YMinSizeToControl="Children" XMaxSizeToControl="Children"
         YMaxSizeToControl="Children")",
       0x00CA0000, false},
  };
  for (const StyleCase& entry : cases) {
    SCOPED_TRACE(entry.name);
    const Win::HWND hwnd =
        OpenMainWindow(SkinOf(MainControl(std::string(R"(XSizeAbs="500" YSizeAbs="400" )") + entry.limits)));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Win::GetWindowStyle(hwnd) & kStyleBits, entry.style);
    EXPECT_EQ(Resizable(hwnd), entry.resizable);
    const RCPtr<QZ::LControlDescriptor> descriptor =
        app->GetControlFactory()->FindControlDescriptor(QZ::WString(u"mainControl"));
    EXPECT_EQ(QZ::MainWindowStyle(descriptor->GetLayout().Get()), entry.style);
    Win::DestroyWindow(hwnd);
    DropApplication();
  }
}

TEST_F(ApplicationWindowsTest, TheMainWindowIsTitledWithTheCompanyCarriesTheIconAndBecomesTheHostsMainWindow) {
  const Win::HWND hwnd = OpenMainWindow(SkinOf(MainControl(R"(XPositionAbs="40" YPositionAbs="60" XSizeAbs="500"
      YSizeAbs="400")")));
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(Win::GetWindowText(hwnd), u"Vandrel");
  EXPECT_EQ(WindowRect(hwnd).x, 40);
  EXPECT_EQ(WindowRect(hwnd).y, 60);
  EXPECT_EQ(WindowRect(hwnd).width, 500);
  EXPECT_EQ(WindowRect(hwnd).height, 400);
  ASSERT_EQ(backend->iconSizes.count(backend->SdlIdOf(hwnd)), 1u);
  EXPECT_EQ(backend->iconSizes[backend->SdlIdOf(hwnd)].x, 64);
  ASSERT_EQ(app->GetRootWindowCount(), 1u);
  EXPECT_NE(app->GetRootWindows()[0]->GetRenderer(), nullptr);
  ASSERT_EQ(app->SetMainRootControl(QZ::WString(u"mainControl")), QZ::QZ_OK);
  EXPECT_EQ(app->GetRootWindows()[0]->GetRootControl()->GetName(), QZ::WString(u"mainControl"));
}

TEST_F(ApplicationWindowsTest, WithoutTheMainControlNoWindowIsMadeAndTheTextSaysWhy) {
  MakeApplication(SkinOf(R"(<SubControl Class="Test.Panel" Name="otherControl" XSizeAbs="300" YSizeAbs="200"/>)"));
  try {
    (void)app->CreateMainWindow(QZ::kRendererGDI);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "Runtime Error : Null Pointer : Invalid Control Name : "
                                 "QZ::LApplicationBase<class QZTest::TestApplication>::CreateMainWindow : "
                                 "Application/ApplicationBaseWin : Line 1272");
  }
  EXPECT_EQ(host->GetMainWindow(), nullptr);
  EXPECT_EQ(app->GetRootWindowCount(), 0u);
  EXPECT_EQ(app->SetMainRootControl(QZ::WString(u"mainControl")), QZ::QZ_E_FAIL);
}

TEST_F(ApplicationWindowsTest, TheRememberedPlaceIsHeldOnTheWorkArea) {
  struct PlaceCase {
    const char* name;
    std::vector<uint8_t> record; // none: the skin's place
    QZ::RectT<int32_t> expected;
  };
  // The work area: (0, 32) to (1920, 1080).
  const PlaceCase cases[] = {
      {"none stored", {}, {40, 60, 500, 400}},
      {"stored inside", PlacementRecord(100, 120, 900, 720), {100, 120, 800, 600}},
      {"above and left of the screen", PlacementRecord(-500, -500, -200, -300), {0, 32, 300, 200}},
      {"beyond the right and bottom", PlacementRecord(1800, 1000, 2100, 1200), {1620, 880, 300, 200}},
      {"larger than the screen", PlacementRecord(-10, 0, 4990, 5000), {0, 32, 1920, 1048}},
      {"a damaged record", {1, 2, 3}, {40, 60, 500, 400}},
  };
  for (const PlaceCase& entry : cases) {
    SCOPED_TRACE(entry.name);
    if (!entry.record.empty()) {
      ASSERT_TRUE(host->WriteProfileBinary(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"WP"), entry.record));
    }
    const Win::HWND hwnd = OpenMainWindow(SkinOf(MainControl(R"(XPositionAbs="40" YPositionAbs="60" XSizeAbs="500"
        YSizeAbs="400")")));
    ASSERT_NE(hwnd, nullptr);
    const QZ::RectT<int32_t> placed = WindowRect(hwnd);
    EXPECT_EQ(placed.x, entry.expected.x);
    EXPECT_EQ(placed.y, entry.expected.y);
    EXPECT_EQ(placed.width, entry.expected.width);
    EXPECT_EQ(placed.height, entry.expected.height);
    // Written when it closes, ready for the next start.
    ASSERT_TRUE(Win::DestroyWindow(hwnd));
    const auto stored = host->GetProfileBinary(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"WP"));
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, PlacementRecord(placed.x, placed.y, placed.x + placed.width, placed.y + placed.height));
    DropApplication();
  }
}

TEST_F(ApplicationWindowsTest, PlacementsAreHeldOnTheWorkArea) {
  const QZ::RectT<int32_t> area{0, 32, 1920, 1048};
  struct FitCase {
    QZ::RectT<int32_t> window;
    QZ::RectT<int32_t> moved;  // MoveInsideArea
    QZ::RectT<int32_t> fitted; // FitInsideArea
  };
  const FitCase cases[] = {
      {{100, 100, 300, 200}, {100, 100, 300, 200}, {100, 100, 300, 200}},
      {{-50, 0, 300, 200}, {0, 32, 300, 200}, {0, 32, 300, 200}},
      {{1800, 1000, 300, 200}, {1620, 880, 300, 200}, {1620, 880, 300, 200}},
      {{100, 100, 3000, 2000}, {0, 32, 3000, 2000}, {0, 32, 1920, 1048}},
      {{2147483000, 2147483000, 1000, 1000}, {1920 - 1000, 1080 - 1000, 1000, 1000}, {920, 80, 1000, 1000}},
  };
  for (const FitCase& entry : cases) {
    const QZ::RectT<int32_t> moved = QZ::MoveInsideArea(entry.window, area);
    const QZ::RectT<int32_t> fitted = QZ::FitInsideArea(entry.window, area);
    EXPECT_EQ(std::vector<int32_t>({moved.x, moved.y, moved.width, moved.height}),
              std::vector<int32_t>({entry.moved.x, entry.moved.y, entry.moved.width, entry.moved.height}));
    EXPECT_EQ(std::vector<int32_t>({fitted.x, fitted.y, fitted.width, fitted.height}),
              std::vector<int32_t>({entry.fitted.x, entry.fitted.y, entry.fitted.width, entry.fitted.height}));
  }
  EXPECT_EQ(QZ::RootWindowStyle(false, false, false, false), 0x80C00000u);
  EXPECT_EQ(QZ::RootWindowStyle(false, true, false, false), 0x80C80000u);
  EXPECT_EQ(QZ::RootWindowStyle(false, false, false, true), 0x80C90000u);
  EXPECT_EQ(QZ::RootWindowStyle(true, true, true, true), 0x80CF0000u);
  EXPECT_EQ(QZ::RootWindowStyle(false, false, true, false), 0x80CA0000u);
}

class ControlWindowTest : public ApplicationWindowsTest {
protected:
  void SetUp() override {
    ApplicationWindowsTest::SetUp();
    main = OpenMainWindow(SkinOf(MainControl(R"(XPositionAbs="100" YPositionAbs="150" XSizeAbs="500" YSizeAbs="400")") +
                                 R"(<SubControl Class="Test.Panel" Name="sizable" XSizeAbs="300" YSizeAbs="200"/>)"));
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    ASSERT_EQ(app->SetMainRootControl(QZ::WString(u"mainControl")), QZ::QZ_OK);
    Activate(main);
    ASSERT_NE(app->FindActiveRootWindow(), nullptr);
    dialog = RCPtr<TestPanel>(new TestPanel(nullptr, QZ::WString(u"sendDialog")));
    dialog->Place(10, 20, 200, 100, QZ::WString(u"Send"));
    idle = RCPtr<Listener>(new Listener);
    idle->RegisterNotification(RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_IDLE");
  }
  void TearDown() override {
    idle->UnregisterAllNotifications();
    idle = nullptr;
    dialog = nullptr;
    ApplicationWindowsTest::TearDown();
  }

  Win::HWND main = nullptr;
  RCPtr<TestPanel> dialog;
  RCPtr<Listener> idle;
};

TEST_F(ControlWindowTest, AModalWindowForAControlAnswersItsLoopsResult) {
  QZ::RectT<int32_t> seen;
  Win::HWND owner = nullptr;
  QZ::WString title;
  RCPtr<QZ::LControl> top;
  idle->onReceive = [&](const RCPtr<QZ::LNotification>&) {
    if (app->GetRootWindowCount() != 2 || top) {
      return;
    }
    const RCPtr<QZ::LRootWindow> window = app->GetRootWindows()[1];
    const auto hwnd = static_cast<Win::HWND>(window->GetOSServices()->GetHandle());
    seen = WindowRect(hwnd);
    owner = Win::GetParent(hwnd);
    title = QZ::WString(Win::GetWindowText(hwnd).c_str());
    top = window->GetRootControl();
    window->EndModal(7);
  };
  EXPECT_EQ(app->CreateRootWindowForControl(dialog, true), 7);
  EXPECT_EQ(owner, main);
  EXPECT_EQ(title, QZ::WString(u"Send"));
  EXPECT_EQ(top, RCPtr<QZ::LControl>(dialog));
  // Where the control lies in the main window's client area.
  EXPECT_EQ(seen.x, 110);
  EXPECT_EQ(seen.y, 170);
  EXPECT_EQ(seen.width, 200);
  EXPECT_EQ(seen.height, 100);
  EXPECT_EQ(app->GetRootWindowCount(), 1u) << "the window is gone with its loop";
  EXPECT_FALSE(app->IsExiting());
}

TEST_F(ControlWindowTest, AnExitRequestEndsAModalWindowWithZero) {
  bool posted = false;
  idle->onReceive = [&](const RCPtr<QZ::LNotification>&) {
    if (app->GetRootWindowCount() == 2 && !posted) {
      posted = true;
      (void)centre()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ")); // 0
    }
  };
  EXPECT_EQ(app->CreateRootWindowForControl(dialog, true), 0);
  EXPECT_TRUE(posted);
  EXPECT_TRUE(app->IsExiting());
  EXPECT_EQ(app->GetRootWindowCount(), 1u);
  // The main window closes and the loop ends once the host's loop takes them.
  Win::MSG msg;
  ASSERT_TRUE(Host::PeekMessage(&msg, Win::PM_REMOVE));
  EXPECT_EQ(msg.message, Win::WM_CLOSE);
  EXPECT_EQ(msg.hwnd, main);
}

TEST_F(ControlWindowTest, ATopLevelWindowForAControlIsListedSizedByItsSkinEntryAndHasNoOwner) {
  const RCPtr<QZ::LControl> sizable = app->CreateControl(QZ::WString(u"sizable"));
  ASSERT_NE(sizable, nullptr);
  EXPECT_EQ(app->CreateRootWindowAt(sizable, true, true, true), 1);
  ASSERT_EQ(app->GetRootWindowCount(), 2u);
  const RCPtr<QZ::LRootWindow> window = app->GetRootWindows()[1];
  const auto hwnd = static_cast<Win::HWND>(window->GetOSServices()->GetHandle());
  EXPECT_EQ(Win::GetParent(hwnd), nullptr);
  EXPECT_EQ(Win::GetWindowStyle(hwnd) & 0xFFFF0000u, 0x80CF0000u | Win::WS_CLIPSIBLINGS | Win::WS_CLIPCHILDREN);
  EXPECT_TRUE(Resizable(hwnd));
  EXPECT_EQ(window->GetRootControl(), sizable);
  EXPECT_EQ(window->GetRenderer(), app->GetRootWindows()[0]->GetRenderer()) << "shared with the active window";
}

TEST_F(ControlWindowTest, WindowsOfControlsTheSkinDoesNotDescribeFailWithTheirTexts) {
  struct TextCase {
    const char* name;
    std::function<void()> call;
    const char* text;
  };
  const std::string method = "QZ::LApplicationBase<class QZTest::TestApplication>::CreateRootWindow";
  const TextCase cases[] = {
      {"a control made in code, as a top-level window", [&] { app->CreateRootWindowAt(dialog, true, false, false); },
       "Control descriptor is null : 981"},
      {"a name the skin lacks, with a control",
       [&] {
         app->CreateRootWindow(app->CreateControl(QZ::WString(u"sizable")), false, true, false, false, true,
                               QZ::WString(u"missing"));
       },
       "Invalid Control Name : 1039"},
      {"a name the skin lacks, without a control",
       [&] { app->CreateRootWindow(nullptr, false, true, false, false, true, QZ::WString(u"missing")); },
       "Control descriptor is null : 981"},
  };
  for (const TextCase& entry : cases) {
    SCOPED_TRACE(entry.name);
    const std::string what(entry.text);
    const std::string reason = what.substr(0, what.find(" : "));
    const std::string line = what.substr(what.find(" : ") + 3);
    try {
      entry.call();
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& failure) {
      EXPECT_EQ(std::string(failure.what()), "Runtime Error : Null Pointer : " + reason + " : " + method +
                                                 " : Application/ApplicationBaseWin : Line " + line);
    }
    EXPECT_EQ(app->GetRootWindowCount(), 1u);
  }
  // A named window of the skin becomes the main window, shown, with that control.
  EXPECT_EQ(app->CreateRootWindow(nullptr, true, true, true, true, true, QZ::WString(u"sizable")), 1);
  const Win::HWND named = host->GetMainWindow();
  ASSERT_NE(named, main);
  EXPECT_TRUE(Win::IsWindowVisible(named));
  EXPECT_EQ(app->GetRootWindows()[1]->GetRootControl()->GetName(), QZ::WString(u"sizable"));
}

} // namespace
} // namespace QZTest
