// Windows: lifetime, geometry, placement, update regions, pixels, capture and focus.

#include <array>
#include <climits>
#include <cstring>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "Platform/Window/Input.h"
#include "WindowTestSupport.h"

namespace {

using namespace QZ::Platform::Window;

class WindowTest : public QZTest::WindowLayerTest {};

// Calls a function for each message, then records it.
class HookedProcedure : public QZTest::RecordingProcedure {
public:
  LRESULT WindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override {
    RecordingProcedure::WindowProc(hwnd, message, wParam, lParam);
    return hook ? hook(hwnd, message, wParam, lParam) : DefWindowProc(hwnd, message, wParam, lParam);
  }
  std::function<LRESULT(HWND, uint32_t, WPARAM, LPARAM)> hook;
};

TEST_F(WindowTest, DestroyingAWindowDestroysTheWindowsItOwnsFirst) {
  std::vector<std::pair<HWND, uint32_t>> order;
  struct OrderProcedure : WindowProcedure {
    std::vector<std::pair<HWND, uint32_t>>* order;
    LRESULT WindowProc(HWND hwnd, uint32_t message, WPARAM, LPARAM) override {
      order->emplace_back(hwnd, message);
      return 0;
    }
  } procedure;
  procedure.order = &order;
  const HWND owner = MakeWindow(0, 0, 100, 100, nullptr, &procedure);
  const HWND owned = MakeWindow(10, 10, 50, 50, owner, &procedure);
  const HWND other = MakeWindow(200, 0, 50, 50, nullptr, &procedure);
  ASSERT_TRUE(owner && owned && other);
  EXPECT_NE(owner, owned);
  EXPECT_EQ(GetParent(owned), owner);
  EXPECT_EQ(GetWindowStyle(owned), WS_CAPTION | WS_VISIBLE);

  EXPECT_TRUE(DestroyWindow(owner));
  EXPECT_EQ(order, (std::vector<std::pair<HWND, uint32_t>>{
                       {owned, WM_DESTROY}, {owned, WM_NCDESTROY}, {owner, WM_DESTROY}, {owner, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_TRUE(IsWindow(other));
  EXPECT_FALSE(DestroyWindow(owner));
  EXPECT_EQ(SendMessage(owner, WM_USER, 0, 0), 0);
  // Handles are never given twice.
  const HWND next = MakeWindow(0, 0, 10, 10, nullptr, &procedure);
  EXPECT_NE(next, owner);
  EXPECT_NE(next, owned);
  DestroyWindow(next);
  DestroyWindow(other);
}

TEST_F(WindowTest, TheCloseBoxClosesThroughTheDefaultHandling) {
  HookedProcedure procedure;
  const HWND hwnd = MakeWindow(0, 0, 100, 100, nullptr, &procedure);
  SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(procedure.Messages(), (std::vector<uint32_t>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, GeometryFollowsSetWindowPos) {
  const HWND hwnd = MakeWindow(100, 50, 200, 100);
  RECT rect;
  ASSERT_TRUE(GetWindowRect(hwnd, &rect));
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right, 300);
  EXPECT_EQ(rect.bottom, 150);

  ASSERT_TRUE(SetWindowPos(hwnd, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
  ASSERT_TRUE(GetClientRect(hwnd, &rect));
  EXPECT_EQ(rect.right, 200);
  EXPECT_EQ(rect.bottom, 100);
  POINT origin{};
  ClientToScreen(hwnd, &origin);
  EXPECT_EQ(origin.x, 30);
  EXPECT_EQ(origin.y, 40);

  ASSERT_TRUE(MoveWindow(hwnd, 60, 70, 320, 240, true));
  GetClientRect(hwnd, &rect);
  EXPECT_EQ(rect.right, 320);
  EXPECT_EQ(rect.bottom, 240);
  ASSERT_TRUE(GetClientScreenRect(hwnd, &rect));
  EXPECT_EQ((std::array<int32_t, 4>{rect.left, rect.top, rect.right, rect.bottom}),
            (std::array<int32_t, 4>{60, 70, 380, 310}))
      << "the client area moved and sized at once";
  EXPECT_FALSE(GetClientScreenRect(nullptr, &rect));
  GetUpdateRect(hwnd, &rect, false);
  EXPECT_EQ(rect.right, 320) << "a repainting move invalidates the window";

  ASSERT_TRUE(SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_TRUE(script->alwaysOnTop[script->SdlIdOf(hwnd)]);
  ASSERT_TRUE(SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_FALSE(script->alwaysOnTop[script->SdlIdOf(hwnd)]);
  EXPECT_FALSE(SetWindowPos(nullptr, nullptr, 0, 0, 1, 1, 0));
}

TEST_F(WindowTest, GeometryReadsTheSameOnAnyThread) {
  const HWND hwnd = MakeWindow(30, 40, 200, 100);
  // Another thread reads under the lock what the UI thread reads without it.
  RECT client{};
  RECT onScreen{};
  POINT origin{5, 6};
  bool found = false;
  bool foundGone = true;
  std::thread reader([&] {
    found = GetClientRect(hwnd, &client) && ClientToScreen(hwnd, &origin) && GetClientScreenRect(hwnd, &onScreen);
    POINT unused{};
    foundGone = ClientToScreen(reinterpret_cast<HWND>(uintptr_t(0x7777)), &unused) ||
                GetClientScreenRect(reinterpret_cast<HWND>(uintptr_t(0x7777)), &onScreen);
  });
  reader.join();
  EXPECT_TRUE(found);
  EXPECT_FALSE(foundGone);
  EXPECT_EQ((std::array<int32_t, 4>{client.left, client.top, client.right, client.bottom}),
            (std::array<int32_t, 4>{0, 0, 200, 100}));
  EXPECT_EQ((std::array<int32_t, 4>{onScreen.left, onScreen.top, onScreen.right, onScreen.bottom}),
            (std::array<int32_t, 4>{30, 40, 230, 140}));
  EXPECT_EQ(origin.x, 35);
  EXPECT_EQ(origin.y, 46);
}

TEST_F(WindowTest, PlacementRoundTripsThroughItsBytes) {
  const HWND hwnd = MakeWindow(100, 50, 200, 100);
  WINDOWPLACEMENT placement;
  ASSERT_TRUE(GetWindowPlacement(hwnd, &placement));
  EXPECT_EQ(placement.length, 44u);
  EXPECT_EQ(placement.showCmd, uint32_t(SW_SHOWNORMAL));
  EXPECT_EQ(placement.rcNormalPosition.left, 100);
  EXPECT_EQ(placement.rcNormalPosition.bottom, 150);

  uint8_t bytes[sizeof(WINDOWPLACEMENT)];
  placement.rcNormalPosition = {20, 30, 420, 330};
  std::memcpy(bytes, &placement, sizeof(bytes));
  WINDOWPLACEMENT restored;
  std::memcpy(&restored, bytes, sizeof(bytes));
  ASSERT_TRUE(SetWindowPlacement(hwnd, &restored));
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);
  WINDOWPLACEMENT again;
  GetWindowPlacement(hwnd, &again);
  EXPECT_EQ(std::memcmp(&again.rcNormalPosition, &restored.rcNormalPosition, sizeof(RECT)), 0);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  restored.rcNormalPosition = {};
  EXPECT_FALSE(SetWindowPlacement(hwnd, &restored));
  // Read from a file, a rectangle may lie where X cannot place a window.
  for (const RECT& wild : {RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, RECT{100000, 50, 100400, 350},
                           RECT{-40000, 0, -39600, 300}}) {
    restored.rcNormalPosition = wild;
    EXPECT_FALSE(SetWindowPlacement(hwnd, &restored)) << wild.left;
  }
  GetWindowPlacement(hwnd, &again);
  EXPECT_EQ(again.rcNormalPosition.left, 20) << "the window stays where it was";
}

// A window manager as the layer meets it: it answers the frame of a window before the window
// shows (top 20, the other sides 1), and SDL knows the frame only once the window has shown.
class FramingBackend : public QZTest::ScriptedVideoBackend {
public:
  bool LearnWindowFrame(uint32_t, int& top, int& left, int& bottom, int& right) override {
    top = 20;
    left = bottom = right = 1;
    return true;
  }
  void AwaitWindowFrame(uint32_t window) override { framed.insert(window); }
  bool GetWindowBordersSize(uint32_t window, int& top, int& left, int& bottom, int& right) override {
    top = left = bottom = right = framed.contains(window) ? 1 : 0;
    top *= 20;
    return true;
  }
  void SetWindowActions(uint32_t, bool resize, bool minimize, bool maximize) override {
    actions.push_back({resize, minimize, maximize});
  }
  void SetWindowPosition(uint32_t window, int x, int y) override {
    asked.push_back({x, y});
    ScriptedVideoBackend::SetWindowPosition(window, x, y);
  }
  std::set<uint32_t> framed;
  std::vector<std::array<bool, 3>> actions;
  std::vector<POINT> asked; // SDL positions, in order
};

TEST(WindowFrameTest, AFramedWindowIsPlacedByItsClientAreaBeforeAndAfterItShows) {
  auto owned = std::make_unique<FramingBackend>();
  FramingBackend& backend = *owned;
  ASSERT_TRUE(Startup(std::move(owned)));
  QZTest::RecordingProcedure procedure;
  const HWND hwnd =
      CreateWindowEx(0, u"framed", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 50, 200, 100, nullptr, &procedure);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_EQ(backend.actions.size(), 1u);
  EXPECT_EQ(backend.actions[0], (std::array<bool, 3>{false, true, false})) << "minimising only";
  // Hidden, SDL's position is where the window manager will put the frame's corner.
  ASSERT_EQ(backend.asked.size(), 1u);
  EXPECT_EQ(backend.asked[0].x, 99);
  EXPECT_EQ(backend.asked[0].y, 30);
  POINT origin{};
  ASSERT_TRUE(ClientToScreen(hwnd, &origin));
  EXPECT_EQ(origin.x, 100);
  EXPECT_EQ(origin.y, 50);
  RECT window{};
  ASSERT_TRUE(GetWindowRect(hwnd, &window));
  EXPECT_EQ(window.left, 99);
  EXPECT_EQ(window.top, 30);
  EXPECT_EQ(window.right, 301);
  EXPECT_EQ(window.bottom, 151);
  // Moved while hidden: the frame goes where the window rectangle is asked to.
  ASSERT_TRUE(MoveWindow(hwnd, 10, 10, 202, 121, false));
  EXPECT_EQ(backend.asked.back().x, 10);
  EXPECT_EQ(backend.asked.back().y, 10);
  origin = {};
  ASSERT_TRUE(ClientToScreen(hwnd, &origin));
  EXPECT_EQ(origin.x, 11);
  EXPECT_EQ(origin.y, 30);
  // Shown, SDL learns the frame and takes client positions.
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(backend.framed.contains(backend.SdlIdOf(hwnd)));
  ASSERT_TRUE(MoveWindow(hwnd, 10, 10, 202, 121, false));
  EXPECT_EQ(backend.asked.back().x, 11);
  EXPECT_EQ(backend.asked.back().y, 30);
  ASSERT_TRUE(GetWindowRect(hwnd, &window));
  EXPECT_EQ(window.left, 10);
  EXPECT_EQ(window.top, 10);
  // A window without a caption has no frame to ask for and no actions to tell.
  EXPECT_NE(CreateWindowEx(0, u"bare", WS_POPUP, 5, 5, 20, 20, nullptr, &procedure), nullptr);
  EXPECT_EQ(backend.actions.size(), 1u);
  EXPECT_EQ(backend.asked.back().x, 11);
  Shutdown();
}

TEST_F(WindowTest, UpdateRegionsAreClippedUnitedAndValidated) {
  const HWND hwnd = MakeWindow(0, 0, 200, 100);
  ValidateRect(hwnd, nullptr);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, false));

  const RECT outside{300, 0, 400, 50};
  EXPECT_TRUE(InvalidateRect(hwnd, &outside, false));
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, false)) << "outside the client area adds nothing";

  const RECT a{10, 10, 20, 20};
  const RECT b{150, 80, 250, 150};
  InvalidateRect(hwnd, &a, false);
  InvalidateRect(hwnd, &b, false);
  ASSERT_TRUE(GetUpdateRect(hwnd, &update, false));
  EXPECT_EQ(update.left, 10);
  EXPECT_EQ(update.top, 10);
  EXPECT_EQ(update.right, 200);
  EXPECT_EQ(update.bottom, 100);

  const RECT topStrip{0, 0, 200, 50};
  ValidateRect(hwnd, &topStrip);
  GetUpdateRect(hwnd, &update, false);
  EXPECT_EQ(update.top, 50);
  const RECT middle{50, 60, 60, 70};
  ValidateRect(hwnd, &middle);
  GetUpdateRect(hwnd, &update, false);
  EXPECT_EQ(update.top, 50) << "a hole is not taken out of a bounding rectangle";
  const RECT all{0, 0, 200, 100};
  ValidateRect(hwnd, &all);
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, false));
}

TEST_F(WindowTest, UpdateWindowPaintsAVisibleWindowWithSomethingToPaint) {
  HookedProcedure procedure;
  const HWND hwnd = CreateWindowEx(0, u"hidden", WS_POPUP, 0, 0, 100, 100, nullptr, &procedure);
  InvalidateRect(hwnd, nullptr, false);
  UpdateWindow(hwnd);
  EXPECT_TRUE(procedure.received.empty()) << "hidden";
  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_TRUE(RedrawWindow(hwnd, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW));
  EXPECT_EQ(procedure.Messages(), (std::vector<uint32_t>{WM_PAINT}));
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, false)) << "validated by the default handling";
  UpdateWindow(hwnd);
  EXPECT_EQ(procedure.received.size(), 1u) << "nothing left to paint";
  EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  DestroyWindow(hwnd);
}

TEST_F(WindowTest, OnlyTheGivenRectanglesArePresented) {
  const HWND hwnd = MakeWindow(0, 0, 64, 32);
  WindowPixels pixels;
  ASSERT_TRUE(GetWindowPixels(hwnd, pixels));
  EXPECT_EQ(pixels.width, 64);
  EXPECT_EQ(pixels.height, 32);
  EXPECT_GE(pixels.pitch, 64 * 4);
  for (int y = 0; y < pixels.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels.pixels) + y * pixels.pitch);
    std::fill(row, row + pixels.width, 0xFF336699u);
  }
  const RECT rects[] = {{0, 0, 8, 8}, {60, 30, 80, 40}, {100, 100, 110, 110}};
  ASSERT_TRUE(PresentWindowPixels(hwnd, pixels, rects, 3));
  ASSERT_EQ(script->presented.size(), 1u);
  ASSERT_EQ(script->presented[0].size(), 2u) << "the rectangle off the surface is left out";
  EXPECT_EQ(script->presented[0][1].x, 60);
  EXPECT_EQ(script->presented[0][1].w, 4);
  EXPECT_EQ(script->presented[0][1].h, 2);
  EXPECT_TRUE(PresentWindowPixels(hwnd, pixels, nullptr, 0));
  EXPECT_EQ(script->presented.size(), 1u) << "nothing to present";
  EXPECT_FALSE(PresentWindowPixels(nullptr, pixels, rects, 1));
  EXPECT_FALSE(PresentWindowPixels(hwnd, WindowPixels{}, rects, 1)) << "no pixels lent";
  EXPECT_EQ(script->presented.size(), 1u);
}

