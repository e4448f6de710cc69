#pragma once
// Owning handles for the Cairo objects of this layer. Cairo's types are declared here as
// cairo.h declares them, without cairo.h itself, so that the layer's public headers keep
// Cairo out of the framework's headers; only the layer's sources include cairo.h.

#include <memory>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;
typedef struct _cairo_matrix cairo_matrix_t;

namespace QZ::Platform::Graphics {

struct CairoSurfaceRelease {
  void operator()(cairo_surface_t* surface) const;
};
struct CairoContextRelease {
  void operator()(cairo_t* cairo) const;
};
struct CairoPatternRelease {
  void operator()(cairo_pattern_t* pattern) const;
};

using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceRelease>;
using CairoContext = std::unique_ptr<cairo_t, CairoContextRelease>;
using CairoPattern = std::unique_ptr<cairo_pattern_t, CairoPatternRelease>;

// A new premultiplied ARGB32 surface, or null when Cairo cannot make one.
CairoSurface CreateImageSurface(int width, int height);

} // namespace QZ::Platform::Graphics
