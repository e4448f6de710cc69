#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/GraphicsTestData.h"
#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/ImageResources.h"
#include "Support/TempFolder.h"

namespace Gfx = QZ::Platform::Graphics;
using QZTest::GraphicsDataPath;
using QZTest::PixelAt;
using QZTest::ReadBytes;

namespace {

std::u16string Wide(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

std::unique_ptr<Gfx::Image> Decode(const std::vector<uint8_t>& bytes, Gfx::Status* status = nullptr) {
  return Gfx::Image::FromPngMemory(bytes, status);
}

std::unique_ptr<Gfx::Image> DecodeFile(const std::string& name) {
  return Gfx::Image::FromPngFile(Wide(GraphicsDataPath(name)));
}

// A width x height image whose pixel (x, y) is ARGB (255, x, y, x + y).
std::unique_ptr<Gfx::Image> Numbered(int width, int height) {
  auto image = Gfx::Image::Create(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      EXPECT_EQ(image->SetPixel(x, y, Gfx::Color::FromArgb(255, uint8_t(x), uint8_t(y), uint8_t(x + y))),
                Gfx::Status::Ok);
    }
  }
  return image;
}

} // namespace

TEST(ImageDecodeTest, KeepsStraightAlphaExactlyInBgraOrder) {
  const auto bytes = Gfx::FindImageResource(u"SEMI_TRANSPARENT_PNG");
  ASSERT_TRUE(bytes);
  auto image = Gfx::Image::FromPngMemory(*bytes);
  ASSERT_TRUE(image);
  Gfx::BitmapData data;
  ASSERT_EQ(image->LockBits({0, 0, 3, 2}, Gfx::LockMode::Read, data), Gfx::Status::Ok);
  const uint8_t* first = data.Scan0();
  EXPECT_EQ((std::vector<int>{first[0], first[1], first[2], first[3]}), (std::vector<int>{50, 100, 200, 128}));
  const uint8_t* nearlyTransparent = data.Scan0() + data.Stride() + 4;
  EXPECT_EQ((std::vector<int>{nearlyTransparent[0], nearlyTransparent[1], nearlyTransparent[2], nearlyTransparent[3]}),
            (std::vector<int>{30, 200, 10, 1}));
  EXPECT_EQ(image->UnlockBits(data), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*image, 1, 0), Gfx::Color::FromArgb(64, 0, 0, 255));
}

TEST(ImageDecodeTest, NormalisesEveryColourTypeDepthAndInterlacing) {
  auto rgba16 = DecodeFile("rgba16.png");
  ASSERT_TRUE(rgba16);
  EXPECT_EQ(PixelAt(*rgba16, 0, 0), Gfx::Color::FromArgb(128, 200, 100, 50));
  EXPECT_EQ(PixelAt(*rgba16, 1, 0), Gfx::Color::FromArgb(255, 1, 2, 3));

  auto palette = DecodeFile("palette2.png");
  ASSERT_TRUE(palette);
  EXPECT_EQ(PixelAt(*palette, 0, 0), Gfx::Color::FromArgb(255, 255, 0, 0));
  EXPECT_EQ(PixelAt(*palette, 1, 0), Gfx::Color::FromArgb(128, 0, 0, 255));
  EXPECT_EQ(PixelAt(*palette, 2, 0), Gfx::Color::FromArgb(0, 0, 255, 0));
  EXPECT_EQ(PixelAt(*palette, 3, 0), Gfx::Color::FromArgb(255, 10, 20, 30)); // beyond the tRNS entries: opaque

  auto grey = DecodeFile("grey2.png");
  ASSERT_TRUE(grey);
  EXPECT_EQ(PixelAt(*grey, 1, 0), Gfx::Color::FromArgb(255, 85, 85, 85));
  EXPECT_EQ(PixelAt(*grey, 3, 0), Gfx::Color::FromArgb(255, 255, 255, 255));

  auto greyAlpha = DecodeFile("greyalpha16.png");
  ASSERT_TRUE(greyAlpha);
  EXPECT_EQ(PixelAt(*greyAlpha, 0, 0), Gfx::Color::FromArgb(128, 100, 100, 100));

  auto keyed = DecodeFile("rgbtrns.png");
  ASSERT_TRUE(keyed);
  EXPECT_EQ(PixelAt(*keyed, 0, 0).A(), 0);
  EXPECT_EQ(PixelAt(*keyed, 1, 0), Gfx::Color::FromArgb(255, 9, 8, 7));

  auto interlaced = DecodeFile("interlaced.png");
  ASSERT_TRUE(interlaced);
  ASSERT_EQ(interlaced->Width(), 9);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x) {
      ASSERT_EQ(PixelAt(*interlaced, x, y),
                Gfx::Color::FromArgb(uint8_t(255 - x), uint8_t(20 * x), uint8_t(20 * y), uint8_t(x + y)))
          << x << ", " << y;
    }
  }
}

