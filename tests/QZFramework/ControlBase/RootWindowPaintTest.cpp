// The root window's dirty region and painting through the OS window's WM_PAINT: what is
// invalidated, what is painted and presented, the order of floating controls, and what
// installing a top control repaints.

#include <gtest/gtest.h>

#include <algorithm>

#include "QZFramework/ControlBase/RootWindowTestSupport.h"

namespace QZ {
namespace {

using namespace QZTest;
using Lines = std::vector<std::string>;

class RootWindowPaintTest : public RootWindowFixture {
protected:
  void SetUp() override {
    RootWindowFixture::SetUp();
    script->presented.clear();
  }

  // The dirty region as rectangles (left, top, right, bottom), taken out of the window.
  std::vector<EdgeRect> TakeDirty() {
    RectListT<int32_t> region;
    root->TakeDirtyRegion(region);
    region.Normalize();
    return std::vector<EdgeRect>(region.begin(), region.end());
  }
  // The OS window's update rectangle; empty when nothing waits to be painted.
  Win::RECT OsUpdate() {
    Win::RECT update;
    Win::GetUpdateRect(hwnd, &update, false);
    return update;
  }
  // The colour of a pixel of the window as presented last (0xRRGGBB).
  uint32_t PixelAt(int32_t x, int32_t y) {
    Win::WindowPixels pixels;
    EXPECT_TRUE(Win::GetWindowPixels(hwnd, pixels));
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(pixels.pixels) + y * pixels.pitch);
    return row[x] & 0xFFFFFF;
  }
  // A probe that logs its drawing, with a look of one colour, floating at zOrder.
  RCPtr<PaintProbe> Floating(const char16_t* name, RectT<int32_t> rect, uint32_t colour, int32_t zOrder,
                             const RCPtr<LControl>& parent) {
    const RCPtr<PaintProbe> probe = PaintProbe::Make(parent, WString(name), &paintLog);
    probe->Place(rect.x, rect.y, rect.width, rect.height);
    probe->UseLook(ColourLook(colour, {rect.width, rect.height}));
    probe->Float(zOrder);
    return probe;
  }
  // The names of the controls that drew their content, in order.
  Lines Painted() const {
    Lines names;
    for (const std::string& line : paintLog) {
      if (line.find(" content ") != std::string::npos) {
        names.push_back(line.substr(0, line.find(' ')));
      }
    }
    return names;
  }

