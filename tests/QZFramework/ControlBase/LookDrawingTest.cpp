#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/LookTestSupport.h"
#include "Support/FixedAdvanceMeasurer.h"
#include "Support/RecordingRenderer.h"

namespace QZ {
namespace {

using namespace QZTest;
using Lines = std::vector<std::string>;

std::string Fill(const RectT<int32_t>& rect, uint32_t argb) {
  return "FillRect(" + RecordingRenderer::Rect(rect) + ", " + RecordingRenderer::Color(ColorT<float>::FromARGB(argb)) +
         ", true)";
}
std::string Push(const RectT<int32_t>& frame, const RectT<int32_t>& clip) {
  return "PushClip(" + RecordingRenderer::Rect(frame) + ", " + RecordingRenderer::Rect(clip) + ", null, true)";
}

class LookDrawingTest : public ::testing::Test {
protected:
  void SetUp() override { renderer->StartFrame({0, 0, 200, 200}); }

  // A region of the given rectangles (left, top, right, bottom), drawn in this order.
  static RectListT<int32_t> Region(std::vector<EdgeRect> rects) {
    RectListT<int32_t> region;
    for (auto rect = rects.rbegin(); rect != rects.rend(); ++rect) {
      region.AddRect(*rect);
    }
    return region;
  }
  // How many states the renderer has saved.
  size_t Depth() const { return renderer->GetCurrentContext()->GetSavedStates().size(); }

  // 100 x 40 with a red client part inset by (2, 3, -4, -5): client rectangle (2, 3, 94, 32).
  RCPtr<LLook> RedLook() {
    const RCPtr<LLook> look =
        LLook::Create(LookOf(ColourPart(kRed, {1, 1}), LDockedPart::ClientDock(2, 3, -4, -5)), false);
    look->SetSize({100, 40});
    return look;
  }

