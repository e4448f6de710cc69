// Feeds arbitrary bytes to the PNG decoder: it must give an image or nothing, never crash,
// read out of bounds or leak. Most mutations break a chunk checksum and stop at once, so
// each input is decoded a second time with its chunk checksums repaired, which lets the
// fuzzer reach the inflating, unfiltering and conversion code. A decoded image's pixels
// are all read, and drawn once, so that a wrong size or stride shows.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/Image.h"

namespace {

volatile unsigned gPixelSum; // keeps the reads of the pixels from being optimised away

uint32_t ReadBigEndian(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// The input with the checksum of every whole chunk after the signature recomputed.
std::vector<uint8_t> WithRepairedChecksums(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  size_t offset = 8;
  while (offset + 12 <= bytes.size()) {
    const size_t length = ReadBigEndian(&bytes[offset]);
    if (length > bytes.size() - offset - 12) {
      break;
    }
    const uLong crc = crc32(0, &bytes[offset + 4], static_cast<uInt>(length + 4));
    uint8_t* stored = &bytes[offset + 8 + length];
    stored[0] = uint8_t(crc >> 24);
    stored[1] = uint8_t(crc >> 16);
    stored[2] = uint8_t(crc >> 8);
    stored[3] = uint8_t(crc);
    offset += length + 12;
  }
  return bytes;
}

void Exercise(const uint8_t* data, size_t size) {
  auto image = QZ::Platform::Graphics::Image::FromPngMemory({data, size});
  if (!image) {
    return;
  }
  QZ::Platform::Graphics::BitmapData pixels;
  if (image->LockBits({0, 0, image->Width(), image->Height()}, QZ::Platform::Graphics::LockMode::Read, pixels) !=
      QZ::Platform::Graphics::Status::Ok) {
    __builtin_trap();
  }
  unsigned sum = 0;
  for (int y = 0; y < pixels.Height(); ++y) {
    for (int x = 0; x < pixels.Width() * 4; ++x) {
      sum += pixels.Scan0()[y * pixels.Stride() + x];
    }
  }
  gPixelSum = sum;
  (void)image->UnlockBits(pixels); // our own lock
  if (image->Width() <= 256 && image->Height() <= 256) {
    auto target = QZ::Platform::Graphics::Image::Create(16, 16);
    (void)QZ::Platform::Graphics::Graphics::FromImage(*target)->DrawImage( // the drawing is what is fuzzed
        *image, {0, 0, 16, 16}, {0, 0, float(image->Width()), float(image->Height())});
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Exercise(data, size);
  const std::vector<uint8_t> repaired = WithRepairedChecksums(data, size);
  Exercise(repaired.data(), repaired.size());
  return 0;
}
