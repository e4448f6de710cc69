// The OS window's paint: a rectangle the tree invalidated is the only part painted and
// copied to the window; a part the window system uncovered is the only part copied (the
// window's surface still holds its pixels).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/RootWindowTestSupport.h"

namespace QZ {
namespace {

using namespace QZTest;
using Lines = std::vector<std::string>;

class OSWindowPaintTest : public RootWindowFixture {
protected:
  void SetUp() override {
    RootWindowFixture::SetUp();
    painted = PaintProbe::Make(nullptr, u"top", &log);
    painted->Place(0, 0, kWidth, kHeight);
    painted->UseLook(ColourLook(kRed, {kWidth, kHeight}));
    const RCPtr<PaintProbe> child = PaintProbe::Make(painted, u"child", &log);
    child->Place(150, 60, 40, 30);
    child->UseLook(ColourLook(kBlue, {40, 30}));
    ASSERT_EQ(root->InstallRootControl(painted), QZ_OK);
    Pump();
    ASSERT_FALSE(Win::GetUpdateRect(hwnd, nullptr, false)) << "the first frame is painted";
    Restart();
  }
  void TearDown() override {
    painted = nullptr;
    RootWindowFixture::TearDown();
  }
  void Restart() {
    log.clear();
    script->presented.clear();
  }
  // The rectangles copied to the window, frame by frame, as {x,y,w,h}.
  std::vector<Lines> Copied() const {
    std::vector<Lines> frames;
    for (const std::vector<SDL_Rect>& frame : script->presented) {
      Lines rects;
      for (const SDL_Rect& rect : frame) {
        rects.push_back(RecordingRenderer::Rect(RectT<int32_t>{rect.x, rect.y, rect.w, rect.h}));
      }
      frames.push_back(rects);
    }
    return frames;
  }
  void Expose(int x, int y, int width, int height) {
    SDL_Event event{};
    event.window = Win::ExposedEvent(id, x, y, width, height);
    script->Push(event);
  }

  Lines log;
  RCPtr<PaintProbe> painted;
};

TEST_F(OSWindowPaintTest, AnInvalidatedRectangleIsTheOnlyPartPaintedAndCopied) {
  root->InvalidateRect({30, 20, 10, 5});
  Pump();
  EXPECT_EQ(Copied(), (std::vector<Lines>{{"{30,20,10,5}"}}));
  EXPECT_EQ(log, (Lines{"top content {30,20,10,5} (0,0) a1", "top overlay {30,20,10,5} (0,0) a1"}))
      << "the child, elsewhere, is not painted";

  Restart();
  root->InvalidateRect({160, 70, 10, 10}); // inside the child
  Pump();
  EXPECT_EQ(Copied(), (std::vector<Lines>{{"{160,70,10,10}"}}));
  EXPECT_EQ(log.size(), 4u) << "top and child, content and overlay";
}

TEST_F(OSWindowPaintTest, AnUncoveredPartIsTheOnlyPartCopiedAndAnExposeWithoutOneCopiesTheWholeWindow) {
  Expose(40, 30, 30, 20);
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_EXPOSED)); // SDL's own for the same uncovering
  Pump();
  EXPECT_EQ(Copied(), (std::vector<Lines>{{"{40,30,30,20}"}}));
  EXPECT_EQ(log, Lines{}) << "the window's surface still holds those pixels: copied, not painted";

  Restart();
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_EXPOSED));
  Pump();
  EXPECT_EQ(Copied(), (std::vector<Lines>{{"{0,0,200,100}"}}));
}

} // namespace
} // namespace QZ