  std::vector<std::string> paintLog;
};

TEST_F(RootWindowPaintTest, AnInvalidatedRectangleIsCutToTheClientAreaWhereverTheWindowLies) {
  struct Case {
    const char* what;
    RectT<int32_t> invalidated;
    std::vector<EdgeRect> dirty;
  };
  const Case cases[] = {
      {"inside", {10, 20, 30, 40}, {{10, 20, 40, 60}}},
      {"over the right and bottom edges", {190, 90, 20, 20}, {{190, 90, 200, 100}}},
      {"over the left and top edges", {-5, -5, 10, 10}, {{0, 0, 5, 5}}},
      {"beyond the client area", {300, 300, 10, 10}, {}},
      {"left of it", {-20, 10, 20, 10}, {}},
      {"empty", {10, 10, 0, 5}, {}},
  };
  ASSERT_EQ(root->GetClientRect(), (RectT<int32_t>{kLeft, kTop, kWidth, kHeight}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    root->InvalidateRect(c.invalidated);
    EXPECT_EQ(TakeDirty(), c.dirty);
    const Win::RECT update = OsUpdate();
    if (c.dirty.empty()) {
      EXPECT_EQ(update.right - update.left, 0) << "no repaint asked of the window";
    } else {
      EXPECT_EQ((EdgeRect{update.left, update.top, update.right, update.bottom}), c.dirty.front());
    }
    Win::ValidateRect(hwnd, nullptr);
  }
}

TEST_F(RootWindowPaintTest, TheTreePaintsTheDirtyRegionAndTheWindowPresentsItsRectanglesAlone) {
  const RCPtr<PaintProbe> cover = PaintProbe::Make(top, u"cover", &paintLog);
  cover->Place(0, 0, kWidth, kHeight);
  cover->UseLook(ColourLook(0xFF336699, {kWidth, kHeight}));
  root->InvalidateRect({10, 10, 20, 20});
  root->InvalidateRect({50, 60, 5, 5});
  Pump();
  // Drawn once per dirty rectangle, and only those two reach the screen, not the pixels
  // between them.
  std::sort(paintLog.begin(), paintLog.end());
  EXPECT_EQ(paintLog, (Lines{"cover content {10,10,20,20} (0,0) a1", "cover content {50,60,5,5} (0,0) a1",
                             "cover overlay {10,10,20,20} (0,0) a1", "cover overlay {50,60,5,5} (0,0) a1"}));
  ASSERT_EQ(script->presented.size(), 1u);
  std::vector<std::vector<int>> shown;
  for (const SDL_Rect& rect : script->presented[0]) {
    shown.push_back({rect.x, rect.y, rect.w, rect.h});
  }
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, (std::vector<std::vector<int>>{{10, 10, 20, 20}, {50, 60, 5, 5}}));
  EXPECT_TRUE(TakeDirty().empty());
  EXPECT_EQ(PixelAt(15, 15), 0x336699u);

  // A window shown again is painted whole, whatever the tree asked for.
  paintLog.clear();
  script->presented.clear();
  Win::ShowWindow(hwnd, Win::SW_HIDE);
  Win::ShowWindow(hwnd, Win::SW_SHOW);
  root->InvalidateRect({10, 10, 5, 5});
  Pump();
  EXPECT_EQ(paintLog, (Lines{"cover content {0,0,200,100} (0,0) a1", "cover overlay {0,0,200,100} (0,0) a1"}));
  ASSERT_EQ(script->presented.size(), 1u);
  ASSERT_EQ(script->presented[0].size(), 1u);
  EXPECT_EQ(script->presented[0][0].w, kWidth);
  EXPECT_EQ(script->presented[0][0].h, kHeight);
}

TEST_F(RootWindowPaintTest, DistantRectanglesAreOneFrameThatLeavesTheControlsAndPixelsBetweenThemAlone) {
  const RCPtr<PaintProbe> left = PaintProbe::Make(top, u"left", &paintLog);
  left->Place(0, 0, 40, kHeight);
  left->UseLook(ColourLook(0xFF112233, {40, kHeight}));
  const RCPtr<PaintProbe> middle = PaintProbe::Make(top, u"middle", &paintLog);
  middle->Place(60, 20, 80, 60);
  middle->UseLook(ColourLook(0xFF445566, {80, 60}));
  const RCPtr<PaintProbe> right = PaintProbe::Make(top, u"right", &paintLog);
  right->Place(160, 0, 40, kHeight);
  right->UseLook(ColourLook(0xFF778899, {40, kHeight}));
  root->InvalidateRect({0, 0, kWidth, kHeight});
  Pump();
  // The middle turns another colour that nothing asks to show yet.
  middle->UseLook(ColourLook(0xFFAABBCC, {80, 60}));
  (void)TakeDirty();
  Win::ValidateRect(hwnd, nullptr);
  paintLog.clear();
  script->presented.clear();

  root->InvalidateRect({10, 10, 20, 20});
  root->InvalidateRect({170, 70, 10, 10});
  Pump();
  EXPECT_EQ(Painted(), (Lines{"left", "right"})) << "the middle lies between the rectangles, not under them";
  ASSERT_EQ(script->presented.size(), 1u) << "one frame";
  EXPECT_EQ(script->presented[0].size(), 2u);
  EXPECT_EQ(PixelAt(15, 15), 0x112233u);
  EXPECT_EQ(PixelAt(175, 75), 0x778899u);
  EXPECT_EQ(PixelAt(100, 50), 0x445566u) << "the pixels between keep what they showed";
  EXPECT_EQ(PixelAt(35, 35), 0x112233u);
}

TEST_F(RootWindowPaintTest, FloatingControlsPaintAboveTheTreeInAscendingZOrder) {
  const RCPtr<InputProbe> panel = Probe(top, u"panel", {0, 0, 60, 60});
  // Declared first, drawn last: Z order 5 beats 3; equal orders keep the tree's order; a
  // floating control inside a floating one paints right after it.
  const RCPtr<PaintProbe> high = Floating(u"high", {40, 40, 60, 40}, 0xFF0000FF, 5, panel);
  Floating(u"lowFirst", {20, 20, 60, 40}, 0xFF00FF00, 3, top);
  Floating(u"lowSecond", {30, 30, 10, 10}, 0xFF00FFFF, 3, top);
  Floating(u"inHigh", {50, 30, 20, 20}, 0xFFFF0000, 1, high);
  root->InvalidateRect({0, 0, kWidth, kHeight});
  Pump();
  EXPECT_EQ(Painted(), (Lines{"lowFirst", "lowSecond", "high", "inHigh"}));
  EXPECT_EQ(PixelAt(25, 25), 0x00FF00u) << "lowFirst";
  EXPECT_EQ(PixelAt(45, 45), 0x0000FFu) << "high above lowFirst";
  EXPECT_EQ(PixelAt(95, 75), 0xFF0000u) << "inHigh, beyond its parent, above everything";
  EXPECT_EQ(PixelAt(150, 90), 0x808080u) << "the top control";
}

TEST_F(RootWindowPaintTest, AResizeRepaintsTheWholeWindowAtItsNewSize) {
  // The user resizes the window: SDL's window changes, then the event tells.
  ASSERT_TRUE(Win::MoveWindow(hwnd, kLeft, kTop, 300, 150, false));
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_SIZE_CHANGED, 300, 150));
  Pump();
  ASSERT_FALSE(script->presented.empty());
  const SDL_Rect& whole = script->presented.back().front();
  EXPECT_EQ(whole.w, 300);
  EXPECT_EQ(whole.h, 150);
  EXPECT_EQ(root->GetClientRect(), (RectT<int32_t>{kLeft, kTop, 300, 150}));
  EXPECT_EQ(top->GetRect(), (RectT<double>{0, 0, 300, 150})) << "the top control fills the client area";
}

