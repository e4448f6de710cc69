#include "QZFramework/Utilities/Graphics/Color.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QZ {

namespace {

constexpr float kByteToUnit = 0.003921569f; // 1/255 in single precision

float Channel(uint32_t argb, int shift) { return float((argb >> shift) & 0xFF) * kByteToUnit; }

#if !defined(__SSE2__)
uint32_t ChannelByte(float value) {
  const float scaled = value * 255.0f;
  if (!(scaled > 0.0f)) {
    return 0; // negative, zero or NaN
  }
  const float rounded = scaled + 0.5f; // positive: the conversion truncates
  return rounded >= 255.0f ? 255u : uint32_t(rounded);
}
#endif

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

} // namespace

ColorT<float> ColorT<float>::FromARGB(uint32_t argb) {
  return {Channel(argb, 16), Channel(argb, 8), Channel(argb, 0), Channel(argb, 24)};
}

bool ColorT<float>::FromString(const char* text) {
  if (!text) {
    return false;
  }
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text += 2;
  }
  const size_t length = std::strlen(text);
  if (length != 2 && length != 6 && length != 8) {
    return false;
  }
  uint32_t value = 0;
  for (size_t i = 0; i < length; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) {
      return false;
    }
    value = value << 4 | uint32_t(digit);
  }
  if (length == 2) {
    alpha = Channel(value, 0);
    return true;
  }
  red = Channel(value, 16);
  green = Channel(value, 8);
  blue = Channel(value, 0);
  if (length == 8) {
    alpha = Channel(value, 24);
  }
  return true;
}

uint32_t ColorT<float>::ToARGB() const {
#if defined(__SSE2__)
  // Every fill packs its colour: the four channels at once, by the same rule (a channel not
  // above 0 after scaling, NaN too, gives 0; else half rounds up and the byte saturates),
  // blue in the lowest lane so that the packed bytes read as ARGB.
  const __m128 scaled = _mm_mul_ps(_mm_set_ps(alpha, red, green, blue), _mm_set1_ps(255.0f));
  const __m128 positive = _mm_cmpgt_ps(scaled, _mm_setzero_ps());
  const __m128 rounded = _mm_min_ps(_mm_add_ps(scaled, _mm_set1_ps(0.5f)), _mm_set1_ps(255.0f));
  const __m128i bytes = _mm_cvttps_epi32(_mm_and_ps(rounded, positive));
  const __m128i halves = _mm_packs_epi32(bytes, bytes);
  return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(halves, halves)));
#else
  return ChannelByte(alpha) << 24 | ChannelByte(red) << 16 | ChannelByte(green) << 8 | ChannelByte(blue);
#endif
}

} // namespace QZ
