// Mouse, window, drop, clipboard and quit events: hand-made SDL events against the
// messages Windows would give.

#include <string>

#include "Platform/Window/Input.h"
#include "WindowTestSupport.h"

namespace {

using namespace QZ::Platform::Window;
using QZTest::ButtonEvent;
using QZTest::MotionEvent;
using QZTest::WheelEvent;
using QZTest::WindowEvent;

class EventTranslationTest : public QZTest::WindowLayerTest {
protected:
  void SetUp() override {
    WindowLayerTest::SetUp();
    hwnd = MakeWindow(100, 50, 200, 100);
    id = script->SdlIdOf(hwnd);
  }

  HWND hwnd = nullptr;
  uint32_t id = 0;
};

TEST_F(EventTranslationTest, MouseButtonsCarryClientPointsAndTheButtonsHeldAfterThem) {
  struct ButtonCase {
    const char* name;
    SDL_Event event;
    uint32_t message;
    WPARAM flags;
  };
  const ButtonCase cases[] = {
      {"left press", ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 20), WM_LBUTTONDOWN, MK_LBUTTON},
      {"second click", ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 20, 2), WM_LBUTTONDBLCLK, MK_LBUTTON},
      {"third click", ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 20, 3), WM_LBUTTONDOWN, MK_LBUTTON},
      {"right press while left held", ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_RIGHT, 10, 20), WM_RBUTTONDOWN,
       MK_LBUTTON | MK_RBUTTON},
      {"left release", ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, 10, 20), WM_LBUTTONUP, MK_RBUTTON},
      {"middle double click", ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_MIDDLE, 10, 20, 4), WM_MBUTTONDBLCLK,
       MK_RBUTTON | MK_MBUTTON},
      {"move", MotionEvent(id, 10, 20), WM_MOUSEMOVE, MK_RBUTTON | MK_MBUTTON},
  };
  for (const ButtonCase& test : cases) {
    SCOPED_TRACE(test.name);
    const auto messages = TranslateAndTake(test.event);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].msg.hwnd, hwnd);
    EXPECT_EQ(messages[0].msg.message, test.message);
    EXPECT_EQ(messages[0].msg.wParam, test.flags);
    EXPECT_EQ(GetXLParam(messages[0].msg.lParam), 10);
    EXPECT_EQ(GetYLParam(messages[0].msg.lParam), 20);
    EXPECT_EQ(messages[0].msg.pt.x, 110) << "screen point";
    EXPECT_EQ(messages[0].msg.pt.y, 70);
  }
  // Shift and Ctrl show in the flags; extra buttons give nothing.
  TranslateAndTake(QZTest::KeyEvent(SDL_KEYDOWN, id, SDLK_LSHIFT));
  TranslateAndTake(QZTest::KeyEvent(SDL_KEYDOWN, id, SDLK_RCTRL));
  const auto moved = TranslateAndTake(MotionEvent(id, -5, 300));
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].msg.wParam, MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(GetXLParam(moved[0].msg.lParam), -5);
  EXPECT_EQ(GetYLParam(moved[0].msg.lParam), 300);
  // A button's own message carries the buttons and modifiers as they are after it.
  auto flagsOf = [&](const SDL_Event& event) {
    const auto messages = TranslateAndTake(event);
    return messages.size() == 1 ? messages[0].msg.wParam : WPARAM(~0u);
  };
  EXPECT_EQ(flagsOf(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 20)),
            MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL);
  TranslateAndTake(QZTest::KeyEvent(SDL_KEYUP, id, SDLK_LSHIFT));
  EXPECT_EQ(flagsOf(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_MIDDLE, 10, 20)),
            MK_LBUTTON | MK_RBUTTON | MK_CONTROL);
  EXPECT_TRUE(Translate(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_X1, 1, 1)).empty());
  EXPECT_TRUE(Translate(MotionEvent(id + 100, 1, 1)).empty()) << "not our window";
}

