#include "QZFramework/Utilities/Storage/UnicodeConvert.h"

#include <cstdint>

namespace QZ {
namespace {

constexpr char32_t kMaxBmp = 0xFFFF;
constexpr char32_t kHighFirst = 0xD800;
constexpr char32_t kHighLast = 0xDBFF;
constexpr char32_t kLowFirst = 0xDC00;
constexpr char32_t kLowLast = 0xDFFF;

// Continuation bytes that follow each lead byte (lead bytes F8..FF announce sequences
// longer than any legal one, which IsLegalUTF8 then rejects).
constexpr uint8_t TrailingBytes(uint8_t lead) {
  return lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF8 ? 3 : lead < 0xFC ? 4 : 5;
}

// What summing the raw bytes of a sequence of n + 1 bytes adds beyond the code point:
// the lead byte's marker bits and 0x80 per continuation byte, each shifted into place.
constexpr char32_t kOffsetsFromUtf8[6] = {0x00000000, 0x00003080, 0x000E2080, 0x03C82080, 0xFA082080, 0x82082080};

// Marker bits of the lead byte of a sequence of n bytes.
constexpr uint8_t kFirstByteMark[7] = {0x00, 0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};

// One conversion loop serves both converting (Write) and measuring.
template <bool Write>
ConversionResult Utf16ToUtf8(const char16_t*& source, const char16_t* sourceEnd, char*& target, char* targetEnd,
                             size_t& written, ConversionFlags flags) {
  while (source < sourceEnd) {
    const char16_t* start = source;
    char32_t ch = *source++;
    if (ch < 0x80) {
      if constexpr (Write) {
        if (target >= targetEnd) {
          source = start;
          return ConversionResult::TargetExhausted;
        }
        *target++ = char(ch);
      }
      ++written;
      continue;
    }
    if (ch >= kHighFirst && ch <= kHighLast) {
      if (source == sourceEnd) {
        source = start;
        return ConversionResult::SourceExhausted;
      }
      const char32_t low = *source;
      if (low >= kLowFirst && low <= kLowLast) {
        ch = ((ch - kHighFirst) << 10) + (low - kLowFirst) + 0x10000;
        ++source;
      } else if (flags == ConversionFlags::Strict) {
        source = start;
        return ConversionResult::SourceIllegal;
      }
    } else if (flags == ConversionFlags::Strict && ch >= kLowFirst && ch <= kLowLast) {
      source = start;
      return ConversionResult::SourceIllegal;
    }
    const unsigned bytes = ch < 0x800 ? 2 : ch < 0x10000 ? 3 : 4;
    if constexpr (Write) {
      if (targetEnd - target < ptrdiff_t(bytes)) {
        source = start;
        return ConversionResult::TargetExhausted;
      }
      for (unsigned i = bytes - 1; i > 0; --i) {
        target[i] = char((ch & 0x3F) | 0x80);
        ch >>= 6;
      }
      target[0] = char(ch | kFirstByteMark[bytes]);
      target += bytes;
    }
    written += bytes;
  }
  return ConversionResult::OK;
}

template <bool Write>
ConversionResult Utf8ToUtf16(const char*& source, const char* sourceEnd, char16_t*& target, char16_t* targetEnd,
                             size_t& written) {
  while (source < sourceEnd) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    if (bytes[0] < 0x80) {
      if constexpr (Write) {
        if (target >= targetEnd) {
          return ConversionResult::TargetExhausted;
        }
        *target++ = char16_t(bytes[0]);
      }
      ++source;
      ++written;
      continue;
    }
    const unsigned extra = TrailingBytes(bytes[0]);
    if (extra >= size_t(sourceEnd - source)) {
      return ConversionResult::SourceExhausted;
    }
    if (!IsLegalUTF8(bytes, int(extra) + 1)) {
      return ConversionResult::SourceIllegal;
    }
    char32_t ch = 0;
    for (unsigned i = 0; i <= extra; ++i) {
      ch = (ch << 6) + bytes[i];
    }
    ch -= kOffsetsFromUtf8[extra];

    // IsLegalUTF8 admits neither encoded surrogates nor values above U+10FFFF, so what
    // strict conversion would refuse never gets here and both flags convert alike.
    if (ch <= kMaxBmp) {
      if constexpr (Write) {
        if (target >= targetEnd) {
          return ConversionResult::TargetExhausted;
        }
        *target++ = char16_t(ch);
      }
      ++written;
    } else {
      if constexpr (Write) {
        if (targetEnd - target < 2) {
          return ConversionResult::TargetExhausted;
        }
        ch -= 0x10000;
        *target++ = char16_t((ch >> 10) + kHighFirst);
        *target++ = char16_t((ch & 0x3FF) + kLowFirst);
      }
      written += 2;
    }
    source += extra + 1;
  }
  return ConversionResult::OK;
}

} // namespace

