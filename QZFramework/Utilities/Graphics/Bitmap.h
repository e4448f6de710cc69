#pragma once
// QZ::LBitmap: an image the user sees, decoded from a PNG of the program's resources or
// of a file, or a rectangle cut out of another bitmap; and QZ::LBitmapData, a locked
// view of a bitmap's pixels.
//
//   QZ::RCPtr<QZ::LBitmap> combo = QZ::LBitmap::GetBitmap(u"::combobox_normal.png");
//   QZ::RCPtr<QZ::LBitmap> arrow = combo->CreateSubBitmap(30, 0, 10, 20);
//   QZ::RCPtr<QZ::LBitmap> red = QZ::LBitmap::ApplyColorizer(colorizer, 1.0f, {10, 20}, arrow, nullptr);
//
// Names: "::name" is the embedded image whose resource name is `name` upper-cased with
// '.' and ' ' made '_' ("::combobox_normal.png" is "COMBOBOX_NORMAL_PNG"); any other
// name is a file path ('/' separated, relative to the working folder).
//
// Bitmap cache: GetBitmap hands out one shared bitmap per name. Resource names are
// matched ignoring case; file paths by the file they reach (case matters, as it does on
// the file system; "a/./b.png", "a//b.png" and the absolute form are one file). Each
// entry is an internal reference of its bitmap (LRefCountedObject), so a bitmap leaves
// the cache, and is deleted, when its last reference from outside the cache goes.
//
// Pixels are 32-bit ARGB with straight alpha, bytes in memory B, G, R, A. A sub-bitmap
// shares the pixels of the bitmap that holds its image (its parent); recolouring a
// sub-bitmap in place recolours that rectangle of the parent.
//
// Bitmaps, their pixels and the cache belong to the main thread: nothing is locked (the
// reference counts alone are atomic; a decode ahead synchronises with its image itself). Failures of the image layer
// are kept as the image's last status and do not throw, except where a member says it throws.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Platform/Graphics/Image.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Color.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Graphics/PixelBuffer.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LBitmapData;

class LBitmap : public virtual LRefCountedObject {
public:
  // The shared bitmap of a name, from the cache or loaded and cached now. Null, and
  // nothing cached, when the resource or file is missing or is not a valid PNG.
  static RCPtr<LBitmap> GetBitmap(const WString& name);
  // How many bitmaps the cache holds, and the bytes their pixels take.
  static size_t GetCachedBitmapCount();
  static size_t GetCachedBitmapBytes();

  // Loads the named image (see GetBitmap for names); a bitmap that cannot be loaded has
  // no image and an empty rectangle. `key` is the name of its cache entry, which only
  // GetBitmap makes.
  LBitmap(const WString& name, const WString& key);
  ~LBitmap() override;
  LBitmap(const LBitmap&) = delete;
  LBitmap& operator=(const LBitmap&) = delete;

  // Erases this bitmap's cache entry when it is one, then gives the base result.
  QZResult ReleaseInternalReferences() override;

  // A new bitmap showing (x, y, width, height) of this one and sharing its pixels; a
  // width or height not above 0 shows all of this bitmap. Width and height are rounded
  // to whole pixels; the part outside this bitmap is cut off (possibly leaving nothing).
  RCPtr<LBitmap> CreateSubBitmap(int32_t x, int32_t y, double width, double height) const;
  // A new bitmap holding its own copy of this bitmap's pixels; null when no copy can be
  // made (nothing to copy, or no memory).
  RCPtr<LBitmap> CloneBitmap() const;
  // The colour of pixel (x, y) of this bitmap; (0, 0, 0, 0) outside it.
  ColorT<float> GetPixelColor(int32_t x, int32_t y) const;
  // The pixels locked for reading while the result lives. For a sub-bitmap: all the
  // pixels of its parent. A lock that fails (the image is locked for writing) gives a
  // view of width 0.
  [[nodiscard]] RCPtr<LBitmapData> LockPixels() const;