TEST_F(EventTranslationTest, TheCaptureWindowGetsTheMouseInItsOwnCoordinates) {
  const HWND other = MakeWindow(400, 300, 50, 50);
  SetCapture(other);
  EXPECT_TRUE(script->captureCalls.empty()) << "no button held: nothing to capture outside our windows";
  auto messages = TranslateAndTake(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 20));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.hwnd, other);
  EXPECT_EQ(GetXLParam(messages[0].msg.lParam), 110 - 400);
  EXPECT_EQ(GetYLParam(messages[0].msg.lParam), 70 - 300);
  // With a button held, leaving gives nothing: SDL keeps the mouse and its moves come on.
  EXPECT_TRUE(Translate(WindowEvent(id, SDL_WINDOWEVENT_LEAVE)).empty());
  // Capturing while a button is held captures the mouse outside our windows too.
  ReleaseCapture();
  SetCapture(hwnd);
  ReleaseCapture();
  EXPECT_EQ(script->captureCalls, (std::vector<bool>{true, false}));
  // Without a button, leaving moves the capture window's cursor out of its client area.
  TranslateAndTake(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, 10, 20));
  SetCapture(other);
  script->mouseX = 700;
  script->mouseY = 20;
  messages = TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_LEAVE));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.hwnd, other);
  EXPECT_EQ(messages[0].msg.message, WM_MOUSEMOVE);
  EXPECT_EQ(GetXLParam(messages[0].msg.lParam), 300);
  EXPECT_EQ(GetYLParam(messages[0].msg.lParam), -280);
}

TEST_F(EventTranslationTest, WheelDeltasAre120ANotchWithTheCursorOnTheScreen) {
  struct WheelCase {
    const char* name;
    SDL_Event event;
    std::vector<std::pair<uint32_t, int32_t>> messages;
  };
  const WheelCase cases[] = {
      {"one notch away", WheelEvent(id, 0, 1.0f, 10, 20), {{WM_MOUSEWHEEL, 120}}},
      {"two notches toward", WheelEvent(id, 0, -2.0f, 10, 20), {{WM_MOUSEWHEEL, -240}}},
      {"half a notch, flipped", WheelEvent(id, 0, -0.5f, 10, 20, true), {{WM_MOUSEWHEEL, 60}}},
      {"right", WheelEvent(id, 1.0f, 0, 10, 20), {{WM_MOUSEHWHEEL, 120}}},
      {"both", WheelEvent(id, -1.0f, 0.25f, 10, 20), {{WM_MOUSEWHEEL, 30}, {WM_MOUSEHWHEEL, -120}}},
      {"nothing", WheelEvent(id, 0, 0, 10, 20), {}},
  };
  for (const WheelCase& test : cases) {
    SCOPED_TRACE(test.name);
    const auto messages = TranslateAndTake(test.event);
    ASSERT_EQ(messages.size(), test.messages.size());
    for (size_t i = 0; i < messages.size(); ++i) {
      EXPECT_EQ(messages[i].msg.hwnd, hwnd);
      EXPECT_EQ(messages[i].msg.message, test.messages[i].first);
      EXPECT_EQ(GetWheelDeltaWParam(messages[i].msg.wParam), test.messages[i].second);
      EXPECT_EQ(GetXLParam(messages[i].msg.lParam), 110);
      EXPECT_EQ(GetYLParam(messages[i].msg.lParam), 70);
    }
  }
}

