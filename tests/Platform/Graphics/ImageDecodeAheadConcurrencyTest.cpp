// Embedded images decoded ahead on worker threads while their owner's thread uses them.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/GraphicsTestData.h"
#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/PendingDecode.h"
#include "Platform/Graphics/PixelConversion.h"

namespace Gfx = QZ::Platform::Graphics;
using QZTest::GraphicsDataPath;
using QZTest::PixelAt;
using QZTest::ReadBytes;

namespace {

const char* const kFiles[] = {"mixedalpha.png",  "interlaced.png", "palette2.png", "rgba16.png",
                              "greyalpha16.png", "rgbtrns.png",    "grey2.png"};

// The premultiplied words `image` draws, read off an unblended copy.
std::vector<uint32_t> DrawnWords(const Gfx::Image& image) {
  auto target = Gfx::Image::Create(image.Width(), image.Height());
  {
    auto graphics = Gfx::Graphics::FromImage(*target);
    graphics->SetCompositingMode(Gfx::CompositingMode::SourceCopy);
    EXPECT_EQ(graphics->DrawImageUnscaled(image, {0, 0, image.Width(), image.Height()}, 0, 0), Gfx::Status::Ok);
  }
  std::vector<uint32_t> words;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      words.push_back(PixelAt(*target, x, y).argb);
    }
  }
  return words;
}

std::vector<uint32_t> StraightWords(const Gfx::Image& image) {
  std::vector<uint32_t> words;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      words.push_back(PixelAt(image, x, y).argb);
    }
  }
  return words;
}

std::vector<uint32_t> SurfaceWords(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const uint8_t* data = cairo_image_surface_get_data(surface);
  std::vector<uint32_t> words(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y) {
    std::memcpy(&words[size_t(y) * size_t(width)], data + size_t(y) * size_t(cairo_image_surface_get_stride(surface)),
                size_t(width) * 4);
  }
  return words;
}

} // namespace

TEST(ImageDecodeAheadConcurrencyTest, ImagesUsedInEveryWayWhileWorkersDecodeShowTheirOwnPixels) {
  constexpr int kCopies = 6;
  for (const char* file : kFiles) {
    SCOPED_TRACE(file);
    const std::vector<uint8_t> bytes = ReadBytes(GraphicsDataPath(file));
    auto plain = Gfx::Image::FromPngResource(bytes);
    ASSERT_TRUE(plain);
    const std::vector<uint32_t> drawn = DrawnWords(*plain);
    const std::vector<uint32_t> straight = StraightWords(*Gfx::Image::FromPngMemory(bytes));
    const size_t twinBytes = size_t(plain->Width()) * size_t(plain->Height()) * 4;

    std::vector<std::unique_ptr<Gfx::Image>> images;
    for (int i = 0; i < kCopies; ++i) {
      images.push_back(Gfx::Image::FromPngResource(bytes));
      images.back()->DecodeAhead();
      images.back()->DecodeAhead(); // once is all it takes
    }
    // The first uses race the workers: drawn, read, locked, cleared, measured, dropped.
    EXPECT_EQ(DrawnWords(*images[0]), drawn);
    EXPECT_EQ(images[0]->MemoryBytes(), twinBytes) << "the premultiplied pixels alone, as a drawing decodes";
    EXPECT_EQ(StraightWords(*images[1]), straight) << "straight pixels exact, whatever their alpha";
    Gfx::BitmapData data;
    ASSERT_EQ(images[2]->LockBits({0, 0, 1, 1}, Gfx::LockMode::ReadWrite, data), Gfx::Status::Ok);
    data.Scan0()[3] = 0;
    ASSERT_EQ(images[2]->UnlockBits(data), Gfx::Status::Ok);
    EXPECT_EQ(DrawnWords(*images[2])[0], 0u) << "a write reaches the next drawing";
    ASSERT_EQ(images[3]->Clear(), Gfx::Status::Ok);
    EXPECT_EQ(DrawnWords(*images[3]), std::vector<uint32_t>(drawn.size(), 0u));
    images[4].reset(); // a decode under way is waited for; one queued is dropped
    EXPECT_EQ(images[5]->MemoryBytes(), twinBytes);
    EXPECT_EQ(DrawnWords(*images[5]), drawn);

    // Decoded or drawn already: nothing to decode ahead.
    plain->DecodeAhead();
    EXPECT_EQ(plain->MemoryBytes(), twinBytes);
    auto memory = Gfx::Image::FromPngMemory(bytes);
    memory->DecodeAhead();
    EXPECT_EQ(memory->MemoryBytes(), twinBytes) << "straight pixels only";
  }
}

TEST(ImageDecodeAheadConcurrencyTest, DamageFoundAheadLeavesTheImageTransparentWithItsStatus) {
  std::vector<uint8_t> corrupt = ReadBytes(GraphicsDataPath("interlaced.png"));
  corrupt[corrupt.size() - 30] ^= 0x55;
  for (int i = 0; i < 4; ++i) {
    auto image = Gfx::Image::FromPngResource(corrupt);
    ASSERT_TRUE(image);
    image->DecodeAhead();
    EXPECT_EQ(DrawnWords(*image), std::vector<uint32_t>(size_t(image->Width()) * size_t(image->Height()), 0u));
    EXPECT_EQ(image->LastStatus(), Gfx::Status::GenericError);
    EXPECT_EQ(PixelAt(*image, 4, 4), Gfx::Color{});
  }
}

