#include "Platform/Graphics/CachedBitmap.h"

#include <cairo.h>

#include <cstring>
#include <new>

namespace QZ::Platform::Graphics {

std::unique_ptr<CachedBitmap> CachedBitmap::Create(const Image& image, Status* status) {
  auto report = [status](Status value) {
    if (status != nullptr) {
      *status = value;
    }
  };
  if (image.mWriteLocked) {
    report(Status::ObjectBusy);
    return nullptr;
  }
  cairo_surface_t* source = image.Surface();
  CairoSurface copy = CreateImageSurface(image.Width(), image.Height());
  if (source == nullptr || !copy) {
    report(Status::OutOfMemory);
    return nullptr;
  }
  cairo_surface_flush(source);
  cairo_surface_flush(copy.get());
  const size_t stride = size_t(cairo_image_surface_get_stride(source));
  std::memcpy(cairo_image_surface_get_data(copy.get()), cairo_image_surface_get_data(source),
              stride * size_t(image.Height()));
  cairo_surface_mark_dirty(copy.get());
  report(Status::Ok);
  return std::unique_ptr<CachedBitmap>(new CachedBitmap(std::move(copy), image.Width(), image.Height()));
}

std::unique_ptr<CachedBitmap> CachedBitmap::FromImage(std::unique_ptr<Image> image, Status* status) {
  auto report = [status](Status value) {
    if (status != nullptr) {
      *status = value;
    }
  };
  if (image->mWriteLocked || image->mReadLocks > 0) {
    report(Status::ObjectBusy);
    return nullptr;
  }
  if (image->Surface() == nullptr) {
    report(Status::OutOfMemory);
    return nullptr;
  }
  cairo_surface_flush(image->mSurface.get());
  report(Status::Ok);
  const int width = image->Width();
  const int height = image->Height();
  return std::unique_ptr<CachedBitmap>(new CachedBitmap(std::move(image->mSurface), width, height));
}

size_t CachedBitmap::MemoryBytes() const {
  return size_t(cairo_image_surface_get_stride(mSurface.get())) * size_t(mHeight);
}

} // namespace QZ::Platform::Graphics
