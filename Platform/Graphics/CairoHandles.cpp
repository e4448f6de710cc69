#include "Platform/Graphics/CairoHandles.h"

#include <cairo.h>

namespace QZ::Platform::Graphics {

void CairoSurfaceRelease::operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }

void CairoContextRelease::operator()(cairo_t* cairo) const { cairo_destroy(cairo); }

void CairoPatternRelease::operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }

CairoSurface CreateImageSurface(int width, int height) {
  CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  return surface;
}

} // namespace QZ::Platform::Graphics
