#pragma once
// Helpers of the bitmap tests: thrown texts, packed pixels and the embedded test images.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Platform/Graphics/ImageResources.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZTest {

template <class X, class F>
std::string ThrownText(F&& call) {
  try {
    call();
  } catch (const X& error) {
    return error.what();
  }
  return "nothing thrown";
}

// Pixel (x, y) of the bitmap as 0xAARRGGBB.
inline uint32_t Argb(const QZ::LBitmap& bitmap, int32_t x, int32_t y) { return bitmap.GetPixelColor(x, y).ToARGB(); }

// Every pixel of the bitmap, row by row, as 0xAARRGGBB.
inline std::vector<uint32_t> AllPixels(const QZ::LBitmap& bitmap) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
    for (int32_t x = 0; x < bitmap.GetWidth(); ++x) {
      pixels.push_back(Argb(bitmap, x, y));
    }
  }
  return pixels;
}

// The PNG bytes of an embedded image.
inline std::vector<uint8_t> ResourceBytes(std::u16string_view resourceName) {
  const auto bytes = QZ::Platform::Graphics::FindImageResource(resourceName);
  return bytes ? std::vector<uint8_t>(bytes->begin(), bytes->end()) : std::vector<uint8_t>();
}

} // namespace QZTest