TEST(ImageDecodeTest, DamagedInputGivesNoImage) {
  const std::vector<uint8_t> valid = ReadBytes(GraphicsDataPath("interlaced.png"));
  ASSERT_TRUE(Decode(valid));
  for (size_t length = 0; length < valid.size(); ++length) {
    ASSERT_FALSE(Decode({valid.begin(), valid.begin() + std::ptrdiff_t(length)})) << "prefix of " << length;
  }

  // A changed byte inside the image data breaks the chunk's checksum.
  std::vector<uint8_t> corrupt = valid;
  corrupt[valid.size() - 30] ^= 0x55;
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Decode(corrupt, &status));
  EXPECT_EQ(status, Gfx::Status::GenericError);

  const std::vector<uint8_t> notPng = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(Decode(notPng, &status));
  EXPECT_EQ(status, Gfx::Status::UnknownImageFormat);
  EXPECT_FALSE(Decode({}, &status));

  EXPECT_FALSE(DecodeFile("zerosize.png"));
}

TEST(ImageDecodeTest, RefusesImagesBeyondTheSizeLimit) {
  std::vector<uint8_t> huge = ReadBytes(GraphicsDataPath("rgba16.png"));
  // IHDR width (bytes 16-19) set to 100000; the checksum is wrong too, but the limit is hit first.
  huge[16] = 0;
  huge[17] = 0x01;
  huge[18] = 0x86;
  huge[19] = 0xA0;
  EXPECT_FALSE(Decode(huge));
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::Image::Create(Gfx::Image::kMaxDimension, Gfx::Image::kMaxDimension, &status));
  EXPECT_EQ(status, Gfx::Status::OutOfMemory);
}

TEST(ImageDecodeTest, ReadsFilesByUtf8NameAndReportsMissingOnes) {
  const QZTest::TempFolder temp;
  const std::filesystem::path folder = temp.Path();
  const auto target = folder / std::filesystem::path(u8"B\u00e4r \u00df.png");
  std::filesystem::copy_file(GraphicsDataPath("rgba16.png"), target, std::filesystem::copy_options::overwrite_existing);

  const std::u16string wide = Wide(folder.string()) + u"/B\u00e4r \u00df.png";
  auto image = Gfx::Image::FromPngFile(wide);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), 2);

  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::Image::FromPngFile(Wide(folder.string()) + u"/missing.png", &status));
  EXPECT_EQ(status, Gfx::Status::FileNotFound);
  EXPECT_FALSE(Gfx::Image::FromPngFile(Wide(folder.string()), &status));
  // A FIFO without a writer would block a plain read forever.
  const auto fifo = folder / "pipe.png";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(Gfx::Image::FromPngFile(Wide(fifo.string()), &status));
  EXPECT_FALSE(Gfx::Image::FromPngFile(u"/dev/zero", &status));
}

