// The skin-art program: draws the skin's images and the program's icon and cursors at 1x
// and 2x, and writes or checks the skin document built around them.
//
//   QZSkinArt --images build/art                     (the build runs this)
//   QZSkinArt --skin Resources/Documents/Skins.xml   (after changing the skin's code)
//   QZSkinArt --check-skin Resources/Documents/Skins.xml
//
// Exit status 0 on success; 1 when a file cannot be written or the document differs; 2
// for a wrong command line.
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "Resources/SkinArt/Images.h"
#include "Resources/SkinArt/SkinTree.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: QZSkinArt [--images <folder>] [--skin <file>] [--check-skin <file>]\n");
  return 2;
}

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

namespace {

int Run(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    return Usage();
  }
  for (int i = 1; i + 1 < argc; i += 2) {
    const char* option = argv[i];
    const char* value = argv[i + 1];
    if (std::strcmp(option, "--images") == 0) {
      if (QZ::SkinArt::WriteImages(value) < 0) {
        return 1;
      }
    } else if (std::strcmp(option, "--skin") == 0) {
      std::ofstream file(value, std::ios::binary | std::ios::trunc);
      file << QZ::SkinArt::BuildSkinDocument().Write();
      if (!file.flush()) {
        std::fprintf(stderr, "skin art: cannot write %s\n", value);
        return 1;
      }
    } else if (std::strcmp(option, "--check-skin") == 0) {
      if (ReadFile(value) != QZ::SkinArt::BuildSkinDocument().Write()) {
        std::fprintf(stderr,
                     "skin art: %s is not the document the skin-art program builds; write it again with "
                     "QZSkinArt --skin %s\n",
                     value, value);
        return 1;
      }
    } else {
      return Usage();
    }
  }
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const int status = Run(argc, argv);
  // Cairo's caches go, so that the leak checker of a sanitised build sees none.
  cairo_debug_reset_static_data();
  return status;
}
