#include <gtest/gtest.h>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/LookTestSupport.h"
#include "QZFramework/ControlBase/VisualPart.h"
#include "Support/RecordingRenderer.h"

namespace QZ {
namespace {

using namespace QZTest;

RCPtr<LVisualPart> ColourOnly(uint32_t argb, SizeT<int32_t> size, ResizeType resize = ResizeType::Stretch,
                              float opacity = 1.0f) {
  return RCPtr<LVisualPart>(
      new LVisualPart(WString(u"fill"), nullptr, resize, Colorizer(argb), size, opacity, nullptr));
}

// A 4 x 4 bitmap, transparent but for an opaque red pixel at (3, 3).
RCPtr<LBitmap> CornerDot() {
  RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({4, 4}, {});
  RCPtr<LBitmapData> pixels(new LBitmapData(bitmap, Platform::Graphics::LockMode::Write));
  *pixels->GetPixelAddress(3, 3) = kRed;
  return bitmap;
}

TEST(VisualPartTest, OnlyASolidFillWithoutImageOrMaskStaysAColourPart) {
  const RCPtr<LVisualPart> colour = ColourOnly(kRed, {5, 6});
  EXPECT_EQ(colour->GetBitmap(), nullptr);
  EXPECT_EQ(colour->GetSize(), (SizeT<int32_t>{5, 6}));

  const RCPtr<LBitmap> image = LBitmap::CreateFilledBitmap({3, 2}, ColorT<float>::FromARGB(0xFFFFFFFF));
  const RCPtr<LVisualPart> plain =
      LVisualPart::Create(WString(u"plain"), image, ResizeType::Tile, nullptr, 1.0f, nullptr);
  EXPECT_EQ(plain->GetBitmap(), image);
  EXPECT_EQ(plain->GetSize(), (SizeT<int32_t>{3, 2}));

  // Recoloured: a new bitmap; the image stays as it was.
  const RCPtr<LVisualPart> tinted =
      LVisualPart::Create(WString(u"tinted"), image, ResizeType::Stretch, Colorizer(kBlue), 1.0f, nullptr);
  ASSERT_NE(tinted->GetBitmap(), nullptr);
  EXPECT_NE(tinted->GetBitmap(), image);
  EXPECT_EQ(tinted->GetColorAtPoint(PointT<int32_t>{1, 1}), kBlue);
  EXPECT_EQ(image->GetPixelColor(1, 1).ToARGB(), 0xFFFFFFFFu);

  // A solid colour through a mask: the mask's shape in the colour, a bitmap part.
  const RCPtr<LVisualPart> masked(
      new LVisualPart(WString(u"masked"), nullptr, ResizeType::Stretch, Colorizer(kGreen), {4, 4}, 1.0f, CornerDot()));
  ASSERT_NE(masked->GetBitmap(), nullptr);
  EXPECT_EQ(masked->GetColorAtPoint(PointT<int32_t>{3, 3}), kGreen);
  EXPECT_EQ(masked->GetColorAtPoint(PointT<int32_t>{0, 0}) >> 24, 0u);

  // A gradient type whose colours agree paints one colour: baked into a bitmap too.
  const ColorT<float> green = ColorT<float>::FromARGB(kGreen);
  const RCPtr<LColorizer> even(new LColorizer(WString(u"even"), ColorizerType::LinearGradient, green, green));
  const RCPtr<LVisualPart> flat(
      new LVisualPart(WString(u"flat"), nullptr, ResizeType::Stretch, even, {2, 2}, 1.0f, nullptr));
  ASSERT_NE(flat->GetBitmap(), nullptr);
  EXPECT_EQ(flat->GetColorAtPoint(PointT<int32_t>{1, 1}), kGreen);

  EXPECT_EQ(LVisualPart::Create(WString(u"none"), nullptr, ResizeType::Stretch, Colorizer(kRed), 1.0f, nullptr),
            nullptr);
}

TEST(VisualPartTest, DrawsBitmapsAtTheRoundedSizeAndFillsColours) {
  RCPtr<RecordingRenderer> renderer(new RecordingRenderer);
  renderer->StartFrame({0, 0, 100, 100});
  const RCPtr<LBitmap> image = LBitmap::CreateFilledBitmap({3, 2}, {});
  renderer->Label(image.Get(), "image");
  LVisualPart::Create(WString(u"tile"), image, ResizeType::Tile, nullptr, 1.0f, nullptr)
      ->Draw(*renderer, {30.4f, 19.5f});
  ColourOnly(0xFF336699, {64, 64}, ResizeType::Center)->Draw(*renderer, {10.0f, 10.0f});
  ColourOnly(0xFF336699, {64, 64}, ResizeType::Tile)->Draw(*renderer, {10.0f, 10.0f});
  ColourOnly(0x80FF0000, {4, 4}, ResizeType::Stretch, 0.5f)->Draw(*renderer, {4.0f, 4.0f});
  // Alpha x opacity 0 draws nothing, whichever factor is 0.
  ColourOnly(0x00FF0000, {4, 4})->Draw(*renderer, {4.0f, 4.0f});
  ColourOnly(0xFFFF0000, {4, 4}, ResizeType::Stretch, 0.0f)->Draw(*renderer, {4.0f, 4.0f});
  const std::string blue = RecordingRenderer::Color(ColorT<float>::FromARGB(0xFF336699));
  EXPECT_EQ(renderer->calls, (std::vector<std::string>{
                                 "DrawBitmap(image, {0,0,30,20}, 1)",
                                 "FillRect({-27,-27,64,64}, " + blue + ", true)",
                                 "FillRect({0,0,10,10}, " + blue + ", true)",
                                 "FillRect({0,0,4,4}, {1,0,0,0.25098}, true)",
                             }));
}

TEST(VisualPartTest, ColourLookups) {
  // A solid colour gives its colour, alpha times opacity, also when that is 0.
  EXPECT_EQ(ColourOnly(0xFF102030, {4, 4}, ResizeType::Stretch, 0.5f)->GetColorAtPoint(PointT<int32_t>{0, 0}),
            0x80102030u);
  EXPECT_EQ(ColourOnly(0xFFFF0000, {4, 4}, ResizeType::Stretch, 0.0f)->GetColorAtPoint(PointT<int32_t>{3, 3}),
            0x00FF0000u);

  const RCPtr<LVisualPart> dot =
      LVisualPart::Create(WString(u"dot"), CornerDot(), ResizeType::Stretch, nullptr, 1.0f, nullptr);
  const RCPtr<LVisualPart> tiled =
      LVisualPart::Create(WString(u"dot"), CornerDot(), ResizeType::Tile, nullptr, 1.0f, nullptr);
  const RCPtr<LVisualPart> centred =
      LVisualPart::Create(WString(u"dot"), CornerDot(), ResizeType::Center, nullptr, 1.0f, nullptr);
  struct Case {
    const char* what;
    const RCPtr<LVisualPart>& part;
    PointT<float> point;
    SizeT<float> drawn;
    uint32_t argb;
  };
  const Case cases[] = {
      {"own size, the pixel", dot, {3.0f, 3.0f}, {4, 4}, kRed},
      {"own size, rounded half away", dot, {2.5f, 2.5f}, {4, 4}, kRed},
      {"own size, outside", dot, {4.0f, 0.0f}, {4, 4}, LVisualPart::kOutside},
      {"own size, negative", dot, {-0.6f, 0.0f}, {4, 4}, LVisualPart::kOutside},
      {"shrunk: any visible pixel under the point", dot, {1.0f, 1.0f}, {2, 2}, kRed},
      {"shrunk: none visible", dot, {0.0f, 0.0f}, {2, 2}, kClear},
      {"shrunk, outside", dot, {2.0f, 1.0f}, {2, 2}, LVisualPart::kOutside},
      {"magnified: scaled and truncated", dot, {7.9f, 7.9f}, {8, 8}, kRed},
      {"magnified: its neighbour", dot, {5.9f, 7.9f}, {8, 8}, kClear},
      {"tiled: wraps by the part size", tiled, {7.0f, 11.0f}, {20, 20}, kRed},
      {"tiled: rounds before wrapping", tiled, {6.5f, 2.5f}, {20, 20}, kRed},
      {"tiled: elsewhere", tiled, {4.0f, 11.0f}, {20, 20}, kClear},
      {"centred: shifted by the margin", centred, {4.0f, 4.0f}, {6, 6}, kRed},
      {"centred: outside the part", centred, {0.0f, 0.0f}, {6, 6}, LVisualPart::kOutside},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.part->GetColorAtPoint(c.point, c.drawn), c.argb);
  }
  // A tiled part without area shows nothing anywhere.
  EXPECT_EQ(ColourOnly(kRed, {0, 4}, ResizeType::Tile)->GetColorAtPoint(PointT<float>{1, 1}, SizeT<float>{5, 5}),
            LVisualPart::kOutside);
}

TEST(VisualPartTest, FailureTexts) {
  RCPtr<RecordingRenderer> renderer(new RecordingRenderer);
  renderer->StartFrame({0, 0, 10, 10});
  const RCPtr<LVisualPart> bare(
      new LVisualPart(WString(u"bare"), nullptr, ResizeType::Stretch, nullptr, {4, 4}, 1.0f, nullptr));
  EXPECT_EQ(ThrownText([&] {
              bare->Draw(*renderer, {4, 4});
            }),
            R"(Runtime Error : QZ::LVisualPart::Draw : ControlBase\VisualPart : Line 218)");
  EXPECT_EQ(ThrownText([&] {
              bare->GetColorAtPoint(PointT<int32_t>{1, 1});
            }),
            R"(Runtime Error : QZ::LVisualPart::GetColorAtPoint : ControlBase\VisualPart : Line 91)");
  EXPECT_EQ(bare->GetColorAtPoint(PointT<int32_t>{4, 1}), LVisualPart::kOutside); // outside comes first

  const RCPtr<LVisualPart> odd =
      LVisualPart::Create(WString(u"odd"), CornerDot(), ResizeType(7), nullptr, 1.0f, nullptr);
  EXPECT_EQ(ThrownText([&] {
              odd->GetColorAtPoint(PointT<float>{1, 1}, SizeT<float>{8, 8});
            }),
            R"(Runtime Error : QZ::LVisualPart::GetColorAtPoint : ControlBase\VisualPart : Line 165)");
  EXPECT_EQ(odd->GetColorAtPoint(PointT<float>{3, 3}, SizeT<float>{4, 4}), kRed); // its own size reads directly
}

class VisualPartLifetimeTest : public ::testing::Test {
protected:
  TempFolder folder;
};

TEST_F(VisualPartLifetimeTest, APartLivesWhileALookHoldsItAndTheDescriptorForgetsItAfterwards) {
  const WString path = WriteImage(folder, "frame.png", 8, 6, [](int x, int) { return x < 4 ? kRed : kGreen; });
  const size_t cachedBefore = LBitmap::GetCachedBitmapCount();
  const RCPtr<LVisualPartDescriptor> frame = ImagePart(path, {4, 0, 4, 6});
  const RCPtr<LLookDescriptor> descriptor = LookOf(frame);
  EXPECT_EQ(frame->GetRefCount(), 2); // this test and the docked entry

  RCPtr<LLook> first = LLook::Create(descriptor, false);
  RCPtr<LLook> second = LLook::Create(descriptor, false);
  LVisualPart* const part = frame->GetBuiltVisualPart().Get();
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(first->GetClientPart(), part);
  EXPECT_EQ(second->GetClientPart(), part);
  EXPECT_EQ(frame->CreateVisualPart(), part); // built once
  EXPECT_EQ(part->GetDescriptor(), frame);
  EXPECT_EQ(part->GetSize(), (SizeT<int32_t>{4, 6}));
  EXPECT_EQ(part->GetColorAtPoint(PointT<int32_t>{0, 0}), kGreen); // the image's rectangle
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cachedBefore + 1);
  EXPECT_EQ(frame->GetRefCount(), 3); // ... and the part

