// The font scan reads the naming tables of whatever font files are installed: any bytes
// must give names or nothing, never a crash, an overrun or a runaway allocation.
#include <cstddef>
#include <cstdint>
#include <span>

#include "QZFramework/Renderer/FontRenderer/FontNameTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QZ::FontMemoryBytes bytes(std::span<const uint8_t>(data, size));
  for (const QZ::FontFaceName& face : QZ::ReadFontFaceNames(bytes)) {
    if (face.family.IsEmpty() || face.style.IsEmpty() || face.faceIndex < 0) {
      __builtin_trap();
    }
  }
  return 0;
}