TEST(ImageTest, CreatesBlankAndCopiedImages) {
  auto blank = Gfx::Image::Create(3, 2);
  ASSERT_TRUE(blank);
  EXPECT_EQ(PixelAt(*blank, 2, 1), Gfx::Color{});

  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::Image::Create(0, 5, &status));
  EXPECT_EQ(status, Gfx::Status::InvalidParameter);

  // Two pixels per row followed by four bytes of padding.
  uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 99, 99, 99, 99, 9, 10, 11, 12, 13, 14, 15, 16, 99, 99, 99, 99};
  auto copy = Gfx::Image::FromPixels(2, 2, 12, pixels);
  ASSERT_TRUE(copy);
  pixels[0] = 0;
  EXPECT_EQ(PixelAt(*copy, 0, 0), Gfx::Color::FromArgb(4, 3, 2, 1));
  EXPECT_EQ(PixelAt(*copy, 1, 1), Gfx::Color::FromArgb(16, 15, 14, 13));
  EXPECT_FALSE(Gfx::Image::FromPixels(2, 2, 4, pixels, &status));
  EXPECT_EQ(status, Gfx::Status::InvalidParameter);
}

TEST(ImageTest, LockBitsRoundTripsASubRectangle) {
  auto image = Numbered(5, 4);
  Gfx::BitmapData data;
  ASSERT_EQ(image->LockBits({1, 2, 3, 2}, Gfx::LockMode::ReadWrite, data), Gfx::Status::Ok);
  EXPECT_EQ(data.Width(), 3);
  EXPECT_EQ(data.Height(), 2);
  EXPECT_EQ(data.Stride(), 20);
  EXPECT_EQ(data.Scan0()[1], 2); // green of (1, 2)
  for (int y = 0; y < data.Height(); ++y) {
    for (int x = 0; x < data.Width(); ++x) {
      uint8_t* pixel = data.Scan0() + y * data.Stride() + x * 4;
      pixel[0] = uint8_t(100 + x);
      pixel[1] = uint8_t(110 + y);
      pixel[2] = 120;
      pixel[3] = 77;
    }
  }
  EXPECT_EQ(image->UnlockBits(data), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*image, 3, 3), Gfx::Color::FromArgb(77, 120, 111, 102));
  EXPECT_EQ(PixelAt(*image, 0, 2), Gfx::Color::FromArgb(255, 0, 2, 2)); // left of the rectangle
  EXPECT_EQ(PixelAt(*image, 4, 3), Gfx::Color::FromArgb(255, 4, 3, 7)); // right of it

  ASSERT_EQ(image->LockBits({1, 2, 3, 2}, Gfx::LockMode::Read, data), Gfx::Status::Ok);
  EXPECT_EQ(data.Scan0()[3], 77);
  EXPECT_EQ(image->UnlockBits(data), Gfx::Status::Ok);
}

TEST(ImageTest, LockBitsClampsAndGuardsItsState) {
  auto image = Numbered(4, 4);
  Gfx::BitmapData data;
  ASSERT_EQ(image->LockBits({-2, 3, 10, 10}, Gfx::LockMode::Read, data), Gfx::Status::Ok);
  EXPECT_EQ(data.Area(), (Gfx::Rect{0, 3, 4, 1}));

  Gfx::BitmapData second;
  EXPECT_EQ(image->LockBits({0, 0, 1, 1}, Gfx::LockMode::Read, second), Gfx::Status::Ok);
  EXPECT_EQ(image->LockBits({0, 0, 1, 1}, Gfx::LockMode::Write, second), Gfx::Status::ObjectBusy);
  EXPECT_EQ(image->LastStatus(), Gfx::Status::ObjectBusy);
  EXPECT_EQ(image->SetPixel(0, 0, Gfx::Color{}), Gfx::Status::ObjectBusy);
  auto graphics = Gfx::Graphics::FromImage(*image);
  EXPECT_EQ(graphics->Clear(Gfx::Color{}), Gfx::Status::ObjectBusy);
  EXPECT_EQ(image->UnlockBits(second), Gfx::Status::Ok);
  EXPECT_EQ(image->UnlockBits(data), Gfx::Status::Ok);
  EXPECT_EQ(image->UnlockBits(data), Gfx::Status::WrongState);

  auto other = Numbered(4, 4);
  ASSERT_EQ(other->LockBits({0, 0, 4, 4}, Gfx::LockMode::Write, data), Gfx::Status::Ok);
  EXPECT_EQ(image->UnlockBits(data), Gfx::Status::WrongState);
  EXPECT_EQ(other->UnlockBits(data), Gfx::Status::Ok);

  EXPECT_EQ(image->LockBits({4, 0, 2, 2}, Gfx::LockMode::Read, data), Gfx::Status::InvalidParameter);
  EXPECT_EQ(image->LockBits({0, 0, 2, 2}, Gfx::LockMode(0), data), Gfx::Status::InvalidParameter);
}

