#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/PaintTestSupport.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "Support/FixedAdvanceMeasurer.h"

namespace QZ {
namespace {

using namespace QZTest;
using Lines = std::vector<std::string>;

class ControlPaintTest : public ::testing::Test {
protected:
  void SetUp() override { renderer->StartFrame({0, 0, 400, 300}); }

  // A region of the given rectangles (left, top, right, bottom), iterated in this order.
  static RectListT<int32_t> Region(std::vector<EdgeRect> rects) {
    RectListT<int32_t> region;
    for (auto rect = rects.rbegin(); rect != rects.rend(); ++rect) {
      region.AddRect(*rect);
    }
    return region;
  }
  size_t Depth() const { return renderer->GetCurrentContext()->GetSavedStates().size(); }

  // Paints top as the root window does: clipped to the region's bounds, origin at the
  // window's. Every push inside is popped again.
  QZResult PaintTop(const RCPtr<LControl>& top, const RectListT<int32_t>& region) {
    EdgeRect bounds;
    region.GetBounds(bounds);
    CAutoClip frame(renderer, {0, 0, 400, 300}, bounds.ToRect().ToDouble(), nullptr);
    const size_t before = Depth();
    const QZResult result = top->Paint(renderer, region, deferred, false);
    EXPECT_EQ(Depth(), before);
    return result;
  }
  std::vector<std::string> Deferred() const {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < deferred.GetCount(); ++i) {
      names.push_back(Utf8(deferred.GetAt(i)->GetName()));
    }
    return names;
  }
  RCPtr<PaintProbe> Probe(const RCPtr<LControl>& parent, const char16_t* name, RectT<double> rect, uint32_t argb) {
    RCPtr<PaintProbe> probe = PaintProbe::Make(parent, WString(name), &log);
    probe->Place(rect.x, rect.y, rect.width, rect.height);
    probe->UseLook(ColourLook(argb, {int32_t(rect.width), int32_t(rect.height)}));
    return probe;
  }

  RCPtr<RecordingRenderer> renderer{new RecordingRenderer};
  RCPtrArray<LControl, 1, 0> deferred;
  Lines log;
};

TEST_F(ControlPaintTest, ATreePaintsInPaintOrderWithEachHookClippedToItsUpdateRectangles) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 200, 150}, kRed);
  root->UseLook(ColourLook(kRed, {200, 150}, 5, 5, -5, -5)); // client (5, 5, 190, 140)
  const RCPtr<PaintProbe> a = Probe(root, u"A", {10, 10, 80, 60}, kGreen);
  a->UseLook(ColourLook(kGreen, {80, 60}, 2, 2, -2, -2)); // client (2, 2, 76, 56)
  Probe(a, u"A1", {5, 5, 20, 20}, kBlue);
  Probe(root, u"B", {100, 10, 80, 60}, kGreen);

  EXPECT_EQ(PaintTop(root, Region({{0, 0, 30, 30}, {150, 50, 200, 100}})), QZ_OK);
  EXPECT_EQ(log, (Lines{
                     "root content {0,0,30,30} (0,0) a1",
                     "root content {150,50,50,50} (0,0) a1",
                     "A content {0,0,15,15} (15,15) a1",
                     "A1 content {0,0,8,8} (22,22) a1",
                     "A1 overlay {0,0,8,8} (22,22) a1",
                     "A overlay {0,0,15,15} (15,15) a1",
                     "B content {45,35,35,25} (105,15) a1",
                     "B overlay {45,35,35,25} (105,15) a1",
                     "root overlay {0,0,30,30} (0,0) a1",
                     "root overlay {150,50,50,50} (0,0) a1",
                 }));
  // The looks drew their client parts: the root's under both rectangles, the others once.
  int fills = 0;
  for (const std::string& call : renderer->calls) {
    fills += call.find("FillRect(") != std::string::npos;
  }
  EXPECT_EQ(fills, 5);
  EXPECT_TRUE(deferred.GetCount() == 0);
}

