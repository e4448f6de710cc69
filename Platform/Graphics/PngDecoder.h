#pragma once
// PNG decoding with libpng into straight BGRA (internal; Image::FromPngMemory and
// Image::FromPngResource are the public face).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "Platform/Graphics/GraphicsTypes.h"

namespace QZ::Platform::Graphics {

struct DecodedPng {
  int width = 0;
  int height = 0;
  std::unique_ptr<uint8_t[]> pixels; // width * height pixels, B, G, R, A, rows width * 4 apart
};

// Decodes any colour type, bit depth (16-bit channels are scaled to 8 with rounding) and
// interlacing. Colour values are taken as stored: gamma and colour-profile chunks are
// ignored. Ok and a filled `out`, or UnknownImageFormat (no PNG signature), GenericError
// (damaged, truncated, or wider or taller than maxDimension), OutOfMemory (more than
// maxPixels pixels, or no memory).
Status DecodePng(std::span<const uint8_t> bytes, int maxDimension, int64_t maxPixels, DecodedPng& out);

// Reads the signature and header alone: Ok and the size, or DecodePng's statuses for
// those parts. The image data is not looked at.
Status ReadPngSize(std::span<const uint8_t> bytes, int maxDimension, int64_t maxPixels, int& width, int& height);

// Decodes into the caller's memory: `height` rows of width * 4 bytes, `stride` bytes
// apart, as DecodePng's pixels. GenericError when the PNG is damaged or not of that size
// (the rows may then be partly written), OutOfMemory when libpng has none.
Status DecodePngInto(std::span<const uint8_t> bytes, int width, int height, uint8_t* scan0, size_t stride);

} // namespace QZ::Platform::Graphics