TEST(ImageTest, PixelAccessOutsideFailsWithAStatus) {
  auto image = Numbered(3, 3);
  Gfx::Color color{0x12345678};
  EXPECT_EQ(image->GetPixel(3, 0, color), Gfx::Status::InvalidParameter);
  EXPECT_EQ(image->GetPixel(0, -1, color), Gfx::Status::InvalidParameter);
  EXPECT_EQ(color.argb, 0x12345678u);
  EXPECT_EQ(image->LastStatus(), Gfx::Status::InvalidParameter);
  EXPECT_EQ(image->SetPixel(-1, 1, Gfx::Color{}), Gfx::Status::InvalidParameter);
  EXPECT_EQ(image->SetPixel(1, 1, Gfx::Color{0x80FF0000}), Gfx::Status::Ok);
  EXPECT_EQ(image->LastStatus(), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*image, 1, 1).argb, 0x80FF0000u);
}

TEST(ImageTest, CloneAreaClampsToTheImage) {
  auto image = Numbered(4, 3);
  auto clone = image->CloneArea({2, 1, 10, 10});
  ASSERT_TRUE(clone);
  EXPECT_EQ(clone->Width(), 2);
  EXPECT_EQ(clone->Height(), 2);
  EXPECT_EQ(PixelAt(*clone, 0, 0), PixelAt(*image, 2, 1));
  EXPECT_EQ(PixelAt(*clone, 1, 1), PixelAt(*image, 3, 2));

  EXPECT_FALSE(image->CloneArea({4, 0, 2, 2}));
  EXPECT_EQ(image->LastStatus(), Gfx::Status::InvalidParameter);
  EXPECT_FALSE(image->CloneArea({0, 0, 0, 3}));
}

TEST(ImageTest, DrawingLeavesUntouchedSemiTransparentPixelsExact) {
  auto image = Gfx::Image::Create(4, 1);
  const Gfx::Color delicate = Gfx::Color::FromArgb(3, 250, 7, 129);
  EXPECT_EQ(image->SetPixel(0, 0, delicate), Gfx::Status::Ok);
  EXPECT_EQ(image->SetPixel(1, 0, Gfx::Color::FromArgb(128, 200, 100, 50)), Gfx::Status::Ok);
  {
    auto graphics = Gfx::Graphics::FromImage(*image);
    ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(Gfx::Color::FromArgb(255, 0, 0, 255)), {3, 0, 1, 1}),
              Gfx::Status::Ok);
  }
  EXPECT_EQ(PixelAt(*image, 0, 0), delicate);
  EXPECT_EQ(PixelAt(*image, 1, 0), Gfx::Color::FromArgb(128, 200, 100, 50));
  EXPECT_EQ(PixelAt(*image, 3, 0), Gfx::Color::FromArgb(255, 0, 0, 255));
}