TEST_F(EventTranslationTest, SizeMessagesFollowKindAndSizeChanges) {
  ValidateRect(hwnd, nullptr);
  auto sizes = [&](SDL_Event event) {
    std::vector<std::tuple<uint32_t, WPARAM, int32_t, int32_t>> found;
    for (const InputMessage& message : TranslateAndTake(event)) {
      found.emplace_back(message.msg.message, message.msg.wParam, int32_t(LoWord(uintptr_t(message.msg.lParam))),
                         int32_t(HiWord(uintptr_t(message.msg.lParam))));
    }
    return found;
  };
  using Sizes = std::vector<std::tuple<uint32_t, WPARAM, int32_t, int32_t>>;
  EXPECT_EQ(sizes(WindowEvent(id, SDL_WINDOWEVENT_SIZE_CHANGED, 300, 150)),
            (Sizes{{WM_SIZE, SIZE_RESTORED, 300, 150}}));
  RECT update;
  EXPECT_TRUE(GetUpdateRect(hwnd, &update, false));
  EXPECT_EQ(update.right, 300);
  EXPECT_EQ(update.bottom, 150);
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 300);

  ValidateRect(hwnd, nullptr);
  EXPECT_TRUE(sizes(WindowEvent(id, SDL_WINDOWEVENT_SIZE_CHANGED, 300, 150)).empty()) << "nothing changed";
  EXPECT_TRUE(GetUpdateRect(hwnd, nullptr, false)) << "a new surface is painted whole all the same";

  EXPECT_EQ(sizes(WindowEvent(id, SDL_WINDOWEVENT_MINIMIZED)), (Sizes{{WM_SIZE, SIZE_MINIMIZED, 0, 0}}));
  EXPECT_EQ(sizes(WindowEvent(id, SDL_WINDOWEVENT_RESTORED)), (Sizes{{WM_SIZE, SIZE_RESTORED, 300, 150}}));
  script->windowStates[id] = SDL_WINDOW_MAXIMIZED;
  EXPECT_EQ(sizes(WindowEvent(id, SDL_WINDOWEVENT_SIZE_CHANGED, 1920, 1000)),
            (Sizes{{WM_SIZE, SIZE_MAXIMIZED, 1920, 1000}}));
  EXPECT_TRUE(sizes(WindowEvent(id, SDL_WINDOWEVENT_MAXIMIZED)).empty()) << "told already";
  EXPECT_TRUE(IsZoomed(hwnd));
}

TEST_F(EventTranslationTest, MovesKeepTheClientOriginAndTheNormalRectangle) {
  auto moved = TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_MOVED, 140, 60));
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].msg.message, WM_MOVE);
  EXPECT_EQ(GetXLParam(moved[0].msg.lParam), 140);
  EXPECT_EQ(GetYLParam(moved[0].msg.lParam), 60);
  POINT point{1, 2};
  ClientToScreen(hwnd, &point);
  EXPECT_EQ(point.x, 141);
  EXPECT_EQ(point.y, 62);
  ScreenToClient(hwnd, &point);
  EXPECT_EQ(point.x, 1);

  // Maximised, the window moves and grows; its placement keeps the restored rectangle.
  script->windowStates[id] = SDL_WINDOW_MAXIMIZED;
  TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_MOVED, 0, 32));
  TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_SIZE_CHANGED, 1920, 1000));
  WINDOWPLACEMENT placement;
  ASSERT_TRUE(GetWindowPlacement(hwnd, &placement));
  EXPECT_EQ(placement.showCmd, uint32_t(SW_SHOWMAXIMIZED));
  EXPECT_EQ(placement.rcNormalPosition.left, 140);
  EXPECT_EQ(placement.rcNormalPosition.top, 60);
  EXPECT_EQ(placement.rcNormalPosition.right, 340);
  EXPECT_EQ(placement.rcNormalPosition.bottom, 160);
}

TEST_F(EventTranslationTest, FocusCaptureCloseExposeAndLeave) {
  ValidateRect(hwnd, nullptr);
  auto messages = TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.message, WM_SETFOCUS);
  EXPECT_EQ(GetFocus(), hwnd);
  EXPECT_EQ(GetActiveWindow(), hwnd);

  TranslateAndTake(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_RIGHT, 10, 20));
  SetCapture(hwnd);
  messages = TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].msg.message, WM_CAPTURECHANGED);
  EXPECT_EQ(messages[0].msg.lParam, 0);
  EXPECT_EQ(messages[1].msg.message, WM_KILLFOCUS);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(script->captureCalls, (std::vector<bool>{true, false}));
  TranslateAndTake(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_RIGHT, 10, 20));

  messages = TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_CLOSE));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.message, WM_SYSCOMMAND);
  EXPECT_EQ(messages[0].msg.wParam, SC_CLOSE);

  EXPECT_TRUE(Translate(WindowEvent(id, SDL_WINDOWEVENT_EXPOSED)).empty());
  RECT update;
  EXPECT_TRUE(GetUpdateRect(hwnd, &update, false));
  EXPECT_EQ(update.right, 200);
  EXPECT_EQ(update.bottom, 100);

  // Leaving: a move to where the cursor went, or to (-1, -1) while it lies over the window.
  script->mouseX = 90;
  script->mouseY = 60;
  messages = TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_LEAVE));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.message, WM_MOUSEMOVE);
  EXPECT_EQ(GetXLParam(messages[0].msg.lParam), -10);
  EXPECT_EQ(GetYLParam(messages[0].msg.lParam), 10);
  script->mouseX = 150;
  messages = TranslateAndTake(WindowEvent(id, SDL_WINDOWEVENT_LEAVE));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(GetXLParam(messages[0].msg.lParam), -1);
  EXPECT_EQ(GetYLParam(messages[0].msg.lParam), -1);
}

