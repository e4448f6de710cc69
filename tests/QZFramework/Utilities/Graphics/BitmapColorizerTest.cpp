#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "BitmapTestSupport.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"

namespace {

using QZ::ColorizerType;
using QZ::ColorT;
using QZ::LBitmap;
using QZ::LColorizer;
using QZ::RCPtr;
using QZ::WString;
using QZTest::AllPixels;
using QZTest::Argb;
using QZTest::ThrownText;

RCPtr<LColorizer> Solid(const ColorT<float>& color) {
  return RCPtr<LColorizer>(new LColorizer(WString(u"Solid"), ColorizerType::SolidFill, color));
}

RCPtr<LColorizer> Gradient(ColorizerType type, const ColorT<float>& start, const ColorT<float>& end) {
  return RCPtr<LColorizer>(new LColorizer(WString(u"Gradient"), type, start, end, {0, 0}, {10, 0}));
}

RCPtr<LBitmap> Filled(uint32_t argb, int32_t width = 2, int32_t height = 2) {
  return LBitmap::CreateFilledBitmap({width, height}, ColorT<float>::FromARGB(argb));
}

constexpr const char* kGradientText =
    R"(Domain Error : QZ::LBitmap::CreateGradientFilledBitmap : Utilities\Graphics\Bitmap : Line 362)";
constexpr const char* kNoBitmapText =
    R"(Runtime Error : QZ::LBitmap::ApplyColorizer : Utilities\Graphics\Bitmap : Line 374)";

TEST(BitmapColorizerTest, SolidColourReplacesColourBytesAndKeepsAlpha) {
  RCPtr<LBitmap> semi = LBitmap::GetBitmap(WString(u"::semi_transparent.png"));
  ASSERT_TRUE(semi);
  const std::vector<uint32_t> original = AllPixels(*semi);

  RCPtr<LBitmap> red = LBitmap::ApplyColorizer(Solid({1, 0, 0, 1}), 1.0f, {3, 2}, semi, nullptr);
  ASSERT_TRUE(red);
  EXPECT_NE(red, semi);
  EXPECT_EQ(AllPixels(*red),
            (std::vector<uint32_t>{0x80FF0000, 0x40FF0000, 0xFFFF0000, 0x00FF0000, 0x01FF0000, 0xFFFF0000}));
  // The cached image, which others may show, is untouched.
  EXPECT_EQ(AllPixels(*semi), original);
  EXPECT_EQ(LBitmap::GetBitmap(WString(u"::semi_transparent.png")), semi);
}

TEST(BitmapColorizerTest, PartialAlphaBlendsTowardsTheColour) {
  RCPtr<LBitmap> grey = Filled(0xFF808080);
  grey->ApplyColorizer(Solid({0, 0, 0, 0.5f}), 1.0f);
  EXPECT_EQ(Argb(*grey, 1, 1), 0xFF404040u); // trunc(128 / 255 x 0.5 x 255 + 0.5) = 64

  RCPtr<LBitmap> alsoGrey = Filled(0xFF808080);
  alsoGrey->ApplyColorizer(Solid({0, 0, 0, 1}), 0.5f); // the factor weighs like the alpha
  EXPECT_EQ(Argb(*alsoGrey, 0, 0), 0xFF404040u);

  RCPtr<LBitmap> mixed = Filled(0x80000000);
  mixed->ApplyColorizer(Solid({1, 0.5f, 0, 0.5f}), 1.0f);
  EXPECT_EQ(Argb(*mixed, 0, 1), 0x80804000u); // 0 towards 255 -> 128, towards 127.5 -> 64

  // No weight, no change.
  RCPtr<LBitmap> kept = Filled(0xC0123456);
  kept->ApplyColorizer(Solid({1, 1, 1, 0}), 1.0f);
  kept->ApplyColorizer(Solid({1, 1, 1, 1}), 0.0f);
  kept->ApplyColorizer(Solid({1, 1, 1, 1}), -3.0f);
  EXPECT_EQ(Argb(*kept, 0, 0), 0xC0123456u);
}

TEST(BitmapColorizerTest, WeightAboveOneIsClamped) {
  RCPtr<LBitmap> bitmap = Filled(0xFF808080);
  bitmap->ApplyColorizer(Solid({0, 0, 1, 1}), 4.0f);
  EXPECT_EQ(Argb(*bitmap, 0, 0), 0xFF0000FFu);

  // Channels beyond 0..1 cannot wrap a byte either.
  RCPtr<LBitmap> bright = Filled(0xFF808080);
  bright->ApplyColorizer(Solid({3, -2, 0.5f, 0.5f}), 1.0f);
  EXPECT_EQ(Argb(*bright, 0, 0), 0xFFFF0080u);
}

TEST(BitmapColorizerTest, InPlaceOnASubBitmapRecoloursThatRectangleOfItsParent) {
  RCPtr<LBitmap> parent = Filled(0xFF000000, 4, 4);
  parent->CreateSubBitmap(1, 1, 2, 2)->ApplyColorizer(Solid({0, 1, 0, 1}), 1.0f);
  EXPECT_EQ(Argb(*parent, 1, 1), 0xFF00FF00u);
  EXPECT_EQ(Argb(*parent, 2, 2), 0xFF00FF00u);
  EXPECT_EQ(Argb(*parent, 0, 0), 0xFF000000u);
  EXPECT_EQ(Argb(*parent, 3, 2), 0xFF000000u);
}

TEST(BitmapColorizerTest, StaticColorizerCopiesTheImageOrTheMask) {
  RCPtr<LBitmap> combo = LBitmap::GetBitmap(WString(u"::combobox_normal.png"));
  ASSERT_TRUE(combo);
  RCPtr<LBitmap> arrow = combo->CreateSubBitmap(30, 0, 10, 20);
  const std::vector<uint32_t> original = AllPixels(*combo);

  RCPtr<LBitmap> fromImage = LBitmap::ApplyColorizer(Solid({0, 0, 1, 1}), 1.0f, {99, 99}, arrow, nullptr);
  RCPtr<LBitmap> fromMask = LBitmap::ApplyColorizer(Solid({0, 0, 1, 1}), 1.0f, {99, 99}, nullptr, arrow);
  for (const RCPtr<LBitmap>& result : {fromImage, fromMask}) {
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetWidth(), 10); // the copy's size, not the one asked for
    EXPECT_EQ(result->GetHeight(), 20);
    EXPECT_FALSE(result->GetParent());
    EXPECT_EQ(Argb(*result, 5, 5), 0xFF0000FFu);
  }
  EXPECT_EQ(AllPixels(*combo), original);
}