TEST(ImageTest, WritesReachTheNextDrawing) {
  auto source = Gfx::Image::Create(1, 1);
  auto target = Gfx::Image::Create(1, 1);
  auto graphics = Gfx::Graphics::FromImage(*target);
  graphics->SetCompositingMode(Gfx::CompositingMode::SourceCopy);

  EXPECT_EQ(source->SetPixel(0, 0, Gfx::Color{0xFF112233}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 1, 1}, {0, 0, 1, 1}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 0, 0).argb, 0xFF112233u);

  EXPECT_EQ(source->SetPixel(0, 0, Gfx::Color{0xFF445566}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 1, 1}, {0, 0, 1, 1}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 0, 0).argb, 0xFF445566u);

  Gfx::BitmapData data;
  EXPECT_EQ(source->LockBits({0, 0, 1, 1}, Gfx::LockMode::Write, data), Gfx::Status::Ok);
  data.Scan0()[2] = 0x99; // red
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 1, 1}, {0, 0, 1, 1}), Gfx::Status::ObjectBusy);
  EXPECT_EQ(source->UnlockBits(data), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 1, 1}, {0, 0, 1, 1}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 0, 0).argb, 0xFF995566u);

  // A pixel set on the target after drawing shows, and the next drawing builds on it.
  EXPECT_EQ(target->SetPixel(0, 0, Gfx::Color{0xFF000000}), Gfx::Status::Ok);
  graphics->SetCompositingMode(Gfx::CompositingMode::SourceOver);
  EXPECT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(Gfx::Color{0x80FFFFFF}), {0, 0, 1, 1}), Gfx::Status::Ok);
  EXPECT_NEAR(PixelAt(*target, 0, 0).R(), 128, 1);
  EXPECT_EQ(PixelAt(*target, 0, 0).A(), 255);
}

TEST(ImageTest, ATransparentImageHoldsPixelsOnlyOnceTheyAreUsedAndClearsBackToThatState) {
  auto image = Gfx::Image::Create(64, 32);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->MemoryBytes(), 0u) << "a blank image takes no pixels";
  EXPECT_EQ(PixelAt(*image, 63, 31), Gfx::Color{});
  EXPECT_EQ(image->MemoryBytes(), 0u) << "reading a blank pixel makes none";
  {
    auto graphics = Gfx::Graphics::FromImage(*image);
    ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(Gfx::Color{0xFF00FF00}), {0, 0, 2, 2}), Gfx::Status::Ok);
  }
  EXPECT_EQ(image->MemoryBytes(), 64u * 32u * 4u) << "drawn on: the premultiplied pixels alone";
  EXPECT_EQ(PixelAt(*image, 1, 1).argb, 0xFF00FF00u);
  EXPECT_EQ(PixelAt(*image, 2, 2), Gfx::Color{});
  EXPECT_EQ(image->MemoryBytes(), 2u * 64u * 32u * 4u) << "read back: the straight pixels too";

  Gfx::BitmapData locked;
  ASSERT_EQ(image->LockBits({0, 0, 1, 1}, Gfx::LockMode::Read, locked), Gfx::Status::Ok);
  EXPECT_EQ(image->Clear(), Gfx::Status::ObjectBusy);
  EXPECT_EQ(image->UnlockBits(locked), Gfx::Status::Ok);
  ASSERT_EQ(image->Clear(), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*image, 1, 1), Gfx::Color{});
  EXPECT_EQ(image->MemoryBytes(), 64u * 32u * 4u) << "cleared: the twin kept for the next drawing";
  auto target = Gfx::Image::Create(4, 4);
  auto graphics = Gfx::Graphics::FromImage(*target);
  graphics->SetCompositingMode(Gfx::CompositingMode::SourceCopy);
  ASSERT_EQ(graphics->DrawImage(*image, {0, 0, 4, 4}, {0, 0, 4, 4}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 1, 1), Gfx::Color{}) << "what is drawn from a cleared image is transparent";

  // Written pixels of a new image reach its drawing, whatever was never made before.
  auto fresh = Gfx::Image::Create(2, 1);
  EXPECT_EQ(fresh->SetPixel(1, 0, Gfx::Color{0xFF102030}), Gfx::Status::Ok);
  ASSERT_EQ(graphics->DrawImage(*fresh, {0, 0, 2, 1}, {0, 0, 2, 1}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 0, 0), Gfx::Color{});
  EXPECT_EQ(PixelAt(*target, 1, 0).argb, 0xFF102030u);
}

