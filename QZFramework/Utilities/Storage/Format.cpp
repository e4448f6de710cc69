#include "QZFramework/Utilities/Storage/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "QZFramework/Utilities/Storage/UnicodeConvert.h"

namespace QZ {

template <class C>
void FormatOutput<C>::Append(const C* units, size_t count) {
  if (count > mCapacity - mSize) {
    Grow(count);
  }
  std::memcpy(mData + mSize, units, count * sizeof(C));
  mSize += count;
}

template <class C>
void FormatOutput<C>::AppendFill(C unit, size_t count) {
  if (count > mCapacity - mSize) {
    Grow(count);
  }
  std::fill_n(mData + mSize, count, unit);
  mSize += count;
}

template <class C>
void FormatOutput<C>::InsertFill(size_t position, C unit, size_t count) {
  if (count > mCapacity - mSize) {
    Grow(count);
  }
  std::memmove(mData + position + count, mData + position, (mSize - position) * sizeof(C));
  std::fill_n(mData + position, count, unit);
  mSize += count;
}

template <class C>
C* FormatOutput<C>::Reserve(size_t count) {
  if (count > mCapacity - mSize) {
    Grow(count);
  }
  return mData + mSize;
}

template <class C>
void FormatOutput<C>::Grow(size_t extra) {
  // The text and its terminator must fit a string buffer, whose size is counted in bytes.
  constexpr size_t kMaxUnits = 0x7FFFFFFE / sizeof(C) - 1;
  if (extra > kMaxUnits - mSize) {
    ThrowBadAlloc();
  }
  const size_t capacity = std::min(kMaxUnits, std::max(mSize + extra, mCapacity * 2));
  auto heap = std::make_unique_for_overwrite<C[]>(capacity);
  std::memcpy(heap.get(), mData, mSize * sizeof(C));
  mHeap = std::move(heap);
  mData = mHeap.get();
  mCapacity = capacity;
}

namespace {

enum class SlotSize { Default, Short, Long, Bits32, Bits64 };

struct Spec {
  bool left = false;
  bool plus = false;
  bool blank = false;
  bool alternate = false;
  bool zero = false;
  size_t width = 0;
  int precision = -1; // none
  SlotSize size = SlotSize::Default;
  char conversion = 0;
};

// Double values have at most 767 significant decimal digits and 1074 decimals; digits
// asked for beyond these are zeros, appended without asking the converter.
constexpr int kMaxExactDecimals = 1100;
constexpr int kMaxExactSignificant = 800;

// A formatted real without its sign: head, then `zeros` zero digits, then tail (the
// exponent part of the scientific form).
struct RealText {
  char head[kMaxExactDecimals + 400];
  size_t headLength = 0;
  size_t zeros = 0;
  char tail[8];
  size_t tailLength = 0;
};

void Fixed(RealText& text, double magnitude, int precision) {
  const int exact = std::min(precision, kMaxExactDecimals);
  const auto result =
      std::to_chars(text.head, text.head + sizeof text.head, magnitude, std::chars_format::fixed, exact);
  text.headLength = size_t(result.ptr - text.head);
  text.zeros = size_t(precision - exact);
  text.tailLength = 0;
}

void Scientific(RealText& text, double magnitude, int precision) {
  const int exact = std::min(precision, kMaxExactSignificant);
  const auto result =
      std::to_chars(text.head, text.head + sizeof text.head, magnitude, std::chars_format::scientific, exact);
  const char* e = std::find(text.head, result.ptr, 'e');
  text.headLength = size_t(e - text.head);
  text.tailLength = size_t(result.ptr - e);
  std::memcpy(text.tail, e, text.tailLength);
  text.zeros = size_t(precision - exact);
}

// Power of ten of the first digit of magnitude once rounded to `significant` digits.
int DecimalExponent(double magnitude, int significant) {
  if (magnitude == 0) {
    return 0;
  }
  RealText text;
  Scientific(text, magnitude, std::min(significant - 1, kMaxExactSignificant));
  int exponent = 0;
  std::from_chars(text.tail + 1 + (text.tail[1] == '+'), text.tail + text.tailLength, exponent);
  return exponent;
}

void StripTrailingZeros(RealText& text) {
  text.zeros = 0;
  if (std::find(text.head, text.head + text.headLength, '.') == text.head + text.headLength) {
    return;
  }
  while (text.head[text.headLength - 1] == '0') {
    --text.headLength;
  }
  if (text.head[text.headLength - 1] == '.') {
    --text.headLength;
  }
}

void FormatFinite(RealText& text, double magnitude, const Spec& spec) {
  const int precision = spec.precision < 0 ? 6 : spec.precision;
  const char conversion = char(spec.conversion | 0x20);
  if (conversion == 'f') {
    Fixed(text, magnitude, precision);
  } else if (conversion == 'e') {
    Scientific(text, magnitude, precision);
  } else {
    const int significant = precision == 0 ? 1 : precision;
    const int exponent = DecimalExponent(magnitude, significant);
    if (significant > exponent && exponent >= -4) {
      Fixed(text, magnitude, int(std::min<int64_t>(int64_t(significant) - 1 - exponent, INT32_MAX)));
    } else {
      Scientific(text, magnitude, significant - 1);
    }
    if (!spec.alternate) {
      StripTrailingZeros(text);
    }
  }
  const bool hasPoint = std::find(text.head, text.head + text.headLength, '.') != text.head + text.headLength;
  if (spec.alternate && !hasPoint) {
    text.head[text.headLength++] = '.';
  }
  if (spec.conversion == 'E' || spec.conversion == 'G') {
    std::transform(text.tail, text.tail + text.tailLength, text.tail, [](char c) { return c == 'e' ? 'E' : c; });
  }
}

template <class C>
bool IsAscii(C unit) {
  return static_cast<std::make_unsigned_t<C>>(unit) < 0x80;
}

template <class C>
class Formatter {
public:
  Formatter(FormatOutput<C>& out, std::span<const FormatArg> args, const SourceSite& site)
      : mOut(out), mArgs(args), mSite(site) {}

