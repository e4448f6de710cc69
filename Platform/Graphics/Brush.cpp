#include "Platform/Graphics/Brush.h"

#include <cairo.h>

#include <algorithm>

namespace QZ::Platform::Graphics {

namespace {

void Report(Status* status, Status value) {
  if (status != nullptr) {
    *status = value;
  }
}

std::shared_ptr<cairo_pattern_t> Share(cairo_pattern_t* pattern) {
  return std::shared_ptr<cairo_pattern_t>(pattern, cairo_pattern_destroy);
}

} // namespace

Brush Brush::Solid(Color color) { return Brush(color); }

std::optional<Brush> Brush::Texture(const Image& image, const Rect& source, Status* status) {
  const int left = std::max(source.x, 0);
  const int top = std::max(source.y, 0);
  const int right = static_cast<int>(std::min<int64_t>(int64_t{source.x} + source.width, image.Width()));
  const int bottom = static_cast<int>(std::min<int64_t>(int64_t{source.y} + source.height, image.Height()));
  if (right <= left || bottom <= top) {
    Report(status, Status::InvalidParameter);
    return std::nullopt;
  }
  if (image.mWriteLocked) {
    Report(status, Status::ObjectBusy);
    return std::nullopt;
  }
  cairo_surface_t* imageSurface = image.Surface();
  CairoSurface tile = CreateImageSurface(right - left, bottom - top);
  if (imageSurface == nullptr || !tile) {
    Report(status, Status::OutOfMemory);
    return std::nullopt;
  }
  CairoContext cairo(cairo_create(tile.get()));
  cairo_set_operator(cairo.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cairo.get(), imageSurface, -left, -top);
  cairo_paint(cairo.get());
  cairo.reset();

  auto pattern = Share(cairo_pattern_create_for_surface(tile.get()));
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_REPEAT);
  Report(status, Status::Ok);
  return Brush(std::move(pattern));
}

} // namespace QZ::Platform::Graphics