namespace {

// mixedalpha.png, 4 x 2: red, red, blue at alpha 128, (10, 200, 30) at alpha 1; then four
// green pixels. All but the last two are opaque.
constexpr Gfx::Color kRed{0xFFFF0000};
constexpr Gfx::Color kGreen{0xFF00FF00};
constexpr size_t kMixedBytes = 4 * 2 * 4;

// What `image` shows drawn unscaled, unblended, onto a fresh image of its size.
std::unique_ptr<Gfx::Image> DrawnCopy(const Gfx::Image& image) {
  auto target = Gfx::Image::Create(image.Width(), image.Height());
  auto graphics = Gfx::Graphics::FromImage(*target);
  graphics->SetCompositingMode(Gfx::CompositingMode::SourceCopy);
  EXPECT_EQ(graphics->DrawImageUnscaled(image, {0, 0, image.Width(), image.Height()}, 0, 0), Gfx::Status::Ok);
  return target;
}

void ExpectSamePixels(const Gfx::Image& actual, const Gfx::Image& expected) {
  ASSERT_EQ(actual.Width(), expected.Width());
  ASSERT_EQ(actual.Height(), expected.Height());
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      EXPECT_EQ(PixelAt(actual, x, y), PixelAt(expected, x, y)) << "at " << x << ", " << y;
    }
  }
}

} // namespace

TEST(ImageResourceTest, DecodesEachFormOnlyWhenUsedAndExactlyAsAnEagerDecode) {
  const std::vector<uint8_t> bytes = ReadBytes(GraphicsDataPath("mixedalpha.png"));
  auto eager = Decode(bytes);
  ASSERT_TRUE(eager);
  auto lazy = Gfx::Image::FromPngResource(bytes);
  ASSERT_TRUE(lazy);
  EXPECT_EQ(lazy->Width(), 4);
  EXPECT_EQ(lazy->Height(), 2);
  EXPECT_EQ(lazy->MemoryBytes(), 0u) << "only the header is read";

  ExpectSamePixels(*DrawnCopy(*lazy), *DrawnCopy(*eager));
  EXPECT_EQ(lazy->MemoryBytes(), kMixedBytes) << "drawn: the premultiplied pixels alone";
  EXPECT_EQ(PixelAt(*lazy, 1, 0), kRed);
  EXPECT_EQ(lazy->MemoryBytes(), kMixedBytes) << "an opaque pixel is read from the twin";

  // The nearly transparent pixel's colour does not survive premultiplying: the straight
  // pixels are decoded again, not derived from the twin.
  EXPECT_EQ(PixelAt(*lazy, 3, 0), Gfx::Color::FromArgb(1, 10, 200, 30));
  EXPECT_EQ(lazy->MemoryBytes(), 2 * kMixedBytes);
  ExpectSamePixels(*lazy, *eager);

  // Read first, drawn later: the twin is made from the straight pixels and their writes.
  auto readFirst = Gfx::Image::FromPngResource(bytes);
  EXPECT_EQ(PixelAt(*readFirst, 2, 0), Gfx::Color::FromArgb(128, 0, 0, 255));
  EXPECT_EQ(readFirst->SetPixel(0, 1, kRed), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*DrawnCopy(*readFirst), 0, 1), kRed);
  EXPECT_EQ(PixelAt(*DrawnCopy(*readFirst), 1, 1), kGreen);
}

