#pragma once
// Character routines over the framework's two units: char16_t (UTF-16) and char
// (UTF-8 bytes). They stand in for the C runtime's string functions so that wide text
// behaves the same on every platform, whatever wchar_t is and whatever the process
// locale says.
//
//   QZ::Chars::LengthBounded(u"abc", 2);          // 2
//   QZ::Chars::CompareNoCase(u"Straße", u"STRASSE"); // non-zero: one-to-one mapping only
//   QZ::Chars::ToInt32(u"  -42abc");                // -42
//
// Case mapping is the simple one-to-one mapping of the Basic Multilingual Plane for
// char16_t (surrogates and unmapped units stay as they are) and ASCII only for char,
// so that a byte of a UTF-8 sequence is never changed. All functions are pure and safe
// from any thread. Pointers must not be null unless a function says otherwise.

#include <cstddef>
#include <cstdint>

namespace QZ::Chars {

inline constexpr size_t kNotFound = static_cast<size_t>(-1);

// Units before the first NUL.
template <class C>
size_t Length(const C* text) {
  const C* end = text;
  while (*end != C(0)) {
    ++end;
  }
  return static_cast<size_t>(end - text);
}

// Units before the first NUL, looking at no more than max units.
template <class C>
size_t LengthBounded(const C* text, size_t max) {
  size_t n = 0;
  while (n < max && text[n] != C(0)) {
    ++n;
  }
  return n;
}

// Copies the units of source before its first NUL, at most count of them and at most
// destUnits - 1, then a NUL. Returns the units copied (without the NUL). destUnits 0
// writes nothing. The ranges may overlap.
template <class C>
size_t CopyBounded(C* dest, size_t destUnits, const C* source, size_t count);

// Index of the first occurrence of needle in text (both given by length), kNotFound
// when absent; an empty needle is found at 0. Reads no unit outside either range.
template <class C>
size_t Find(const C* text, size_t length, const C* needle, size_t needleLength);

// The units of text before the first one that is not in set (wcsspn).
template <class C>
size_t Span(const C* text, const C* set);
// The units of text before the first one that is in set (wcscspn).
template <class C>
size_t CSpan(const C* text, const C* set);
// Whether unit occurs in the NUL-terminated set.
template <class C>
bool Contains(const C* set, C unit) {
  for (; *set != C(0); ++set) {
    if (*set == unit) {
      return true;
    }
  }
  return false;
}

// Simple one-to-one case mapping of one unit.
char16_t ToLower(char16_t unit);
char16_t ToUpper(char16_t unit);
inline char ToLower(char unit) { return unit >= 'A' && unit <= 'Z' ? char(unit + ('a' - 'A')) : unit; }
inline char ToUpper(char unit) { return unit >= 'a' && unit <= 'z' ? char(unit - ('a' - 'A')) : unit; }

// Compares after mapping both texts to lower case, by unsigned unit: < 0, 0 or > 0.
template <class C>
int CompareNoCase(const C* a, const C* b);

// The leading decimal integer of text, as the C runtime's _wtoi / _atoi64 read it: white
// space, an optional sign, ASCII digits; anything else ends the number. No digits give
// 0; a value beyond the range gives the nearest limit.
template <class C>
int32_t ToInt32(const C* text);
template <class C>
int64_t ToInt64(const C* text);

// The leading real number of text, as _wtof reads it but always with '.' as the decimal
// point: white space, an optional sign, digits with an optional fraction and exponent,
// or "inf", "infinity", "nan" in any case. No number gives 0; overflow gives an infinity.
template <class C>
double ToDouble(const C* text);

} // namespace QZ::Chars
