#pragma once
// The fixture of the GDI renderer tests: a renderer on a fake clock and one window
// context whose window pixels are a buffer the tests read back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/PixelConversion.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"

namespace QZTest {

inline constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                          kWhite = 0xFFFFFFFF;

inline QZ::ColorT<float> Color(uint32_t argb) { return QZ::ColorT<float>::FromARGB(argb); }

inline std::string Reference(const std::string& name) { return ReferenceImage(name); }

// A width x height bitmap painted by pixel(x, y) -> ARGB.
template <class F>
QZ::RCPtr<QZ::LBitmap> PaintedBitmap(int32_t width, int32_t height, F pixel) {
  QZ::RCPtr<QZ::LBitmap> bitmap = QZ::LBitmap::CreateFilledBitmap({width, height}, {});
  QZ::RCPtr<QZ::LBitmapData> data(new QZ::LBitmapData(bitmap, QZ::Platform::Graphics::LockMode::Write));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      *data->GetPixelAddress(x, y) = pixel(x, y);
    }
  }
  return bitmap;
}

// 10 x 10: a black frame around red, green, blue and half-transparent yellow quarters,
// so that scaling, offsets and lost edges show.
inline uint32_t PatternPixel(int32_t x, int32_t y) {
  if (x == 0 || y == 0 || x == 9 || y == 9) {
    return kBlack;
  }
  return y < 5 ? (x < 5 ? kRed : kGreen) : (x < 5 ? kBlue : 0x80FFFF00);
}
inline QZ::RCPtr<QZ::LBitmap> Pattern() { return PaintedBitmap(10, 10, PatternPixel); }

// Straight ARGB of an image's pixel.
inline uint32_t PixelOf(const QZ::Platform::Graphics::Image& image, int32_t x, int32_t y) {
  QZ::Platform::Graphics::Color color{0xDEADBEEF};
  (void)image.GetPixel(x, y, color); // inside the image
  return color.argb;
}

class GDIRendererTest : public ::testing::Test {
protected:
  void SetUp() override { MakeWindow(40, 30); }

  // A new window context of width x height whose window pixels (premultiplied, as an
  // SDL window surface holds them) are all `fill`.
  void MakeWindow(int32_t width, int32_t height, uint32_t fill = 0) {
    words.assign(size_t(width) * size_t(height), fill);
    context = NewContext({0, 0, width, height}, false);
    Gdi(context).SetWindowPixels({words.data(), width, height, width * 4});
  }
  QZ::RCPtr<QZ::LRenderContextInfo> NewContext(const QZ::RectT<int32_t>& bounds, bool offscreenOnly) {
    QZ::RCPtr<QZ::LRenderContextInfo> made;
    EXPECT_EQ(renderer->InitRenderContextInfo(bounds, nullptr, offscreenOnly, made), QZ::QZ_OK);
    return made;
  }
  static QZ::LGDIRenderContextInfo& Gdi(const QZ::RCPtr<QZ::LRenderContextInfo>& of) {
    return dynamic_cast<QZ::LGDIRenderContextInfo&>(*of);
  }
  static QZ::Platform::Graphics::Image& Surface(const QZ::RCPtr<QZ::LRenderContextInfo>& of) {
    return *Gdi(of).GetCurrentSurface()->GetImage();
  }

  // The window's pixels as a straight-alpha image, and one pixel of it.
  std::unique_ptr<QZ::Platform::Graphics::Image> Window() const {
    const QZ::GDIWindowPixels& pixels = Gdi(context).GetWindowPixels();
    std::vector<uint8_t> bgra(words.size() * 4);
    for (size_t i = 0; i < words.size(); ++i) {
      QZ::Platform::Graphics::Unpremultiply(words[i], &bgra[i * 4]);
    }
    return QZ::Platform::Graphics::Image::FromPixels(pixels.width, pixels.height, pixels.pitch, bgra.data());
  }
  uint32_t At(int32_t x, int32_t y) const { return PixelOf(*Window(), x, y); }

  // Starts a frame of `of` whose update region is `region`, or the bounds when empty.
  void Start(const QZ::RCPtr<QZ::LRenderContextInfo>& of, std::vector<QZ::EdgeRect> region = {}) {
    const QZ::RectT<int32_t>& bounds = of->GetBounds();
    if (region.empty()) {
      region.push_back({bounds.x, bounds.y, bounds.x + bounds.width, bounds.y + bounds.height});
    }
    of->GetUpdateRegion().Clear();
    for (const QZ::EdgeRect& rect : region) {
      of->GetUpdateRegion().AddRect(rect);
    }
    EXPECT_EQ(renderer->RenderStart(of), QZ::QZ_OK);
  }
  void Start(std::vector<QZ::EdgeRect> region = {}) { Start(context, std::move(region)); }
  void Finish(const QZ::RCPtr<QZ::LRenderContextInfo>& of) { renderer->RenderFinish(of); }
  void Finish() { Finish(context); }
  // A frame of the bitmaps fitted to 8 x 8, 10 pixels apart from x = 10 along the top.
  void BitmapFrame(std::initializer_list<QZ::RCPtr<QZ::LBitmap>> bitmaps) {
    Start();
    int32_t x = 0;
    for (const auto& bitmap : bitmaps) {
      EXPECT_EQ(renderer->DrawBitmap(bitmap, {x += 10, 0, 8, 8}, QZ::ResizeType::Stretch), QZ::QZ_OK);
    }
    Finish();
  }
  // Repaints 4 x 4 bitmaps in one colour: only a new fitting of them shows it.
  static void RecolourBitmaps(std::initializer_list<QZ::RCPtr<QZ::LBitmap>> bitmaps, uint32_t colour) {
    for (const auto& bitmap : bitmaps) {
      QZ::RCPtr<QZ::LBitmapData> pixels(new QZ::LBitmapData(bitmap, QZ::Platform::Graphics::LockMode::Write));
      std::fill_n(pixels->GetPixelAddress(0, 0), 16, colour);
    }
  }

  uint32_t now = 1000; // the fake clock, in milliseconds
  int32_t clockReads = 0;
  QZ::RCPtr<QZ::LGDIRenderer> renderer{new QZ::LGDIRenderer([this] {
    ++clockReads;
    return now;
  })};
  std::vector<uint32_t> words;
  QZ::RCPtr<QZ::LRenderContextInfo> context;
};

} // namespace QZTest