  RCPtr<RecordingRenderer> renderer{new RecordingRenderer};
};

TEST_F(LookDrawingTest, DrawsOncePerUpdateRectangleThatMeetsTheTargetAndTheClip) {
  const RCPtr<LLook> look = RedLook();
  const RectT<int32_t> client{2, 3, 94, 32};
  EXPECT_EQ(look->DrawClientParts(renderer, Region({{50, 20, 60, 50}, {0, 0, 10, 10}, {150, 150, 160, 160}})), 1);
  EXPECT_EQ(renderer->TopLevel(), (Lines{
                                      Push(client, {50, 20, 10, 15}),
                                      Fill({0, 0, 94, 32}, kRed),
                                      "PopClip()",
                                      Push(client, {2, 3, 8, 7}),
                                      Fill({0, 0, 94, 32}, kRed),
                                      "PopClip()",
                                  }));

  // Only what meets the renderer's clip.
  renderer->PushClip({0, 0, 200, 200}, {0, 0, 30, 30}, nullptr, true);
  renderer->calls.clear();
  EXPECT_EQ(look->DrawClientParts(renderer, Region({{50, 20, 60, 50}, {0, 0, 10, 10}})), 1);
  EXPECT_EQ(renderer->TopLevel(), (Lines{Push(client, {2, 3, 8, 7}), Fill({0, 0, 94, 32}, kRed), "PopClip()"}));
  renderer->calls.clear();
  EXPECT_EQ(look->DrawClientParts(renderer, Region({{50, 20, 60, 50}})), 0);
  EXPECT_TRUE(renderer->calls.empty());
  EXPECT_EQ(Depth(), 1u);
}

TEST_F(LookDrawingTest, WorksInTheRenderersCurrentOriginAndTheLooksOwnRegion) {
  const RCPtr<LLook> look = RedLook();
  renderer->Translate({10, 20}); // where the control lies in the window
  renderer->calls.clear();
  look->DrawClientParts(renderer, Region({{10, 20, 20, 30}}));
  EXPECT_EQ(renderer->TopLevel()[0], Push({2, 3, 94, 32}, {2, 3, 8, 7}));

  renderer->calls.clear();
  look->GetOwnRegion().AddRect({0, 0, 6, 6});
  look->GetOwnRegion().AddRect({50, 0, 60, 40});
  look->DrawClientParts(renderer, Region({{0, 0, 200, 200}}));
  EXPECT_EQ(renderer->TopLevel(), (Lines{
                                      Push({2, 3, 94, 32}, {2, 3, 4, 3}),
                                      Fill({0, 0, 94, 32}, kRed),
                                      "PopClip()",
                                      Push({2, 3, 94, 32}, {50, 3, 10, 32}),
                                      Fill({0, 0, 94, 32}, kRed),
                                      "PopClip()",
                                  }));
}

TEST_F(LookDrawingTest, TheOverlayDrawsOverTheClientPartOrInsteadOfIt) {
  const RCPtr<LLook> look = RedLook();
  const RCPtr<LBitmap> image = LBitmap::CreateFilledBitmap({8, 8}, ColorT<float>::FromARGB(kBlue));
  renderer->Label(image.Get(), "image");
  const RectListT<int32_t> all = Region({{0, 0, 100, 40}});
  ASSERT_EQ(look->SetClientPart(image, ResizeType::Center, false), QZ_OK);
  look->DrawClientParts(renderer, all);
  EXPECT_EQ(renderer->TopLevel(), (Lines{
                                      Push({2, 3, 94, 32}, {2, 3, 94, 32}),
                                      Fill({0, 0, 94, 32}, kRed),
                                      "DrawBitmap(image, {0,0,94,32}, 2)",
                                      "PopClip()",
                                  }));
  renderer->calls.clear();
  ASSERT_EQ(look->SetClientPart(image, ResizeType::Center, true), QZ_OK);
  look->DrawClientParts(renderer, all);
  EXPECT_EQ(renderer->TopLevel(), (Lines{
                                      Push({2, 3, 94, 32}, {2, 3, 94, 32}),
                                      "DrawBitmap(image, {0,0,94,32}, 2)",
                                      "PopClip()",
                                  }));
}

TEST_F(LookDrawingTest, NonClientPartsDrawInTheirRectangles) {
  TempFolder folder;
  const WString path = WriteImage(folder, "corner.png", 6, 4, [](int, int) { return kGreen; });
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  descriptor->AddNonClientPart(Docked(ImagePart(path, {0, 0, 6, 4}, ResizeType::Tile),
                                      {LDockedPart::kOffsetLeft | LDockedPart::kOffsetRight, 0, 0, 0}));
  descriptor->AddNonClientPart(Docked(ColourPart(0x00FFFFFF, {4, 4}), {})); // invisible
  descriptor->AddNonClientPart(Docked(ColourPart(kBlue, {4, 4}), {}));      // centred
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize({20, 10});
  renderer->Label(look->GetNonClientParts()[0]->GetBitmap().Get(), "corner");
  EXPECT_EQ(look->DrawNonClientParts(renderer, Region({{0, 0, 200, 200}})), 1);
  EXPECT_EQ(renderer->TopLevel(), (Lines{
                                      Push({0, 3, 20, 4}, {0, 3, 20, 4}),
                                      "DrawBitmap(corner, {0,0,20,4}, 1)",
                                      "PopClip()",
                                      Push({8, 3, 4, 4}, {8, 3, 4, 4}),
                                      "PopClip()",
                                      Push({8, 3, 4, 4}, {8, 3, 4, 4}),
                                      Fill({0, 0, 4, 4}, kBlue),
                                      "PopClip()",
                                  }));
  renderer->calls.clear();
  EXPECT_EQ(look->DrawNonClientParts(renderer, Region({{100, 100, 200, 200}})), 0);
  EXPECT_TRUE(renderer->calls.empty());
}

TEST_F(LookDrawingTest, NonClientPartsDrawUnderEachOfManyRectanglesThatMeetsThemInTheRegionsOrder) {
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  descriptor->AddNonClientPart(Docked(ColourPart(kBlue, {6, 4}), {LDockedPart::kOffsetRight, 0, 0, 0}));
  descriptor->AddNonClientPart(Docked(ColourPart(kGreen, {4, 4}), {})); // centred
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize({100, 20});
  ASSERT_EQ(look->GetNonClientRects(), (std::vector<RectT<int32_t>>{{94, 8, 6, 4}, {48, 8, 4, 4}}));
  // A row of single pixels through both parts: more rectangles than a look keeps at hand.
  std::vector<EdgeRect> pixels;
  for (int32_t x = 0; x < 100; x += 2) {
    pixels.push_back({x, 9, x + 1, 10});
  }
  EXPECT_EQ(look->DrawNonClientParts(renderer, Region(pixels)), 1);
  Lines expected;
  for (int32_t x : {94, 96, 98}) {
    expected.insert(expected.end(), {Push({94, 8, 6, 4}, {x, 9, 1, 1}), Fill({0, 0, 6, 4}, kBlue), "PopClip()"});
  }
  for (int32_t x : {48, 50}) {
    expected.insert(expected.end(), {Push({48, 8, 4, 4}, {x, 9, 1, 1}), Fill({0, 0, 4, 4}, kGreen), "PopClip()"});
  }
  EXPECT_EQ(renderer->TopLevel(), expected);
  EXPECT_EQ(Depth(), 0u);
}

TEST_F(LookDrawingTest, NonClientPartsDrawAndAreHitWhereTheLastSizePutsThem) {
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  descriptor->AddNonClientPart(Docked(ColourPart(kBlue, {6, 4}), {LDockedPart::kOffsetRight, 0, 0, 0}));
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize({20, 10});
  EXPECT_EQ(look->GetColorAtPoint({15.0, 4.0}), kBlue);
  // Resized twice, never asked between: the parts follow the last size.
  look->SetSize({30, 12});
  look->SetSize({40, 20});
  EXPECT_EQ(look->GetColorAtPoint({15.0, 4.0}), kRed); // the client part, no longer the corner
  EXPECT_EQ(look->GetColorAtPoint({35.0, 9.0}), kBlue);
  look->SetSize({50, 20});
  EXPECT_EQ(look->DrawNonClientParts(renderer, Region({{0, 0, 200, 200}})), 1);
  EXPECT_EQ(renderer->TopLevel(), (Lines{
                                      Push({44, 8, 6, 4}, {44, 8, 6, 4}),
                                      Fill({0, 0, 6, 4}, kBlue),
                                      "PopClip()",
                                  }));
  EXPECT_EQ(look->GetNonClientRects(), (std::vector<RectT<int32_t>>{{44, 8, 6, 4}}));
}

class LookTextTest : public LookDrawingTest {
protected:
  // A 100 x 40 look whose text block is all of it, centred, painted by textPart.
  RCPtr<LLook> TextLook(const RCPtr<LVisualPartDescriptor>& textPart) {
    const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
    TextProperties text;
    text.rightRel = 1.0f;
    text.bottomRel = 1.0f;
    text.hAlign = 0.5f;
    text.vAlign = 0.5f;
    descriptor->SetTextProperties(text, textPart);
    const RCPtr<LLook> look = LLook::Create(descriptor, false);
    look->SetSize({100, 40});
    look->SetFont(FixedAdvanceFont());
    look->SetText(WString(u"ab\ncd e"));
    renderer->Label(FixedAdvanceFont().Get(), "font");
    return look;
  }