TEST(BitmapColorizerTest, WithoutImageOrMaskTheColorizerPaintsANewBitmap) {
  RCPtr<LBitmap> painted = LBitmap::ApplyColorizer(Solid({1, 0.5f, 0, 0.8f}), 0.5f, {5, 3}, nullptr, nullptr);
  ASSERT_TRUE(painted);
  EXPECT_EQ(painted->GetRect(), (QZ::RectT<int32_t>{0, 0, 5, 3}));
  EXPECT_EQ(AllPixels(*painted), std::vector<uint32_t>(15, 0x66FF8000)); // alpha 0.8 x 0.5
  EXPECT_EQ(painted->GetInternalRefCount(), 0);
}

TEST(BitmapColorizerTest, GradientsWithEqualColoursPaintSolid) {
  RCPtr<LBitmap> bitmap = Filled(0xFF808080);
  bitmap->ApplyColorizer(Gradient(ColorizerType::LinearGradient, {0, 0, 1, 1}, {0, 0, 1, 1}), 1.0f);
  EXPECT_EQ(Argb(*bitmap, 0, 0), 0xFF0000FFu);
  RCPtr<LBitmap> painted =
      LBitmap::CreateColorizedBitmap(Gradient(ColorizerType::SolidFill, {1, 0, 0, 1}, {0, 1, 0, 1}), 1.0f, {1, 1});
  EXPECT_EQ(Argb(*painted, 0, 0), 0xFFFF0000u); // a solid fill ignores its end colour
}

TEST(BitmapColorizerTest, GradientsWithTwoColoursAreRefused) {
  const RCPtr<LColorizer> linear = Gradient(ColorizerType::LinearGradient, {1, 0, 0, 1}, {1, 0, 0, 0.5f});
  const RCPtr<LColorizer> radial = Gradient(ColorizerType::RadialGradient, {1, 0, 0, 1}, {0, 1, 0, 1});
  RCPtr<LBitmap> bitmap = Filled(0xFF808080);

  EXPECT_EQ(ThrownText<std::domain_error>([&] { bitmap->ApplyColorizer(linear, 1.0f); }), kGradientText);
  EXPECT_EQ(Argb(*bitmap, 0, 0), 0xFF808080u);
  EXPECT_EQ(ThrownText<std::domain_error>([&] {
              LBitmap::ApplyColorizer(radial, 1.0f, {2, 2}, bitmap, nullptr);
            }),
            kGradientText);
  EXPECT_EQ(ThrownText<std::domain_error>([&] {
              LBitmap::ApplyColorizer(radial, 1.0f, {2, 2}, nullptr, nullptr);
            }),
            kGradientText);
  EXPECT_EQ(ThrownText<std::domain_error>([&] {
              LBitmap::CreateColorizedBitmap(linear, 1.0f, {2, 2});
            }),
            kGradientText);
  EXPECT_EQ(ThrownText<std::domain_error>([&] {
              LBitmap::CreateGradientFilledBitmap({2, 2}, {0, 0}, {1, 1}, {}, {1, 1, 1, 1}, false);
            }),
            kGradientText);
}

