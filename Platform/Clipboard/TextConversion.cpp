#include "Platform/Clipboard/TextConversion.h"

#include <cstdint>

namespace QZ::Platform::Clipboard {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void PutUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
    return;
  }
  if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
  }
  out.push_back(char(0x80 | (c & 0x3F)));
}

void PutUtf16(std::u16string& out, char32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    out.push_back(char16_t(0xD800 + (c >> 10)));
    out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
  } else {
    out.push_back(char16_t(c));
  }
}

// The character whose UTF-8 sequence starts at text[at], and its length in bytes; 0 when
// no well-formed sequence starts there.
size_t DecodeUtf8(std::string_view text, size_t at, char32_t& c) {
  const uint8_t lead = uint8_t(text[at]);
  size_t length = 0;
  char32_t least = 0;
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    c = lead & 0x1F;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    c = lead & 0x0F;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    c = lead & 0x07;
    least = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) {
    return 0;
  }
  for (size_t k = 1; k < length; ++k) {
    const uint8_t next = uint8_t(text[at + k]);
    if ((next & 0xC0) != 0x80) {
      return 0;
    }
    c = (c << 6) | (next & 0x3F);
  }
  const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
  return c < least || c > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      PutUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else {
      PutUtf8(out, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit);
    }
  }
  return out;
}

std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const size_t length = DecodeUtf8(text, i, c);
    PutUtf16(out, length != 0 ? c : kReplacement);
    i += length != 0 ? length : 1;
  }
  return out;
}

} // namespace QZ::Platform::Clipboard