// A control's own clip is pushed with its rectangle rounded half away from zero, whole or
// not, negative or not (a negative zero as zero).
TEST_F(ControlPaintTest, AControlPushesItsRectangleRoundedToWholePixels) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 200, 150}, kRed);
  Probe(root, u"whole", {-3, -0.0, 40, 30}, kGreen);
  Probe(root, u"halves", {10.5, 20.4, 30.6, 40.5}, kBlue);
  renderer->calls.clear();
  EXPECT_EQ(PaintTop(root, Region({{0, 0, 200, 150}})), QZ_OK);
  std::vector<std::string> pushed;
  for (const std::string& call : renderer->calls) {
    if (call.rfind("PushClip(", 0) == 0) {
      pushed.push_back(call);
    }
  }
  ASSERT_EQ(pushed.size(), 3u);
  EXPECT_EQ(pushed[1], "PushClip({-3,0,40,30}, {0,0,37,30}, null, true)");
  EXPECT_EQ(pushed[2], "PushClip({11,20,31,41}, {10.5,20.4,30.6,40.5}, null, true)");
}

TEST_F(ControlPaintTest, AHookTheClassLeavesEmptyIsReachedOnceThenCostsNoClip) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 200, 150}, kRed);
  TestControl::Make(root, u"plain")->Place(10, 10, 80, 60); // neither hook overridden
  // Two rectangles in the plain control: each hook of it is clipped to each of them.
  const RectListT<int32_t> region = Region({{20, 20, 30, 30}, {40, 40, 50, 50}});
  auto pushes = [&] {
    renderer->calls.clear();
    EXPECT_EQ(PaintTop(root, region), QZ_OK);
    int count = 0;
    for (const std::string& call : renderer->TopLevel()) {
      count += call.rfind("PushClip(", 0) == 0;
    }
    return count;
  };
  const int first = pushes();
  EXPECT_EQ(pushes(), first - 4);
  EXPECT_EQ(pushes(), first - 4);
  // The root's class draws in its hooks: they run in every paint, under each rectangle.
  EXPECT_EQ(std::count(log.begin(), log.end(), "root content {20,20,10,10} (0,0) a1"), 3);
  EXPECT_EQ(std::count(log.begin(), log.end(), "root overlay {40,40,10,10} (0,0) a1"), 3);
}

TEST_F(ControlPaintTest, ChildrenPaintOncePerWeightedLookWithTheAlphaOfOpacityAndWeight) {
  struct Case {
    std::initializer_list<float> weights;
    float opacity;
    Lines childContent;
  };
  const Case cases[] = {
      {{0.5f, 0.5f}, 1.0f, {"C content {0,0,10,10} (10,10) a0.5", "C content {0,0,10,10} (10,10) a0.5"}},
      {{0.5f, 0.5f}, 0.8f, {"C content {0,0,10,10} (10,10) a0.4", "C content {0,0,10,10} (10,10) a0.4"}},
      {{1.0f, 0.0f}, 0.8f, {"C content {0,0,10,10} (10,10) a0.8"}},
      {{0.0f, 0.0f}, 1.0f, {}},
  };
  for (const Case& c : cases) {
    log.clear();
    const RCPtr<PaintProbe> parent = Probe(nullptr, u"P", {0, 0, 50, 50}, kRed);
    parent->UseLooks({ColourLook(kRed, {50, 50}), ColourLook(kBlue, {50, 50})}, c.weights);
    parent->Opacity() = c.opacity;
    Probe(parent, u"C", {10, 10, 10, 10}, kGreen);
    EXPECT_EQ(PaintTop(parent, Region({{0, 0, 50, 50}})), QZ_OK);
    Lines children;
    for (const std::string& line : log) {
      if (line.rfind("C content", 0) == 0) {
        children.push_back(line);
      }
    }
    EXPECT_EQ(children, c.childContent) << c.opacity;
    EXPECT_EQ(log.front(), "P content {0,0,50,50} (0,0) a" + RecordingRenderer::Number(c.opacity));
  }
}