// Invalidations are cut to the client size the root window last read: read after a resize,
// it lets them reach the new area, and back at the old size it cuts them there again.
TEST_F(RootWindowPaintTest, InvalidationsAreCutToTheClientSizeLastRead) {
  ASSERT_TRUE(Win::MoveWindow(hwnd, kLeft, kTop, 300, 150, false));
  ASSERT_EQ(root->GetClientRect(), (RectT<int32_t>{kLeft, kTop, 300, 150}));
  (void)TakeDirty();
  root->InvalidateRect({250, 120, 100, 100});
  EXPECT_EQ(TakeDirty(), (std::vector<EdgeRect>{{250, 120, 300, 150}}));
  ASSERT_TRUE(Win::MoveWindow(hwnd, kLeft, kTop, kWidth, kHeight, false));
  ASSERT_EQ(root->GetClientRect(), (RectT<int32_t>{kLeft, kTop, kWidth, kHeight}));
  root->InvalidateRect({150, 80, 100, 100});
  EXPECT_EQ(TakeDirty(), (std::vector<EdgeRect>{{150, 80, kWidth, kHeight}}));
}

// A move that brings the window back onto the work area, and a change of the displays,
// repaint the whole window.
TEST_F(RootWindowPaintTest, BackOnTheWorkAreaOrOnNewDisplaysTheWholeWindowIsPainted) {
  const std::vector<EdgeRect> whole{{0, 0, kWidth, kHeight}};
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_MOVED, 500, 300));
  Pump();
  EXPECT_TRUE(TakeDirty().empty()) << "inside the work area";
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_MOVED, -50, 300));
  Pump();
  EXPECT_TRUE(TakeDirty().empty()) << "partly off the work area";
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_MOVED, 20, 300));
  Pump();
  EXPECT_EQ(TakeDirty(), whole) << "back on it";
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_MOVED, 40, 300));
  Pump();
  EXPECT_TRUE(TakeDirty().empty()) << "only once";

  script->Push(OfType(SDL_DISPLAYEVENT));
  Pump();
  EXPECT_TRUE(TakeDirty().empty()) << "painted at once";
  EXPECT_FALSE(script->presented.empty());
  EXPECT_EQ(script->presented.back().front().w, kWidth);
}

