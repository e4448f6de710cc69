#include "QZFramework/Utilities/Storage/WideChar.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QZ::Chars {
namespace {

template <class C>
bool IsSpace(C unit) {
  return unit == C(' ') || (unit >= C('\t') && unit <= C('\r'));
}

template <class C>
bool IsDigit(C unit) {
  return unit >= C('0') && unit <= C('9');
}

template <class C>
const C* SkipSpace(const C* p) {
  while (IsSpace(*p)) {
    ++p;
  }
  return p;
}

// Whether p starts with the lower-case ASCII word, ignoring case.
template <class C>
bool StartsWithNoCase(const C* p, const char* word) {
  for (; *word != 0; ++p, ++word) {
    if (*p == C(0) || ToLower(*p) != C(*word)) {
      return false;
    }
  }
  return true;
}

// Magnitude of the leading digits of p, saturated at limit; advances p past them.
template <class C>
uint64_t ReadDigits(const C*& p, uint64_t limit) {
  uint64_t value = 0;
  for (; IsDigit(*p); ++p) {
    const uint64_t digit = uint64_t(*p - C('0'));
    value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
  }
  return value;
}

template <class SignedT, class C>
SignedT ToSigned(const C* text) {
  const C* p = SkipSpace(text);
  bool negative = false;
  if (*p == C('+') || *p == C('-')) {
    negative = *p == C('-');
    ++p;
  }
  using Limits = std::numeric_limits<SignedT>;
  const uint64_t limit = negative ? uint64_t(Limits::max()) + 1 : uint64_t(Limits::max());
  const uint64_t magnitude = ReadDigits(p, limit);
  if (negative) {
    return magnitude == uint64_t(Limits::max()) + 1 ? Limits::min() : -SignedT(magnitude);
  }
  return SignedT(magnitude);
}

} // namespace

template <class C>
size_t Find(const C* text, size_t length, const C* needle, size_t needleLength) {
  using Traits = std::char_traits<C>;
  if (needleLength == 0) {
    return 0;
  }
  if (needleLength > length) {
    return kNotFound;
  }
  const size_t starts = length - needleLength + 1;
  size_t i = 0;
#if defined(__SSE2__)
  // Blocks of starting positions whose first and last units both match the needle's
  // (two filters, so that few candidates reach the full comparison).
  static_assert(sizeof(C) == 1 || sizeof(C) == 2);
  constexpr size_t kLanes = 16 / sizeof(C);
  const auto splat = [](C unit) {
    if constexpr (sizeof(C) == 1) {
      return _mm_set1_epi8(char(unit));
    } else {
      return _mm_set1_epi16(short(unit));
    }
  };
  const auto equal = [](__m128i a, __m128i b) {
    if constexpr (sizeof(C) == 1) {
      return _mm_cmpeq_epi8(a, b);
    } else {
      return _mm_cmpeq_epi16(a, b);
    }
  };
  const __m128i first = splat(needle[0]);
  const __m128i last = splat(needle[needleLength - 1]);
  for (; i + kLanes <= starts; i += kLanes) {
    const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + needleLength - 1));
    // One bit per byte; for two-byte units keep the low byte's bit of each.
    uint32_t candidates = uint32_t(_mm_movemask_epi8(_mm_and_si128(equal(heads, first), equal(tails, last))));
    if constexpr (sizeof(C) == 2) {
      candidates &= 0x5555u;
    }
    while (candidates != 0) {
      const size_t at = i + size_t(__builtin_ctz(candidates)) / sizeof(C);
      if (Traits::compare(text + at + 1, needle + 1, needleLength - 1) == 0) {
        return at;
      }
      candidates &= candidates - 1;
    }
  }
#endif
  // The remaining starting positions: the first unit found by the standard library's
  // unit search, the rest compared.
  while (i < starts) {
    const C* at = Traits::find(text + i, starts - i, needle[0]);
    if (!at) {
      return kNotFound;
    }
    i = size_t(at - text);
    if (Traits::compare(at + 1, needle + 1, needleLength - 1) == 0) {
      return i;
    }
    ++i;
  }
  return kNotFound;
}

