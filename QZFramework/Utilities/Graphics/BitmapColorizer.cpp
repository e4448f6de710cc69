// The colorizers of QZ::LBitmap: recolouring in place, recoloured copies and fills.

#include <algorithm>
#include <array>
#include <cmath>

#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {

namespace {

constexpr std::string_view kBitmapFile = R"(Utilities\Graphics\Bitmap)";

using ByteMap = std::array<uint8_t, 256>;

// What each byte value becomes when `keep` of it is kept and `target` (a channel of the
// colour, times a) is added; computed in single precision. Colour channels outside
// 0..1 (or NaN) cannot take a byte past 0..255.
ByteMap BlendTable(float keep, float target) {
  ByteMap table{};
  for (int old = 0; old < 256; ++old) {
    const float value = std::trunc((float(old) / 255.0f * keep + target) * 255.0f + 0.5f);
    table[size_t(old)] = value > 0.0f ? uint8_t(std::min(value, 255.0f)) : 0;
  }
  return table;
}

// The colour's weight: its alpha times the factor, kept to 0..1 (above 1 the blend would
// overshoot and wrap around); NaN weighs nothing.
float ColorWeight(float alpha, float alphaFactor) {
  const float a = alpha * alphaFactor;
  return a > 0.0f ? std::min(a, 1.0f) : 0.0f;
}

} // namespace

void LBitmap::ApplyColorizer(const ConstRCPtr<LColorizer>& colorizer, float alphaFactor) {
  Platform::Graphics::Image* image = GetNativeBitmap();
  if (!colorizer || image == nullptr) {
    Throw<std::runtime_error>({"QZ::LBitmap::ApplyColorizer", kBitmapFile, 374});
  }
  if (colorizer->IsGradientFill()) {
    // The fill to draw over the pixels would be a gradient, which is refused (Domain Error).
    CreateColorizedBitmap(colorizer, alphaFactor, {mRect.width, mRect.height});
    return;
  }
  const ColorT<float>& color = colorizer->GetColor();
  const float a = ColorWeight(color.alpha, alphaFactor);
  const ByteMap blue = BlendTable(1.0f - a, color.blue * a);
  const ByteMap green = BlendTable(1.0f - a, color.green * a);
  const ByteMap red = BlendTable(1.0f - a, color.red * a);

  Platform::Graphics::BitmapData pixels;
  if (image->LockBits({mRect.x, mRect.y, mRect.width, mRect.height}, Platform::Graphics::LockMode::ReadWrite, pixels) !=
      Platform::Graphics::Status::Ok) {
    Throw<std::runtime_error>({"QZ::LBitmap::ApplyColorizer", kBitmapFile, 398});
  }
  for (int y = 0; y < pixels.Height(); ++y) {
    uint8_t* pixel = pixels.Scan0() + size_t(y) * size_t(pixels.Stride());
    for (int x = 0; x < pixels.Width(); ++x, pixel += 4) {
      pixel[0] = blue[pixel[0]];
      pixel[1] = green[pixel[1]];
      pixel[2] = red[pixel[2]];
    }
  }
  (void)image->UnlockBits(pixels); // our own lock
}

RCPtr<LBitmap> LBitmap::ApplyColorizer(const ConstRCPtr<LColorizer>& colorizer, float alphaFactor,
                                       const SizeT<int32_t>& size, const ConstRCPtr<LBitmap>& image,
                                       const ConstRCPtr<LBitmap>& mask) {
  if (image && mask) {
    Throw<std::domain_error>({"QZ::LBitmap::ApplyColorizer", kBitmapFile, 444});
  }
  const ConstRCPtr<LBitmap>& source = image ? image : mask;
  if (!source) {
    return CreateColorizedBitmap(colorizer, alphaFactor, size);
  }
  // The source may be a cache entry that others show: only its copy is recoloured.
  RCPtr<LBitmap> working = source->CloneBitmap();
  if (!working) {
    Throw<std::runtime_error>({"QZ::LBitmap::ApplyColorizer", kBitmapFile, 374});
  }
  working->ApplyColorizer(colorizer, alphaFactor);
  return working;
}

RCPtr<LBitmap> LBitmap::CreateColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer, float alphaFactor,
                                              const SizeT<int32_t>& size) {
  if (!colorizer || size.width < 1 || size.height < 1) {
    Throw<std::runtime_error>({"QZ::LBitmap::CreateColorizedBitmap", kBitmapFile, 298});
  }
  if (colorizer->IsGradientFill()) {
    return CreateGradientFilledBitmap(size, colorizer->GetGradientStart(), colorizer->GetGradientEnd(),
                                      colorizer->GetColor(), colorizer->GetGradientEndColor(),
                                      colorizer->GetType() == ColorizerType::RadialGradient);
  }
  ColorT<float> color = colorizer->GetColor();
  color.alpha *= alphaFactor;
  return CreateFilledBitmap(size, color);
}

RCPtr<LBitmap> LBitmap::CreateFilledBitmap(const SizeT<int32_t>& size, const ColorT<float>& color) {
  if (size.width <= 0 || size.height <= 0) {
    Throw<std::runtime_error>({"QZ::LBitmap::CreateFilledBitmap", kBitmapFile, 327});
  }
  auto image = Platform::Graphics::Image::Create(size.width, size.height);
  Platform::Graphics::BitmapData pixels;
  if (!image || image->LockBits({0, 0, size.width, size.height}, Platform::Graphics::LockMode::Write, pixels) !=
                    Platform::Graphics::Status::Ok) {
    return nullptr;
  }
  const Platform::Graphics::Color packed{color.ToARGB()};
  const uint8_t bgra[4] = {packed.B(), packed.G(), packed.R(), packed.A()};
  for (int y = 0; y < pixels.Height(); ++y) {
    uint8_t* pixel = pixels.Scan0() + size_t(y) * size_t(pixels.Stride());
    for (int x = 0; x < pixels.Width(); ++x, pixel += 4) {
      std::copy(bgra, bgra + 4, pixel);
    }
  }
  (void)image->UnlockBits(pixels); // our own lock
  return RCPtr<LBitmap>(new LBitmap(std::move(image)));
}

RCPtr<LBitmap> LBitmap::CreateGradientFilledBitmap(const SizeT<int32_t>&, const PointT<float>&, const PointT<float>&,
                                                   const ColorT<float>&, const ColorT<float>&, bool) {
  Throw<std::domain_error>({"QZ::LBitmap::CreateGradientFilledBitmap", kBitmapFile, 362});
}

} // namespace QZ