TEST_F(RootWindowPaintTest, InstallingNoTopControlRepaintsNothingAndEmptiesTheHotKeysBeforeTheNextLoad) {
  const KeyCode save = KeyCode::FromString(u"Ctrl+VKEY_S");
  top->stringTable = LStringTable::Create({{u"GHK.NID_FIRST_SAVE", u"Ctrl+VKEY_S"}});
  const RCPtr<InputProbe> second = Probe(nullptr, u"second", {0, 0, kWidth, kHeight});
  second->stringTable = LStringTable::Create({{u"GHK.NID_SECOND_SAVE", u"Ctrl+VKEY_S"}});
  ASSERT_EQ(root->InstallRootControl(nullptr), QZ_OK);
  ASSERT_EQ(root->InstallRootControl(top), QZ_OK);
  EXPECT_EQ(root->GetHotKeyManager()->GetHotKeyMap().FindCommand(save), WString(u"NID_FIRST_SAVE"));
  Pump();
  const int32_t internal = root->GetInternalRefCount();

  ASSERT_EQ(root->InstallRootControl(nullptr), QZ_OK);
  EXPECT_EQ(root->GetRootControl(), nullptr);
  EXPECT_EQ(top->GetRootWindowRef(), nullptr) << "detached";
  EXPECT_EQ(root->GetInternalRefCount(), internal - 1);
  EXPECT_TRUE(root->GetHotKeyManager()->GetHotKeyMap().FindCommand(save).IsEmpty());
  EXPECT_TRUE(TakeDirty().empty());
  EXPECT_EQ(OsUpdate().right, 0) << "no repaint asked of the window";

  ASSERT_EQ(root->InstallRootControl(second), QZ_OK);
  EXPECT_EQ(second->GetRootWindowRef(), RCPtr<IRootWindow>(root));
  EXPECT_EQ(root->GetHotKeyManager()->GetHotKeyMap().FindCommand(save), WString(u"NID_SECOND_SAVE"));
  EXPECT_EQ(root->GetInternalRefCount(), internal);
  EXPECT_EQ(TakeDirty(), (std::vector<EdgeRect>{{0, 0, kWidth, kHeight}}));
  EXPECT_EQ(OsUpdate().right, kWidth);
  // Installing it again changes nothing.
  ASSERT_EQ(root->InstallRootControl(second), QZ_OK);
  EXPECT_EQ(root->GetInternalRefCount(), internal);
  EXPECT_TRUE(TakeDirty().empty());
}

TEST_F(RootWindowPaintTest, SettingTheClientRectangleItHasMovesNothingAndInvalidatesNothing) {
  Win::ValidateRect(hwnd, nullptr);
  EXPECT_EQ(root->SetClientRect(root->GetClientRect()), QZ_FALSE);
  EXPECT_TRUE(TakeDirty().empty());
  EXPECT_EQ(OsUpdate().right, 0);

  EXPECT_EQ(root->SetClientRect({kLeft + 10, kTop + 20, 150, 80}), QZ_OK);
  EXPECT_EQ(root->GetClientRect(), (RectT<int32_t>{kLeft + 10, kTop + 20, 150, 80}));
}

// --- A rectangle that alternates between states ------------------------------------------

class RootWindowAlternatingTest : public RootWindowPaintTest {
protected:
  void SetUp() override {
    RootWindowPaintTest::SetUp();
    probe = PaintProbe::Make(top, u"probe", &paintLog);
    probe->Place(20, 20, 60, 30);
    probe->UseLook(ColourLook(0xFF20A040, {60, 30}));
    Pump();
    paintLog.clear();
  }
  void TearDown() override {
    probe = nullptr;
    RootWindowPaintTest::TearDown();
  }
  // A change of the marked rectangle to state, painted: whether the tree was painted.
  bool ShowState(uint32_t state) {
    paintLog.clear();
    root->MarkAlternating(probe.Get(), state);
    root->InvalidateRect(kMarked);
    root->MarkAlternating(nullptr, 0);
    Pump();
    return !Painted().empty();
  }