  void Run(const C* format) {
    const C* p = format;
    while (*p != C(0)) {
      const C* run = p;
      while (*p != C(0) && *p != C('%')) {
        ++p;
      }
      mOut.Append(run, size_t(p - run));
      if (*p == C(0)) {
        break;
      }
      mSpecStart = p++;
      if (*p == C('%')) {
        mOut.Append(C('%'));
        ++p;
        continue;
      }
      Spec spec;
      p = ParseSpec(p, spec);
      mSpecEnd = p;
      Convert(spec);
    }
  }

private:
  const C* ParseSpec(const C* p, Spec& spec) {
    for (;; ++p) {
      if (*p == C('-')) {
        spec.left = true;
      } else if (*p == C('+')) {
        spec.plus = true;
      } else if (*p == C(' ')) {
        spec.blank = true;
      } else if (*p == C('#')) {
        spec.alternate = true;
      } else if (*p == C('0')) {
        spec.zero = true;
      } else {
        break;
      }
    }
    if (*p == C('*')) {
      mSpecEnd = ++p;
      const int32_t width = TakeCount();
      spec.left = spec.left || width < 0;
      spec.width = width < 0 ? size_t(-int64_t(width)) : size_t(width);
    } else {
      spec.width = ReadNumber(p);
    }
    if (*p == C('.')) {
      ++p;
      if (*p == C('*')) {
        mSpecEnd = ++p;
        const int32_t precision = TakeCount();
        spec.precision = precision < 0 ? -1 : precision;
      } else {
        spec.precision = int(std::min<size_t>(ReadNumber(p), INT32_MAX));
      }
    }
    if (p[0] == C('I') && p[1] == C('3') && p[2] == C('2')) {
      spec.size = SlotSize::Bits32;
      p += 3;
    } else if (p[0] == C('I') && p[1] == C('6') && p[2] == C('4')) {
      spec.size = SlotSize::Bits64;
      p += 3;
    } else if (p[0] == C('l') && p[1] == C('l')) {
      spec.size = SlotSize::Bits64;
      p += 2;
    } else if (p[0] == C('l')) {
      spec.size = SlotSize::Long;
      ++p;
    } else if (p[0] == C('h')) {
      spec.size = SlotSize::Short;
      ++p;
    }
    if (*p == C(0)) {
      mSpecEnd = p;
      Fail("Incomplete conversion ");
    }
    spec.conversion = IsAscii(*p) ? char(*p) : '?';
    return p + 1;
  }