TEST_F(EventTranslationTest, AnExposeWithItsRectangleInvalidatesThatRectangleAndSDLsOwnThenNothingMore) {
  auto exposed = [&](SDL_WindowEvent window) {
    SDL_Event event{};
    event.window = window;
    return event;
  };
  auto update = [&] {
    RECT rect{};
    GetUpdateRect(hwnd, &rect, false);
    return std::vector<int32_t>{rect.left, rect.top, rect.right, rect.bottom};
  };
  ValidateRect(hwnd, nullptr); // painted once shown
  EXPECT_TRUE(Translate(exposed(ExposedEvent(id, 30, 20, 50, 40))).empty());
  EXPECT_TRUE(Translate(exposed(ExposedEvent(id, 60, 50, 10, 5))).empty());
  EXPECT_TRUE(Translate(WindowEvent(id, SDL_WINDOWEVENT_EXPOSED)).empty());
  EXPECT_EQ(update(), (std::vector<int32_t>{30, 20, 80, 60})) << "the two rectangles, nothing of the rest";
  ValidateRect(hwnd, nullptr);
  EXPECT_TRUE(Translate(WindowEvent(id, SDL_WINDOWEVENT_EXPOSED)).empty());
  EXPECT_EQ(update(), (std::vector<int32_t>{0, 0, 200, 100})) << "without a rectangle before it: the whole window";
  ValidateRect(hwnd, nullptr);
  // A rectangle past the client area is cut to it.
  EXPECT_TRUE(Translate(exposed(ExposedEvent(id, 190, 90, 300, 200))).empty());
  EXPECT_EQ(update(), (std::vector<int32_t>{190, 90, 200, 100}));
}

TEST_F(EventTranslationTest, TheUpdateRegionKeepsItsRectanglesUntilTooManyOrOneHoldsTheRest) {
  using Rects = std::vector<std::vector<int32_t>>;
  auto parts = [&] {
    std::vector<RECT> rects;
    GetUpdateRects(hwnd, rects);
    Rects found;
    for (const RECT& rect : rects) {
      found.push_back({rect.left, rect.top, rect.right, rect.bottom});
    }
    return found;
  };
  auto invalidate = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const RECT rect{left, top, right, bottom};
    InvalidateRect(hwnd, &rect, false);
  };
  ValidateRect(hwnd, nullptr);
  EXPECT_TRUE(parts().empty());
  invalidate(10, 10, 20, 20);
  invalidate(150, 70, 160, 80);
  invalidate(12, 12, 18, 18); // inside the first: nothing new
  EXPECT_EQ(parts(), (Rects{{10, 10, 20, 20}, {150, 70, 160, 80}})) << "not their bounding rectangle";
  // Taken out whole: gone; the other stays.
  const RECT painted{0, 0, 100, 100};
  ValidateRect(hwnd, &painted);
  EXPECT_EQ(parts(), (Rects{{150, 70, 160, 80}}));
  // The whole window swallows what it holds.
  InvalidateRect(hwnd, nullptr, false);
  EXPECT_EQ(parts(), (Rects{{0, 0, 200, 100}}));
  // A paint takes the rectangles and empties the region at once; what comes later stays.
  ValidateRect(hwnd, nullptr);
  invalidate(10, 10, 20, 20);
  invalidate(150, 70, 160, 80);
  std::vector<RECT> taken{RECT{1, 2, 3, 4}};
  ASSERT_TRUE(TakeUpdateRects(hwnd, taken));
  ASSERT_EQ(taken.size(), 2u) << "what was there before is replaced";
  EXPECT_EQ((std::vector<int32_t>{taken[1].left, taken[1].top, taken[1].right, taken[1].bottom}),
            (std::vector<int32_t>{150, 70, 160, 80}));
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, false));
  EXPECT_TRUE(parts().empty());
  EXPECT_FALSE(TakeUpdateRects(hwnd, taken));
  EXPECT_TRUE(taken.empty());
  invalidate(30, 30, 40, 40);
  EXPECT_EQ(parts(), (Rects{{30, 30, 40, 40}}));
  ValidateRect(hwnd, nullptr);
  for (int32_t i = 0; i < 20; ++i) {
    invalidate(i * 10, 0, i * 10 + 5, 5);
  }
  const Rects many = parts();
  ASSERT_FALSE(many.empty());
  EXPECT_LE(many.size(), 16u);
  EXPECT_EQ(many[0], (std::vector<int32_t>{0, 0, 165, 5})) << "too many: their bounding rectangle first";
  RECT bounds;
  ASSERT_TRUE(GetUpdateRect(hwnd, &bounds, false));
  EXPECT_EQ((std::vector<int32_t>{bounds.left, bounds.top, bounds.right, bounds.bottom}),
            (std::vector<int32_t>{0, 0, 195, 5}));
}

