#include "Platform/Graphics/Image.h"

#include <cairo.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "Platform/Graphics/PendingDecode.h"
#include "Platform/Graphics/PixelConversion.h"
#include "Platform/Graphics/PngDecoder.h"
#include "Platform/Graphics/TextEncoding.h"

namespace QZ::Platform::Graphics {

namespace {

void Report(Status* status, Status value) {
  if (status != nullptr) {
    *status = value;
  }
}

bool IsAcceptableSize(int width, int height) {
  return width >= 1 && height >= 1 && width <= Image::kMaxDimension && height <= Image::kMaxDimension &&
         int64_t{width} * height <= Image::kMaxPixels;
}

// The part of `area` inside a width x height image; empty when none is.
Rect Clamp(const Rect& area, int width, int height) {
  const int64_t left = std::max<int64_t>(area.x, 0);
  const int64_t top = std::max<int64_t>(area.y, 0);
  const int64_t right = std::min<int64_t>(int64_t{area.x} + area.width, width);
  const int64_t bottom = std::min<int64_t>(int64_t{area.y} + area.height, height);
  if (right <= left || bottom <= top) {
    return {};
  }
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

// Only regular files are read (a FIFO or a device would block or never end), and only up
// to a size no acceptable image needs more than.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  constexpr off_t kMaxFileBytes = off_t{256} << 20;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileBytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t count = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (count > 0) {
        done += static_cast<size_t>(count);
      } else if (count == 0) {
        bytes.resize(done); // the file shrank while being read
        break;
      } else {
        ok = errno == EINTR;
      }
    }
  }
  ::close(fd);
  return ok;
}

} // namespace

Image::Image(int width, int height, std::unique_ptr<uint8_t[]> pixels)
    : mWidth(width), mHeight(height), mPixels(std::move(pixels)) {}

Image::~Image() {
  if (mAhead) {
    mAhead->Cancel();
  }
}

void Image::DecodeAhead() {
  if (mAhead || mPng.empty() || mPixels || mSurface) {
    return;
  }
  try {
    auto ahead = std::make_shared<PendingDecode>(mPng, mWidth, mHeight);
    if (!ahead->HasSurface()) {
      return; // no memory now: the first use decodes, as without
    }
    mAhead = std::move(ahead);
    PendingDecode::Post(mAhead);
  } catch (const std::exception&) {
    mAhead.reset(); // no memory or no thread: the first use decodes, as without
  }
}

void Image::SettleDecodeAhead() const {
  if (!mAhead) {
    return;
  }
  const std::shared_ptr<PendingDecode> ahead = std::move(mAhead);
  Status status = Status::Ok;
  CairoSurface surface = ahead->Take(status);
  if (!surface) {
    return; // no memory then: the first use tries again
  }
  mSurface = std::move(surface);
  mSurfaceChangeCount = mChangeCount;
  if (status != Status::Ok) {
    (void)Record(status); // kept as the image's last status; drawing shows nothing
    mPng = {};
  }
}

std::unique_ptr<Image> Image::Adopt(int width, int height, std::unique_ptr<uint8_t[]> pixels, Status* status) {
  try {
    auto image = std::unique_ptr<Image>(new Image(width, height, std::move(pixels)));
    Report(status, Status::Ok);
    return image;
  } catch (const std::bad_alloc&) {
    Report(status, Status::OutOfMemory);
    return nullptr;
  }
}

std::unique_ptr<Image> Image::FromPngMemory(std::span<const uint8_t> bytes, Status* status) {
  DecodedPng decoded;
  const Status result = DecodePng(bytes, kMaxDimension, kMaxPixels, decoded);
  if (result != Status::Ok) {
    Report(status, result);
    return nullptr;
  }
  return Adopt(decoded.width, decoded.height, std::move(decoded.pixels), status);
}

std::unique_ptr<Image> Image::FromPngResource(std::span<const uint8_t> bytes, Status* status) {
  int width = 0;
  int height = 0;
  const Status result = ReadPngSize(bytes, kMaxDimension, kMaxPixels, width, height);
  if (result != Status::Ok) {
    Report(status, result);
    return nullptr;
  }
  auto image = Adopt(width, height, nullptr, status);
  if (image) {
    image->mPng = bytes;
  }
  return image;
}

