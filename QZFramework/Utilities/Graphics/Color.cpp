#include "QZFramework/Utilities/Graphics/Color.h"

#include <cstring>

namespace QZ {

namespace {

constexpr float kByteToUnit = 0.003921569f; // 1/255 in single precision

float Channel(uint32_t argb, int shift) { return float((argb >> shift) & 0xFF) * kByteToUnit; }

uint32_t ChannelByte(float value) {
  const float scaled = value * 255.0f;
  if (!(scaled > 0.0f)) {
    return 0; // negative, zero or NaN
  }
  const float rounded = scaled + 0.5f; // positive: the conversion truncates
  return rounded >= 255.0f ? 255u : uint32_t(rounded);
}

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
  return ChannelByte(alpha) << 24 | ChannelByte(red) << 16 | ChannelByte(green) << 8 | ChannelByte(blue);
}

} // namespace QZ