TEST_F(ControlPaintTest, EveryWeightedLookDrawsItsClientPartsBeforeAnyLookDrawsItsFrame) {
  constexpr uint32_t kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF;
  // A look of a client colour under a frame colour along its top edge.
  const auto framed = [](uint32_t client, uint32_t frame) {
    const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(client, {1, 1}), LDockedPart::ClientDock(0, 1, 0, 0));
    descriptor->AddNonClientPart(
        Docked(ColourPart(frame, {1, 1}),
               LDockedPart::Dock{LDockedPart::kOffsetLeft | LDockedPart::kOffsetTop | LDockedPart::kOffsetRight}));
    const RCPtr<LLook> look = LLook::Create(descriptor, false);
    look->SetSize({50, 50});
    return look;
  };
  struct Case {
    std::initializer_list<float> weights;
    std::vector<uint32_t> fills;
  };
  const Case cases[] = {
      {{0.5f, 0.5f}, {kRed, kGreen, kBlue, kYellow}},
      {{0.0f, 0.5f}, {kGreen, kYellow}},
      {{1.0f, 0.0f}, {kRed, kBlue}},
      {{0.0f, 0.0f}, {}},
  };
  for (const Case& c : cases) {
    const RCPtr<PaintProbe> parent = Probe(nullptr, u"P", {0, 0, 50, 50}, kCyan);
    parent->UseLooks({framed(kRed, kBlue), framed(kGreen, kYellow)}, c.weights);
    renderer->calls.clear();
    EXPECT_EQ(PaintTop(parent, Region({{0, 0, 50, 50}})), QZ_OK);
    std::vector<uint32_t> fills;
    for (const std::string& call : renderer->calls) {
      for (const uint32_t colour : {kRed, kGreen, kBlue, kYellow, kCyan}) {
        if (call.rfind("FillRect(", 0) == 0 &&
            call.find(RecordingRenderer::Color(ColorT<float>::FromARGB(colour))) != std::string::npos) {
          fills.push_back(colour);
        }
      }
    }
    EXPECT_EQ(fills, c.fills) << c.weights.begin()[0] << " " << c.weights.begin()[1];
  }
}

TEST_F(ControlPaintTest, AControlOfTheOtherPassIsRefusedUntouched) {
  const RCPtr<PaintProbe> top = Probe(nullptr, u"top", {0, 0, 50, 50}, kRed);
  const RCPtr<PaintProbe> floating = Probe(top, u"floating", {0, 0, 20, 20}, kRed);
  floating->Float();
  const RectListT<int32_t> region = Region({{0, 0, 50, 50}});
  renderer->calls.clear();
  EXPECT_EQ(top->Paint(renderer, region, deferred, true), QZ_E_INVALIDARG);
  EXPECT_EQ(floating->Paint(renderer, region, deferred, false), QZ_E_INVALIDARG);
  EXPECT_EQ(top->Paint(nullptr, region, deferred, false), QZ_E_INVALIDARG);
  EXPECT_TRUE(renderer->calls.empty());
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(deferred.GetCount(), 0u);
}

TEST_F(ControlPaintTest, AnUnclippedChildIsDeferredAndPaintsInTheDeferredPass) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 200, 150}, kRed);
  const RCPtr<PaintProbe> panel = Probe(root, u"panel", {10, 10, 100, 100}, kGreen);
  const RCPtr<PaintProbe> popup = Probe(panel, u"popup", {90, 90, 50, 30}, kBlue);
  popup->Float(3);
  const RectListT<int32_t> region = Region({{0, 0, 200, 150}});

  EXPECT_EQ(PaintTop(root, region), QZ_OK);
  EXPECT_EQ(Deferred(), Lines{"popup"});
  for (const std::string& line : log) {
    EXPECT_EQ(line.find("popup"), std::string::npos) << line;
  }

  // The root window paints it on top, from its parent's content origin.
  log.clear();
  CAutoClip frame(renderer, {0, 0, 400, 300}, {0, 0, 200, 150}, nullptr);
  CAutoClip parentContent(renderer, ClipDescriptor{ClipFlavorOffset, {}, {}, nullptr, 1, {10, 10}});
  const size_t before = Depth();
  RCPtrArray<LControl, 1, 0> more;
  EXPECT_EQ(popup->Paint(renderer, region, more, true), QZ_OK);
  EXPECT_EQ(Depth(), before);
  EXPECT_EQ(log, (Lines{"popup content {0,0,50,30} (100,100) a1", "popup overlay {0,0,50,30} (100,100) a1"}));
}