std::unique_ptr<Image> Image::FromPngFile(std::u16string_view path, Status* status) {
  std::vector<uint8_t> bytes;
  try {
    if (!ReadWholeFile(ToUtf8(path), bytes)) {
      Report(status, Status::FileNotFound);
      return nullptr;
    }
  } catch (const std::bad_alloc&) {
    Report(status, Status::OutOfMemory);
    return nullptr;
  }
  return FromPngMemory(bytes, status);
}

std::unique_ptr<Image> Image::Create(int width, int height, Status* status) {
  if (!IsAcceptableSize(width, height)) {
    Report(status, width >= 1 && height >= 1 ? Status::OutOfMemory : Status::InvalidParameter);
    return nullptr;
  }
  return Adopt(width, height, nullptr, status); // transparent: no straight pixels yet
}

std::unique_ptr<Image> Image::FromPixels(int width, int height, int stride, const uint8_t* scan0, Status* status) {
  if (scan0 == nullptr || width < 1 || height < 1 || int64_t{stride} < int64_t{width} * 4) {
    Report(status, Status::InvalidParameter);
    return nullptr;
  }
  if (!IsAcceptableSize(width, height)) {
    Report(status, Status::OutOfMemory);
    return nullptr;
  }
  std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[size_t(width) * size_t(height) * 4]);
  if (!pixels) {
    Report(status, Status::OutOfMemory);
    return nullptr;
  }
  for (int y = 0; y < height; ++y) {
    std::memcpy(pixels.get() + size_t(y) * size_t(width) * 4, scan0 + size_t(y) * size_t(stride), size_t(width) * 4);
  }
  return Adopt(width, height, std::move(pixels), status);
}

std::unique_ptr<Image> Image::CloneArea(const Rect& area) const {
  const Rect clamped = Clamp(area, mWidth, mHeight);
  if (clamped.IsEmpty()) {
    (void)Record(Status::InvalidParameter); // the status is kept; the null clone reports it
    return nullptr;
  }
  if (!SyncPixels()) {
    (void)Record(Status::OutOfMemory); // the status is kept; the null clone reports it
    return nullptr;
  }
  Status status = Status::Ok;
  auto clone = FromPixels(clamped.width, clamped.height, mWidth * 4, PixelAddress(clamped.x, clamped.y), &status);
  (void)Record(status); // the status is kept; the result reports it
  return clone;
}

Status Image::LockBits(const Rect& area, LockMode mode, BitmapData& data) {
  const Rect clamped = Clamp(area, mWidth, mHeight);
  const bool writes = (static_cast<int>(mode) & static_cast<int>(LockMode::Write)) != 0;
  if (clamped.IsEmpty() || (static_cast<int>(mode) & static_cast<int>(LockMode::ReadWrite)) == 0) {
    return Record(Status::InvalidParameter);
  }
  if (mWriteLocked || (writes && mReadLocks > 0)) {
    return Record(Status::ObjectBusy);
  }
  if (!SyncPixels()) {
    return Record(Status::OutOfMemory);
  }
  if (writes) {
    mWriteLocked = true;
  } else {
    ++mReadLocks;
  }
  data.mOwner = this;
  data.mRect = clamped;
  data.mStride = mWidth * 4;
  data.mScan0 = PixelAddress(clamped.x, clamped.y);
  data.mMode = mode;
  return Record(Status::Ok);
}

Status Image::UnlockBits(BitmapData& data) {
  if (data.mOwner != this) {
    return Record(Status::WrongState);
  }
  if ((static_cast<int>(data.mMode) & static_cast<int>(LockMode::Write)) != 0) {
    mWriteLocked = false;
    ++mChangeCount;
  } else {
    --mReadLocks;
  }
  data = BitmapData();
  return Record(Status::Ok);
}

