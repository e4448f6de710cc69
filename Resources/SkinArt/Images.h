#pragma once
// Every image the skin-art program draws: its file name (without ".png"), its 1x size and
// the code that draws it. WriteImages draws each at 1x ("name.png") and at 2x
// ("name_2x.png", the same drawing on a context scaled by 2), so the 2x image is exactly
// twice the size of the 1x image.
//
//   for (const ImageSpec& image : AllImages()) { ... image.name, image.width ... }
//   WriteImages("build/art");                          // 2 PNG files per image

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

namespace QZ::SkinArt {

struct ImageSpec {
  std::string name;
  int width;
  int height;
  // Draws in 1x pixels on a transparent context of (width, height) 1x pixels.
  std::function<void(cairo_t*)> draw;
};

// The skin's widgets: frames, fields, panels, glyphs, switch (ImagesWidgets.cpp).
void AddWidgetImages(std::vector<ImageSpec>& images);
// The controller picture's elements, keybeds, plates and logos (ImagesController.cpp).
void AddControllerImages(std::vector<ImageSpec>& images);
// The application icon and the drag cursors (ImagesProgram.cpp).
void AddProgramImages(std::vector<ImageSpec>& images);
// The message box's icons (ImagesMessageBox.cpp).
void AddMessageBoxImages(std::vector<ImageSpec>& images);

// All of them, in a fixed order; names are unique.
const std::vector<ImageSpec>& AllImages();

// Writes every image at both scales into folder (which must exist). The same program
// writes the same bytes on every run. Returns the number of files written; on a failure
// it reports the file on stderr and returns -1.
int WriteImages(const std::string& folder);

} // namespace QZ::SkinArt
