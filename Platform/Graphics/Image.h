#pragma once
// QZ::Platform::Graphics::Image: a 32-bit ARGB image with straight (not premultiplied) alpha; pixels
// are four bytes in memory order B, G, R, A, rows Width() * 4 bytes apart.
//
//   auto image = Platform::Graphics::Image::FromPngMemory(bytes);   // null for a damaged PNG
//   Platform::Graphics::BitmapData data;
//   if (image->LockBits({0, 0, 4, 4}, Platform::Graphics::LockMode::ReadWrite, data) == Platform::Graphics::Status::Ok)
//   {
//     data.scan0[3] = 255;                           // alpha of pixel (0, 0)
//     image->UnlockBits(data);
//   }
//
// Cairo draws premultiplied pixels, so an image keeps a premultiplied twin, made when the
// image is first drawn or drawn on. An image of an embedded PNG (FromPngResource) holds
// neither form until one is used: drawing decodes the PNG straight into the twin, and the
// straight pixels are decoded from it too, exactly, only when a caller reads or writes
// them. The two are reconciled lazily: writes to the straight pixels (SetPixel, a write
// lock) bump a change counter and the twin is refreshed at its next use; drawing on the
// image leaves the twin ahead and the straight pixels are brought
// up to date at their next read. Pixels that drawing did not touch keep their straight
// values exactly, whatever their alpha. A transparent image (Create, Clear) holds no
// straight pixels until they are read or written: an image only ever drawn on and drawn
// from (a drawing surface, a scaled copy) keeps its twin alone.
//
// An embedded PNG's pixels may be decoded ahead on a worker thread (DecodeAhead): the
// image's next use takes them, exactly what it would have decoded itself.
//
// Failures never throw: factories return null and report through `status`; members
// return a Status and keep it as the image's last status. Not synchronised: one thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "Platform/Graphics/CairoHandles.h"
#include "Platform/Graphics/GraphicsTypes.h"

namespace QZ::Platform::Graphics {

class Image;

// A locked rectangle of an image's pixels, filled by Image::LockBits.
class BitmapData {
public:
  int Width() const { return mRect.width; }
  int Height() const { return mRect.height; }
  // Bytes from one row to the next.
  int Stride() const { return mStride; }
  // The locked rectangle's top-left pixel; its bytes are B, G, R, A.
  uint8_t* Scan0() const { return mScan0; }
  // The locked rectangle, clamped to the image.
  const Rect& Area() const { return mRect; }
  LockMode Mode() const { return mMode; }

private:
  friend class Image;
  const Image* mOwner = nullptr;
  Rect mRect;
  int mStride = 0;
  uint8_t* mScan0 = nullptr;
  LockMode mMode = LockMode::Read;
};

class Image {
public:
  // Larger images are refused (OutOfMemory, or GenericError from the decoder's limit).
  static constexpr int kMaxDimension = 16384;
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;

  // Decodes a PNG held in memory (any colour type, bit depth and interlacing). Null when
  // the bytes are not one complete, valid PNG; see DecodePng for the statuses.
  static std::unique_ptr<Image> FromPngMemory(std::span<const uint8_t> bytes, Status* status = nullptr);
  // An image of a PNG whose bytes outlive it (an embedded resource, FindImageResource):
  // only the signature and header are read now (null, with FromPngMemory's statuses, when
  // they are not valid); the pixels are decoded at their first use, each form at most
  // once. Damage found then leaves the image transparent, GenericError its last status.
  static std::unique_ptr<Image> FromPngResource(std::span<const uint8_t> bytes, Status* status = nullptr);
  // Reads and decodes a PNG file; the path goes to the system as UTF-8. FileNotFound when
  // the file cannot be read.
  static std::unique_ptr<Image> FromPngFile(std::u16string_view path, Status* status = nullptr);
  // A transparent black image. InvalidParameter for a side below 1.
  static std::unique_ptr<Image> Create(int width, int height, Status* status = nullptr);
  // An image holding a copy of the caller's pixels (B, G, R, A, straight alpha, rows
  // `stride` bytes apart; stride >= width * 4). The caller keeps its buffer.
  static std::unique_ptr<Image> FromPixels(int width, int height, int stride, const uint8_t* scan0,
                                           Status* status = nullptr);

  // Waits for a decode ahead under way (its PNG's bytes may go with the image).
  ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  Status LastStatus() const { return mLastStatus; }

