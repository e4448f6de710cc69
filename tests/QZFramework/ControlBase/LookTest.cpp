#include <gtest/gtest.h>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/LookTestSupport.h"
#include "QZFramework/ControlBase/VisualPart.h"
#include "Support/FixedAdvanceMeasurer.h"
#include "Support/RecordingRenderer.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using namespace QZTest;
using Dock = LDockedPart::Dock;
constexpr uint32_t L = LDockedPart::kOffsetLeft, T = LDockedPart::kOffsetTop, R = LDockedPart::kOffsetRight,
                   B = LDockedPart::kOffsetBottom;

TEST(LookTest, NonClientRectanglesFollowTheirOffsets) {
  struct Case {
    const char* what;
    Dock dock;
    SizeT<int32_t> part; // the part descriptor's width and height
    SizeT<int32_t> look;
    RectT<int32_t> rect;
  };
  const Case cases[] = {
      {"neither offset: centred, halves truncated", {}, {20, 10}, {101, 40}, {40, 15, 20, 10}},
      {"centred, larger than the look", {}, {20, 10}, {7, 3}, {-6, -3, 20, 10}},
      {"left and top only", {L | T, 3, 4}, {20, 10}, {101, 40}, {3, 4, 20, 10}},
      {"right and bottom only", {R | B, 0, 0, -3, -4}, {20, 10}, {101, 40}, {78, 26, 20, 10}},
      {"all four: stretched between them", {L | T | R | B, 2, 3, -4, -5}, {20, 10}, {101, 40}, {2, 3, 95, 32}},
      {"the entry's width and height win", {L | B, 1, 0, 0, -2, true, 6, true, 8}, {20, 10}, {101, 40}, {1, 30, 6, 8}},
      {"offsets past each other are kept", {L | R, 60, 0, -60}, {20, 10}, {100, 40}, {60, 15, -20, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
    descriptor->AddNonClientPart(Docked(ColourPart(kGreen, c.part), c.dock));
    const RCPtr<LLook> look = LLook::Create(descriptor, false);
    look->SetSize(c.look);
    ASSERT_EQ(look->GetNonClientRects().size(), 1u);
    EXPECT_EQ(look->GetNonClientRects()[0], c.rect);
    ASSERT_NE(look->GetNonClientParts()[0], nullptr);
    EXPECT_EQ(look->GetNonClientParts()[0]->GetSize(), c.part);
  }
}

TEST(LookTest, EveryNonClientPartOfALongListIsPlacedInItsOrder) {
  // More parts than the descriptor's storage grows by at a time, twice over.
  constexpr int32_t kParts = 19;
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  for (int32_t i = 0; i < kParts; ++i) {
    descriptor->AddNonClientPart(Docked(ColourPart(kGreen, {1 + i, 2}), {L | T, i, 0}));
  }
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize({100, 40});
  ASSERT_EQ(look->GetNonClientRects().size(), size_t(kParts));
  for (int32_t i = 0; i < kParts; ++i) {
    EXPECT_EQ(look->GetNonClientRects()[size_t(i)], (RectT<int32_t>{i, 0, 1 + i, 2})) << i;
  }
}

TEST(LookTest, TheClientRectangleStaysInsideTheLook) {
  struct Case {
    const char* what;
    Dock dock;
    SizeT<int32_t> look;
    RectT<int32_t> rect;
  };
  const Case cases[] = {
      {"offsets from the edges", LDockedPart::ClientDock(2, 3, -4, -5), {100, 40}, {2, 3, 94, 32}},
      {"a left offset past the right edge", LDockedPart::ClientDock(60, 0, 0, 0), {50, 40}, {50, 0, 0, 40}},
      {"negative near offsets", LDockedPart::ClientDock(-5, -5, 0, 0), {50, 40}, {0, 0, 50, 40}},
      {"far offsets past the near ones", LDockedPart::ClientDock(10, 10, -45, -35), {50, 40}, {10, 10, 0, 0}},
      {"far offsets outside the look", LDockedPart::ClientDock(0, 0, 20, 20), {50, 40}, {0, 0, 50, 40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RCPtr<LLook> look = LLook::Create(LookOf(ColourPart(kRed, {1, 1}), c.dock), false);
    look->SetSize(c.look);
    EXPECT_EQ(look->GetClientRect(), c.rect);
  }
}

TEST(LookTest, ANewLookIsBuiltAtItsFirstSizeAndASizedOneAtOnce) {
  const RCPtr<LLookDescriptor> first = LookOf(ColourPart(kRed, {1, 1}), LDockedPart::ClientDock(1, 1, -1, -1));
  first->AddNonClientPart(Docked(ColourPart(kGreen, {4, 4}), {}));
  const RCPtr<LLookDescriptor> second = LookOf(ColourPart(kBlue, {1, 1}), LDockedPart::ClientDock(5, 5, -5, -5));
  second->AddNonClientPart(Docked(ColourPart(kGreen, {2, 2}), {L | T, 0, 0}));
  second->AddNonClientPart(Docked(ColourPart(kRed, {6, 6}), {R | B, 0, 0, 0, 0}));

  // New: the arrays have their length, nothing is placed yet.
  const RCPtr<LLook> fresh = LLook::Create(second, false);
  EXPECT_EQ(fresh->GetSize(), (SizeT<int32_t>{0, 0}));
  EXPECT_EQ(fresh->GetClientRect(), (RectT<int32_t>{}));
  EXPECT_EQ(fresh->GetNonClientRects(), (std::vector<RectT<int32_t>>(2)));
  EXPECT_EQ(fresh->GetNonClientParts()[0], nullptr);
  EXPECT_NE(fresh->GetClientPart(), nullptr);

  // Sized: a new descriptor is placed at once.
  const RCPtr<LLook> look = LLook::Create(first, false);
  look->SetSize({30, 20});
  EXPECT_EQ(look->GetClientRect(), (RectT<int32_t>{1, 1, 28, 18}));
  EXPECT_EQ(look->SetDescriptor(second, false), QZ_OK);
  EXPECT_EQ(look->GetSize(), (SizeT<int32_t>{30, 20}));
  EXPECT_EQ(look->GetClientRect(), (RectT<int32_t>{5, 5, 20, 10}));
  EXPECT_EQ(look->GetNonClientRects(), (std::vector<RectT<int32_t>>{{0, 0, 2, 2}, {24, 14, 6, 6}}));
  EXPECT_EQ(look->GetClientPart()->GetColorAtPoint(PointT<int32_t>{0, 0}), kBlue);

  // The same size again changes nothing; a new size places everything anew.
  EXPECT_TRUE(look->SetSize({30, 20}));
  EXPECT_EQ(look->GetClientRect(), (RectT<int32_t>{5, 5, 20, 10}));
  EXPECT_TRUE(look->SetSize({40, 20}));
  EXPECT_EQ(look->GetNonClientRects()[1], (RectT<int32_t>{34, 14, 6, 6}));
}

TEST(LookTest, ANonClientPartIsBuiltAndItsImageReadOnlyWhenItsLookIsHitOrDrawn) {
  const TempFolder folder;
  const WString path = WriteImage(folder, "edge.png", 4, 4, [](int, int) { return kBlue; });
  const size_t cachedBefore = LBitmap::GetCachedBitmapCount();
  const RCPtr<LVisualPartDescriptor> edge = ImagePart(path);
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  descriptor->AddNonClientPart(Docked(edge, {L | T | R | B, 0, 0, 0, 0}));
  const RCPtr<LLook> hit = LLook::Create(descriptor, false);
  const RCPtr<LLook> drawn = LLook::Create(descriptor, false);
  hit->SetSize({10, 10});
  hit->SetSize({12, 12});
  drawn->SetSize({10, 10});
  EXPECT_EQ(edge->GetBuiltVisualPart(), nullptr);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cachedBefore);

  EXPECT_EQ(hit->GetColorAtPoint({6.0, 6.0}), kBlue);
  const RCPtr<LVisualPart> part = edge->GetBuiltVisualPart();
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cachedBefore + 1);

  RCPtr<RecordingRenderer> renderer(new RecordingRenderer);
  renderer->StartFrame({0, 0, 10, 10});
  EXPECT_EQ(drawn->DrawNonClientParts(renderer, RectListT<int32_t>(RectT<double>{0, 0, 10, 10})), 1);
  EXPECT_EQ(drawn->GetNonClientParts()[0], part); // built once for both
  EXPECT_EQ(drawn->GetNonClientRects(), (std::vector<RectT<int32_t>>{{0, 0, 10, 10}}));
}

TEST(LookTest, TheTextBlockTakesItsRectangleFromTheTextProperties) {
  ScopedFixedAdvanceMeasurer measurer;
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}));
  TextProperties text;
  text.leftRel = 0.25f;
  text.leftAbs = 1;
  text.rightRel = 1.0f;
  text.rightAbs = -1;
  text.hAlign = 0.5f;
  text.topAbs = -3;
  text.bottomRel = 1.0f;
  text.vAlign = 1.0f;
  descriptor->SetTextProperties(text, ColourPart(0xFF000000, {1, 1}));
  const RCPtr<LLook> look = LLook::Create(descriptor, true);
  const RCPtr<LFontText>& block = look->GetFontText();
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(block->GetWrap());
  EXPECT_EQ(block->GetHAlign(), 0.5f);
  EXPECT_EQ(block->GetVAlign(), 1.0f);
  EXPECT_EQ(look->GetTextRect(101, 40), (RectT<float>{26.25f, -3.0f, 73.75f, 43.0f}));

  look->SetSize({101, 40});
  EXPECT_EQ(look->GetTextBlockRect(), (RectT<int32_t>{26, -3, 74, 43})); // origin truncated, size rounded

  // Unchanged sizes keep the laid-out lines.
  EXPECT_EQ(look->SetFont(FixedAdvanceFont()), 1);
  EXPECT_EQ(look->SetText(WString(u"abc")), 1);
  EXPECT_EQ(look->SetText(WString(u"abc")), 0);
  block->Layout();
  const int measured = measurer->measureCalls;
  look->SetSize({101, 40});
  block->Layout();
  EXPECT_EQ(measurer->measureCalls, measured);
  look->SetSize({101, 41}); // the block grows by one row
  EXPECT_EQ(look->GetTextBlockRect(), (RectT<int32_t>{26, -3, 74, 44}));
  block->Layout();
  EXPECT_GT(measurer->measureCalls, measured);

  // A descriptor without text properties drops the block; the setters then answer 1.
  look->SetDescriptor(LookOf(ColourPart(kRed, {1, 1})), false);
  EXPECT_EQ(look->GetFontText(), nullptr);
  EXPECT_EQ(look->GetTextForegroundPart(), nullptr);
  EXPECT_EQ(look->SetText(WString(u"abc")), 1);
  EXPECT_EQ(look->SetFont(FixedAdvanceFont()), 1);
  EXPECT_EQ(look->GetTextRect(101, 40), (RectT<float>{}));
  EXPECT_EQ(look->GetTextBlockRect(), (RectT<int32_t>{}));
}

