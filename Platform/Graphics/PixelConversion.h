#pragma once
// Straight BGRA bytes <-> Cairo's premultiplied ARGB32 words (internal).
//
// Both directions round to nearest, which makes them consistent: converting a
// premultiplied word to straight and back gives the same word, so a pixel can be tested
// for "changed by drawing" by premultiplying its straight value and comparing.

#include <cstdint>

namespace QZ::Platform::Graphics {

inline uint32_t PremultiplyChannel(uint32_t value, uint32_t alpha) { return (value * alpha + 127) / 255; }

// bgra: four bytes B, G, R, A.
inline uint32_t Premultiply(const uint8_t* bgra) {
  const uint32_t alpha = bgra[3];
  return alpha << 24 | PremultiplyChannel(bgra[2], alpha) << 16 | PremultiplyChannel(bgra[1], alpha) << 8 |
         PremultiplyChannel(bgra[0], alpha);
}

inline uint8_t UnpremultiplyChannel(uint32_t value, uint32_t alpha) {
  const uint32_t straight = (value * 255 + alpha / 2) / alpha;
  return static_cast<uint8_t>(straight > 255 ? 255 : straight);
}

inline void Unpremultiply(uint32_t word, uint8_t* bgra) {
  const uint32_t alpha = word >> 24;
  if (alpha == 0) {
    bgra[0] = bgra[1] = bgra[2] = bgra[3] = 0;
    return;
  }
  bgra[0] = UnpremultiplyChannel(word & 0xFF, alpha);
  bgra[1] = UnpremultiplyChannel((word >> 8) & 0xFF, alpha);
  bgra[2] = UnpremultiplyChannel((word >> 16) & 0xFF, alpha);
  bgra[3] = static_cast<uint8_t>(alpha);
}

} // namespace QZ::Platform::Graphics
