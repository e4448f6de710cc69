#pragma once
// QZ::ColorT<float>: a colour of four channels red, green, blue and alpha, each 0..1,
// with the packed 32-bit ARGB form that images and the skin use.
//
//   QZ::ColorT<float> c = QZ::ColorT<float>::FromARGB(0xFFFF8000);
//   c.FromString("0x80");          // alpha 128/255, red, green and blue kept
//   uint32_t argb = c.ToARGB();    // 0x80FF8000
//
// A value: no locking, any thread.

#include <cstdint>

namespace QZ {

template <class T>
struct ColorT;

template <>
struct ColorT<float> {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;

  // Alpha from bits 24-31, red 16-23, green 8-15, blue 0-7, each times 1/255.
  static ColorT FromARGB(uint32_t argb);

  // Reads hexadecimal colour text, after an optional "0x" or "0X": 2 digits set alpha
  // only, 6 set red, green and blue (alpha kept), 8 set all four as ARGB. Returns
  // false and changes nothing for a null text, any other length or a non-hex digit.
  bool FromString(const char* text);

  // Each channel times 255, rounded half away from zero and clamped to 0..255 (NaN
  // gives 0), packed as alpha << 24 | red << 16 | green << 8 | blue.
  uint32_t ToARGB() const;

  bool operator==(const ColorT&) const = default;
};

} // namespace QZ