TEST(ImageDecodeAheadConcurrencyTest, ATakerDecodesWhatNoWorkerStartedAndWaitsForWhatOneDid) {
  const std::vector<uint8_t> bytes = ReadBytes(GraphicsDataPath("rgba16.png"));
  auto reference = Gfx::Image::FromPngResource(bytes);
  std::vector<uint32_t> expected;
  {
    Gfx::PendingDecode own(bytes, reference->Width(), reference->Height());
    Gfx::Status status = Gfx::Status::GenericError;
    const Gfx::CairoSurface surface = own.Take(status); // no worker ran it: decoded here
    ASSERT_TRUE(surface);
    EXPECT_EQ(status, Gfx::Status::Ok);
    own.Run(); // too late: does nothing
    expected = SurfaceWords(surface.get());
  }
  std::vector<uint32_t> premultiplied;
  for (const uint32_t argb : StraightWords(*Gfx::Image::FromPngMemory(bytes))) {
    uint8_t bgra[4];
    std::memcpy(bgra, &argb, 4);
    premultiplied.push_back(Gfx::Premultiply(bgra));
  }
  EXPECT_EQ(expected, premultiplied) << "the eager decode's pixels, premultiplied";

  // A worker done first hands its surface over; one under way is waited for.
  for (int round = 0; round < 20; ++round) {
    Gfx::PendingDecode decode(bytes, reference->Width(), reference->Height());
    std::thread worker([&decode] { decode.Run(); });
    Gfx::Status status = Gfx::Status::GenericError;
    const Gfx::CairoSurface surface = decode.Take(status);
    worker.join();
    ASSERT_TRUE(surface);
    EXPECT_EQ(status, Gfx::Status::Ok);
    EXPECT_EQ(SurfaceWords(surface.get()), expected);
  }

  // Cancelled, a decode no longer reads its bytes, whichever thread was first.
  for (int round = 0; round < 20; ++round) {
    auto copy = std::make_unique<std::vector<uint8_t>>(bytes);
    Gfx::PendingDecode decode(*copy, reference->Width(), reference->Height());
    std::thread worker([&decode] { decode.Run(); });
    decode.Cancel();
    copy.reset(); // a read after this is one ASan and TSan report
    worker.join();
  }
}

namespace {

// A noisy opaque picture, encoded without interlacing (as the skins' images are): most of
// its bytes are image data, so that a cut through them leaves some rows decodable.
std::vector<uint8_t> NoisyPng(int width, int height) {
  Gfx::CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  uint8_t* data = cairo_image_surface_get_data(surface.get());
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const uint32_t word = 0xFF000000u | (seed >> 8);
      std::memcpy(data + size_t(y) * size_t(cairo_image_surface_get_stride(surface.get())) + size_t(x) * 4, &word, 4);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  std::vector<uint8_t> bytes;
  const auto append = [](void* closure, const unsigned char* chunk, unsigned int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(closure);
    out->insert(out->end(), chunk, chunk + length);
    return CAIRO_STATUS_SUCCESS;
  };
  EXPECT_EQ(cairo_surface_write_to_png_stream(surface.get(), append, &bytes), CAIRO_STATUS_SUCCESS);
  return bytes;
}

} // namespace

TEST(ImageDecodeAheadConcurrencyTest, EveryPixelOfTheDrawnFormIsTheDecodesOwnWhateverTheMemoryHeldBefore) {
  const std::vector<uint8_t> bytes = NoisyPng(40, 30);
  const std::vector<uint32_t> expected = DrawnWords(*Gfx::Image::FromPngMemory(bytes));
  const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
  const std::vector<uint32_t> transparent(expected.size(), 0u);
  for (int round = 0; round < 4; ++round) {
    // Decoded by its first drawing, and ahead on a worker.
    auto own = Gfx::Image::FromPngResource(bytes);
    auto ahead = Gfx::Image::FromPngResource(bytes);
    ahead->DecodeAhead();
    EXPECT_EQ(DrawnWords(*own), expected);
    EXPECT_EQ(DrawnWords(*ahead), expected);

    // Rows decoded before the data ran out are not shown either.
    auto cutOwn = Gfx::Image::FromPngResource(cut);
    auto cutAhead = Gfx::Image::FromPngResource(cut);
    ASSERT_TRUE(cutOwn && cutAhead);
    cutAhead->DecodeAhead();
    EXPECT_EQ(DrawnWords(*cutOwn), transparent);
    EXPECT_EQ(DrawnWords(*cutAhead), transparent);
    EXPECT_EQ(cutAhead->LastStatus(), Gfx::Status::GenericError);
  }
}

// Bytes made before the workers go after them, as a program's static data may: a decode
// under way at the end must be over by then. The images are never destroyed, so that only
// the workers' end can keep their reads within the bytes' life.
TEST(ImageDecodeAheadConcurrencyDeathTest, AProcessEndingWithDecodesUnderWayEndsThemBeforeItsStaticDataGoes) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static const std::vector<uint8_t> bytes = NoisyPng(256, 256);
        static auto* images = new std::vector<std::unique_ptr<Gfx::Image>>();
        for (int i = 0; i < 12; ++i) {
          images->push_back(Gfx::Image::FromPngResource(bytes));
          images->back()->DecodeAhead();
        }
        std::exit(0); // a sanitizer's report changes the code
      },
      testing::ExitedWithCode(0), "");
}
