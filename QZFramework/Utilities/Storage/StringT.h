#pragma once
// QZ::StringT<C,O>: the framework's two string types.
//
//   QZ::WString (StringT<char16_t,char>): the program's text, UTF-16.
//   QZ::NString (StringT<char,char16_t>): its twin holding UTF-8, for conversions,
//                                         exception texts and byte storage.
//
//   QZ::WString name(u"Pad 1");
//   QZ::WString copy = name;                       // shares the buffer, no text is copied
//   QZ::WString label = QZ::WString::Format(u"CH: %s", copy);
//   QZ::NString bytes = label.ToUTF8();
//
// A string is a handle on a reference-counted byte buffer (QZ::LIBuffer) whose size, in
// bytes, always includes the terminating NUL unit: wide "abc" occupies 8 bytes, narrow
// "abc" 4. Copies share the buffer; every empty string shares one empty buffer, so
// empty strings never allocate.
//
// Writing in place goes through Lock / Unlock:
//
//   char16_t* units = text.Lock(64);   // private buffer of 64 units, NUL in the last
//   ... write up to 63 units and a NUL ...
//   text.Unlock();                     // trims the buffer to the text; shareable again
//
// While locked the buffer is marked unshareable: a copy taken of the string (or of its
// buffer through a smart pointer) gets its own copy, so nobody sees half-written text.
// Only Lock and Unlock change the state. Writing to a locked string works in its buffer:
// Assign, AssignUTF8, assignment and Insert copy what fits in the locked room (the NUL
// kept), Empty, Trim and ReplaceChars change it in place, += resizes it to the joined text.
//
// Lengths, indices and counts are in units (char16_t or char), as 32-bit numbers.
// Ordering and equality are by unsigned unit. Operations returning int32_t report
// 0 on success and QZ_E_INVALIDARG (QZ_E_INVALIDARG) or QZ_E_FAIL (QZ_E_FAIL) on failure.
// Out of memory throws QZ::Exception<std::bad_alloc>.
//
// Not synchronised: one string belongs to one thread at a time. Copies on different
// threads are safe (the shared buffer's count is atomic), and the shared empty strings
// are made safely on first use from any thread.

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/Format.h"
#include "QZFramework/Utilities/Storage/SharedBuffer.h"
#include "QZFramework/Utilities/Storage/StringFwd.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {

// The unit of the wide string; members only the wide (or only the narrow) string has
// are constrained on it.
template <class C>
concept WideUnit = std::is_same_v<C, char16_t>;

template <class C, class O>
class StringT {
  static_assert((std::is_same_v<C, char16_t> && std::is_same_v<O, char>) ||
                    (std::is_same_v<C, char> && std::is_same_v<O, char16_t>),
                "StringT<char16_t,char> or StringT<char,char16_t>");

public:
  using Unit = C;
  static constexpr bool kIsWide = std::is_same_v<C, char16_t>;
  // The "whole text" limit of Assign and Insert.
  static constexpr uint32_t kWholeText = 0x7FFFFFFE;

  // --- Construction --------------------------------------------------------------

  // The empty string, sharing the empty buffer.
  StringT();
  // One unit; the unit 0 gives an empty string with a buffer of its own.
  explicit StringT(C unit);
  // Assign(text, maxLength): a null or empty text gives the empty string.
  StringT(const C* text, uint32_t maxLength = kWholeText);
  // UTF-8 text converted whole; conversion stops at a malformed sequence, keeping what
  // was converted before it.
  explicit StringT(const char* utf8) requires WideUnit<C>;
  // The other width's text converted whole (UTF-8 <-> UTF-16), keeping the prefix that
  // converts.
  explicit StringT(const StringT<O, C>& other);
  // Narrow text over an existing byte buffer (a variant's string value), without copying
  // when it can: a buffer holding exactly its text and one NUL is shared as it is. A
  // buffer without a NUL, or with bytes after the first NUL, is never written: the
  // string takes a private copy of the text before that NUL. A locked buffer is copied,
  // a null or empty one gives the empty string.
  explicit StringT(const RCPtr<LIBuffer>& bytes) requires(!WideUnit<C>);

  // Shares the buffer of an unlocked string; copies the text of a locked one.
  StringT(const StringT& other);
  // Takes over other's buffer, lock included, and leaves other empty.
  StringT(StringT&& other) noexcept;
  // Virtual: classes that wrap a string derive from it (the stringable wrapper).
  virtual ~StringT();

  // Shares other's buffer when neither string is locked; otherwise Assign(other's text).
  StringT& operator=(const StringT& other);
  // Into an unlocked string: takes over other's buffer, lock included, leaving other
  // empty. Into a locked one: Assign(other's text).
  StringT& operator=(StringT&& other);

