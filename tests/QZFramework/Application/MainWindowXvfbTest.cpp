// Under the X server of the Xvfb fixture (a 1280 x 1024 screen without panels): the main window
// keeps its place from one run of the program to the next, and a place off the screen or
// larger than it is held on the screen.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ApplicationTestSupport.h"
#include "Platform/Window/Display.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"

// D-Bus (reached through SDL's X11 driver) keeps an allocation until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace QZTest {
namespace {

constexpr char kSkin[] = R"(XPositionAbs="30" YPositionAbs="40" XSizeAbs="400" YSizeAbs="300")";

class MainWindowXvfbTest : public ::testing::Test {
protected:
  static constexpr uintptr_t kGiveUpTimer = 99;

  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    environment.Set("HOME", folder / "home");
    environment.Set("XDG_CONFIG_HOME", folder / "config");
    environment.Set("XDG_DATA_HOME", folder / "data");
  }
  void TearDown() override { EndRun(); }

  // One run of the program: a host on the X server whose profile is read from its file,
  // and the application object.
  void StartRun() {
    host = std::make_unique<TestApplicationHost>(QZ::MFCFrameworkAppBase::Services{});
    ASSERT_TRUE(host->WinInit("quorin-ztr-preset-editor", Win::SW_SHOWNORMAL));
    host->SetRegistryKey(QZ::WString(u"Vandrel"));
    app = QZ::RCPtr<TestApplication>(
        new TestApplication(MakeFactory(SkinOf(MainControl(kSkin))), nullptr, QZ::WString(u"editor")));
  }
  void EndRun() {
    if (app) {
      (void)app->RunApplicationShutdown(); // 0
      app = nullptr;
    }
    if (host) {
      host->WinTerm();
      host.reset();
    }
  }
  // The main window, shown.
  Win::HWND OpenMainWindow() {
    EXPECT_EQ(app->CreateMainWindow(QZ::kRendererGDI), QZ::QZ_OK);
    const Win::HWND hwnd = host->GetMainWindow();
    if (hwnd) {
      (void)Win::ShowWindow(hwnd, Win::SW_SHOW); // it was hidden
    }
    return hwnd;
  }

  // Takes and dispatches messages until the window's rectangle is expected; false after
  // 10 s.
  bool PumpUntilAt(Win::HWND hwnd, const QZ::RectT<int32_t>& expected) {
    auto there = [&] {
      Win::RECT rect{};
      return Win::GetWindowRect(hwnd, &rect) && rect.left == expected.x && rect.top == expected.y &&
             rect.right - rect.left == expected.width && rect.bottom - rect.top == expected.height;
    };
    (void)Host::SetTimer(nullptr, kGiveUpTimer, 10000); // the id
    Win::MSG msg;
    bool reached = there();
    while (!reached && Host::GetMessage(&msg) > 0) {
      if (msg.message == Win::WM_TIMER && msg.wParam == kGiveUpTimer) {
        break;
      }
      (void)Host::TranslateMessage(&msg); // true for keys
      (void)Host::DispatchMessage(&msg);  // the procedure's answer
      reached = there();
    }
    (void)Host::KillTimer(nullptr, kGiveUpTimer); // whether it ran
    return reached;
  }
  std::string Place(Win::HWND hwnd) {
    Win::RECT rect{};
    (void)Win::GetWindowRect(hwnd, &rect); // false leaves it empty
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
           "x" + std::to_string(rect.bottom - rect.top);
  }
  // Stores the placement record of a window last seen at client rectangle rect.
  void StorePlace(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const uint32_t words[] = {44,
                              0,
                              Win::SW_SHOWNORMAL,
                              0xFFFFFFFFu,
                              0xFFFFFFFFu,
                              0xFFFFFFFFu,
                              0xFFFFFFFFu,
                              uint32_t(left),
                              uint32_t(top),
                              uint32_t(right),
                              uint32_t(bottom)};
    std::vector<uint8_t> bytes;
    for (uint32_t word : words) {
      for (int b = 0; b < 4; ++b) {
        bytes.push_back(uint8_t(word >> (8 * b)));
      }
    }
    ASSERT_TRUE(host->WriteProfileBinary(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"WP"), bytes));
  }

  TempFolder folder;
  ScopedEnvironment environment;
  std::unique_ptr<TestApplicationHost> host;
  QZ::RCPtr<TestApplication> app;
};

TEST_F(MainWindowXvfbTest, TheMainWindowReopensWhereItWasClosed) {
  StartRun();
  Win::RECT area{};
  ASSERT_TRUE(Win::GetWorkArea(&area));
  ASSERT_GE(area.right - area.left, 1000) << "the fixture's screen holds an 800 x 600 window at (100, 120)";
  Win::HWND hwnd = OpenMainWindow();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(PumpUntilAt(hwnd, {30, 40, 400, 300})) << "the skin's place; it is at " << Place(hwnd);
  ASSERT_TRUE(Win::MoveWindow(hwnd, 100, 120, 800, 600, true));
  ASSERT_TRUE(PumpUntilAt(hwnd, {100, 120, 800, 600})) << "moved by the user; it is at " << Place(hwnd);
  (void)Win::SendMessage(hwnd, Win::WM_CLOSE, 0, 0); // 0
  EXPECT_FALSE(Win::IsWindow(hwnd));
  EndRun();

  StartRun();
  hwnd = OpenMainWindow();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(PumpUntilAt(hwnd, {100, 120, 800, 600})) << "it is at " << Place(hwnd);
}

TEST_F(MainWindowXvfbTest, APlaceOffTheScreenOrLargerThanItIsHeldOnTheScreen) {
  struct PlaceCase {
    const char* name;
    Win::RECT stored;
    QZ::RectT<int32_t> expected;
  };
  const PlaceCase cases[] = {
      {"above and left of the screen", {-500, -500, -200, -300}, {0, 0, 300, 200}},
      {"larger than the screen", {0, 0, 5000, 5000}, {0, 0, 1280, 1024}},
  };
  for (const PlaceCase& entry : cases) {
    SCOPED_TRACE(entry.name);
    StartRun();
    StorePlace(entry.stored.left, entry.stored.top, entry.stored.right, entry.stored.bottom);
    const Win::HWND hwnd = OpenMainWindow();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(PumpUntilAt(hwnd, entry.expected)) << "it is at " << Place(hwnd);
    EndRun();
  }
}

} // namespace
} // namespace QZTest