template <class C>
size_t CopyBounded(C* dest, size_t destUnits, const C* source, size_t count) {
  if (destUnits == 0) {
    return 0;
  }
  const size_t n = LengthBounded(source, count < destUnits - 1 ? count : destUnits - 1);
  std::memmove(dest, source, n * sizeof(C));
  dest[n] = C(0);
  return n;
}

template <class C>
size_t Span(const C* text, const C* set) {
  size_t n = 0;
  while (text[n] != C(0) && Contains(set, text[n])) {
    ++n;
  }
  return n;
}

template <class C>
size_t CSpan(const C* text, const C* set) {
  size_t n = 0;
  while (text[n] != C(0) && !Contains(set, text[n])) {
    ++n;
  }
  return n;
}

template <class C>
int CompareNoCase(const C* a, const C* b) {
  using Unit = std::make_unsigned_t<C>;
  for (;; ++a, ++b) {
    const Unit x = Unit(ToLower(*a));
    const Unit y = Unit(ToLower(*b));
    if (x != y || x == 0) {
      return int(x) - int(y);
    }
  }
}

template <class C>
int32_t ToInt32(const C* text) {
  return ToSigned<int32_t>(text);
}

template <class C>
int64_t ToInt64(const C* text) {
  return ToSigned<int64_t>(text);
}

template <class C>
double ToDouble(const C* text) {
  const C* p = SkipSpace(text);
  bool negative = false;
  if (*p == C('+') || *p == C('-')) {
    negative = *p == C('-');
    ++p;
  }
  const double sign = negative ? -1.0 : 1.0;
  if (StartsWithNoCase(p, "inf")) {
    return sign * std::numeric_limits<double>::infinity();
  }
  if (StartsWithNoCase(p, "nan")) {
    return sign * std::numeric_limits<double>::quiet_NaN();
  }

  // Find the extent of the number and the power of ten of its first significant digit,
  // which tells an overflow from an underflow when the value is out of range.
  const C* start = p;
  int64_t integerDigits = 0;
  int64_t leadingFractionZeros = 0;
  bool anyDigit = false;
  bool significant = false;
  for (; IsDigit(*p); ++p) {
    anyDigit = true;
    significant = significant || *p != C('0');
    integerDigits += significant ? 1 : 0;
  }
  if (*p == C('.')) {
    for (++p; IsDigit(*p); ++p) {
      anyDigit = true;
      if (!significant && *p == C('0')) {
        ++leadingFractionZeros;
      }
      significant = significant || *p != C('0');
    }
  }
  if (!anyDigit) {
    return 0.0;
  }
  int64_t exponent = 0;
  if (*p == C('e') || *p == C('E')) {
    const C* q = p + 1;
    bool negativeExponent = false;
    if (*q == C('+') || *q == C('-')) {
      negativeExponent = *q == C('-');
      ++q;
    }
    if (IsDigit(*q)) {
      const int64_t magnitude = int64_t(ReadDigits(q, uint64_t(1) << 40));
      exponent = negativeExponent ? -magnitude : magnitude;
      p = q;
    }
  }

  const size_t count = size_t(p - start);
  char local[128];
  std::string spill;
  char* chars = local;
  if (count > sizeof local) {
    spill.resize(count);
    chars = spill.data();
  }
  for (size_t i = 0; i < count; ++i) {
    chars[i] = char(start[i]);
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(chars, chars + count, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    const int64_t power = integerDigits > 0 ? integerDigits + exponent : exponent - leadingFractionZeros;
    value = power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return sign * value;
}

template size_t Find(const char16_t*, size_t, const char16_t*, size_t);
template size_t Find(const char*, size_t, const char*, size_t);
template size_t CopyBounded(char16_t*, size_t, const char16_t*, size_t);
template size_t CopyBounded(char*, size_t, const char*, size_t);
template size_t Span(const char16_t*, const char16_t*);
template size_t Span(const char*, const char*);
template size_t CSpan(const char16_t*, const char16_t*);
template size_t CSpan(const char*, const char*);
template int CompareNoCase(const char16_t*, const char16_t*);
template int CompareNoCase(const char*, const char*);
template int32_t ToInt32(const char16_t*);
template int32_t ToInt32(const char*);
template int64_t ToInt64(const char16_t*);
template int64_t ToInt64(const char*);
template double ToDouble(const char16_t*);
template double ToDouble(const char*);

} // namespace QZ::Chars