TEST_F(ControlPaintTest, AChildDockedOnBothAxesIsOnlyOffsetWhileOthersAreCutToTheClientArea) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 200, 150}, kRed);
  root->UseLook(ColourLook(kRed, {200, 150}, 20, 20, -20, -20)); // client (20, 20, 160, 110)
  root->ScrollOffsetField() = {3, 4};
  Probe(root, u"plain", {-10, -10, 40, 40}, kGreen);
  Probe(root, u"docked", {-10, -10, 40, 40}, kBlue)->Dock(true, true);

  EXPECT_EQ(PaintTop(root, Region({{0, 0, 200, 150}})), QZ_OK);
  EXPECT_EQ(log, (Lines{
                     "root content {0,0,200,150} (0,0) a1",
                     "plain content {13,14,27,26} (7,6) a1",
                     "plain overlay {13,14,27,26} (7,6) a1",
                     "docked content {0,0,40,40} (7,6) a1",
                     "docked overlay {0,0,40,40} (7,6) a1",
                     "root overlay {0,0,200,150} (0,0) a1",
                 }));
  const Lines top = renderer->TopLevel();
  EXPECT_NE(std::find(top.begin(), top.end(), "PushClip({17,16,163,114}, {20,20,160,110}, null, true)"), top.end());
  EXPECT_NE(std::find(top.begin(), top.end(), "PushClipOffset((17,16))"), top.end());
}

// Step 2 treats a control of width 0 as hidden, its subtree with it; what lies wholly
// outside the renderer's clip has a width of 0 once cut to it, and still hands over.
TEST_F(ControlPaintTest, AControlCutToWidthZeroPaintsNothingYetHandsOverItsUnclippedDescendants) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 300, 100}, kRed);
  const RCPtr<PaintProbe> away = Probe(root, u"away", {200, 0, 50, 50}, kGreen);
  Probe(away, u"inner", {0, 0, 10, 10}, kGreen);
  Probe(away, u"menu", {-150, 0, 40, 40}, kBlue)->Float();
  const RCPtr<PaintProbe> thin = Probe(root, u"thin", {20, 0, 0, 50}, kGreen);
  Probe(thin, u"tip", {0, 0, 40, 40}, kBlue)->Float();

  EXPECT_EQ(PaintTop(root, Region({{0, 0, 100, 100}})), QZ_OK);
  EXPECT_EQ(Deferred(), Lines{"menu"});
  EXPECT_EQ(log, (Lines{"root content {0,0,100,100} (0,0) a1", "root overlay {0,0,100,100} (0,0) a1"}));
}

TEST_F(ControlPaintTest, APassWhoseClientClipMissesPaintsNothingButCollectsWhatFloats) {
  const RCPtr<PaintProbe> panel = Probe(nullptr, u"panel", {0, 0, 100, 100}, kRed);
  panel->UseLook(ColourLook(kRed, {100, 100}, 50, 50, 0, 0)); // client (50, 50, 50, 50)
  const RCPtr<PaintProbe> cell = Probe(panel, u"cell", {0, 0, 20, 20}, kGreen);
  Probe(cell, u"bubble", {-60, -60, 30, 30}, kBlue)->Float();
  Probe(panel, u"plain", {20, 0, 20, 20}, kGreen);

  EXPECT_EQ(PaintTop(panel, Region({{0, 0, 40, 40}})), QZ_OK);
  EXPECT_EQ(log, (Lines{"panel content {0,0,40,40} (0,0) a1", "panel overlay {0,0,40,40} (0,0) a1"}));
  EXPECT_EQ(Deferred(), Lines{"bubble"});
}

TEST_F(ControlPaintTest, AHiddenSubtreeIsNotWalked) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 100, 100}, kRed);
  const RCPtr<PaintProbe> hidden = Probe(root, u"hidden", {0, 0, 50, 50}, kGreen);
  hidden->Float();
  hidden->Layout().isVisible = false;
  Probe(hidden, u"below", {0, 0, 10, 10}, kBlue)->Float();
  const RCPtr<PaintProbe> shown = Probe(root, u"shown", {50, 50, 20, 20}, kGreen);
  shown->Float();
  Probe(shown, u"above", {0, 0, 10, 10}, kBlue)->Float();

  EXPECT_EQ(PaintTop(root, Region({{0, 0, 100, 100}})), QZ_OK);
  EXPECT_EQ(Deferred(), Lines{"shown"});

  struct Case {
    RCPtr<PaintProbe> from;
    bool skipHidden;
    bool includeSelf;
    Lines collected;
  };
  const Case cases[] = {
      {hidden, true, true, {}},
      {hidden, false, true, {"hidden", "below"}},
      {hidden, false, false, {"below"}},
      {shown, true, true, {"shown", "above"}},
      {shown, true, false, {"above"}},
      {root, true, true, {"shown", "above"}},
      {root, false, false, {"hidden", "below", "shown", "above"}},
  };
  for (const Case& c : cases) {
    deferred.RemoveAll();
    EXPECT_EQ(c.from->CollectUnclipped(deferred, c.skipHidden, c.includeSelf), c.collected.size());
    EXPECT_EQ(Deferred(), c.collected) << Utf8(c.from->GetName()) << c.skipHidden << c.includeSelf;
  }
}

