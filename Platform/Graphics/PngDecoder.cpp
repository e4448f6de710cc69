#include "Platform/Graphics/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace QZ::Platform::Graphics {

namespace {

struct MemoryReader {
  const uint8_t* data;
  size_t size;
  size_t offset;
};

// libpng reports every error by a longjmp to the setjmp of the phase that is running.
// The callbacks and the phase functions hold only trivially destructible locals, and
// everything with a destructor lives in their callers, above the jump's target, so no
// jump ever skips a destructor.

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (count > reader->size - reader->offset) {
    png_error(png, "truncated");
  }
  std::memcpy(out, reader->data + reader->offset, count);
  reader->offset += count;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void OnWarning(png_structp, png_const_charp) {}

struct Header {
  png_uint_32 width;
  png_uint_32 height;
  size_t rowBytes;
};

// Reads the header and sets up the conversion of every format to 8-bit B, G, R, A.
bool ReadHeader(png_structp png, png_infop info, Header* header) {
  if (setjmp(png_jmpbuf(png))) {
    return false;
  }
  png_read_info(png, info);
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_set_palette_to_rgb(png);
  }
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  if (hasTransparency) {
    png_set_tRNS_to_alpha(png);
  }
  if (bitDepth == 16) {
    png_set_scale_16(png);
  }
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) {
    png_set_gray_to_rgb(png);
  }
  png_set_bgr(png);
  if ((colorType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTransparency) {
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  header->width = png_get_image_width(png, info);
  header->height = png_get_image_height(png, info);
  header->rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) {
    return false;
  }
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

class ReadStruct {
public:
  ReadStruct() {
    mPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (mPng != nullptr) {
      mInfo = png_create_info_struct(mPng);
    }
  }
  ~ReadStruct() { png_destroy_read_struct(&mPng, mInfo != nullptr ? &mInfo : nullptr, nullptr); }
  ReadStruct(const ReadStruct&) = delete;
  ReadStruct& operator=(const ReadStruct&) = delete;

  png_structp Png() const { return mPng; }
  png_infop Info() const { return mInfo; }

private:
  png_structp mPng = nullptr;
  png_infop mInfo = nullptr;
};

// One PNG opened: its header read and its conversion to B, G, R, A set up.
class OpenedPng {
public:
  Status Open(std::span<const uint8_t> bytes, int maxDimension, int64_t maxPixels) {
    constexpr size_t kSignatureSize = 8;
    if (bytes.size() < kSignatureSize || png_sig_cmp(bytes.data(), 0, kSignatureSize) != 0) {
      return Status::UnknownImageFormat;
    }
    if (mRead.Png() == nullptr || mRead.Info() == nullptr) {
      return Status::OutOfMemory;
    }
    mReader = {bytes.data(), bytes.size(), 0};
    png_set_read_fn(mRead.Png(), &mReader, ReadFromMemory);
    png_set_user_limits(mRead.Png(), static_cast<png_uint_32>(maxDimension), static_cast<png_uint_32>(maxDimension));
    // Every chunk's CRC already guards the compressed data; zlib's own checksum over the
    // inflated bytes cost a tenth of the decoding.
    png_set_option(mRead.Png(), PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    if (!ReadHeader(mRead.Png(), mRead.Info(), &mHeader)) {
      return Status::GenericError;
    }
    if (mHeader.width == 0 || mHeader.height == 0 || mHeader.rowBytes != size_t{mHeader.width} * 4) {
      return Status::GenericError;
    }
    if (uint64_t{mHeader.width} * mHeader.height > static_cast<uint64_t>(maxPixels)) {
      return Status::OutOfMemory;
    }
    return Status::Ok;
  }

  int Width() const { return static_cast<int>(mHeader.width); }
  int Height() const { return static_cast<int>(mHeader.height); }

  // Once, after a successful Open.
  Status ReadInto(uint8_t* scan0, size_t stride) {
    std::vector<png_bytep> rows(mHeader.height);
    for (png_uint_32 y = 0; y < mHeader.height; ++y) {
      rows[y] = scan0 + size_t{y} * stride;
    }
    return ReadRows(mRead.Png(), rows.data()) ? Status::Ok : Status::GenericError;
  }

private:
  ReadStruct mRead;
  MemoryReader mReader{};
  Header mHeader{};
};

} // namespace

Status DecodePng(std::span<const uint8_t> bytes, int maxDimension, int64_t maxPixels, DecodedPng& out) {
  try {
    OpenedPng png;
    const Status opened = png.Open(bytes, maxDimension, maxPixels);
    if (opened != Status::Ok) {
      return opened;
    }
    const size_t rowBytes = size_t(png.Width()) * 4;
    auto pixels = std::unique_ptr<uint8_t[]>(new uint8_t[rowBytes * size_t(png.Height())]);
    const Status read = png.ReadInto(pixels.get(), rowBytes);
    if (read != Status::Ok) {
      return read;
    }
    out.width = png.Width();
    out.height = png.Height();
    out.pixels = std::move(pixels);
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status ReadPngSize(std::span<const uint8_t> bytes, int maxDimension, int64_t maxPixels, int& width, int& height) {
  try {
    OpenedPng png;
    const Status opened = png.Open(bytes, maxDimension, maxPixels);
    if (opened == Status::Ok) {
      width = png.Width();
      height = png.Height();
    }
    return opened;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status DecodePngInto(std::span<const uint8_t> bytes, int width, int height, uint8_t* scan0, size_t stride) {
  try {
    OpenedPng png;
    const Status opened = png.Open(bytes, std::max(width, height), int64_t{width} * height);
    if (opened != Status::Ok) {
      return opened == Status::OutOfMemory ? opened : Status::GenericError;
    }
    if (png.Width() != width || png.Height() != height) {
      return Status::GenericError;
    }
    return png.ReadInto(scan0, stride);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

} // namespace QZ::Platform::Graphics