  // The shared empty string of this type, made on first use; its buffer lives as long
  // as any string shares it.
  static const StringT& GetEmpty();

  // --- Reading -------------------------------------------------------------------

  // Unlocked: from the buffer size, without scanning. Locked: the units before the first NUL.
  uint32_t GetLength() const {
    const uint32_t units = mBuffer->GetSize() / sizeof(C);
    return mBuffer->IsShareable() ? units - 1 : uint32_t(Chars::LengthBounded(GetBuffer(), units));
  }
  bool IsEmpty() const { return GetBuffer()[0] == C(0); }
  // The NUL-terminated text; valid until the string is next changed or destroyed.
  const C* GetBuffer() const { return reinterpret_cast<const C*>(std::as_const(*mBuffer).GetData()); }
  std::basic_string_view<C> View() const { return {GetBuffer(), GetLength()}; }
  bool IsLocked() const { return !mBuffer->IsShareable(); }
  // The buffer itself, for holders that share the bytes (a variant's string value).
  // Taking a locked buffer into another smart pointer gives that pointer a copy.
  const RCPtr<LIBuffer>& GetSharedBuffer() const { return mBuffer; }

  // --- Writing -------------------------------------------------------------------

  // The text up to its first NUL, at most maxLength units. Unlocked: a new buffer (the
  // empty buffer for no text). Locked: copied into the locked buffer, cut to its room.
  void Assign(const C* text, uint32_t maxLength = kWholeText);
  // UTF-8 text of at most maxLength bytes, converted; stops at a malformed or cut-off
  // sequence, keeping what converted before it.
  void AssignUTF8(const char* text, uint32_t maxLength = kWholeText) requires WideUnit<C>;
  // No text; a locked string stays locked with NUL in its first unit.
  void Empty();

  // Locks the buffer for writing and returns its first unit: a private buffer of
  // `units` units (0: length + 1) keeping the text that fits, NUL in the last unit
  // and after the old text. Returns null, changing nothing, when already locked.
  C* Lock(uint32_t units = 0);
  // Ends writing: the text is what precedes the first NUL; the buffer is trimmed to it
  // (or replaced by the empty buffer) and shareable again. 0, or 1 when not locked.
  int32_t Unlock();

  // Appends; on a locked string the buffer is resized to the joined text, so write
  // through a pointer from Lock only after the last such call.
  StringT& operator+=(const StringT& other);
  StringT& AppendChar(C unit);
  StringT& operator+=(C unit) { return AppendChar(unit); }
  // Appends one UTF-8 byte: only a complete character (below 0x80) appends anything.
  template <class Byte>
  requires(std::is_same_v<Byte, char>&& WideUnit<C>) StringT& operator+=(Byte byte) {
    return IsAsciiCharacter(byte) ? AppendChar(C(byte)) : *this;
  }

  // Inserts text before unit index (index == length appends). QZ_E_INVALIDARG and no change
  // when index > length.
  int32_t Insert(uint32_t index, const StringT& text);
  // The text up to its first NUL, at most maxLength units.
  int32_t Insert(uint32_t index, const C* text, uint32_t maxLength);
  // UTF-8 text of at most maxLength bytes, converted as AssignUTF8 does.
  int32_t InsertUTF8(uint32_t index, const char* text, uint32_t maxLength) requires WideUnit<C>;

  // Replaces every unit found in set by replacement; a replacement of 0 changes nothing.
  StringT& ReplaceChars(const C* set, C replacement);
  // Removes leading and trailing blanks, tabs, carriage returns and line feeds.
  StringT& Trim();

  // --- Pieces and search ---------------------------------------------------------

  // count units from start. A negative start counts from the end; a window reaching
  // before the first unit keeps its part inside the string, so one lying wholly before it
  // gives the empty string (deliberately: shortening the count by the overhang would
  // make it negative, which read unsigned would take the whole string). Clamped to the
  // string; a start at or past the end or a count of 0 gives the empty string.
  StringT Mid(int32_t start, uint32_t count) const;
  // From start to the end.
  StringT Mid(int32_t start) const { return Mid(start, UINT32_MAX); }
  StringT Left(uint32_t count) const { return Mid(0, count); }
  // The last count units (the whole string when count >= length).
  StringT Right(uint32_t count) const;

