// Under the X server of the Xvfb fixture (a 1280 x 1024 screen without panels): the main window
// keeps its place from one run of the program to the next, and a place off the screen or
// larger than it is held on the screen; the same under a window manager that frames the
// window (openbox), which also learns that a window of fixed size cannot be resized or
// maximised.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ApplicationTestSupport.h"
#include "Platform/Window/Display.h"
#include "Support/PlacementRecord.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"

#include "Support/OpenboxSession.h"
#include "Support/XvfbWindowProperty.h"

// D-Bus (reached through SDL's X11 driver) keeps an allocation until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace QZTest {
namespace {

constexpr char kSkin[] = R"(XPositionAbs="30" YPositionAbs="40" XSizeAbs="400" YSizeAbs="300")";

class MainWindowXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    environment.Set("HOME", folder / "home");
    environment.Set("XDG_CONFIG_HOME", folder / "config");
    environment.Set("XDG_DATA_HOME", folder / "data");
  }
  void TearDown() override { EndRun(); }

  // One run of the program: a host on the X server whose profile is read from its file,
  // and the application object over a skin whose main control has the attributes given.
  void StartRun(const char* skin = kSkin) {
    host = std::make_unique<TestApplicationHost>(QZ::MFCFrameworkAppBase::Services{});
    ASSERT_TRUE(host->WinInit("quorin-ztr-preset-editor", Win::SW_SHOWNORMAL));
    host->SetRegistryKey(QZ::WString(u"Vandrel"));
    app = QZ::RCPtr<TestApplication>(
        new TestApplication(MakeFactory(SkinOf(MainControl(skin))), nullptr, QZ::WString(u"editor")));
  }
  void EndRun() {
    if (app) {
      app->RunApplicationShutdown();
      app = nullptr;
    }
    if (host) {
      host->WinTerm();
      host.reset();
    }
  }
  // The main window with its top control, shown, as the program's run makes it.
  Win::HWND OpenMainWindow() {
    EXPECT_EQ(app->CreateMainWindow(QZ::kRendererGDI), QZ::QZ_OK);
    EXPECT_EQ(app->SetMainRootControl(app->GetMainControlName()), QZ::QZ_OK);
    const Win::HWND hwnd = host->GetMainWindow();
    if (hwnd) {
      Win::ShowWindow(hwnd, Win::SW_SHOW);
    }
    return hwnd;
  }

  // Takes and dispatches messages until the window's rectangle is expected; false after
  // 10 s.
  bool PumpUntilAt(Win::HWND hwnd, const QZ::RectT<int32_t>& expected) {
    return PumpUntil([&] {
      Win::RECT rect{};
      return Win::GetWindowRect(hwnd, &rect) && rect.left == expected.x && rect.top == expected.y &&
             rect.right - rect.left == expected.width && rect.bottom - rect.top == expected.height;
    });
  }
  // Pumps the window layer until there holds; false after 10 s.
  bool PumpUntil(const std::function<bool()>& there) { return QZTest::PumpUntil(there); }
  std::string Place(Win::HWND hwnd) {
    Win::RECT rect{};
    Win::GetWindowRect(hwnd, &rect);
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
           "x" + std::to_string(rect.bottom - rect.top);
  }
  // Stores bytes as the placement entry.
  void StoreEntry(const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(host->WriteProfileBinary(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"WP"), bytes));
  }
  // Stores the placement record of a window last seen at client rectangle rect.
  void StorePlace(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    StoreEntry(PlacementRecord(left, top, right, bottom));
  }
  // Closes the window as its close box would and ends the run.
  void CloseAndEndRun(Win::HWND hwnd) {
    Win::SendMessage(hwnd, Win::WM_CLOSE, 0, 0);
    EXPECT_FALSE(Win::IsWindow(hwnd));
    EndRun();
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
  CloseAndEndRun(hwnd);

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

// Under a window manager that frames the windows (openbox), as on a desktop.
class MainWindowOpenboxXvfbTest : public MainWindowXvfbTest {
protected:
  // A main control of fixed size, as the program's skins have theirs.
  static constexpr char kFixedSkin[] = R"(XPositionAbs="30" YPositionAbs="40" XSizeAbs="400" YSizeAbs="300")"
                                       R"( XMinSizeAbs="400" YMinSizeAbs="300" XMaxSizeAbs="400" YMaxSizeAbs="300")";

  void SetUp() override {
    MainWindowXvfbTest::SetUp();
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    manager = std::make_unique<OpenboxSession>(display);
    ASSERT_TRUE(manager->Running()) << "openbox did not start";
  }
  void TearDown() override {
    EndRun();
    manager.reset();
    if (display) {
      XCloseDisplay(display);
    }
  }

  // Where the X server shows a window: its client area and its frame, in screen coordinates.
  struct Seen {
    QZ::RectT<int32_t> client;
    QZ::RectT<int32_t> frame;
  };
  ::Window XWindowOf(Win::HWND hwnd) const {
    Display* owner = nullptr;
    ::Window window = 0;
    return FindXWindow(hwnd, owner, window) ? window : 0;
  }
  // The 32-bit items of a window's property; empty without it.
  std::vector<long> Property(::Window window, const char* name) const {
    return XLongProperty(display, window, XInternAtom(display, name, False));
  }
  // False until the window is on the screen in its frame.
  bool Look(Win::HWND hwnd, Seen& seen) const {
    const ::Window window = XWindowOf(hwnd);
    XWindowAttributes attributes{};
    int x = 0;
    int y = 0;
    ::Window child = 0;
    const std::vector<long> extents = window ? Property(window, "_NET_FRAME_EXTENTS") : std::vector<long>();
    if (extents.size() != 4 || !XGetWindowAttributes(display, window, &attributes) ||
        attributes.map_state != IsViewable ||
        !XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child)) {
      return false;
    }
    seen.client = {x, y, attributes.width, attributes.height};
    seen.frame = {x - int32_t(extents[0]), y - int32_t(extents[2]), attributes.width + int32_t(extents[0] + extents[1]),
                  attributes.height + int32_t(extents[2] + extents[3])};
    return true;
  }
  // Whether the frame lies on the screen.
  bool Whole(const Seen& seen) const {
    const QZ::RectT<int32_t>& frame = seen.frame;
    return frame.x >= 0 && frame.y >= 0 && frame.x + frame.width <= DisplayWidth(display, DefaultScreen(display)) &&
           frame.y + frame.height <= DisplayHeight(display, DefaultScreen(display));
  }
  static std::string Text(const Seen& seen) {
    auto rect = [](const QZ::RectT<int32_t>& r) {
      return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
             std::to_string(r.height);
    };
    return "client " + rect(seen.client) + ", frame " + rect(seen.frame);
  }
  // The client rectangle of the stored placement entry; empty when it is not a whole record.
  QZ::RectT<int32_t> StoredPlace() const {
    const auto bytes = host->GetProfileBinary(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"WP"));
    if (!bytes || bytes->size() != 44) {
      return {};
    }
    auto word = [&](size_t i) {
      return int32_t(uint32_t((*bytes)[i * 4]) | uint32_t((*bytes)[i * 4 + 1]) << 8 |
                     uint32_t((*bytes)[i * 4 + 2]) << 16 | uint32_t((*bytes)[i * 4 + 3]) << 24);
    };
    return {word(7), word(8), word(9) - word(7), word(10) - word(8)};
  }

  Display* display = nullptr;
  std::unique_ptr<OpenboxSession> manager;
};

