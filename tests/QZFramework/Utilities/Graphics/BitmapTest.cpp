#include "QZFramework/Utilities/Graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BitmapTestSupport.h"
#include "Support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using QZ::LBitmap;
using QZ::RCPtr;
using QZ::RectT;
using QZ::WString;
using QZTest::Argb;

// A PNG whose header says 0 x 0 pixels (with valid checksums).
const std::vector<uint8_t> kZeroSizePng = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x06, 0x00, 0x00, 0x00, 0x3b, 0x8b, 0x7c, 0x12, 0x00,
    0x00, 0x00, 0x08, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01, 0x6f, 0xdd,
    0xc9, 0x91, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

WString Wide(const fs::path& path) { return WString(path.string().c_str()); }

TEST(BitmapCacheTest, ResourceNamesIgnoreCaseAndMapBlanksAndFullStops) {
  const size_t cached = LBitmap::GetCachedBitmapCount();
  RCPtr<LBitmap> combo = LBitmap::GetBitmap(WString(u"::combobox_normal.png"));
  ASSERT_TRUE(combo);
  EXPECT_EQ(combo->GetRect(), (RectT<int32_t>{0, 0, 40, 20}));
  EXPECT_FALSE(combo->GetParent());
  EXPECT_TRUE(combo->GetName() == u"::combobox_normal.png");
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached + 1);
  EXPECT_EQ(combo->GetInternalRefCount(), 1);

  EXPECT_EQ(LBitmap::GetBitmap(WString(u"::COMBOBOX_NORMAL.PNG")), combo);
  EXPECT_EQ(LBitmap::GetBitmap(WString(u"::Combobox_Normal.png")), combo);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached + 1);

  RCPtr<LBitmap> spaced = LBitmap::GetBitmap(WString(u"::a b.png")); // resource A_B_PNG
  ASSERT_TRUE(spaced);
  EXPECT_EQ(Argb(*spaced, 0, 0), 0xFF3366CCu);
}

TEST(BitmapCacheTest, NamesThatLoadNothingGiveNullAndStayOutOfTheCache) {
  const size_t cached = LBitmap::GetCachedBitmapCount();
  EXPECT_FALSE(LBitmap::GetBitmap(WString(u"::missing.png")));
  EXPECT_FALSE(LBitmap::GetBitmap(WString(u"::combobox_normal"))); // no such resource
  EXPECT_FALSE(LBitmap::GetBitmap(WString(u"::")));
  EXPECT_FALSE(LBitmap::GetBitmap(WString(u"")));
  EXPECT_FALSE(LBitmap::GetBitmap(WString(u"combobox_normal.png"))); // a file name, and no such file
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached);
}

TEST(BitmapCacheTest, BitmapLeavesTheCacheWithItsLastOutsideReference) {
  const size_t cached = LBitmap::GetCachedBitmapCount();
  RCPtr<LBitmap> first = LBitmap::GetBitmap(WString(u"::semi_transparent.png"));
  RCPtr<LBitmap> second = first;
  ASSERT_TRUE(first);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached + 1);

  first = nullptr;
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached + 1);
  EXPECT_EQ(LBitmap::GetBitmap(WString(u"::SEMI_TRANSPARENT.PNG")), second);

  // A sub-bitmap holds its parent from outside the cache.
  RCPtr<LBitmap> sub = second->CreateSubBitmap(1, 0, 2, 2);
  second = nullptr;
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached + 1);
  EXPECT_EQ(sub->GetParent()->GetInternalRefCount(), 1);

  sub = nullptr;
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached);

  // Asked for again, it is loaded again.
  RCPtr<LBitmap> again = LBitmap::GetBitmap(WString(u"::semi_transparent.png"));
  ASSERT_TRUE(again);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached + 1);
  EXPECT_EQ(again->GetRefCount(), 2); // this pointer and the cache
}

class BitmapFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directory(folder / "sub");
    Write("x.png", QZTest::ResourceBytes(u"COMBOBOX_NORMAL_PNG"));
    Write("X.png", QZTest::ResourceBytes(u"SEMI_TRANSPARENT_PNG"));
    Write("sub/b.png", QZTest::ResourceBytes(u"A_B_PNG"));
    const std::vector<uint8_t> whole = QZTest::ResourceBytes(u"COMBOBOX_NORMAL_PNG");
    Write("truncated.png", {whole.begin(), whole.begin() + whole.size() / 2});
    Write("zero.png", kZeroSizePng);
    Write("empty.png", {});
    fs::create_symlink(folder / "x.png", folder / "link.png");
    workingFolder = fs::current_path();
  }
  void TearDown() override { fs::current_path(workingFolder); }

  void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream file(folder / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  RCPtr<LBitmap> Get(const std::string& relative) { return LBitmap::GetBitmap(Wide(folder.string() + relative)); }

  const QZTest::TempFolder temp;
  const fs::path folder = temp.Path();
  fs::path workingFolder;
};