  first = nullptr;
  EXPECT_EQ(frame->GetBuiltVisualPart(), part);
  second = nullptr;
  // The part is gone: the descriptor's reference is empty, the part's hold on the
  // descriptor and on its image went with it.
  EXPECT_EQ(frame->GetBuiltVisualPart(), nullptr);
  EXPECT_EQ(frame->GetRefCount(), 2);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cachedBefore);

  // The next demand builds a new part.
  const RCPtr<LVisualPart> again = frame->CreateVisualPart();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->GetRefCount(), 2);
  EXPECT_EQ(again->GetInternalRefCount(), 1);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cachedBefore + 1);
}

TEST_F(VisualPartLifetimeTest, SourcesThatCannotBeLoadedMakeNoPart) {
  const WString missing = folder.Wide("missing.png");
  const WString red = WriteImage(folder, "red.png", 2, 2, [](int, int) { return kRed; });
  const RCPtr<LVisualPartDescriptor> noImage = ImagePart(missing);
  const RCPtr<LVisualPartDescriptor> noMask(new LVisualPartDescriptor(WString(u"masked"), {}, ResizeType::Stretch,
                                                                      Colorizer(kRed), {2, 2}, 1.0f, {missing, {}}));
  const RCPtr<LVisualPartDescriptor> nothing(
      new LVisualPartDescriptor(WString(u"nothing"), {}, ResizeType::Stretch, nullptr, {2, 2}, 1.0f, {}));
  for (LVisualPartDescriptor* part : {noImage.Get(), noMask.Get(), nothing.Get()}) {
    SCOPED_TRACE(std::string(part->GetName().ToUTF8().GetBuffer()));
    EXPECT_EQ(part->CreateVisualPart(), nullptr);
    EXPECT_EQ(part->GetRefCount(), 1); // no part holds it
  }
  // A look over them draws nothing and does not fail.
  const RCPtr<LLookDescriptor> descriptor = LookOf(noImage);
  descriptor->AddNonClientPart(Docked(noMask, {}));
  descriptor->AddNonClientPart(Docked(ImagePart(red, {0, 0, 2, 2}), {}));
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize({10, 10});
  EXPECT_EQ(look->GetClientPart(), nullptr);
  EXPECT_EQ(look->GetNonClientParts()[0], nullptr);
  ASSERT_NE(look->GetNonClientParts()[1], nullptr);
  RCPtr<RecordingRenderer> renderer(new RecordingRenderer);
  renderer->StartFrame({0, 0, 10, 10});
  RectListT<int32_t> everything(RectT<double>{0, 0, 10, 10});
  EXPECT_EQ(look->DrawClientParts(renderer, everything), 0);
  EXPECT_EQ(look->DrawNonClientParts(renderer, everything), 1);
  EXPECT_EQ(look->GetColorAtPoint({5.0, 5.0}), kRed); // the centred 2 x 2 image
  EXPECT_EQ(look->GetColorAtPoint({1.0, 1.0}), LVisualPart::kOutside);
}

} // namespace
} // namespace QZ