  // Digits saturate: a width beyond any string's size fails when the output grows.
  static size_t ReadNumber(const C*& p) {
    size_t value = 0;
    for (; *p >= C('0') && *p <= C('9'); ++p) {
      value = std::min<size_t>(value * 10 + size_t(*p - C('0')), UINT32_MAX);
    }
    return value;
  }

  void Convert(const Spec& spec) {
    switch (spec.conversion) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o':
      return Integer(spec);
    case 'c':
    case 'C':
      return Character(spec);
    case 's':
    case 'S':
      return Text(spec);
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
      return Real(spec);
    case 'p':
      return Pointer(spec);
    case 'n':
      Fail("Writing through %n is not supported: ");
    default:
      Fail("Unknown conversion ");
    }
  }

  const FormatArg& Take() {
    if (mNext >= mArgs.size()) {
      Fail("Missing argument " + std::to_string(mNext + 1) + " for ");
    }
    return mArgs[mNext++];
  }

  // A width or precision given as '*'.
  int32_t TakeCount() {
    const FormatArg& arg = Take();
    if (arg.GetKind() == FormatArg::Kind::Integer) {
      if (arg.IsSigned() && arg.GetSigned() >= INT32_MIN && arg.GetSigned() <= INT32_MAX) {
        return int32_t(arg.GetSigned());
      }
      if (!arg.IsSigned() && arg.GetUnsigned() <= INT32_MAX) {
        return int32_t(arg.GetUnsigned());
      }
    }
    Mismatch(arg);
  }

  [[noreturn]] void Mismatch(const FormatArg& arg) {
    static constexpr const char* kKinds[] = {"an integer", "a real number", "a pointer", "narrow text", "wide text"};
    Fail("Argument " + std::to_string(mNext) + " (" + kKinds[int(arg.GetKind())] + ") does not fit ");
  }

  // The message names the conversion as written in the format.
  [[noreturn]] void Fail(std::string message) {
    for (const C* p = mSpecStart; p < mSpecEnd; ++p) {
      message += IsAscii(*p) ? char(*p) : '?';
    }
    Throw<std::invalid_argument>(mSite, message);
  }

  void Integer(const Spec& spec) {
    const FormatArg& arg = Take();
    if (arg.GetKind() != FormatArg::Kind::Integer) {
      Mismatch(arg);
    }
    const bool wide = spec.size == SlotSize::Bits64;
    // The value must fit the slot as a signed or an unsigned number.
    if (!wide && (arg.IsSigned() ? arg.GetSigned() < INT32_MIN || arg.GetSigned() > int64_t(UINT32_MAX)
                                 : arg.GetUnsigned() > UINT32_MAX)) {
      Fail("Argument " + std::to_string(mNext) + " is out of range for ");
    }
    const unsigned bits = wide ? 64 : spec.size == SlotSize::Short ? 16 : 32;
    uint64_t pattern = arg.IsSigned() ? uint64_t(arg.GetSigned()) : arg.GetUnsigned();
    if (bits < 64) {
      pattern &= (uint64_t(1) << bits) - 1;
    }
    bool negative = false;
    uint64_t magnitude = pattern;
    if (spec.conversion == 'd' || spec.conversion == 'i') {
      const uint64_t signBit = uint64_t(1) << (bits - 1);
      if (pattern & signBit) {
        negative = true;
        magnitude = (~pattern + 1) & (bits < 64 ? (uint64_t(1) << bits) - 1 : ~uint64_t(0));
      }
    }

    char digits[24];
    const int base = spec.conversion == 'x' || spec.conversion == 'X' ? 16 : spec.conversion == 'o' ? 8 : 10;
    size_t count = 0;
    if (magnitude != 0 || spec.precision != 0) {
      count = size_t(std::to_chars(digits, digits + sizeof digits, magnitude, base).ptr - digits);
      if (spec.conversion == 'X') {
        std::transform(digits, digits + count, digits, [](char c) { return c >= 'a' ? char(c - 0x20) : c; });
      }
    }
    size_t precision = spec.precision < 0 ? 0 : size_t(spec.precision);
    if (spec.alternate && spec.conversion == 'o' && (count == 0 || digits[0] != '0')) {
      precision = std::max(precision, count + 1);
    }

    char prefix[2];
    size_t prefixLength = 0;
    if (negative) {
      prefix[prefixLength++] = '-';
    } else if (base == 10 && spec.conversion != 'u' && (spec.plus || spec.blank)) {
      prefix[prefixLength++] = spec.plus ? '+' : ' ';
    } else if (base == 16 && spec.alternate && magnitude != 0) {
      prefix[prefixLength++] = '0';
      prefix[prefixLength++] = spec.conversion;
    }
    size_t leadingZeros = precision > count ? precision - count : 0;
    const size_t body = prefixLength + leadingZeros + count;
    if (spec.zero && !spec.left && spec.precision < 0 && spec.width > body) {
      leadingZeros += spec.width - body;
    }
    Emit(spec, prefix, prefixLength, leadingZeros, digits, count);
  }

