#include "Resources/SkinArt/Images.h"

#include <cstdio>

namespace QZ::SkinArt {

namespace {

// Draws image at scale into a new surface and writes it to path; false on a failure.
bool WriteOne(const ImageSpec& image, int scale, const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width * scale, image.height * scale);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
  image.draw(cr);
  const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const bool written = drawn && cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

} // namespace

const std::vector<ImageSpec>& AllImages() {
  static const std::vector<ImageSpec> images = [] {
    std::vector<ImageSpec> all;
    AddWidgetImages(all);
    AddControllerImages(all);
    AddProgramImages(all);
    AddMessageBoxImages(all);
    return all;
  }();
  return images;
}

int WriteImages(const std::string& folder) {
  int written = 0;
  for (const ImageSpec& image : AllImages()) {
    for (const int scale : {1, 2}) {
      const std::string path = folder + "/" + image.name + (scale == 2 ? "_2x" : "") + ".png";
      if (!WriteOne(image, scale, path)) {
        std::fprintf(stderr, "skin art: cannot write %s\n", path.c_str());
        return -1;
      }
      ++written;
    }
  }
  return written;
}

} // namespace QZ::SkinArt