// The process's trace, captured from stderr while it lives.
class CapturedTrace {
public:
  CapturedTrace() {
    setenv("QZ_DEBUG_TRACE", "1", 1);
    testing::internal::CaptureStderr();
  }
  CapturedTrace(const CapturedTrace&) = delete;
  CapturedTrace& operator=(const CapturedTrace&) = delete;
  ~CapturedTrace() { Text(); }
  const std::string& Text() {
    if (!mEnded) {
      mText = testing::internal::GetCapturedStderr();
      unsetenv("QZ_DEBUG_TRACE");
      mEnded = true;
    }
    return mText;
  }

private:
  bool mEnded = false;
  std::string mText;
};

TEST_F(ControlPaintTest, ALookThatFailsCostsOnlyItsOwnDrawing) {
  ScopedFixedAdvanceMeasurer measurer;
  TempFolder folder;
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  TextProperties text;
  text.rightRel = 1.0f;
  text.bottomRel = 1.0f;
  descriptor->SetTextProperties(text, ImagePart(WriteImage(folder, "ink.png", 2, 2, [](int, int) { return kBlue; })));
  const RCPtr<LLook> inkedWithImage = LLook::Create(descriptor, false);
  inkedWithImage->SetSize({60, 40});
  inkedWithImage->SetFont(FixedAdvanceFont());
  inkedWithImage->SetText(WString(u"label"));

  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 200, 100}, kRed);
  const RCPtr<PaintProbe> failing = Probe(root, u"failing", {0, 0, 60, 40}, kRed);
  failing->UseLook(inkedWithImage);
  Probe(failing, u"inside", {5, 5, 10, 10}, kGreen);
  Probe(root, u"sibling", {100, 0, 60, 40}, kGreen);

  CapturedTrace trace;
  EXPECT_EQ(PaintTop(root, Region({{0, 0, 200, 100}})), QZ_OK);
  EXPECT_EQ(trace.Text(), "QZ::LControl::Paint : failing : Domain Error : Bitmap fill for text foreground part not yet "
                          "implemented. : QZ::LLook::DrawLabelText : ControlBase\\Look : Line 293\n");
  EXPECT_EQ(log, (Lines{
                     "root content {0,0,200,100} (0,0) a1",
                     "failing content {0,0,60,40} (0,0) a1",
                     "inside content {0,0,10,10} (5,5) a1",
                     "inside overlay {0,0,10,10} (5,5) a1",
                     "failing overlay {0,0,60,40} (0,0) a1",
                     "sibling content {0,0,60,40} (100,0) a1",
                     "sibling overlay {0,0,60,40} (100,0) a1",
                     "root overlay {0,0,200,100} (0,0) a1",
                 }));
}

TEST_F(ControlPaintTest, TheLabelFollowsTheScrollOffsetOnlyWhenTheLooksDo) {
  ScopedFixedAdvanceMeasurer measurer;
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  TextProperties text;
  text.rightRel = 1.0f;
  text.bottomRel = 1.0f;
  descriptor->SetTextProperties(text, ColourPart(kBlue, {1, 1}));
  for (const bool follow : {false, true}) {
    const RCPtr<LLook> look = LLook::Create(descriptor, false);
    look->SetSize({60, 40});
    look->SetFont(FixedAdvanceFont());
    look->SetText(WString(u"ab"));
    const RCPtr<PaintProbe> label = Probe(nullptr, u"label", {0, 0, 60, 40}, kRed);
    label->UseLook(look);
    label->ScrollOffsetField() = {3, 2};
    label->LooksFollowScroll() = follow;
    renderer->calls.clear();
    EXPECT_EQ(PaintTop(label, Region({{0, 0, 60, 40}})), QZ_OK);
    std::string drawn;
    for (const std::string& call : renderer->calls) {
      if (call.find("DrawText(") != std::string::npos) {
        drawn = call.substr(call.find_first_not_of(' '));
      }
    }
    EXPECT_EQ(drawn.substr(0, drawn.find(", {")),
              follow ? R"(DrawText("ab", font1, (-3,-2))" : R"(DrawText("ab", font1, (0,0))");
  }
}