TEST_F(WindowTest, PixelsLentAfterAResizeHaveTheNewSizeAndPresentUpToIt) {
  const HWND hwnd = MakeWindow(0, 0, 64, 32);
  WindowPixels before;
  ASSERT_TRUE(GetWindowPixels(hwnd, before));
  const RECT beyond{40, 20, 90, 45}; // past the first size, inside the second
  ASSERT_TRUE(PresentWindowPixels(hwnd, before, &beyond, 1));
  ASSERT_TRUE(MoveWindow(hwnd, 0, 0, 100, 50, false));
  WindowPixels after;
  ASSERT_TRUE(GetWindowPixels(hwnd, after));
  EXPECT_EQ(after.width, 100);
  EXPECT_EQ(after.height, 50);
  EXPECT_GE(after.pitch, 100 * 4);
  ASSERT_TRUE(PresentWindowPixels(hwnd, after, &beyond, 1));
  ASSERT_EQ(script->presented.size(), 2u);
  EXPECT_EQ(script->presented[0][0].w, 24) << "cut to the first frame's pixels";
  EXPECT_EQ(script->presented[0][0].h, 12);
  EXPECT_EQ(script->presented[1][0].w, 50) << "all of it fits the second";
  EXPECT_EQ(script->presented[1][0].h, 25);
}