Status Image::GetPixel(int x, int y, Color& color) const {
  SettleDecodeAhead();
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) {
    return Record(Status::InvalidParameter);
  }
  if (!mPixels && !mSurfaceAhead && mPng.empty()) {
    color = Color{0}; // transparent, and not worth making the pixels for
    return Record(Status::Ok);
  }
  if (!mPixels && mSurface && mSurfaceChangeCount == mChangeCount) {
    // An opaque premultiplied pixel is its straight value: a hit test on a drawn image
    // need not make the straight pixels beside the twin.
    cairo_surface_flush(mSurface.get());
    uint32_t word;
    std::memcpy(&word,
                cairo_image_surface_get_data(mSurface.get()) +
                    size_t(y) * size_t(cairo_image_surface_get_stride(mSurface.get())) + size_t(x) * 4,
                4);
    if (word >> 24 == 0xFF) {
      color = Color{word};
      return Record(Status::Ok);
    }
  }
  if (!SyncPixels()) {
    return Record(Status::OutOfMemory);
  }
  const uint8_t* pixel = PixelAddress(x, y);
  color = Color::FromArgb(pixel[3], pixel[2], pixel[1], pixel[0]);
  return Record(Status::Ok);
}

Status Image::Clear() {
  SettleDecodeAhead();
  if (mWriteLocked || mReadLocks > 0) {
    return Record(Status::ObjectBusy);
  }
  mPixels.reset();
  mPng = {};
  ++mChangeCount;
  mSurfaceAhead = false;
  if (mSurface) {
    cairo_surface_flush(mSurface.get());
    std::memset(cairo_image_surface_get_data(mSurface.get()), 0,
                size_t(cairo_image_surface_get_stride(mSurface.get())) * size_t(mHeight));
    cairo_surface_mark_dirty(mSurface.get());
    mSurfaceChangeCount = mChangeCount;
  }
  return Record(Status::Ok);
}

size_t Image::MemoryBytes() const {
  SettleDecodeAhead();
  const size_t straight = mPixels ? size_t(mWidth) * size_t(mHeight) * 4 : 0;
  const size_t twin = mSurface ? size_t(cairo_image_surface_get_stride(mSurface.get())) * size_t(mHeight) : 0;
  return straight + twin;
}

Status Image::SetPixel(int x, int y, Color color) {
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) {
    return Record(Status::InvalidParameter);
  }
  if (mWriteLocked || mReadLocks > 0) {
    return Record(Status::ObjectBusy);
  }
  if (!SyncPixels()) {
    return Record(Status::OutOfMemory);
  }
  uint8_t* pixel = PixelAddress(x, y);
  pixel[0] = color.B();
  pixel[1] = color.G();
  pixel[2] = color.R();
  pixel[3] = color.A();
  const bool twinWasCurrent = mSurface && mSurfaceChangeCount == mChangeCount;
  ++mChangeCount;
  if (twinWasCurrent) {
    // Keep the twin current: one pixel is cheaper to mirror than the image to redo.
    cairo_surface_flush(mSurface.get());
    uint8_t* row = cairo_image_surface_get_data(mSurface.get()) +
                   size_t(y) * size_t(cairo_image_surface_get_stride(mSurface.get()));
    const uint32_t word = Premultiply(pixel);
    std::memcpy(row + size_t(x) * 4, &word, 4);
    cairo_surface_mark_dirty_rectangle(mSurface.get(), x, y, 1, 1);
    mSurfaceChangeCount = mChangeCount;
  }
  return Record(Status::Ok);
}

std::optional<Color> Image::UniformOpaqueColor(const Rect& area) const {
  SettleDecodeAhead();
  const Rect clamped = Clamp(area, mWidth, mHeight);
  if (clamped.IsEmpty()) {
    return std::nullopt;
  }
  // Straight and premultiplied words are alike for opaque pixels: either form will do.
  const uint8_t* data = nullptr;
  size_t stride = 0;
  if (mPixels && !mSurfaceAhead) {
    data = mPixels.get();
    stride = size_t(mWidth) * 4;
  } else if (cairo_surface_t* surface = Surface()) {
    cairo_surface_flush(surface);
    data = cairo_image_surface_get_data(surface);
    stride = size_t(cairo_image_surface_get_stride(surface));
  } else {
    return std::nullopt;
  }
  uint32_t first;
  std::memcpy(&first, data + size_t(clamped.y) * stride + size_t(clamped.x) * 4, 4);
  if (first >> 24 != 0xFF) {
    return std::nullopt;
  }
  for (int y = clamped.y; y < clamped.y + clamped.height; ++y) {
    const uint8_t* pixel = data + size_t(y) * stride + size_t(clamped.x) * 4;
    for (int x = 0; x < clamped.width; ++x, pixel += 4) {
      if (std::memcmp(pixel, &first, 4) != 0) {
        return std::nullopt;
      }
    }
  }
  return Color{first};
}

