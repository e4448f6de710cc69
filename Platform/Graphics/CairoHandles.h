#pragma once
// Owning handles for the Cairo objects of this layer (internal).

#include <cairo.h>

#include <memory>

namespace QZ::Gfx {

struct CairoSurfaceRelease {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoContextRelease {
  void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
struct CairoPatternRelease {
  void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};

using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceRelease>;
using CairoContext = std::unique_ptr<cairo_t, CairoContextRelease>;
using CairoPattern = std::unique_ptr<cairo_pattern_t, CairoPatternRelease>;

// A new premultiplied ARGB32 surface, or null when Cairo cannot make one.
inline CairoSurface CreateImageSurface(int width, int height) {
  CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  return surface;
}

} // namespace QZ::Gfx