TEST_F(WindowTest, ManyRectanglesArePresentedInTheirOrderWithThoseOffTheSurfaceLeftOut) {
  const HWND hwnd = MakeWindow(0, 0, 64, 32);
  std::vector<RECT> rects;
  for (int i = 0; i < 12; ++i) {
    rects.push_back({i * 5, 0, i * 5 + 4, 4});
    rects.push_back({200, 200, 210, 210}); // off the surface
  }
  WindowPixels pixels;
  ASSERT_TRUE(GetWindowPixels(hwnd, pixels));
  ASSERT_TRUE(PresentWindowPixels(hwnd, pixels, rects.data(), rects.size()));
  ASSERT_EQ(script->presented.size(), 1u);
  ASSERT_EQ(script->presented[0].size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(script->presented[0][size_t(i)].x, i * 5) << i;
    EXPECT_EQ(script->presented[0][size_t(i)].w, 4) << i;
  }
  const RECT off{100, 100, 110, 110};
  EXPECT_TRUE(PresentWindowPixels(hwnd, pixels, &off, 1)) << "nothing left to present is no failure";
  EXPECT_EQ(script->presented.size(), 1u);
}

TEST_F(WindowTest, CaptureChangesTellTheWindowThatLosesIt) {
  QZTest::RecordingProcedure first;
  QZTest::RecordingProcedure second;
  const HWND a = MakeWindow(0, 0, 50, 50, nullptr, &first);
  const HWND b = MakeWindow(100, 0, 50, 50, nullptr, &second);
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(SetCapture(a), a);
  EXPECT_TRUE(first.received.empty()) << "capturing again changes nothing";
  EXPECT_EQ(SetCapture(b), a);
  ASSERT_EQ(first.received.size(), 1u);
  EXPECT_EQ(first.received[0].message, WM_CAPTURECHANGED);
  EXPECT_EQ(first.received[0].lParam, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(GetCapture(), b);
  EXPECT_TRUE(ReleaseCapture());
  ASSERT_EQ(second.received.size(), 1u);
  EXPECT_EQ(second.received[0].lParam, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(a);
  DestroyWindow(a);
  EXPECT_EQ(GetCapture(), nullptr) << "the capture dies with its window";
  DestroyWindow(b);
}

TEST_F(WindowTest, FocusAndActivationAskTheWindowSystem) {
  QZTest::RecordingProcedure first;
  QZTest::RecordingProcedure second;
  const HWND a = MakeWindow(0, 0, 50, 50, nullptr, &first);
  const HWND b = MakeWindow(100, 0, 50, 50, nullptr, &second);
  EXPECT_EQ(SetFocus(a), nullptr);
  EXPECT_EQ(script->focusRequests, (std::vector<uint32_t>{script->SdlIdOf(a)}));
  EXPECT_EQ(GetFocus(), nullptr) << "the focus changes when the window system says so";
  TranslateAndTake(QZTest::WindowEvent(script->SdlIdOf(a), SDL_WINDOWEVENT_FOCUS_GAINED));
  first.received.clear();
  // Activation is at once, as after a dialog: the window system's answer may never come.
  EXPECT_EQ(SetActiveWindow(b), a);
  EXPECT_EQ(script->raised.back(), script->SdlIdOf(b));
  EXPECT_EQ(script->focusRequests.back(), script->SdlIdOf(b));
  EXPECT_EQ(GetActiveWindow(), b);
  ASSERT_EQ(first.Messages(), std::vector<uint32_t>{WM_KILLFOCUS});
  EXPECT_EQ(first.received[0].wParam, reinterpret_cast<WPARAM>(b));
  ASSERT_EQ(second.Messages(), std::vector<uint32_t>{WM_SETFOCUS});
  EXPECT_EQ(second.received[0].wParam, reinterpret_cast<WPARAM>(a));
  EXPECT_EQ(SetActiveWindow(b), b);
  EXPECT_EQ(second.received.size(), 1u) << "no second focus message";
  EXPECT_EQ(SetActiveWindow(nullptr), nullptr);
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_TRUE(BringWindowToTop(a));
  EXPECT_EQ(script->raised.back(), script->SdlIdOf(a));
  EXPECT_FALSE(EnableWindow(a, false));
  EXPECT_FALSE(IsWindowEnabled(a));
  EXPECT_TRUE(EnableWindow(a, true));
  EXPECT_TRUE(IsWindowEnabled(a));
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST_F(WindowTest, TheClickThatActivatesAWindowReachesIt) {
  // Without the hint SDL's X11 driver drops a press that comes just after the focus.
  EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, SDL_FALSE));
}

TEST_F(WindowTest, WindowFromPointPrefersTheWindowUnderTheMouse) {
  const HWND a = MakeWindow(0, 0, 100, 100);
  const HWND b = MakeWindow(50, 50, 100, 100);
  EXPECT_EQ(WindowFromPoint({10, 10}), a);
  EXPECT_EQ(WindowFromPoint({120, 120}), b);
  EXPECT_EQ(WindowFromPoint({500, 500}), nullptr);
  script->mouseFocus = script->SdlIdOf(b);
  EXPECT_EQ(WindowFromPoint({70, 70}), b);
  script->mouseFocus = 0;
  TranslateAndTake(QZTest::WindowEvent(script->SdlIdOf(a), SDL_WINDOWEVENT_FOCUS_GAINED));
  EXPECT_EQ(WindowFromPoint({70, 70}), a);
}

TEST_F(WindowTest, TitlesAndSizeLimits) {
  const HWND hwnd = MakeWindow();
  ASSERT_TRUE(SetWindowText(hwnd, u"Pr\u00E9set"));
  EXPECT_EQ(GetWindowText(hwnd), u"Pr\u00E9set");
  EXPECT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(script->SdlIdOf(hwnd))), "Pr\xC3\xA9set");
  ASSERT_TRUE(SetClientSizeLimits(hwnd, {300, 200}, {800, 600}));
  int width = 0;
  int height = 0;
  SDL_GetWindowMinimumSize(SDL_GetWindowFromID(script->SdlIdOf(hwnd)), &width, &height);
  EXPECT_EQ(width, 300);
  SDL_GetWindowMaximumSize(SDL_GetWindowFromID(script->SdlIdOf(hwnd)), &width, &height);
  EXPECT_EQ(height, 600);
  EXPECT_FALSE(SetClientSizeLimits(hwnd, {900, 200}, {800, 600}));
}

} // namespace