  // Recolours this bitmap's pixels. Solid: with a = colour alpha x alphaFactor (clamped
  // to 0..1), each colour byte becomes old x (1 - a) + colour x a; alpha bytes stay.
  // Throws Runtime Error for a null colorizer or a bitmap without pixels, Runtime Error
  // when the pixels cannot be locked for writing, and Domain Error for a gradient fill
  // (CreateGradientFilledBitmap).
  void ApplyColorizer(const ConstRCPtr<LColorizer>& colorizer, float alphaFactor);
  // A new bitmap: a recoloured copy of `image` or of `mask` (which stay untouched), or,
  // with neither, CreateColorizedBitmap(colorizer, alphaFactor, size). Throws Domain
  // Error when both are given, and what the operation used throws.
  static RCPtr<LBitmap> ApplyColorizer(const ConstRCPtr<LColorizer>& colorizer, float alphaFactor,
                                       const SizeT<int32_t>& size, const ConstRCPtr<LBitmap>& image,
                                       const ConstRCPtr<LBitmap>& mask);
  // A new bitmap of `size` painted by the colorizer, its alpha times alphaFactor.
  // Throws Runtime Error for a null colorizer or a side below 1, Domain Error for a
  // gradient fill. Null when the image layer cannot make an image that large.
  static RCPtr<LBitmap> CreateColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer, float alphaFactor,
                                              const SizeT<int32_t>& size);
  // A new bitmap of `size` with every pixel `color` (ColorT::ToARGB). Throws Runtime
  // Error for a side below 1. Null when the image layer cannot make an image that large.
  static RCPtr<LBitmap> CreateFilledBitmap(const SizeT<int32_t>& size, const ColorT<float>& color);
  // Gradient fills are not drawn: always throws Domain Error.
  [[noreturn]] static RCPtr<LBitmap> CreateGradientFilledBitmap(const SizeT<int32_t>& size, const PointT<float>& start,
                                                                const PointT<float>& end,
                                                                const ColorT<float>& startColor,
                                                                const ColorT<float>& endColor, bool radial);

  // Has a worker thread decode the pixels drawing will need when this bitmap's image is an
  // embedded one not decoded yet (Platform::Graphics::Image::DecodeAhead); else nothing.
  // For images about to be drawn: their first drawing finds them decoded or under way.
  void DecodeAhead() const;

  // The image holding this bitmap's pixels: its own or its parent's; null for a bitmap
  // that failed to load. Owned by the bitmap; valid while it lives.
  Platform::Graphics::Image* GetNativeBitmap() const;
  // Where this bitmap lies inside the native image.
  const RectT<int32_t>& GetRect() const { return mRect; }
  int32_t GetWidth() const { return mRect.width; }
  int32_t GetHeight() const { return mRect.height; }
  // The bitmap whose image a sub-bitmap shows; null for a bitmap holding its own.
  const ConstRCPtr<LBitmap>& GetParent() const { return mParent; }
  // The name it was loaded by; empty for copies, fills and sub-bitmaps.
  const WString& GetName() const { return mName; }

private:
  // A bitmap holding `image` (not null), its rectangle all of it.
  explicit LBitmap(std::unique_ptr<Platform::Graphics::Image> image);
  // A sub-bitmap showing `rect` of `parent`'s image.
  LBitmap(const ConstRCPtr<LBitmap>& parent, const RectT<int32_t>& rect);

  RectT<int32_t> mRect;
  ConstRCPtr<LBitmap> mParent;
  WString mName;
  WString mKey;
  std::unique_ptr<Platform::Graphics::Image> mImage;
};

class LBitmapData : public IPixelBuffer<uint32_t>, public virtual LRefCountedObject {
public:
  // Locks the bitmap's rectangle of its native image with `mode` until destruction
  // (Write or ReadWrite: what is written counts as changed then). A failed lock (null
  // bitmap, no image, a conflicting lock) is kept as the image's last status and leaves
  // the view empty. A substitute buffer is not supported: passing one throws Domain Error.
  LBitmapData(const ConstRCPtr<LBitmap>& bitmap, Platform::Graphics::LockMode mode,
              const IPixelBuffer<uint32_t>* substitute = nullptr);
  ~LBitmapData() override;
  LBitmapData(const LBitmapData&) = delete;
  LBitmapData& operator=(const LBitmapData&) = delete;

  bool IsLocked() const { return mLock.Scan0() != nullptr; }

  int32_t GetWidth() const override { return mLock.Width(); }
  int32_t GetHeight() const override { return mLock.Height(); }
  int32_t GetRowLength() const override { return mLock.Stride() / 4; }
  // Pixel (x, y) of the locked rectangle: the word's bytes are B, G, R, A in memory.
  uint32_t* GetPixelAddress(int32_t x, int32_t y) override;
  using IPixelBuffer<uint32_t>::GetPixelAddress;

private:
  ConstRCPtr<LBitmap> mBitmap;
  Platform::Graphics::Image* mImage = nullptr;
  Platform::Graphics::BitmapData mLock;
};

} // namespace QZ