  // Writes [prefix][zeros][digits] padded to the width with blanks.
  void Emit(const Spec& spec, const char* prefix, size_t prefixLength, size_t zeros, const char* digits, size_t count,
            const char* tail = nullptr, size_t tailLength = 0, size_t innerZeros = 0) {
    const size_t length = prefixLength + zeros + count + innerZeros + tailLength;
    const size_t padding = spec.width > length ? spec.width - length : 0;
    if (!spec.left) {
      mOut.AppendFill(C(' '), padding);
    }
    AppendAscii(prefix, prefixLength);
    mOut.AppendFill(C('0'), zeros);
    AppendAscii(digits, count);
    mOut.AppendFill(C('0'), innerZeros);
    AppendAscii(tail, tailLength);
    if (spec.left) {
      mOut.AppendFill(C(' '), padding);
    }
  }

  void AppendAscii(const char* text, size_t count) {
    C* to = mOut.Reserve(count);
    for (size_t i = 0; i < count; ++i) {
      to[i] = C(text[i]);
    }
    mOut.Commit(count);
  }

  void Real(const Spec& spec) {
    const FormatArg& arg = Take();
    if (arg.GetKind() != FormatArg::Kind::Real) {
      Mismatch(arg);
    }
    const double value = arg.GetReal();
    const bool upper = spec.conversion == 'F' || spec.conversion == 'E' || spec.conversion == 'G';
    char sign[1];
    const size_t signLength = std::signbit(value) || spec.plus || spec.blank ? 1 : 0;
    sign[0] = std::signbit(value) ? '-' : spec.plus ? '+' : ' ';
    if (!std::isfinite(value)) {
      const char* word = std::isnan(value) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
      Emit(spec, sign, signLength, 0, word, 3);
      return;
    }
    RealText text;
    FormatFinite(text, std::fabs(value), spec);
    const size_t length = signLength + text.headLength + text.zeros + text.tailLength;
    const size_t padZeros = spec.zero && !spec.left && spec.width > length ? spec.width - length : 0;
    Emit(spec, sign, signLength, padZeros, text.head, text.headLength, text.tail, text.tailLength, text.zeros);
  }

  void Pointer(const Spec& spec) {
    const FormatArg& arg = Take();
    if (arg.GetKind() == FormatArg::Kind::Integer || arg.GetKind() == FormatArg::Kind::Real) {
      Mismatch(arg);
    }
    char digits[2 * sizeof(void*)];
    uintptr_t value = reinterpret_cast<uintptr_t>(arg.GetPointer());
    for (size_t i = sizeof digits; i > 0; --i, value >>= 4) {
      digits[i - 1] = "0123456789ABCDEF"[value & 0xF];
    }
    Emit(spec, nullptr, 0, 0, digits, sizeof digits);
  }

  void Character(const Spec& spec) {
    const FormatArg& arg = Take();
    if (arg.GetKind() != FormatArg::Kind::Integer) {
      Mismatch(arg);
    }
    // A char is a UTF-8 byte: alone it is a character only below 0x80, except in narrow
    // output, which takes it as it is.
    char32_t code = 0;
    if (arg.GetUnit() == FormatArg::Unit::Narrow) {
      code = static_cast<unsigned char>(arg.GetSigned());
      if constexpr (sizeof(C) == 1) {
        const char byte = char(code);
        Emit(spec, nullptr, 0, 0, &byte, 1);
        return;
      }
      if (code >= 0x80) {
        Mismatch(arg);
      }
    } else if (arg.IsSigned() ? arg.GetSigned() < 0 || arg.GetSigned() > 0x10FFFF : arg.GetUnsigned() > 0x10FFFF) {
      Fail("Argument " + std::to_string(mNext) + " is out of range for ");
    } else {
      code = char32_t(arg.IsSigned() ? uint64_t(arg.GetSigned()) : arg.GetUnsigned());
    }
    char16_t units[2];
    size_t count = 1;
    units[0] = char16_t(code);
    if (code > 0xFFFF) {
      units[0] = char16_t(0xD800 + ((code - 0x10000) >> 10));
      units[1] = char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
      count = 2;
    }
    EmitText(spec, units, count, -1);
  }

