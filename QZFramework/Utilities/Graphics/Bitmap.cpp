#include "QZFramework/Utilities/Graphics/Bitmap.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include "Platform/Graphics/ImageResources.h"
#include "Platform/Graphics/TextEncoding.h"
#include "QZFramework/ObjectBase/DebugAssert.h"

namespace QZ {

namespace {

// The cache of GetBitmap. Bitmaps may outlive it at exit (held by static objects made
// before it): it gives up their internal references first, so that their release does
// not come back to it.
struct BitmapCache {
  std::map<WString, RCPtr<LBitmap>> entries;

  ~BitmapCache() {
    const auto leaving = std::move(entries);
    for (const auto& entry : leaving) {
      entry.second->AddInternalReferences(-1);
    }
  }
};

std::map<WString, RCPtr<LBitmap>>& Cache() {
  QZ_ASSERT_MAIN_THREAD("the bitmap cache");
  static BitmapCache cache;
  return cache.entries;
}

bool IsResourceName(const WString& name) { return name.View().starts_with(u"::"); }

std::filesystem::path ToPath(const WString& name) {
  return std::filesystem::path(Platform::Graphics::ToUtf8(name.View()));
}

// Resource names ignore case; a file is known by its canonical absolute path (links
// and "." and ".." resolved), or, when it cannot be resolved, by its absolute path
// cleaned up lexically. File names keep their case: the file system tells them apart.
WString CacheKey(const WString& name) {
  if (IsResourceName(name)) {
    return name.ToUpper();
  }
  std::error_code error;
  std::filesystem::path path = std::filesystem::canonical(ToPath(name), error);
  if (error) {
    path = std::filesystem::absolute(ToPath(name), error).lexically_normal();
  }
  return error ? name : WString(path.string().c_str());
}

std::unique_ptr<Platform::Graphics::Image> LoadImage(const WString& name) {
  if (!IsResourceName(name)) {
    return Platform::Graphics::Image::FromPngFile(name.View());
  }
  const WString resourceName = name.Mid(2).ToUpper().ReplaceChars(u". ", u'_');
  const auto bytes = Platform::Graphics::FindImageResource(resourceName.View());
  // Embedded images are decoded when first drawn or read: the tree sizes its looks from
  // many that the first frames never show.
  return bytes ? Platform::Graphics::Image::FromPngResource(*bytes) : nullptr;
}

Platform::Graphics::Rect ToGfx(const RectT<int32_t>& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

// The part of `rect` inside `bounds`; an empty result lies on the edge of bounds.
RectT<int32_t> ClampTo(const RectT<int32_t>& rect, const RectT<int32_t>& bounds) {
  const int64_t boundsRight = int64_t{bounds.x} + bounds.width;
  const int64_t boundsBottom = int64_t{bounds.y} + bounds.height;
  const int64_t left = std::clamp<int64_t>(rect.x, bounds.x, boundsRight);
  const int64_t top = std::clamp<int64_t>(rect.y, bounds.y, boundsBottom);
  const int64_t right = std::clamp<int64_t>(int64_t{rect.x} + std::max(rect.width, 0), left, boundsRight);
  const int64_t bottom = std::clamp<int64_t>(int64_t{rect.y} + std::max(rect.height, 0), top, boundsBottom);
  return {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
}

} // namespace

RCPtr<LBitmap> LBitmap::GetBitmap(const WString& name) {
  const WString key = CacheKey(name);
  auto& cache = Cache();
  const auto found = cache.find(key);
  if (found != cache.end()) {
    return found->second;
  }
  RCPtr<LBitmap> bitmap(new LBitmap(name, key));
  if (!bitmap->mImage) {
    return nullptr;
  }
  cache.emplace(key, bitmap);
  bitmap->AddInternalReferences(1);
  return bitmap;
}

size_t LBitmap::GetCachedBitmapCount() { return Cache().size(); }

size_t LBitmap::GetCachedBitmapBytes() {
  size_t bytes = 0;
  for (const auto& [key, bitmap] : Cache()) {
    const Platform::Graphics::Image* image = bitmap->GetNativeBitmap();
    bytes += image ? image->MemoryBytes() : 0;
  }
  return bytes;
}

LBitmap::LBitmap(const WString& name, const WString& key) : mName(name), mKey(key), mImage(LoadImage(name)) {
  if (mImage) {
    mRect = {0, 0, mImage->Width(), mImage->Height()};
  }
}

LBitmap::LBitmap(std::unique_ptr<Platform::Graphics::Image> image)
    : mRect{0, 0, image->Width(), image->Height()}, mImage(std::move(image)) {}

LBitmap::LBitmap(const ConstRCPtr<LBitmap>& parent, const RectT<int32_t>& rect) : mRect(rect), mParent(parent) {}

LBitmap::~LBitmap() = default;

QZResult LBitmap::ReleaseInternalReferences() {
  auto& cache = Cache();
  const auto found = cache.find(mKey);
  if (found != cache.end() && found->second.Get() == this) {
    // The entry's reference is dropped only after the entry is gone and the internal
    // count is down, so that its release does not come back here.
    RCPtr<LBitmap> entry = std::move(found->second);
    cache.erase(found);
    AddInternalReferences(-1);
    entry = nullptr;
  }
  return LRefCountedObject::ReleaseInternalReferences();
}

RCPtr<LBitmap> LBitmap::CreateSubBitmap(int32_t x, int32_t y, double width, double height) const {
  RectT<int32_t> rect = mRect;
  if (width > 0 && height > 0) {
    const PointT<int32_t> size = PointT<double>{width, height}.Round();
    rect = {SaturatingAdd(mRect.x, x), SaturatingAdd(mRect.y, y), size.x, size.y};
  }
  const ConstRCPtr<LBitmap> parent = mParent ? mParent : ConstRCPtr<LBitmap>(this);
  return RCPtr<LBitmap>(new LBitmap(parent, ClampTo(rect, mRect)));
}

RCPtr<LBitmap> LBitmap::CloneBitmap() const {
  const Platform::Graphics::Image* image = GetNativeBitmap();
  if (image == nullptr) {
    return nullptr;
  }
  auto copy = image->CloneArea(ToGfx(mRect));
  return copy ? RCPtr<LBitmap>(new LBitmap(std::move(copy))) : nullptr;
}

ColorT<float> LBitmap::GetPixelColor(int32_t x, int32_t y) const {
  const Platform::Graphics::Image* image = GetNativeBitmap();
  Platform::Graphics::Color color;
  if (image == nullptr || x < 0 || y < 0 || x >= mRect.width || y >= mRect.height ||
      image->GetPixel(mRect.x + x, mRect.y + y, color) != Platform::Graphics::Status::Ok) {
    return ColorT<float>::FromARGB(0);
  }
  return ColorT<float>::FromARGB(color.argb);
}

RCPtr<LBitmapData> LBitmap::LockPixels() const {
  if (mParent) {
    return mParent->LockPixels();
  }
  return RCPtr<LBitmapData>(new LBitmapData(ConstRCPtr<LBitmap>(this), Platform::Graphics::LockMode::Read));
}

void LBitmap::DecodeAhead() const {
  if (Platform::Graphics::Image* image = GetNativeBitmap()) {
    image->DecodeAhead();
  }
}

Platform::Graphics::Image* LBitmap::GetNativeBitmap() const {
  for (const LBitmap* bitmap = this; bitmap != nullptr; bitmap = bitmap->mParent.Get()) {
    if (bitmap->mImage) {
      return bitmap->mImage.get();
    }
  }
  return nullptr;
}

LBitmapData::LBitmapData(const ConstRCPtr<LBitmap>& bitmap, Platform::Graphics::LockMode mode,
                         const IPixelBuffer<uint32_t>* substitute)
    : mBitmap(bitmap) {
  if (substitute != nullptr) {
    Throw<std::domain_error>({"QZ::LBitmapData::LBitmapData", R"(Utilities\Graphics\Bitmap)", 489});
  }
  mImage = mBitmap ? mBitmap->GetNativeBitmap() : nullptr;
  if (mImage != nullptr) {
    // A failed lock leaves the view empty, as IsLocked tells.
    (void)mImage->LockBits(ToGfx(mBitmap->GetRect()), mode, mLock);
  }
}

LBitmapData::~LBitmapData() {
  if (IsLocked()) {
    (void)mImage->UnlockBits(mLock); // our own lock
  }
}

uint32_t* LBitmapData::GetPixelAddress(int32_t x, int32_t y) {
  if (!IsLocked() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) {
    return nullptr;
  }
  return reinterpret_cast<uint32_t*>(mLock.Scan0() + size_t(y) * size_t(mLock.Stride()) + size_t(x) * 4);
}

} // namespace QZ