TEST(ImageResourceTest, DrawingOnANeverDecodedImageKeepsItsOtherPixels) {
  const std::vector<uint8_t> bytes = ReadBytes(GraphicsDataPath("mixedalpha.png"));
  auto image = Gfx::Image::FromPngResource(bytes);
  {
    auto graphics = Gfx::Graphics::FromImage(*image);
    ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(Gfx::Color{0xFF0000FF}), {0, 1, 1, 1}), Gfx::Status::Ok);
  }
  EXPECT_EQ(PixelAt(*image, 0, 1).argb, 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*image, 1, 1), kGreen);
  EXPECT_EQ(PixelAt(*image, 3, 0), Gfx::Color::FromArgb(1, 10, 200, 30));

  // Cleared, the image forgets its PNG.
  ASSERT_EQ(image->Clear(), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*image, 1, 1), Gfx::Color{});
  EXPECT_EQ(PixelAt(*DrawnCopy(*image), 1, 1), Gfx::Color{});
}

TEST(ImageResourceTest, AHeaderIsCheckedAtOnceAndDamageBehindItLeavesTheImageTransparent) {
  const std::vector<uint8_t> valid = ReadBytes(GraphicsDataPath("interlaced.png"));
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::Image::FromPngResource(std::span(valid).first(20), &status));
  EXPECT_EQ(status, Gfx::Status::GenericError);
  const std::vector<uint8_t> notPng = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(Gfx::Image::FromPngResource(notPng, &status));
  EXPECT_EQ(status, Gfx::Status::UnknownImageFormat);

  std::vector<uint8_t> corrupt = valid;
  corrupt[valid.size() - 30] ^= 0x55;
  auto drawn = Gfx::Image::FromPngResource(corrupt, &status);
  ASSERT_TRUE(drawn);
  EXPECT_EQ(status, Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*DrawnCopy(*drawn), 4, 4), Gfx::Color{});
  EXPECT_EQ(drawn->LastStatus(), Gfx::Status::GenericError);
  EXPECT_EQ(PixelAt(*drawn, 4, 4), Gfx::Color{});

  auto read = Gfx::Image::FromPngResource(corrupt);
  Gfx::BitmapData data;
  ASSERT_EQ(read->LockBits({0, 0, 9, 9}, Gfx::LockMode::Read, data), Gfx::Status::Ok);
  EXPECT_EQ(data.Scan0()[3], 0) << "transparent, not left undefined";
  EXPECT_EQ(read->UnlockBits(data), Gfx::Status::Ok);
}

TEST(ImageResourceTest, AUniformOpaqueAreaGivesItsColourFromWhicheverFormIsHeld) {
  const std::vector<uint8_t> bytes = ReadBytes(GraphicsDataPath("mixedalpha.png"));
  auto lazy = Gfx::Image::FromPngResource(bytes);
  EXPECT_EQ(lazy->UniformOpaqueColor({0, 1, 4, 1}), kGreen);
  EXPECT_EQ(lazy->MemoryBytes(), kMixedBytes) << "the twin the drawing will use, no straight copy";
  EXPECT_EQ(lazy->UniformOpaqueColor({-5, 0, 7, 1}), kRed) << "clamped to the image";
  EXPECT_EQ(lazy->UniformOpaqueColor({0, 0, 3, 1}), std::nullopt) << "one pixel is not opaque";
  EXPECT_EQ(lazy->UniformOpaqueColor({0, 0, 2, 2}), std::nullopt) << "two colours";
  EXPECT_EQ(lazy->UniformOpaqueColor({4, 0, 2, 2}), std::nullopt) << "nothing inside";

  auto straight = Numbered(3, 3);
  EXPECT_EQ(straight->UniformOpaqueColor({1, 2, 1, 1}), Gfx::Color::FromArgb(255, 1, 2, 3));
  EXPECT_EQ(straight->UniformOpaqueColor({0, 0, 2, 1}), std::nullopt);
  EXPECT_EQ(straight->MemoryBytes(), 3u * 3u * 4u) << "read from the straight pixels, no twin made";
  {
    // Drawn on, the twin is ahead of the straight pixels and is the one read.
    auto graphics = Gfx::Graphics::FromImage(*straight);
    ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(kGreen), {0, 0, 3, 3}), Gfx::Status::Ok);
  }
  EXPECT_EQ(straight->UniformOpaqueColor({0, 0, 3, 3}), kGreen);
}