TEST_F(BitmapFileTest, FileNamesKeepTheirCase) {
  RCPtr<LBitmap> lower = Get("/x.png");
  RCPtr<LBitmap> upper = Get("/X.png");
  ASSERT_TRUE(lower);
  ASSERT_TRUE(upper);
  EXPECT_NE(lower, upper);
  EXPECT_EQ(lower->GetWidth(), 40);
  EXPECT_EQ(upper->GetWidth(), 3);
}

TEST_F(BitmapFileTest, SpellingsOfOneFileGiveOneBitmap) {
  const size_t cached = LBitmap::GetCachedBitmapCount();
  RCPtr<LBitmap> plain = Get("/sub/b.png");
  ASSERT_TRUE(plain);
  EXPECT_EQ(Get("/sub/./b.png"), plain);
  EXPECT_EQ(Get("//sub//b.png"), plain);
  EXPECT_EQ(Get("/sub/../sub/b.png"), plain);
  fs::current_path(folder);
  EXPECT_EQ(LBitmap::GetBitmap(WString(u"sub/b.png")), plain);
  EXPECT_EQ(LBitmap::GetBitmap(WString(u"./sub/b.png")), plain);
  RCPtr<LBitmap> viaLink = Get("/link.png");
  ASSERT_TRUE(viaLink);
  EXPECT_EQ(Get("/x.png"), viaLink);
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached + 2);
}

TEST_F(BitmapFileTest, FilesThatAreNoImageGiveNullAndStayOutOfTheCache) {
  const size_t cached = LBitmap::GetCachedBitmapCount();
  EXPECT_FALSE(Get("/missing.png"));
  EXPECT_FALSE(Get("/truncated.png"));
  EXPECT_FALSE(Get("/zero.png"));
  EXPECT_FALSE(Get("/empty.png"));
  EXPECT_FALSE(Get("/sub")); // a folder
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached);
}

class SubBitmapTest : public ::testing::Test {
protected:
  RCPtr<LBitmap> combo = LBitmap::GetBitmap(WString(u"::combobox_normal.png"));
};

TEST_F(SubBitmapTest, SubBitmapOfASubBitmapPointsAtTheImageHolder) {
  ASSERT_TRUE(combo);
  RCPtr<LBitmap> sub = combo->CreateSubBitmap(10, 5, 20, 10);
  EXPECT_EQ(sub->GetRect(), (RectT<int32_t>{10, 5, 20, 10}));
  EXPECT_EQ(sub->GetParent(), combo);
  EXPECT_EQ(sub->GetNativeBitmap(), combo->GetNativeBitmap());

  RCPtr<LBitmap> subSub = sub->CreateSubBitmap(2, 3, 4, 4);
  EXPECT_EQ(subSub->GetRect(), (RectT<int32_t>{12, 8, 4, 4}));
  EXPECT_EQ(subSub->GetParent(), combo);
  EXPECT_EQ(Argb(*subSub, 1, 1), Argb(*combo, 13, 9));

  // A width or height not above 0 takes the whole source at its own offset.
  EXPECT_EQ(sub->CreateSubBitmap(5, 5, 0, 10)->GetRect(), sub->GetRect());
  EXPECT_EQ(sub->CreateSubBitmap(5, 5, 10, -1)->GetRect(), sub->GetRect());
  // Sizes are rounded half away from zero.
  EXPECT_EQ(combo->CreateSubBitmap(0, 0, 2.5, 1.4)->GetRect(), (RectT<int32_t>{0, 0, 3, 1}));
}

TEST_F(SubBitmapTest, SubRectanglesAreCutToTheirSource) {
  ASSERT_TRUE(combo);
  RCPtr<LBitmap> sub = combo->CreateSubBitmap(10, 5, 20, 10);
  EXPECT_EQ(sub->CreateSubBitmap(15, 5, 10, 10)->GetRect(), (RectT<int32_t>{25, 10, 5, 5}));
  EXPECT_EQ(sub->CreateSubBitmap(-4, -2, 10, 10)->GetRect(), (RectT<int32_t>{10, 5, 6, 8}));
  EXPECT_EQ(combo->CreateSubBitmap(30, 0, 1000, 1000)->GetRect(), (RectT<int32_t>{30, 0, 10, 20}));

  RCPtr<LBitmap> outside = sub->CreateSubBitmap(100, 100, 5, 5);
  EXPECT_EQ(outside->GetWidth(), 0);
  EXPECT_EQ(outside->GetHeight(), 0);
  EXPECT_EQ(Argb(*outside, 0, 0), 0u);
  EXPECT_FALSE(outside->CloneBitmap());
  RCPtr<LBitmap> extreme = combo->CreateSubBitmap(INT32_MAX, INT32_MIN, 1e12, 1e12);
  EXPECT_EQ(extreme->GetWidth(), 0);
}