TEST_F(EventTranslationTest, DroppedFilesArriveWholeAtTheEndOfTheDrop) {
  const std::string longPath = "/tmp/" + std::string(300, 'x') + "/preset \xC3\xA9.QuorinZTRPreset";
  script->mouseX = 130;
  script->mouseY = 90;
  EXPECT_TRUE(Translate(QZTest::DropFileEvent(id, "/tmp/a.QuorinZTRPreset")).empty());
  EXPECT_TRUE(Translate(QZTest::DropFileEvent(id, longPath)).empty());
  const auto messages = Translate(QZTest::OfType(SDL_DROPCOMPLETE, id));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.hwnd, hwnd);
  ASSERT_EQ(messages[0].msg.message, WM_DROPFILES);
  const HDROP drop = reinterpret_cast<HDROP>(messages[0].msg.wParam);
  ASSERT_EQ(DragQueryFileCount(drop), 2u);
  EXPECT_EQ(DragQueryFile(drop, 0), u"/tmp/a.QuorinZTRPreset");
  EXPECT_EQ(DragQueryFile(drop, 1), u"/tmp/" + std::u16string(300, u'x') + u"/preset \u00E9.QuorinZTRPreset");
  EXPECT_EQ(DragQueryFile(drop, 2), u"");
  POINT point;
  ASSERT_TRUE(DragQueryPoint(drop, &point));
  EXPECT_EQ(point.x, 30);
  EXPECT_EQ(point.y, 40);
  DragFinish(drop);
  EXPECT_EQ(DragQueryFileCount(drop), 0u);

  // A drop of text only, and a drop that ends without files, give nothing.
  SDL_Event text = QZTest::DropFileEvent(id, "some text");
  text.type = SDL_DROPTEXT;
  EXPECT_TRUE(Translate(text).empty());
  EXPECT_TRUE(Translate(QZTest::OfType(SDL_DROPCOMPLETE, id)).empty());
}

TEST_F(EventTranslationTest, DisplaysClipboardAndQuit) {
  const HWND second = MakeWindow(400);
  auto messages = Translate(QZTest::OfType(SDL_DISPLAYEVENT));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].msg.hwnd, hwnd);
  EXPECT_EQ(messages[1].msg.hwnd, second);
  EXPECT_EQ(messages[1].msg.message, WM_DISPLAYCHANGE);
  EXPECT_EQ(messages[1].msg.wParam, 32u);
  EXPECT_EQ(LoWord(uintptr_t(messages[1].msg.lParam)), 1920);
  EXPECT_EQ(HiWord(uintptr_t(messages[1].msg.lParam)), 1080);

  EXPECT_TRUE(Translate(QZTest::OfType(SDL_CLIPBOARDUPDATE)).empty());
  ASSERT_TRUE(AddClipboardFormatListener(second));
  messages = Translate(QZTest::OfType(SDL_CLIPBOARDUPDATE));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.hwnd, second);
  EXPECT_EQ(messages[0].msg.message, WM_CLIPBOARDUPDATE);
  EXPECT_TRUE(RemoveClipboardFormatListener(second));
  EXPECT_FALSE(RemoveClipboardFormatListener(second));

  messages = Translate(QZTest::OfType(SDL_QUIT));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.hwnd, nullptr);
  EXPECT_EQ(messages[0].msg.message, WM_QZ_QUITREQUESTED);
}

} // namespace