  void Text(const Spec& spec) {
    const FormatArg& arg = Take();
    bool wideText = (spec.conversion == 's') == (sizeof(C) == 2);
    if (spec.size == SlotSize::Short) {
      wideText = false;
    } else if (spec.size == SlotSize::Long) {
      wideText = true;
    }
    if (arg.GetKind() == FormatArg::Kind::Pointer && arg.GetPointer() == nullptr) {
      return EmitText(spec, "(null)", 6, spec.precision);
    }
    if (arg.GetKind() != (wideText ? FormatArg::Kind::WideText : FormatArg::Kind::NarrowText)) {
      Mismatch(arg);
    }
    if (arg.GetPointer() == nullptr) {
      return EmitText(spec, "(null)", 6, spec.precision);
    }
    if (wideText) {
      EmitText(spec, static_cast<const char16_t*>(arg.GetPointer()), arg.GetLength(), spec.precision);
    } else {
      EmitText(spec, static_cast<const char*>(arg.GetPointer()), arg.GetLength(), spec.precision);
    }
  }

  // Writes text (either width) converted to C, cut to precision units on a character
  // boundary and padded to the width.
  template <class T>
  void EmitText(const Spec& spec, const T* text, size_t length, int precision) {
    const size_t start = mOut.Size();
    size_t written = 0;
    if constexpr (sizeof(T) == sizeof(C)) {
      mOut.Append(reinterpret_cast<const C*>(text), length);
      written = length;
    } else {
      // UTF-8 needs at most one unit per byte, UTF-16 at most three bytes per unit.
      const size_t room = sizeof(C) == 2 ? length : 3 * length;
      C* target = mOut.Reserve(room);
      C* end = target;
      const T* source = text;
      if constexpr (sizeof(C) == 2) {
        // Lenient into room for the worst case: cannot fail.
        (void)ConvertUTF8toUTF16(&source, text + length, &end, target + room, ConversionFlags::Lenient);
      } else {
        // Lenient into room for the worst case: cannot fail.
        (void)ConvertUTF16toUTF8(&source, text + length, &end, target + room, ConversionFlags::Lenient);
      }
      written = size_t(end - target);
      mOut.Commit(written);
    }
    if (precision >= 0 && written > size_t(precision)) {
      const C* units = mOut.Data() + start;
      size_t keep = size_t(precision);
      if constexpr (sizeof(C) == 2) {
        if (keep > 0 && units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF && units[keep] >= 0xDC00 &&
            units[keep] <= 0xDFFF) {
          --keep;
        }
      } else {
        while (keep > 0 && (static_cast<unsigned char>(units[keep]) & 0xC0) == 0x80) {
          --keep;
        }
      }
      mOut.Truncate(start + keep);
      written = keep;
    }
    if (spec.width > written) {
      const size_t padding = spec.width - written;
      if (spec.left) {
        mOut.AppendFill(C(' '), padding);
      } else {
        mOut.InsertFill(start, C(' '), padding);
      }
    }
  }

  FormatOutput<C>& mOut;
  std::span<const FormatArg> mArgs;
  const SourceSite& mSite;
  size_t mNext = 0;
  const C* mSpecStart = nullptr;
  const C* mSpecEnd = nullptr;
};

} // namespace

template <class C>
void FormatText(FormatOutput<C>& out, const C* format, std::span<const FormatArg> args, const SourceSite& site) {
  Formatter<C>(out, args, site).Run(format);
}

template class FormatOutput<char16_t>;
template class FormatOutput<char>;
template void FormatText(FormatOutput<char16_t>&, const char16_t*, std::span<const FormatArg>, const SourceSite&);
template void FormatText(FormatOutput<char>&, const char*, std::span<const FormatArg>, const SourceSite&);

} // namespace QZ