  static constexpr RectT<int32_t> kMarked{40, 25, 1, 12};
  RCPtr<PaintProbe> probe;
};

TEST_F(RootWindowAlternatingTest, EachStateIsPaintedOnceThenShownFromItsPixels) {
  EXPECT_TRUE(ShowState(0));
  EXPECT_TRUE(ShowState(1));
  script->presented.clear();
  EXPECT_FALSE(ShowState(0)) << "the pixels painted for state 0";
  EXPECT_FALSE(ShowState(1));
  ASSERT_EQ(script->presented.size(), 2u) << "each still copied to the screen";
  EXPECT_EQ(script->presented[0].size(), 1u);
  EXPECT_EQ(PixelAt(40, 25), 0x20A040u);

  // Another change beside the rectangle leaves its pixels; one over it makes each state
  // paint again.
  root->InvalidateRect({100, 60, 10, 10});
  Pump();
  EXPECT_FALSE(ShowState(0));
  root->InvalidateRect({35, 30, 10, 10});
  Pump();
  EXPECT_TRUE(ShowState(1));
  EXPECT_TRUE(ShowState(0));
  EXPECT_FALSE(ShowState(1));
}

TEST_F(RootWindowAlternatingTest, AnotherRectangleOrOwnerStartsAfresh) {
  EXPECT_TRUE(ShowState(0));
  EXPECT_TRUE(ShowState(1));
  paintLog.clear();
  root->MarkAlternating(top.Get(), 0);
  root->InvalidateRect(kMarked);
  root->MarkAlternating(nullptr, 0);
  Pump();
  EXPECT_FALSE(Painted().empty()) << "the same rectangle of another owner";
  EXPECT_TRUE(ShowState(0)) << "back to the first owner: nothing kept of it";

  paintLog.clear();
  root->InvalidateRect(kMarked);
  Pump();
  EXPECT_FALSE(Painted().empty()) << "unmarked, the rectangle is painted";
  EXPECT_TRUE(ShowState(1)) << "and its kept pixels are gone";
}

// A probe whose first drawing marks the rectangle with state 0 and invalidates it: the
// window's first marking comes while a frame paints.
class MarkingProbe : public PaintProbe {
public:
  MarkingProbe(const RCPtr<LControl>& parent, std::vector<std::string>* log, LRootWindow& root,
               const RectT<int32_t>& marked)
      : PaintProbe(parent, u"marker", log), mRoot(root), mMarked(marked) {}
  QZResult DrawContent(const RCPtr<LRenderer>& renderer) override {
    if (!mDone) {
      mDone = true;
      mRoot.MarkAlternating(this, 0);
      mRoot.InvalidateRect(mMarked);
      mRoot.MarkAlternating(nullptr, 0);
    }
    return PaintProbe::DrawContent(renderer);
  }

private:
  LRootWindow& mRoot;
  RectT<int32_t> mMarked;
  bool mDone = false;
};

TEST_F(RootWindowAlternatingTest, AFirstMarkingDuringAFrameKeepsNothingOfThatFrame) {
  const RCPtr<MarkingProbe> marker(new MarkingProbe(top, &paintLog, *root, kMarked));
  marker->Place(20, 20, 60, 30);
  marker->UseLook(ColourLook(0xFF3050C0, {60, 30}));
  auto markerFrames = [this] {
    const Lines names = Painted();
    return std::count(names.begin(), names.end(), "marker");
  };
  paintLog.clear();
  root->InvalidateRect(kMarked);
  Pump();
  EXPECT_EQ(markerFrames(), 2) << "the frame the marking met, and the marked state's own";

  paintLog.clear();
  root->MarkAlternating(marker.Get(), 0);
  root->InvalidateRect(kMarked);
  root->MarkAlternating(nullptr, 0);
  Pump();
  EXPECT_EQ(markerFrames(), 0) << "the state's pixels, kept from its own frame";
  EXPECT_EQ(PixelAt(40, 25), 0x3050C0u);
}

} // namespace
} // namespace QZ