bool IsLegalUTF8(const unsigned char* source, int length) {
  if (length < 1 || length > 4) {
    return false;
  }
  // Bytes three and four of a sequence: plain continuation bytes.
  for (int i = 2; i < length; ++i) {
    if (source[i] < 0x80 || source[i] > 0xBF) {
      return false;
    }
  }
  if (length >= 2) {
    // The second byte is a continuation byte for every lead (also for 0xED and 0xF4,
    // whose upper bounds alone would let an ASCII byte be swallowed into a character),
    // and some leads narrow its range.
    const unsigned char second = source[1];
    if (second < 0x80 || second > 0xBF) {
      return false;
    }
    switch (source[0]) {
    case 0xE0: // no overlong 3-byte forms
      if (second < 0xA0) {
        return false;
      }
      break;
    case 0xED: // no encoded surrogates
      if (second > 0x9F) {
        return false;
      }
      break;
    case 0xF0: // no overlong 4-byte forms
      if (second < 0x90) {
        return false;
      }
      break;
    case 0xF4: // nothing above U+10FFFF
      if (second > 0x8F) {
        return false;
      }
      break;
    default:
      break;
    }
  }
  // Continuation bytes and overlong 2-byte leads cannot start a sequence.
  if (source[0] >= 0x80 && source[0] < 0xC2) {
    return false;
  }
  return source[0] <= 0xF4;
}

bool IsLegalUTF8Sequence(const char* source, const char* sourceEnd) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(source);
  const unsigned length = TrailingBytes(bytes[0]) + 1;
  return length <= size_t(sourceEnd - source) && IsLegalUTF8(bytes, int(length));
}

ConversionResult ConvertUTF16toUTF8(const char16_t** sourceStart, const char16_t* sourceEnd, char** targetStart,
                                    char* targetEnd, ConversionFlags flags) {
  size_t written = 0;
  return Utf16ToUtf8<true>(*sourceStart, sourceEnd, *targetStart, targetEnd, written, flags);
}

ConversionResult ConvertUTF8toUTF16(const char** sourceStart, const char* sourceEnd, char16_t** targetStart,
                                    char16_t* targetEnd, ConversionFlags /*flags*/) {
  size_t written = 0;
  return Utf8ToUtf16<true>(*sourceStart, sourceEnd, *targetStart, targetEnd, written);
}

size_t MeasureUTF16toUTF8(const char16_t* source, const char16_t* sourceEnd, ConversionFlags flags) {
  size_t written = 0;
  char* target = nullptr;
  (void)Utf16ToUtf8<false>(source, sourceEnd, target, nullptr, written, flags); // measuring only
  return written;
}

size_t MeasureUTF8toUTF16(const char* source, const char* sourceEnd, ConversionFlags /*flags*/) {
  size_t written = 0;
  char16_t* target = nullptr;
  (void)Utf8ToUtf16<false>(source, sourceEnd, target, nullptr, written); // measuring only
  return written;
}

} // namespace QZ