  // Index of the first occurrence of text, -1 when absent; an empty text is found at 0.
  int32_t Find(const StringT& text) const;
  // Index of the last occurrence of unit, -1 when absent.
  int32_t ReverseFind(C unit) const;
  // The same for an ASCII character; a byte from 0x80 on is no character: -1.
  template <class Byte>
  requires(std::is_same_v<Byte, char>&& WideUnit<C>) int32_t ReverseFind(Byte c)
  const { return IsAsciiCharacter(c) ? ReverseFind(C(c)) : -1; }

  // --- Comparison ----------------------------------------------------------------

  // Unit-by-unit equality with a C text; a null or empty text equals the empty string.
  bool operator==(const C* text) const;
  // Equal texts; strings sharing one buffer are equal without comparing.
  bool IsEqual(const StringT& other) const;
  bool operator==(const StringT& other) const { return IsEqual(other); }
  // Lexicographic by unsigned unit.
  std::strong_ordering operator<=>(const StringT& other) const;
  // Compares after simple lower-case mapping (ASCII only for the narrow string):
  // < 0, 0 or > 0.
  int CompareNoCase(const StringT& other) const;

  // --- Case ----------------------------------------------------------------------

  // Copies with every unit mapped: simple one-to-one mapping of the Basic Multilingual
  // Plane for the wide string, ASCII letters only for the narrow one (so UTF-8 stays valid).
  StringT ToLower() const;
  StringT ToUpper() const;

  // --- Conversion ----------------------------------------------------------------

  // The text as UTF-8; an unpaired surrogate becomes its own 3-byte sequence, a high
  // surrogate in the last unit is left out.
  StringT<O, C> ToUTF8() const requires WideUnit<C>;
  // Makes out a new buffer holding the UTF-8 form of count units of text (count < 0:
  // up to the first NUL; in any case no further than a NUL) and a NUL; no text gives
  // the empty buffer. 0, or QZ_E_FAIL when the conversion stopped early (a high
  // surrogate as the last unit), out then holding what converted before.
  static int32_t AssignFromWide(RCPtr<LIBuffer>& out, const char16_t* text, int32_t count) requires(!WideUnit<C>);
  // The same from UTF-8 to UTF-16; stops with QZ_E_FAIL at a malformed or cut-off
  // sequence.
  static int32_t AssignFromNarrow(RCPtr<LIBuffer>& out, const char* text, int32_t count) requires WideUnit<C>;

  // --- Formatting ----------------------------------------------------------------

  // printf-style formatting with typed arguments (see Format.h for the dialect). Throws
  // QZ::Exception<std::invalid_argument> naming the conversion for a missing or
  // mismatched argument or a bad conversion.
  template <class... Args>
  static StringT Format(const C* format, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
    return FormatList(format, list);
  }
  // The decimal value with `decimals` implied decimals: (123, 2) gives "1.23", (5, 2)
  // ".05", (-5, 2) "-.05"; decimals < 1 give the plain number.
  static StringT FromInt(int32_t value, int32_t decimals = 0);
  static StringT FromUInt(uint32_t value, int32_t decimals = 0);
  // Fixed notation with `decimals` decimals, or six when decimals < 0.
  static StringT FromDouble(double value, int32_t decimals);

private:
  template <class, class>
  friend class StringT;

  static bool IsAsciiCharacter(char c) { return c > 0 && static_cast<unsigned char>(c) < 0x80; }

  struct AdoptBuffer {};
  StringT(AdoptBuffer, RCPtr<LIBuffer> buffer) : mBuffer(std::move(buffer)) {}

  static StringT FormatList(const C* format, std::span<const FormatArg> args);
  // A new buffer holding n units of text (which may hold NULs) and a NUL; the empty
  // buffer for n = 0.
  static RCPtr<LIBuffer> MakeBuffer(const C* text, size_t n);
  static StringT FromUnits(const C* text, size_t n) { return StringT(AdoptBuffer{}, MakeBuffer(text, n)); }
  static const RCPtr<LIBuffer>& EmptyBuffer() { return GetEmpty().mBuffer; }

  RCPtr<LIBuffer> mBuffer;
};

template <class C, class O>
StringT<C, O> operator+(const StringT<C, O>& left, const StringT<C, O>& right);

extern template class StringT<char16_t, char>;
extern template class StringT<char, char16_t>;
extern template WString operator+(const WString&, const WString&);
extern template NString operator+(const NString&, const NString&);

// The text form of a string held as a stringable object: the string itself.
WString StringToString(const WString& text);

} // namespace QZ

template <class C, class O>
struct std::hash<QZ::StringT<C, O>> {
  size_t operator()(const QZ::StringT<C, O>& text) const noexcept {
    return std::hash<std::basic_string_view<C>>()(text.View());
  }
};