bool Image::DecodeStraight(uint8_t* pixels) const {
  const size_t rowBytes = size_t(mWidth) * 4;
  const Status decoded = DecodePngInto(mPng, mWidth, mHeight, pixels, rowBytes);
  if (decoded == Status::OutOfMemory) {
    return false;
  }
  if (decoded != Status::Ok) {
    std::memset(pixels, 0, rowBytes * size_t(mHeight));
    (void)Record(decoded); // kept as the image's last status; the image stays usable
  }
  mPng = {};
  return true;
}

bool Image::DecodeTwin() const {
  const Status decoded = DecodePremultiplied(mPng, mWidth, mHeight, mSurface.get());
  if (decoded == Status::OutOfMemory) {
    return false;
  }
  if (decoded != Status::Ok) {
    (void)Record(decoded); // kept as the image's last status; drawing shows nothing
    mPng = {};
  }
  return true;
}

bool Image::SyncPixels() const {
  SettleDecodeAhead();
  if (!mPixels) {
    const size_t bytes = size_t(mWidth) * size_t(mHeight) * 4;
    std::unique_ptr<uint8_t[]> pixels(mPng.empty() ? new (std::nothrow) uint8_t[bytes]()
                                                   : new (std::nothrow) uint8_t[bytes]);
    if (!pixels || (!mPng.empty() && !DecodeStraight(pixels.get()))) {
      return false;
    }
    mPixels = std::move(pixels);
  }
  if (!mSurfaceAhead) {
    return true;
  }
  cairo_surface_flush(mSurface.get());
  const uint8_t* data = cairo_image_surface_get_data(mSurface.get());
  const size_t stride = size_t(cairo_image_surface_get_stride(mSurface.get()));
  for (int y = 0; y < mHeight; ++y) {
    const uint8_t* source = data + size_t(y) * stride;
    uint8_t* target = PixelAddress(0, y);
    for (int x = 0; x < mWidth; ++x, source += 4, target += 4) {
      uint32_t word;
      std::memcpy(&word, source, 4);
      if (Premultiply(target) != word) {
        Unpremultiply(word, target);
      }
    }
  }
  mSurfaceAhead = false;
  return true;
}

cairo_surface_t* Image::Surface() const {
  SettleDecodeAhead();
  if (!mSurface) {
    const bool decodes = !mPixels && !mPng.empty();
    mSurface = decodes ? CreateDecodeSurface(mWidth, mHeight) : CreateImageSurface(mWidth, mHeight);
    if (!mSurface) {
      return nullptr;
    }
    // A new twin is transparent: without straight pixels it is current already.
    mSurfaceChangeCount = mPixels ? mChangeCount - 1 : mChangeCount;
    if (decodes && !DecodeTwin()) {
      mSurface.reset();
      return nullptr;
    }
  }
  if (mSurfaceChangeCount != mChangeCount) {
    cairo_surface_flush(mSurface.get());
    uint8_t* data = cairo_image_surface_get_data(mSurface.get());
    const size_t stride = size_t(cairo_image_surface_get_stride(mSurface.get()));
    for (int y = 0; y < mHeight; ++y) {
      uint8_t* target = data + size_t(y) * stride;
      const uint8_t* source = PixelAddress(0, y);
      for (int x = 0; x < mWidth; ++x, source += 4, target += 4) {
        const uint32_t word = Premultiply(source);
        std::memcpy(target, &word, 4);
      }
    }
    cairo_surface_mark_dirty(mSurface.get());
    mSurfaceChangeCount = mChangeCount;
  }
  return mSurface.get();
}

cairo_surface_t* Image::TargetSurface() {
  cairo_surface_t* surface = Surface();
  if (surface != nullptr) {
    mSurfaceAhead = true;
  }
  return surface;
}

} // namespace QZ::Platform::Graphics
