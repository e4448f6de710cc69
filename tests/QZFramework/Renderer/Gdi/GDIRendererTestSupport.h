#pragma once
// The fixture of the GDI renderer tests: a renderer on a fake clock, one window context
// whose window pixels are a buffer the tests read back, and the test bitmaps.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/PixelConversion.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"

namespace QZTest {

using Argb = uint32_t;
inline constexpr Argb kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                      kHalfYellow = 0x80FFFF00, kWhite = 0xFFFFFFFF;

inline QZ::ColorT<float> Color(Argb argb) { return QZ::ColorT<float>::FromARGB(argb); }

inline std::string RendererReference(const std::string& name) {
  return std::string(QZ_RENDERER_TEST_DATA) + "/Reference/" + name;
}
inline std::string RendererOutputDir() { return QZ_RENDERER_TEST_OUTPUT; }

// A width x height bitmap painted by pixel(x, y) -> ARGB.
template <class F>
QZ::RCPtr<QZ::LBitmap> PaintedBitmap(int32_t width, int32_t height, F pixel) {
  QZ::RCPtr<QZ::LBitmap> bitmap = QZ::LBitmap::CreateFilledBitmap({width, height}, {});
  QZ::RCPtr<QZ::LBitmapData> data(new QZ::LBitmapData(bitmap, QZ::Gfx::LockMode::ReadWrite));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      *data->GetPixelAddress(x, y) = pixel(x, y);
    }
  }
  return bitmap;
}

// 10 x 10: a black frame around red, green, blue and half-transparent yellow quarters,
// so that scaling, offsets and lost edges show.
inline Argb PatternPixel(int32_t x, int32_t y) {
  if (x == 0 || y == 0 || x == 9 || y == 9) {
    return kBlack;
  }
  return y < 5 ? (x < 5 ? kRed : kGreen) : (x < 5 ? kBlue : kHalfYellow);
}
inline QZ::RCPtr<QZ::LBitmap> Pattern() { return PaintedBitmap(10, 10, PatternPixel); }

// The window's pixels: premultiplied ARGB words, as an SDL window surface holds them.
class WindowBuffer {
public:
  WindowBuffer(int32_t width, int32_t height, uint32_t fill = 0)
      : mWidth(width), mHeight(height), mWords(size_t(width) * size_t(height), fill) {}

  QZ::GDIWindowPixels Pixels() { return {mWords.data(), mWidth, mHeight, mWidth * 4}; }
  // Straight ARGB of a pixel.
  Argb At(int32_t x, int32_t y) const {
    uint8_t bgra[4];
    QZ::Gfx::Unpremultiply(mWords[size_t(y) * size_t(mWidth) + size_t(x)], bgra);
    return Argb(bgra[3]) << 24 | Argb(bgra[2]) << 16 | Argb(bgra[1]) << 8 | bgra[0];
  }
  // The pixels as an image, for reference comparisons.
  std::unique_ptr<QZ::Gfx::Image> ToImage() const {
    std::vector<uint8_t> bgra(mWords.size() * 4);
    for (size_t i = 0; i < mWords.size(); ++i) {
      QZ::Gfx::Unpremultiply(mWords[i], &bgra[i * 4]);
    }
    return QZ::Gfx::Image::FromPixels(mWidth, mHeight, mWidth * 4, bgra.data());
  }

private:
  int32_t mWidth;
  int32_t mHeight;
  std::vector<uint32_t> mWords;
};

// Straight ARGB of a pixel of a surface or image; 0xDEADBEEF outside it.
inline Argb PixelOf(const QZ::Gfx::Image& image, int32_t x, int32_t y) {
  QZ::Gfx::Color color{0xDEADBEEF};
  image.GetPixel(x, y, color);
  return color.argb;
}

class GDIRendererTest : public ::testing::Test {
protected:
  // The window context's size; SetUp makes the context.
  void MakeWindow(int32_t width, int32_t height, uint32_t fill = 0) {
    window = std::make_unique<WindowBuffer>(width, height, fill);
    context = NewContext({0, 0, width, height}, false);
    Gdi(context).SetWindowPixels(window->Pixels());
  }
  void SetUp() override { MakeWindow(40, 30); }

  QZ::RCPtr<QZ::LRenderContextInfo> NewContext(const QZ::RectT<int32_t>& bounds, bool offscreenOnly) {
    QZ::RCPtr<QZ::LRenderContextInfo> made;
    renderer->InitRenderContextInfo(bounds, nullptr, offscreenOnly, made);
    return made;
  }
  static QZ::LGDIRenderContextInfo& Gdi(const QZ::RCPtr<QZ::LRenderContextInfo>& of) {
    return dynamic_cast<QZ::LGDIRenderContextInfo&>(*of);
  }
  static QZ::Gfx::Image& Surface(const QZ::RCPtr<QZ::LRenderContextInfo>& of) {
    return *Gdi(of).GetCurrentSurface()->GetImage();
  }

  // Starts a frame of `of` whose update region is `region` (the whole bounds by default).
  void Start(const QZ::RCPtr<QZ::LRenderContextInfo>& of, const std::vector<QZ::EdgeRect>& region = {}) {
    QZ::RectListT<int32_t>& update = of->GetUpdateRegion();
    update.Clear();
    const QZ::RectT<int32_t>& bounds = of->GetBounds();
    for (const QZ::EdgeRect& rect : region) {
      update.AddRect(rect);
    }
    if (region.empty()) {
      update.AddRect({bounds.x, bounds.y, bounds.x + bounds.width, bounds.y + bounds.height});
    }
    renderer->RenderStart(of);
  }
  void Start(const std::vector<QZ::EdgeRect>& region = {}) { Start(context, region); }
  void Finish(const QZ::RCPtr<QZ::LRenderContextInfo>& of) { renderer->RenderFinish(of); }
  void Finish() { Finish(context); }

  uint32_t now = 1000; // the fake clock, in milliseconds
  QZ::RCPtr<QZ::LGDIRenderer> renderer{new QZ::LGDIRenderer([this] { return now; })};
  std::unique_ptr<WindowBuffer> window;
  QZ::RCPtr<QZ::LRenderContextInfo> context;
};

template <class X, class F>
std::string ThrownText(F&& call) {
  try {
    call();
  } catch (const X& error) {
    return error.what();
  }
  return "nothing thrown";
}

} // namespace QZTest
