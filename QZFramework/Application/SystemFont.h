#pragma once
// The system's user-interface font: the face fontconfig chooses for "sans-serif", in the
// size a configuration asks for it (9 points when none does), bold (style bit 0x1) or
// italic (0x2) as the chosen face is.
//
//   QZ::SystemFont font = QZ::GetSystemFont();   // {"DejaVu Sans", 9, 0}
//
// Never fails: when fontconfig chooses nothing (no fonts, no configuration) the answer is
// "Sans", 9 points, style 0. Any thread (fontconfig locks its own state).

#include <cstdint>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

struct SystemFont {
  WString face;
  float size = 0.0f; // points
  int32_t style = 0; // 0x1 bold, 0x2 italic
};

SystemFont GetSystemFont();

} // namespace QZ
