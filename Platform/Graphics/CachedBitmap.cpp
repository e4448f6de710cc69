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

} // namespace QZ::Platform::Graphics