TEST(LookTest, OverlayAndTextPartSetters) {
  const RCPtr<LLook> look = LLook::Create(LookOf(ColourPart(kRed, {1, 1})), false);
  EXPECT_EQ(look->SetClientPart(nullptr, ResizeType::Stretch, true), QZ_FALSE);
  const RCPtr<LBitmap> image = LBitmap::CreateFilledBitmap({3, 3}, ColorT<float>::FromARGB(kGreen));
  EXPECT_EQ(look->SetClientPart(image, ResizeType::Center, true), QZ_OK);
  ASSERT_NE(look->GetOverlayPart(), nullptr);
  EXPECT_EQ(look->GetOverlayPart()->GetBitmap(), image);
  EXPECT_EQ(look->GetOverlayPart()->GetResizeType(), ResizeType::Center);
  EXPECT_TRUE(look->OverlayReplacesClient());
  EXPECT_EQ(look->SetClientPart(nullptr, ResizeType::Stretch, false), QZ_OK);
  EXPECT_EQ(look->GetOverlayPart(), nullptr);

  EXPECT_EQ(look->SetTextForegroundPart(nullptr), QZ_E_INVALIDARG);
  const RCPtr<LVisualPart> ink(
      new LVisualPart(WString(u"ink"), nullptr, ResizeType::Stretch, Colorizer(kBlue), {1, 1}, 1.0f, nullptr));
  EXPECT_EQ(look->SetTextForegroundPart(ink), QZ_OK);
  EXPECT_EQ(look->GetTextForegroundPart(), ink);
}