TEST_F(SubBitmapTest, PixelsOutsideTheBitmapAreTransparentBlack) {
  ASSERT_TRUE(combo);
  EXPECT_NE(Argb(*combo, 0, 0), 0u);
  EXPECT_EQ(Argb(*combo, -1, 0), 0u);
  EXPECT_EQ(Argb(*combo, 0, -1), 0u);
  EXPECT_EQ(Argb(*combo, 40, 0), 0u);
  EXPECT_EQ(Argb(*combo, 0, 20), 0u);

  // Outside a sub-bitmap, even where its parent has pixels.
  RCPtr<LBitmap> sub = combo->CreateSubBitmap(10, 5, 20, 10);
  EXPECT_EQ(Argb(*sub, 20, 0), 0u);
  EXPECT_EQ(Argb(*sub, -1, 0), 0u);
  EXPECT_EQ(Argb(*sub, 19, 9), Argb(*combo, 29, 14));
}

TEST(BitmapDataTest, LockedPixelsAreAddressedByPixelRows) {
  RCPtr<LBitmap> semi = LBitmap::GetBitmap(WString(u"::semi_transparent.png"));
  ASSERT_TRUE(semi);
  RCPtr<QZ::LBitmapData> pixels = semi->CreateSubBitmap(1, 1, 1, 1)->LockPixels();
  ASSERT_TRUE(pixels->IsLocked());
  // A sub-bitmap gives all the pixels of its parent; rows are counted in pixels.
  EXPECT_EQ((std::vector{pixels->GetWidth(), pixels->GetHeight(), pixels->GetRowLength()}), (std::vector{3, 2, 3}));
  const auto* pixel = reinterpret_cast<const uint8_t*>(pixels->GetPixelAddress(1, 1));
  EXPECT_EQ(pixel, reinterpret_cast<const uint8_t*>(pixels->GetPixelAddress(0, 0)) + (3 + 1) * 4);
  EXPECT_EQ((std::vector<uint8_t>(pixel, pixel + 4)), (std::vector<uint8_t>{30, 200, 10, 1})); // B, G, R, A
  EXPECT_EQ(pixels->GetPixelAddress(3, 0), nullptr);
  EXPECT_EQ(pixels->GetPixelAddress(0, -1), nullptr);

  // The view keeps the bitmap alive (and cached) while it lives.
  const size_t cached = LBitmap::GetCachedBitmapCount();
  semi = nullptr;
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached);
  pixels = nullptr;
  EXPECT_EQ(LBitmap::GetCachedBitmapCount(), cached - 1);
}

TEST(BitmapDataTest, WritersExcludeOtherViewsAndTheirWritesReachTheBitmap) {
  RCPtr<LBitmap> filled = LBitmap::CreateFilledBitmap({2, 2}, QZ::ColorT<float>::FromARGB(0xFF000000));
  {
    QZ::LBitmapData writer(filled, QZ::Platform::Graphics::LockMode::ReadWrite);
    *writer.GetPixelAddress(1, 1) = 0x80FF0000; // bytes 00 00 FF 80
    QZ::LBitmapData reader(filled, QZ::Platform::Graphics::LockMode::Read);
    EXPECT_FALSE(reader.IsLocked());
    EXPECT_EQ(reader.GetPixelAddress(0, 0), nullptr);
    EXPECT_EQ(filled->GetNativeBitmap()->LastStatus(), QZ::Platform::Graphics::Status::ObjectBusy);
  }
  EXPECT_EQ(Argb(*filled, 1, 1), 0x80FF0000u);
  EXPECT_EQ(Argb(*filled, 0, 0), 0xFF000000u);
}

TEST(BitmapDataTest, SubstituteBuffersAreRefused) {
  RCPtr<LBitmap> filled = LBitmap::CreateFilledBitmap({2, 2}, {});
  RCPtr<QZ::LBitmapData> substitute = LBitmap::CreateFilledBitmap({1, 1}, {})->LockPixels();
  EXPECT_EQ(QZTest::ThrownText<std::domain_error>(
                [&] { QZ::LBitmapData pixels(filled, QZ::Platform::Graphics::LockMode::ReadWrite, substitute.Get()); }),
            R"(Domain Error : QZ::LBitmapData::LBitmapData : Utilities\Graphics\Bitmap : Line 489)");
  EXPECT_EQ(filled->GetRefCount(), 1);
  EXPECT_TRUE(filled->LockPixels()->IsLocked()); // nothing stayed locked
}

// Made before the cache and so destroyed after it: its bitmap is released when the cache
// is gone, which must not touch the cache. Its string is made first, so that the string
// storage it and the bitmap use outlives it, as it does in the program.
struct HeldPastTheCache {
  QZ::WString name{u"::a b.png"};
  QZ::RCPtr<QZ::LBitmap> bitmap;
} gHeldPastTheCache;

TEST(BitmapCacheTest, BitmapsHeldPastTheCacheReleaseSafelyAtExit) {
  gHeldPastTheCache.bitmap = QZ::LBitmap::GetBitmap(gHeldPastTheCache.name);
  ASSERT_TRUE(gHeldPastTheCache.bitmap);
  EXPECT_EQ(gHeldPastTheCache.bitmap->GetInternalRefCount(), 1);
}

} // namespace