  ScopedFixedAdvanceMeasurer measurer;
  TempFolder folder;
};

TEST_F(LookTextTest, DrawsEachLineAtItsPlaceLessTheOffsetInTheTextPartsColour) {
  const RCPtr<LLook> look = TextLook(ColourPart(kBlue, {1, 1}));
  EXPECT_EQ(look->DrawLabelText(renderer, Region({{0, 0, 100, 40}}), {0.5, -1.5}), 0);
  const std::string blue = RecordingRenderer::Color(ColorT<float>::FromARGB(kBlue));
  EXPECT_EQ(renderer->TopLevel(), (Lines{
                                      Push({0, 0, 100, 40}, {0, 0, 100, 40}),
                                      Push({0, 0, 100, 40}, {0, 0, 100, 40}),
                                      "DrawText(\"ab\", font, (43,6), " + blue + ")",
                                      "DrawText(\"cd e\", font, (36,22), " + blue + ")",
                                      "PopClip()",
                                      "PopClip()",
                                  }));
  // An unchanged block is not measured again.
  const int measured = measurer->measureCalls;
  look->DrawLabelText(renderer, Region({{0, 0, 50, 40}, {50, 0, 100, 40}}), {0, 0});
  EXPECT_EQ(measurer->measureCalls, measured);
  EXPECT_EQ(Depth(), 0u);
}

TEST_F(LookTextTest, WithoutTextBlockOrTextPartNothingIsDrawn) {
  const RCPtr<LLook> plain = RedLook();
  EXPECT_EQ(plain->DrawLabelText(renderer, Region({{0, 0, 100, 40}}), {0, 0}), 1);
  EXPECT_TRUE(renderer->calls.empty());

  const RCPtr<LLook> inkless = TextLook(ImagePart(folder.Wide("missing.png"), {0, 0, 1, 1}));
  EXPECT_EQ(inkless->GetTextForegroundPart(), nullptr);
  EXPECT_EQ(inkless->DrawLabelText(renderer, Region({{0, 0, 100, 40}}), {0, 0}), 0);
  EXPECT_EQ(renderer->TopLevel(), (Lines{Push({0, 0, 100, 40}, {0, 0, 100, 40}), "PopClip()"}));
}

TEST_F(LookTextTest, ABitmapTextPartFailsWithTheClipsPopped) {
  const WString path = WriteImage(folder, "ink.png", 2, 2, [](int, int) { return kBlue; });
  const RCPtr<LLook> look = TextLook(ImagePart(path, {0, 0, 2, 2}));
  ASSERT_NE(look->GetTextForegroundPart(), nullptr);
  renderer->PushState();
  EXPECT_EQ(ThrownText([&] {
              look->DrawLabelText(renderer, Region({{0, 0, 100, 40}}), {0, 0});
            }),
            "Domain Error : Bitmap fill for text foreground part not yet implemented. : QZ::LLook::DrawLabelText : "
            R"(ControlBase\Look : Line 293)");
  EXPECT_EQ(Depth(), 1u);
  EXPECT_EQ(renderer->TopLevel().back(), "PopClip()");
}

} // namespace
} // namespace QZ