TEST(LookTest, TheColourAtAPointIsThatOfTheTopmostVisiblePart) {
  const RCPtr<LLookDescriptor> descriptor = LookOf(ColourPart(kRed, {1, 1}), LDockedPart::ClientDock(2, 2, -2, -2));
  descriptor->AddNonClientPart(Docked(ColourPart(kGreen, {4, 4}), {L | T, 0, 0}));
  descriptor->AddNonClientPart(Docked(ColourPart(kGreen, {4, 4}, ResizeType::Stretch, 0.0f), {R | B}));
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize({20, 20});
  EXPECT_EQ(look->GetColorAtPoint({1.0, 1.0}), kGreen);                  // the frame corner
  EXPECT_EQ(look->GetColorAtPoint({3.0, 3.0}), kGreen);                  // the corner over the client part
  EXPECT_EQ(look->GetColorAtPoint({10.0, 10.0}), kRed);                  // the client part
  EXPECT_EQ(look->GetColorAtPoint({17.0, 17.0}), kRed);                  // an invisible corner shows what lies below
  EXPECT_EQ(look->GetColorAtPoint({19.0, 10.0}), LVisualPart::kOutside); // no part there
  EXPECT_EQ(look->GetColorAtPoint({25.0, 10.0}), LVisualPart::kOutside);

  const RCPtr<LBitmap> blue = LBitmap::CreateFilledBitmap({16, 16}, ColorT<float>::FromARGB(kBlue));
  ASSERT_EQ(look->SetClientPart(blue, ResizeType::Stretch, false), QZ_OK);
  EXPECT_EQ(look->GetColorAtPoint({10.0, 10.0}), kBlue);
  const RCPtr<LBitmap> clear = LBitmap::CreateFilledBitmap({16, 16}, {});
  ASSERT_EQ(look->SetClientPart(clear, ResizeType::Stretch, false), QZ_OK);
  EXPECT_EQ(look->GetColorAtPoint({10.0, 10.0}), kRed); // the client part shows through
  ASSERT_EQ(look->SetClientPart(clear, ResizeType::Stretch, true), QZ_OK);
  EXPECT_EQ(look->GetColorAtPoint({10.0, 10.0}), LVisualPart::kOutside); // replaced

  look->GetOwnRegion().AddRect({0, 0, 2, 2});
  EXPECT_EQ(look->GetColorAtPoint({1.5, 1.5}), kGreen);
  EXPECT_EQ(look->GetColorAtPoint({3.0, 3.0}), LVisualPart::kOutside); // outside the look's own region
}

} // namespace
} // namespace QZ