TEST_F(ControlPaintTest, AClientUpdateKeepsTheLookRectangleAndTheBackBufferOperationsDoNothing) {
  const RCPtr<PaintProbe> view = Probe(nullptr, u"view", {0, 0, 100, 80}, kRed);
  view->UseLook(ColourLook(kRed, {100, 80}, 4, 6, -4, -6));
  EXPECT_EQ(view->BeginClientUpdate(), QZ_OK);
  EXPECT_TRUE(view->ClientUpdate());
  EXPECT_EQ(view->SavedLookRect(), (RectT<double>{4, 6, 92, 68}));
  EXPECT_EQ(view->EndClientUpdate(), QZ_OK);
  EXPECT_FALSE(view->ClientUpdate());

  EXPECT_FALSE(view->IsBuffered());
  EXPECT_EQ(view->RebuildBackBuffer(), QZ_FALSE);
  EXPECT_EQ(view->AddToUpdateRegion({0, 0, 10, 10}, true), QZ_FALSE);
  EXPECT_EQ(view->ScrollContent({0, 0}, {0, 10}), QZ_FALSE);
  EXPECT_EQ(view->OnChildLayoutChanged(view), QZ_FALSE);
}

TEST_F(ControlPaintTest, AParentIsNotPaintedWhereOpaqueChildrenCoverWhatItWouldPaint) {
  // The fills of a colour, in the order drawn.
  auto fillsOf = [&](const std::string& colour) {
    int count = 0;
    for (const std::string& call : renderer->calls) {
      count += call.find("FillRect(") != std::string::npos && call.find(colour) != std::string::npos;
    }
    return count;
  };
  const std::string red = RecordingRenderer::Color(ColorT<float>::FromARGB(kRed));
  const std::string green = RecordingRenderer::Color(ColorT<float>::FromARGB(kGreen));
  struct Case {
    const char* what;
    std::vector<EdgeRect> region;
    std::function<void(PaintProbe& cover, PaintProbe& parent)> change;
    bool parentPainted;
  };
  const Case cases[] = {
      {"inside the opaque child", {{25, 15, 35, 25}}, {}, false},
      {"two pieces, each under it", {{22, 12, 30, 20}, {40, 30, 55, 45}}, {}, false},
      {"partly beside it", {{25, 15, 65, 25}}, {}, true},
      {"under the translucent child", {{72, 12, 80, 20}}, {}, true},
      {"a child not quite opaque",
       {{25, 15, 35, 25}},
       [](PaintProbe& cover, PaintProbe&) { cover.Opacity() = 0.9f; },
       true},
      {"a child hidden", {{25, 15, 35, 25}}, [](PaintProbe& cover, PaintProbe&) { cover.SetVisible(false); }, true},
      {"a child whose look is inset",
       {{25, 15, 35, 25}},
       [](PaintProbe& cover, PaintProbe&) {
         cover.UseLook(ColourLook(kGreen, {40, 40}, 1, 1, -1, -1));
       },
       true},
      {"a child cut by the parent's client area",
       {{25, 15, 35, 25}},
       [](PaintProbe&, PaintProbe& parent) {
         parent.UseLook(ColourLook(kRed, {100, 80}, 0, 20, 0, 0));
       },
       true},
      {"a child moved off by the parent's scrolling",
       {{25, 15, 35, 25}},
       [](PaintProbe&, PaintProbe& parent) {
         parent.ScrollOffsetField() = {0, 30};
       },
       true},
  };
  for (const Case& c : cases) {
    log.clear();
    const RCPtr<PaintProbe> parent = Probe(nullptr, u"P", {0, 0, 100, 80}, kRed);
    const RCPtr<PaintProbe> cover = Probe(parent, u"C", {20, 10, 40, 40}, kGreen);
    Probe(parent, u"T", {70, 10, 20, 20}, 0x80008000);
    if (c.change) {
      c.change(*cover, *parent);
    }
    renderer->calls.clear();
    std::vector<EdgeRect> region = c.region;
    EXPECT_EQ(PaintTop(parent, Region(region)), QZ_OK);
    EXPECT_EQ(fillsOf(red) > 0, c.parentPainted) << c.what;
    EXPECT_EQ(log.front().rfind("P content", 0), 0u) << c.what << ": the hooks run all the same";
    if (!c.parentPainted) {
      EXPECT_EQ(fillsOf(green), int(region.size())) << c.what << ": the child paints its part";
    }
  }
}

} // namespace
} // namespace QZ