TEST_F(MainWindowOpenboxXvfbTest, TheWindowComesBackToTheSamePlaceRunAfterRun) {
  StartRun(kFixedSkin);
  Win::HWND hwnd = OpenMainWindow();
  ASSERT_NE(hwnd, nullptr);
  Seen seen;
  // The skin's place is the client area's.
  ASSERT_TRUE(PumpUntil([&] {
    return Look(hwnd, seen) && seen.client == QZ::RectT<int32_t>{30, 40, 400, 300};
  })) << Text(seen);
  ASSERT_TRUE(Win::MoveWindow(hwnd, 200, 150, seen.frame.width, seen.frame.height, true));
  Seen moved;
  ASSERT_TRUE(PumpUntil([&] { return Look(hwnd, moved) && moved.frame.x == 200 && moved.frame.y == 150; }))
      << Text(moved);
  CloseAndEndRun(hwnd);
  for (int run = 1; run <= 5; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    StartRun(kFixedSkin);
    hwnd = OpenMainWindow();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Look(hwnd, seen) && seen.client == moved.client && seen.frame == moved.frame; }))
        << Text(seen) << " instead of " << Text(moved);
    CloseAndEndRun(hwnd);
  }
}

TEST_F(MainWindowOpenboxXvfbTest, PlacesFromALargerScreenAndBadEntriesOpenTheWindowWholeAndAreRewritten) {
  struct Entry {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Entry entries[] = {
      // Left on a 2560 x 1800 screen: near its far corner, and with another skin's size.
      {"near the corner of a larger screen", PlacementRecord(2100, 1450, 2500, 1750)},
      {"another skin's size on a larger screen", PlacementRecord(80, 80, 2480, 1780)},
      {"cut short",
       [&] {
         std::vector<uint8_t> bytes = PlacementRecord(100, 100, 500, 400);
         bytes.resize(30);
         return bytes;
       }()},
      {"all zeros", std::vector<uint8_t>(44, 0)},
      {"far off to the right", PlacementRecord(100000, 50, 100400, 350)},
      {"above and left of the screen", PlacementRecord(-5000, -3000, -4600, -2700)},
      {"a rectangle no window has", PlacementRecord(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)},
      {"a fixed window stored maximised",
       [&] {
         std::vector<uint8_t> bytes = PlacementRecord(60, 70, 460, 370);
         bytes[8] = Win::SW_SHOWMAXIMIZED;
         return bytes;
       }()},
  };
  for (const Entry& entry : entries) {
    SCOPED_TRACE(entry.name);
    StartRun(kFixedSkin);
    StoreEntry(entry.bytes);
    const Win::HWND hwnd = OpenMainWindow();
    ASSERT_NE(hwnd, nullptr);
    Seen seen;
    EXPECT_TRUE(PumpUntil([&] { return Look(hwnd, seen) && Whole(seen); })) << Text(seen);
    EXPECT_EQ(seen.client.width, 400);
    EXPECT_EQ(seen.client.height, 300);
    Win::SendMessage(hwnd, Win::WM_CLOSE, 0, 0);
    EXPECT_EQ(StoredPlace(), seen.client) << "rewritten at the close";
    EndRun();
  }
}

TEST_F(MainWindowOpenboxXvfbTest, AFixedSizeWindowTellsTheWindowManagerItCannotBeResizedOrMaximised) {
  for (const bool fixed : {true, false}) {
    SCOPED_TRACE(fixed ? "fixed size" : "sizable, without a maximum");
    StartRun(fixed ? kFixedSkin : kSkin);
    const Win::HWND hwnd = OpenMainWindow();
    ASSERT_NE(hwnd, nullptr);
    Seen seen;
    ASSERT_TRUE(PumpUntil([&] { return Look(hwnd, seen); }));
    const ::Window window = XWindowOf(hwnd);
    const Atom maximise = XInternAtom(display, "_NET_WM_ACTION_MAXIMIZE_HORZ", False);
    const Atom resize = XInternAtom(display, "_NET_WM_ACTION_RESIZE", False);
    auto allows = [&](Atom action) {
      const std::vector<long> actions = Property(window, "_NET_WM_ALLOWED_ACTIONS");
      return std::find(actions.begin(), actions.end(), long(action)) != actions.end();
    };
    // The window manager settles its list of actions after it read the window's hints.
    EXPECT_TRUE(PumpUntil([&] { return allows(maximise) != fixed && allows(resize) != fixed; }));
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(display, window, &hints, &supplied));
    if (fixed) {
      EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
      EXPECT_EQ(hints.min_width, 400);
      EXPECT_EQ(hints.max_width, 400);
      EXPECT_EQ(hints.min_height, 300);
      EXPECT_EQ(hints.max_height, 300);
    }
    // The Motif hints: functions (resize 0x2, maximise 0x10) and buttons (maximise 0x40).
    const std::vector<long> motif = Property(window, "_MOTIF_WM_HINTS");
    ASSERT_EQ(motif.size(), 5u);
    EXPECT_EQ((motif[1] & 0x12) == 0, fixed);
    EXPECT_EQ((motif[2] & 0x40) == 0, fixed);
    CloseAndEndRun(hwnd);
  }
}

} // namespace
} // namespace QZTest