TEST(BitmapColorizerTest, BadArgumentsThrowTheirTexts) {
  const RCPtr<LColorizer> red = Solid({1, 0, 0, 1});
  RCPtr<LBitmap> bitmap = Filled(0xFF000000);

  const std::string sizeText =
      R"(Runtime Error : QZ::LBitmap::CreateColorizedBitmap : Utilities\Graphics\Bitmap : Line 298)";
  EXPECT_EQ(ThrownText<std::runtime_error>([&] { LBitmap::CreateColorizedBitmap(red, 1.0f, {0, 0}); }), sizeText);
  EXPECT_EQ(ThrownText<std::runtime_error>([&] { LBitmap::CreateColorizedBitmap(red, 1.0f, {4, -1}); }), sizeText);
  EXPECT_EQ(ThrownText<std::runtime_error>([&] {
              LBitmap::ApplyColorizer(red, 1.0f, {0, 0}, nullptr, nullptr);
            }),
            sizeText);
  EXPECT_EQ(ThrownText<std::runtime_error>([&] { LBitmap::CreateColorizedBitmap(nullptr, 1.0f, {2, 2}); }), sizeText);

  EXPECT_EQ(ThrownText<std::runtime_error>([&] {
              LBitmap::CreateFilledBitmap({0, 5}, {});
            }),
            R"(Runtime Error : QZ::LBitmap::CreateFilledBitmap : Utilities\Graphics\Bitmap : Line 327)");

  EXPECT_EQ(ThrownText<std::runtime_error>([&] { bitmap->ApplyColorizer(nullptr, 1.0f); }), kNoBitmapText);
  EXPECT_EQ(ThrownText<std::runtime_error>([&] {
              LBitmap::ApplyColorizer(nullptr, 1.0f, {2, 2}, bitmap, nullptr);
            }),
            kNoBitmapText);
  // An image with no pixels to copy.
  RCPtr<LBitmap> nothing = bitmap->CreateSubBitmap(5, 5, 1, 1);
  EXPECT_EQ(ThrownText<std::runtime_error>([&] {
              LBitmap::ApplyColorizer(red, 1.0f, {2, 2}, nothing, nullptr);
            }),
            kNoBitmapText);

  EXPECT_EQ(ThrownText<std::domain_error>([&] {
              LBitmap::ApplyColorizer(red, 1.0f, {2, 2}, bitmap, bitmap);
            }),
            R"(Domain Error : QZ::LBitmap::ApplyColorizer : Utilities\Graphics\Bitmap : Line 444)");
}

TEST(BitmapColorizerTest, LockedPixelsCannotBeRecoloured) {
  RCPtr<LBitmap> bitmap = Filled(0xFF000000);
  RCPtr<QZ::LBitmapData> reader = bitmap->LockPixels();
  EXPECT_EQ(ThrownText<std::runtime_error>([&] {
              bitmap->ApplyColorizer(Solid({1, 0, 0, 1}), 1.0f);
            }),
            R"(Runtime Error : QZ::LBitmap::ApplyColorizer : Utilities\Graphics\Bitmap : Line 398)");
  reader = nullptr;
  bitmap->ApplyColorizer(Solid({1, 0, 0, 1}), 1.0f);
  EXPECT_EQ(Argb(*bitmap, 0, 0), 0xFFFF0000u);
}

TEST(BitmapColorizerTest, FillsTooLargeForAnImageGiveNull) {
  EXPECT_FALSE(LBitmap::CreateFilledBitmap({100000, 1}, {}));
  EXPECT_FALSE(LBitmap::CreateColorizedBitmap(Solid({1, 0, 0, 1}), 1.0f, {20000, 20000}));
}

} // namespace
