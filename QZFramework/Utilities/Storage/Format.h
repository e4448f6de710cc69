#pragma once
// Type-safe printf-style formatting behind StringT<C,O>::Format.
//
//   QZ::WString::Format(u"%I32d (0x%02X)", int32_t(-1), int32_t(-1));  // "-1 (0xFFFFFFFF)"
//   QZ::WString::Format(u"CH: %s", channelName);                        // a WString or const char16_t*
//   QZ::NString::Format("%S -> %s", wideText, narrowText);             // %S: the other width
//
// The format strings follow the printf dialect the framework's texts were written for:
//   conversions  %d %i %u %x %X %o %c %C %s %S %f %F %e %E %g %G %p %%
//   flags        - + blank # 0;  width and precision as digits or '*' (an integer argument)
//   sizes        I32, h, l: 32-bit slot (h shows 16 bits); I64, ll: 64-bit slot.
//                For strings and characters: h = narrow, l = wide.
// Arguments carry their own types, so nothing is read with the wrong width:
// - An integer conversion takes any integer, character or enum argument whose value fits
//   its slot as either a signed or an unsigned number, and shows it at the conversion's
//   width as printf would: %X of int32_t(-1) is FFFFFFFF, %I64X of it FFFFFFFFFFFFFFFF.
// - %s takes text of the format's own width (char16_t text in a wide format), %S, %hs and
//   %ls select the width explicitly: const char16_t*, WString, std::u16string(_view) are
//   wide; const char*, NString, std::string(_view) narrow (UTF-8). Text of the other width
//   is converted (UTF-8 <-> UTF-16, leniently, keeping what converts). A null pointer
//   shows "(null)". Precision counts output units and never splits a character.
// - %c writes one character: a char16_t unit, an ASCII char, or an integer code point.
// - %f %e %g take float or double; the decimal point is always '.', whatever the locale.
// - %p takes any pointer and shows it as 16 upper-case hexadecimal digits.
// There is no length limit. Arguments beyond those the format uses are ignored (a
// translated text may leave one out). A missing argument, an argument of the wrong kind
// or out of its slot's range, %n, and an unknown or unfinished conversion throw
// QZ::Exception<std::invalid_argument> naming the conversion.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "QZFramework/ObjectBase/Exception.h"
#include "QZFramework/Utilities/Storage/StringFwd.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {

// One argument of a format call, reduced to what a conversion needs. Text arguments
// refer to the caller's characters, which must outlive the call.
class FormatArg {
public:
  enum class Kind : uint8_t { Integer, Real, Pointer, NarrowText, WideText };
  // Which character type an integer came from: %c treats a char as a UTF-8 byte.
  enum class Unit : uint8_t { None, Narrow, Wide };

  template <class T>
  requires std::is_integral_v<T> FormatArg(T value) : mKind(Kind::Integer), mSigned(std::is_signed_v<T>) {
    if constexpr (std::is_same_v<T, char>) {
      mUnit = Unit::Narrow;
    } else if constexpr (std::is_same_v<T, char16_t>) {
      mUnit = Unit::Wide;
    }
    if constexpr (std::is_signed_v<T>) {
      mSignedValue = value;
    } else {
      mUnsignedValue = value;
    }
  }
  template <class T>
  requires std::is_enum_v<T> FormatArg(T value) : FormatArg(static_cast<std::underlying_type_t<T>>(value)) {}

  FormatArg(double value) : mKind(Kind::Real), mReal(value) {}

  template <class T>
  requires(!std::is_same_v<std::remove_cv_t<T>, char> && !std::is_same_v<std::remove_cv_t<T>, char16_t>)
      FormatArg(T* pointer)
      : mKind(Kind::Pointer), mPointer(pointer) {}
  FormatArg(std::nullptr_t) : mKind(Kind::Pointer) {}

  FormatArg(const char16_t* text) : mKind(Kind::WideText), mPointer(text), mLength(text ? Chars::Length(text) : 0) {}
  FormatArg(const char* text) : mKind(Kind::NarrowText), mPointer(text), mLength(text ? Chars::Length(text) : 0) {}
  FormatArg(std::u16string_view text) : mKind(Kind::WideText), mPointer(text.data()), mLength(text.size()) {}
  FormatArg(std::string_view text) : mKind(Kind::NarrowText), mPointer(text.data()), mLength(text.size()) {}
  FormatArg(const std::u16string& text) : FormatArg(std::u16string_view(text)) {}
  FormatArg(const std::string& text) : FormatArg(std::string_view(text)) {}
  template <class O>
  FormatArg(const StringT<char16_t, O>& text)
      : mKind(Kind::WideText), mPointer(text.GetBuffer()), mLength(text.GetLength()) {}
  template <class O>
  FormatArg(const StringT<char, O>& text)
      : mKind(Kind::NarrowText), mPointer(text.GetBuffer()), mLength(text.GetLength()) {}

  Kind GetKind() const { return mKind; }
  Unit GetUnit() const { return mUnit; }
  bool IsSigned() const { return mSigned; }
  int64_t GetSigned() const { return mSignedValue; }
  uint64_t GetUnsigned() const { return mUnsignedValue; }
  double GetReal() const { return mReal; }
  const void* GetPointer() const { return mPointer; }
  size_t GetLength() const { return mLength; }

private:
  Kind mKind;
  Unit mUnit = Unit::None;
  bool mSigned = false;
  union {
    int64_t mSignedValue;
    uint64_t mUnsignedValue;
    double mReal;
    const void* mPointer = nullptr;
  };
  size_t mLength = 0;
};

// Growing output of a format call; the first units live inside the object, so short
// results need no allocation of their own. Throws Exception<std::bad_alloc> beyond what a
// string buffer can hold (0x7FFFFFFE bytes).
template <class C>
class FormatOutput {
public:
  FormatOutput() = default;
  FormatOutput(const FormatOutput&) = delete;
  FormatOutput& operator=(const FormatOutput&) = delete;

  const C* Data() const { return mData; }
  size_t Size() const { return mSize; }

  void Append(C unit) {
    if (mSize == mCapacity) {
      Grow(1);
    }
    mData[mSize++] = unit;
  }
  void Append(const C* units, size_t count);
  void AppendFill(C unit, size_t count);
  // Room for count more units at the end; Commit tells how many were written there.
  C* Reserve(size_t count);
  void Commit(size_t count) { mSize += count; }
  // Drops the units from size on (size <= Size()).
  void Truncate(size_t size) { mSize = size; }
  // Inserts count copies of unit at position (<= Size()).
  void InsertFill(size_t position, C unit, size_t count);

private:
  void Grow(size_t extra);

  static constexpr size_t kInlineUnits = 256;
  C mInline[kInlineUnits];
  std::unique_ptr<C[]> mHeap;
  C* mData = mInline;
  size_t mSize = 0;
  size_t mCapacity = kInlineUnits;
};

// Appends the formatted text to out. site names the formatting method in the texts of
// the invalid_argument exceptions described above.
template <class C>
void FormatText(FormatOutput<C>& out, const C* format, std::span<const FormatArg> args, const SourceSite& site);

extern template class FormatOutput<char16_t>;
extern template class FormatOutput<char>;
extern template void FormatText(FormatOutput<char16_t>&, const char16_t*, std::span<const FormatArg>,
                                const SourceSite&);
extern template void FormatText(FormatOutput<char>&, const char*, std::span<const FormatArg>, const SourceSite&);

} // namespace QZ