  // A new image holding a copy of `area`, clamped to this image; null (InvalidParameter)
  // when nothing of the area lies inside.
  std::unique_ptr<Image> CloneArea(const Rect& area) const;

  // Locks `area` (clamped to the image) for direct access until UnlockBits. Read locks may
  // overlap; a lock with write access excludes every other lock (ObjectBusy). While any
  // lock is held the image cannot be drawn on and SetPixel fails; while a write lock is
  // held it cannot be drawn either. InvalidParameter when nothing of the area lies inside.
  Status LockBits(const Rect& area, LockMode mode, BitmapData& data);
  // Ends a lock of this image; written pixels count as changed. WrongState when `data`
  // holds no lock of this image. Clears `data`.
  Status UnlockBits(BitmapData& data);

  // Makes every pixel transparent black (0), as a new image of the size is, keeping the
  // memory of the premultiplied twin for the drawing to come. ObjectBusy while locked.
  Status Clear();
  // Bytes the image holds now: its straight pixels and its premultiplied twin, each when
  // it has them.
  size_t MemoryBytes() const;

  // InvalidParameter, with `color` left alone, when (x, y) is outside the image. An opaque
  // pixel is read from the twin when that is current, without making the straight pixels.
  Status GetPixel(int x, int y, Color& color) const;
  // The one colour of every pixel of `area` (clamped to the image) when all are opaque;
  // nothing when they differ, one is not opaque, nothing of the area lies inside or no
  // pixels can be made. Reads the form the image holds (the twin, decoded for drawing, when
  // it holds none).
  std::optional<Color> UniformOpaqueColor(const Rect& area) const;
  // InvalidParameter outside the image, ObjectBusy while locked.
  Status SetPixel(int x, int y, Color color);

  // Has a worker thread decode the premultiplied pixels drawing will use, when the image
  // holds an embedded PNG not decoded yet in any form (else nothing): the first use then
  // takes them, waiting for a decode under way or decoding itself one not yet started.
  // Pixels, memory and failures stay as without it.
  void DecodeAhead();

private:
  friend class Graphics;
  friend class CachedBitmap;
  friend class Brush;

  Image(int width, int height, std::unique_ptr<uint8_t[]> pixels);
  static std::unique_ptr<Image> Adopt(int width, int height, std::unique_ptr<uint8_t[]> pixels, Status* status);

  // Takes the pixels of a decode ahead, when one was asked for: the twin, as DecodeTwin
  // would have made it.
  void SettleDecodeAhead() const;

  Status Record(Status status) const {
    mLastStatus = status;
    return status;
  }
  // The address of a straight pixel; the straight pixels must exist (SyncPixels).
  uint8_t* PixelAddress(int x, int y) const { return mPixels.get() + (size_t(y) * size_t(mWidth) + size_t(x)) * 4; }
  // Brings the straight pixels up to date with what was drawn on the twin, making them
  // (transparent) first when the image has none. False when they cannot be made.
  [[nodiscard]] bool SyncPixels() const;
  // Decodes mPng into `pixels` (rows mWidth * 4 bytes apart) and lets go of it. A damaged
  // PNG leaves them transparent; false when there is no memory for decoding.
  [[nodiscard]] bool DecodeStraight(uint8_t* pixels) const;
  // Decodes mPng into the new twin, premultiplying; a damaged PNG leaves it transparent.
  // False when there is no memory for decoding.
  [[nodiscard]] bool DecodeTwin() const;
  // The premultiplied twin, up to date; null when Cairo cannot make it.
  cairo_surface_t* Surface() const;
  // The twin for drawing on: the straight pixels count as stale from now on.
  cairo_surface_t* TargetSurface();

  int mWidth;
  int mHeight;
  // Null while every straight pixel is 0 or still in mPng (see above).
  mutable std::unique_ptr<uint8_t[]> mPixels;
  // The embedded PNG whose pixels the straight ones are while they are not made; empty
  // once they are, and for any other image.
  mutable std::span<const uint8_t> mPng;
  mutable Status mLastStatus = Status::Ok;
  int mReadLocks = 0;
  bool mWriteLocked = false;
  mutable CairoSurface mSurface;
  mutable std::shared_ptr<class PendingDecode> mAhead; // asked for and not taken yet
  mutable uint64_t mChangeCount = 0;                   // bumped by each write to the straight pixels
  mutable uint64_t mSurfaceChangeCount = 0;            // mChangeCount the twin was made from
  mutable bool mSurfaceAhead = false;                  // drawn on since the straight pixels were synced
};

} // namespace QZ::Platform::Graphics
