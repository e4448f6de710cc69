#include "QZFramework/Utilities/Storage/StringT.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>
#include <typeinfo>

#include "QZFramework/ObjectBase/TypeName.h"
#include "QZFramework/Utilities/Storage/UnicodeConvert.h"

QZ_REGISTER_TYPE_NAME(QZ::WString, "class QZ::StringT<wchar_t,char>");
QZ_REGISTER_TYPE_NAME(QZ::NString, "class QZ::StringT<char,wchar_t>");

namespace QZ {
namespace {

// Bytes of a buffer holding units units of C; a size beyond a buffer's reach is out of memory.
template <class C>
uint32_t BytesFor(uint64_t units) {
  const uint64_t bytes = units * sizeof(C);
  if (bytes > UINT32_MAX) {
    ThrowBadAlloc();
  }
  return uint32_t(bytes);
}

template <class C>
C* Units(const RCPtr<LIBuffer>& buffer) {
  return reinterpret_cast<C*>(buffer->GetData());
}

// The buffer of a string made at its final size: the object and its bytes share one
// block, so making a string allocates once instead of twice. Written beyond that block
// (a locked string given more room), the bytes move to a block of their own, which then
// grows and shrinks as a string buffer's does; the object's own block never shrinks, so
// room for a lock of another holder's text comes as a string buffer (Duplicate).
class LCompactStringBuffer final : public LIBuffer {
public:
  // size bytes, not cleared.
  static RCPtr<LIBuffer> Create(uint32_t size) {
    if (size > UINT32_MAX - sizeof(LCompactStringBuffer)) {
      ThrowBadAlloc();
    }
    void* block = Allocator()->Malloc(uint32_t(sizeof(LCompactStringBuffer) + size));
    if (!block) {
      ThrowBadAlloc();
    }
    return RCPtr<LIBuffer>(new (block) LCompactStringBuffer(size));
  }

  // The block holds the object: freed as the object goes.
  static void operator delete(void* block) { Allocator()->Free(block); }

  ~LCompactStringBuffer() override {
    if (mData != Inline()) {
      Allocator()->Free(mData);
    }
  }

  uint32_t GetSize() const override { return mSize; }
  uint32_t GetCapacity() const override { return mCapacity; }
  char* GetData() override { return mData; }
  const char* GetData() const override { return mData; }
  // The same, without a virtual call.
  const char* Data() const { return mData; }
  uint32_t Size() const { return mSize; }

  uint32_t SetSize(uint32_t n) override {
    const bool inside = mData == Inline();
    if (n <= mCapacity && (inside || mCapacity - n <= LStringBuffer::kSlackLimit)) {
      mSize = n;
      return n;
    }
    if (n <= mInline) {
      // Back into the object's own block, which is never smaller than it was made.
      std::memcpy(Inline(), mData, std::min(mSize, n));
      Allocator()->Free(mData);
      Use(Inline(), mInline, n);
      return n;
    }
    void* block = Allocator()->Realloc(inside ? nullptr : mData, n);
    if (!block) {
      ThrowBadAlloc();
    }
    if (inside) {
      std::memcpy(block, mData, std::min(mSize, n));
    }
    Use(static_cast<char*>(block), n, n);
    return n;
  }

  uint32_t SetCapacity(uint32_t n) override {
    if (n == mCapacity) {
      mSize = n;
      return n;
    }
    if (n <= mInline) {
      if (mData != Inline()) {
        Allocator()->Free(mData);
      }
      Use(Inline(), mInline, n);
      return n;
    }
    void* block = Allocator()->Malloc(n);
    if (!block) {
      ThrowBadAlloc();
    }
    if (mData != Inline()) {
      Allocator()->Free(mData);
    }
    Use(static_cast<char*>(block), n, n);
    return n;
  }

  QZResult Fill8(int8_t value, uint32_t offset, int32_t count) override {
    const uint64_t bytes = count < 0 ? uint64_t(mSize) - offset : uint64_t(count);
    if (offset > mSize || offset + bytes > mSize) {
      return QZ_E_INVALIDARG;
    }
    std::memset(mData + offset, static_cast<unsigned char>(value), bytes);
    return QZ_OK;
  }

  QZResult Fill16(uint16_t value, uint32_t offset, int32_t count) override {
    const uint64_t units = count < 0 ? (uint64_t(mSize) - offset) / 2 : uint64_t(count);
    if (offset > mSize || offset + 2 * units > mSize) {
      return QZ_E_INVALIDARG;
    }
    for (uint64_t i = 0; i < units; ++i) {
      std::memcpy(mData + offset + 2 * i, &value, sizeof value);
    }
    return QZ_OK;
  }

  // A buffer that Lock gives room in, which Unlock trims: one that can shrink.
  RCPtr<LIBuffer> Duplicate(uint32_t n, uint32_t offset) const override {
    RCPtr<LIBuffer> copy = LIBuffer::Create(n, 0, true);
    if (offset < mSize) {
      std::memcpy(copy->GetData(), mData + offset, std::min(mSize - offset, n));
    }
    return copy;
  }

  RCPtr<LRefCountedObject> CreateCopy() const override {
    RCPtr<LIBuffer> copy = Create(mSize);
    std::memcpy(copy->GetData(), mData, mSize);
    return copy;
  }

private:
  explicit LCompactStringBuffer(uint32_t size) : mData(Inline()), mSize(size), mCapacity(size), mInline(size) {}

  static IAllocator* Allocator() { return GetSystemAllocator(); }
  // The bytes that follow the object in its block.
  char* Inline() const { return const_cast<char*>(reinterpret_cast<const char*>(this)) + sizeof(*this); }
  void Use(char* data, uint32_t capacity, uint32_t size) {
    mData = data;
    mCapacity = capacity;
    mSize = size;
  }

  char* mData;
  uint32_t mSize;
  uint32_t mCapacity;
  const uint32_t mInline;
};

// A new unshared buffer for n units and a NUL, the text left to the caller.
template <class C>
RCPtr<LIBuffer> NewBuffer(size_t n) {
  RCPtr<LIBuffer> buffer = LCompactStringBuffer::Create(BytesFor<C>(uint64_t(n) + 1));
  Units<C>(buffer)[n] = C(0);
  return buffer;
}

// Format strings of the conversions that FromDouble uses, in either unit.
template <class C>
struct RealFormats {
  static constexpr C kFixed[] = {C('%'), C('.'), C('*'), C('f'), C(0)};
  static constexpr C kDefault[] = {C('%'), C('f'), C(0)};
};

template <class C>
const char* MethodName(const char* wide, const char* narrow) {
  return sizeof(C) == 2 ? wide : narrow;
}

// The conversions behind AssignFromWide and AssignFromNarrow. The members only one of
// the two strings has call these rather than each other, so that every member compiles
// for both strings, as some compilers instantiate them all.
int32_t Utf16ToUtf8Buffer(RCPtr<LIBuffer>& out, const char16_t* text, int32_t count) {
  const size_t n = !text ? 0 : count < 0 ? Chars::LengthBounded(text, 0xFFFFFFFE) : Chars::LengthBounded(text, count);
  if (n == 0) {
    out = NString::GetEmpty().GetSharedBuffer();
    return QZ_OK;
  }
  const size_t bytes = MeasureUTF16toUTF8(text, text + n, ConversionFlags::Lenient);
  RCPtr<LIBuffer> buffer = bytes == 0 ? NString::GetEmpty().GetSharedBuffer() : NewBuffer<char>(bytes);
  const char16_t* source = text;
  char* target = Units<char>(buffer);
  const ConversionResult result =
      ConvertUTF16toUTF8(&source, text + n, &target, target + bytes, ConversionFlags::Lenient);
  out = std::move(buffer);
  return result == ConversionResult::OK ? QZ_OK : QZ_E_FAIL;
}

int32_t Utf8ToUtf16Buffer(RCPtr<LIBuffer>& out, const char* text, int32_t count) {
  const size_t n = !text ? 0 : count < 0 ? Chars::LengthBounded(text, 0xFFFFFFFE) : Chars::LengthBounded(text, count);
  if (n == 0) {
    out = WString::GetEmpty().GetSharedBuffer();
    return QZ_OK;
  }
  const size_t units = MeasureUTF8toUTF16(text, text + n, ConversionFlags::Lenient);
  RCPtr<LIBuffer> buffer = units == 0 ? WString::GetEmpty().GetSharedBuffer() : NewBuffer<char16_t>(units);
  const char* source = text;
  char16_t* target = Units<char16_t>(buffer);
  const ConversionResult result =
      ConvertUTF8toUTF16(&source, text + n, &target, target + units, ConversionFlags::Lenient);
  out = std::move(buffer);
  return result == ConversionResult::OK ? QZ_OK : QZ_E_FAIL;
}

} // namespace

// --- Construction ----------------------------------------------------------------

template <class C, class O>
StringT<C, O>::StringT() : mBuffer(EmptyBuffer()) {}

template <class C, class O>
StringT<C, O>::StringT(C unit) {
  if (unit == C(0)) {
    mBuffer = LIBuffer::Create(sizeof(C), 0, true);
    return;
  }
  mBuffer = NewBuffer<C>(1);
  Units<C>(mBuffer)[0] = unit;
}

template <class C, class O>
StringT<C, O>::StringT(const C* text, uint32_t maxLength)
    : mBuffer(MakeBuffer(text, text ? Chars::LengthBounded(text, maxLength) : 0)) {}

template <class C, class O>
StringT<C, O>::StringT(const char* utf8) requires WideUnit<C> {
  Utf8ToUtf16Buffer(mBuffer, utf8, -1);
}

template <class C, class O>
StringT<C, O>::StringT(const StringT<O, C>& other) {
  if constexpr (kIsWide) {
    Utf8ToUtf16Buffer(mBuffer, other.GetBuffer(), int32_t(other.GetLength()));
  } else {
    Utf16ToUtf8Buffer(mBuffer, other.GetBuffer(), int32_t(other.GetLength()));
  }
}

template <class C, class O>
StringT<C, O>::StringT(const RCPtr<LIBuffer>& bytes) requires(!WideUnit<C>) : mBuffer(bytes) {
  // Taking the pointer shared the buffer, or copied it when it was locked.
  const uint32_t size = mBuffer ? mBuffer->GetSize() : 0;
  if (size == 0) {
    mBuffer = EmptyBuffer();
    return;
  }
  const C* data = GetBuffer();
  const size_t length = Chars::LengthBounded(data, size / sizeof(C));
  if ((length + 1) * sizeof(C) == size && length != 0) {
    return;
  }
  // Others may hold this buffer: never write into it; take the text instead.
  mBuffer = MakeBuffer(data, length);
}

template <class C, class O>
StringT<C, O>::StringT(const StringT& other)
    : mBuffer(other.IsLocked() ? MakeBuffer(other.GetBuffer(), other.GetLength()) : other.mBuffer) {}

template <class C, class O>
StringT<C, O>::StringT(StringT&& other) noexcept : mBuffer(std::move(other.mBuffer)) {
  other.mBuffer = EmptyBuffer();
}

template <class C, class O>
StringT<C, O>::~StringT() = default;

template <class C, class O>
StringT<C, O>& StringT<C, O>::operator=(const StringT& other) {
  if (this == &other) {
    return *this;
  }
  if (IsLocked() || other.IsLocked()) {
    Assign(other.GetBuffer());
  } else {
    mBuffer = other.mBuffer;
  }
  return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::operator=(StringT&& other) {
  if (this == &other) {
    return *this;
  }
  if (IsLocked()) {
    Assign(other.GetBuffer());
  } else {
    mBuffer = std::move(other.mBuffer);
    other.mBuffer = EmptyBuffer();
  }
  return *this;
}

template <class C, class O>
const StringT<C, O>& StringT<C, O>::GetEmpty() {
  // Built from the unit 0 (its own one-unit buffer), never locked, and shared by every
  // empty string of this type. Never destroyed: strings in static objects may outlive
  // any exit-time destructor.
  static const StringT* const empty = new StringT(C(0));
  return *empty;
}

template <class C, class O>
RCPtr<LIBuffer> StringT<C, O>::MakeBuffer(const C* text, size_t n) {
  if (n == 0) {
    return EmptyBuffer();
  }
  RCPtr<LIBuffer> buffer = NewBuffer<C>(n);
  std::memcpy(Units<C>(buffer), text, n * sizeof(C));
  return buffer;
}

// --- Writing ---------------------------------------------------------------------

template <class C, class O>
void StringT<C, O>::Assign(const C* text, uint32_t maxLength) {
  if (!text || *text == C(0) || maxLength == 0) {
    Empty();
    return;
  }
  const size_t n = Chars::LengthBounded(text, maxLength);
  if (IsLocked()) {
    // Never past the locked room: the text is cut and the NUL kept.
    Chars::CopyBounded(Units<C>(mBuffer), mBuffer->GetSize() / sizeof(C), text, n);
    return;
  }
  // The new buffer is filled before the old one goes: text may lie inside it.
  mBuffer = MakeBuffer(text, n);
}

template <class C, class O>
void StringT<C, O>::AssignUTF8(const char* text, uint32_t maxLength) requires WideUnit<C> {
  if (!text || *text == 0 || maxLength == 0) {
    Empty();
    return;
  }
  const int32_t n = int32_t(Chars::LengthBounded(text, maxLength));
  if (IsLocked()) {
    StringT converted;
    Utf8ToUtf16Buffer(converted.mBuffer, text, n);
    Assign(converted.GetBuffer());
    return;
  }
  Utf8ToUtf16Buffer(mBuffer, text, n);
}

template <class C, class O>
void StringT<C, O>::Empty() {
  if (IsLocked()) {
    Units<C>(mBuffer)[0] = C(0);
  } else {
    mBuffer = EmptyBuffer();
  }
}

template <class C, class O>
C* StringT<C, O>::Lock(uint32_t units) {
  if (IsLocked()) {
    return nullptr;
  }
  if (units == 0) {
    units = GetLength() + 1;
  }
  const uint32_t bytes = BytesFor<C>(units);
  if (mBuffer->GetRefCount() > 1) {
    RCPtr<LIBuffer> copy = mBuffer->Duplicate(bytes, 0);
    if (!copy) {
      Throw<std::runtime_error>({MethodName<C>("QZ::StringT<wchar_t,char>::Lock", "QZ::StringT<char,wchar_t>::Lock"),
                                 R"(Utilities\Storage\StringT)", 764});
    }
    mBuffer = std::move(copy);
  } else {
    const uint32_t old = mBuffer->GetSize();
    mBuffer->SetSize(bytes);
    if (bytes > old) {
      mBuffer->Fill8(0, old, -1); // a range inside the buffer
    }
  }
  mBuffer->SetUnshareable(true);
  C* data = Units<C>(mBuffer);
  data[units - 1] = C(0);
  return data;
}

template <class C, class O>
int32_t StringT<C, O>::Unlock() {
  if (!IsLocked()) {
    return QZ_FALSE;
  }
  const uint32_t length = GetLength();
  if (length == 0) {
    mBuffer = EmptyBuffer();
    return QZ_OK;
  }
  mBuffer->SetUnshareable(false);
  mBuffer->SetSize(BytesFor<C>(uint64_t(length) + 1));
  // The caller may have filled every unit, NUL included: terminate the grown buffer.
  Units<C>(mBuffer)[length] = C(0);
  return QZ_OK;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::operator+=(const StringT& other) {
  if (this == &other) {
    const StringT copy(other);
    return *this += copy;
  }
  const uint32_t otherLength = other.GetLength();
  if (otherLength == 0) {
    return *this;
  }
  const uint32_t length = GetLength();
  const uint64_t total = uint64_t(length) + otherLength;
  if (IsLocked()) {
    mBuffer->SetSize(BytesFor<C>(total + 1));
    C* data = Units<C>(mBuffer);
    std::memcpy(data + length, other.GetBuffer(), otherLength * sizeof(C));
    data[total] = C(0);
    return *this;
  }
  if (length == 0) {
    return *this = other;
  }
  C* data = Lock(uint32_t(total + 1));
  std::memcpy(data + length, other.GetBuffer(), otherLength * sizeof(C));
  Unlock();
  return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::AppendChar(C unit) {
  if (unit != C(0)) {
    *this += StringT(unit);
  }
  return *this;
}

template <class C, class O>
int32_t StringT<C, O>::Insert(uint32_t index, const StringT& text) {
  const uint32_t length = GetLength();
  if (index > length) {
    return QZ_E_INVALIDARG;
  }
  if (index == length) {
    *this += text;
  } else if (!text.IsEmpty()) {
    const uint32_t textLength = text.GetLength();
    StringT joined(AdoptBuffer{}, NewBuffer<C>(uint64_t(length) + textLength));
    C* data = Units<C>(joined.mBuffer);
    std::memcpy(data, GetBuffer(), index * sizeof(C));
    std::memcpy(data + index, text.GetBuffer(), textLength * sizeof(C));
    std::memcpy(data + index + textLength, GetBuffer() + index, (length - index) * sizeof(C));
    *this = std::move(joined);
  }
  return QZ_OK;
}

template <class C, class O>
int32_t StringT<C, O>::Insert(uint32_t index, const C* text, uint32_t maxLength) {
  if (index > GetLength()) {
    return QZ_E_INVALIDARG;
  }
  return Insert(index, StringT(text, maxLength));
}

template <class C, class O>
int32_t StringT<C, O>::InsertUTF8(uint32_t index, const char* text, uint32_t maxLength) requires WideUnit<C> {
  if (index > GetLength()) {
    return QZ_E_INVALIDARG;
  }
  StringT converted;
  Utf8ToUtf16Buffer(converted.mBuffer, text, text ? int32_t(Chars::LengthBounded(text, maxLength)) : 0);
  return Insert(index, converted);
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::ReplaceChars(const C* set, C replacement) {
  if (replacement == C(0) || !set) {
    return *this;
  }
  const C* text = GetBuffer();
  const size_t first = Chars::CSpan(text, set);
  if (text[first] == C(0)) {
    return *this;
  }
  const size_t length = GetLength();
  // A locked string is changed in place, an unlocked one gets a new buffer.
  StringT replaced = IsLocked() ? StringT() : FromUnits(text, length);
  C* data = IsLocked() ? Units<C>(mBuffer) : Units<C>(replaced.mBuffer);
  for (size_t i = first; i < length; ++i) {
    if (Chars::Contains(set, data[i])) {
      data[i] = replacement;
    }
  }
  if (!IsLocked()) {
    *this = std::move(replaced);
  }
  return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::Trim() {
  static constexpr C kBlanks[] = {C(' '), C('\t'), C('\r'), C('\n'), C(0)};
  const C* text = GetBuffer();
  const size_t length = GetLength();
  const size_t start = Chars::Span(text, kBlanks);
  size_t end = length;
  while (end > start && Chars::Contains(kBlanks, text[end - 1])) {
    --end;
  }
  if (start != 0 || end != length) {
    if (start == end) {
      Empty();
    } else if (IsLocked()) {
      std::memmove(Units<C>(mBuffer), text + start, (end - start) * sizeof(C));
      Units<C>(mBuffer)[end - start] = C(0);
    } else {
      *this = FromUnits(text + start, end - start);
    }
  }
  return *this;
}

// --- Pieces and search -----------------------------------------------------------

template <class C, class O>
StringT<C, O> StringT<C, O>::Mid(int32_t start, uint32_t count) const {
  const int64_t length = GetLength();
  int64_t first = start;
  uint64_t n = count;
  if (first < 0) {
    first += length;
    if (first < 0) {
      // Only the part of the window that lies inside the string is taken.
      if (n <= uint64_t(-first)) {
        return StringT();
      }
      n -= uint64_t(-first);
      first = 0;
    }
  }
  if (first >= length || n == 0) {
    return StringT();
  }
  n = std::min<uint64_t>(n, uint64_t(length - first));
  if (first == 0 && n == uint64_t(length) && !IsLocked()) {
    return *this;
  }
  return FromUnits(GetBuffer() + first, size_t(n));
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Right(uint32_t count) const {
  const uint32_t length = GetLength();
  return count >= length ? Mid(0) : Mid(int32_t(length - count));
}

namespace {

// The text of a string as View() gives it. Nearly every string holds a buffer that the
// string made itself, or the one LIBuffer::Create makes: their units and size are read
// without the virtual calls.
template <class C, class O>
inline std::basic_string_view<C> TextOf(const StringT<C, O>& string) {
  const LIBuffer& buffer = *string.GetSharedBuffer();
  // One type_info object per type in this library: comparing addresses suffices, and a
  // buffer of another library at worst takes the general path.
  if (&typeid(buffer) == &typeid(LCompactStringBuffer) && buffer.IsShareable()) {
    const auto& known = static_cast<const LCompactStringBuffer&>(buffer);
    return {reinterpret_cast<const C*>(known.Data()), known.Size() / sizeof(C) - 1};
  }
  if (&typeid(buffer) == &typeid(LStringBuffer) && buffer.IsShareable()) {
    const auto& known = static_cast<const LStringBuffer&>(buffer);
    return {reinterpret_cast<const C*>(known.GetTypedData()), known.LStringBuffer::GetSize() / sizeof(C) - 1};
  }
  return string.View();
}

} // namespace

template <class C, class O>
int32_t StringT<C, O>::Find(const StringT& text) const {
  const std::basic_string_view<C> within = TextOf(*this);
  const std::basic_string_view<C> needle = TextOf(text);
  const size_t at = Chars::Find(within.data(), within.size(), needle.data(), needle.size());
  return at == Chars::kNotFound ? -1 : int32_t(at);
}

template <class C, class O>
int32_t StringT<C, O>::ReverseFind(C unit) const {
  const C* text = GetBuffer();
  for (uint32_t i = GetLength(); i > 0; --i) {
    if (text[i - 1] == unit) {
      return int32_t(i - 1);
    }
  }
  return -1;
}

// --- Comparison ------------------------------------------------------------------

template <class C, class O>
bool StringT<C, O>::operator==(const C* text) const {
  if (!text || *text == C(0)) {
    return IsEmpty();
  }
  const uint32_t length = GetLength();
  return Chars::LengthBounded(text, size_t(length) + 1) == length &&
         std::memcmp(GetBuffer(), text, length * sizeof(C)) == 0;
}

template <class C, class O>
bool StringT<C, O>::IsEqual(const StringT& other) const {
  if (mBuffer == other.mBuffer) {
    return true;
  }
  const std::basic_string_view<C> a = TextOf(*this);
  const std::basic_string_view<C> b = TextOf(other);
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(C)) == 0;
}

template <class C, class O>
std::strong_ordering StringT<C, O>::operator<=>(const StringT& other) const {
  using UnsignedUnit = std::make_unsigned_t<C>;
  const std::basic_string_view<C> a = TextOf(*this);
  const std::basic_string_view<C> b = TextOf(other);
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) {
      return UnsignedUnit(a[i]) <=> UnsignedUnit(b[i]);
    }
  }
  return a.size() <=> b.size();
}

template <class C, class O>
int StringT<C, O>::CompareNoCase(const StringT& other) const {
  return Chars::CompareNoCase(GetBuffer(), other.GetBuffer());
}

// --- Case ------------------------------------------------------------------------

namespace {

// A copy of text with every unit mapped, or text itself when no unit changes.
template <class S, class Map>
S MapUnits(const S& text, Map map) {
  const auto* units = text.GetBuffer();
  const size_t length = text.GetLength();
  size_t first = 0;
  while (first < length && map(units[first]) == units[first]) {
    ++first;
  }
  if (first == length) {
    return text;
  }
  using C = typename S::Unit;
  S mapped;
  C* data = mapped.Lock(uint32_t(length + 1));
  for (size_t i = 0; i < length; ++i) {
    data[i] = i < first ? units[i] : map(units[i]);
  }
  mapped.Unlock();
  return mapped;
}

} // namespace

template <class C, class O>
StringT<C, O> StringT<C, O>::ToLower() const {
  return IsLocked() ? StringT(*this).ToLower() : MapUnits(*this, [](C unit) { return Chars::ToLower(unit); });
}

template <class C, class O>
StringT<C, O> StringT<C, O>::ToUpper() const {
  return IsLocked() ? StringT(*this).ToUpper() : MapUnits(*this, [](C unit) { return Chars::ToUpper(unit); });
}

// --- Conversion ------------------------------------------------------------------

template <class C, class O>
StringT<O, C> StringT<C, O>::ToUTF8() const requires WideUnit<C> {
  return StringT<O, C>(*this);
}

template <class C, class O>
int32_t StringT<C, O>::AssignFromWide(RCPtr<LIBuffer>& out, const char16_t* text,
                                      int32_t count) requires(!WideUnit<C>) {
  return Utf16ToUtf8Buffer(out, text, count);
}

template <class C, class O>
int32_t StringT<C, O>::AssignFromNarrow(RCPtr<LIBuffer>& out, const char* text, int32_t count) requires WideUnit<C> {
  return Utf8ToUtf16Buffer(out, text, count);
}

// --- Formatting ------------------------------------------------------------------

template <class C, class O>
StringT<C, O> StringT<C, O>::FormatList(const C* format, std::span<const FormatArg> args) {
  if (!format) {
    return StringT();
  }
  FormatOutput<C> out;
  FormatText(out, format, args,
             {MethodName<C>("QZ::StringT<wchar_t,char>::Format", "QZ::StringT<char,wchar_t>::Format"),
              R"(Utilities\Storage\StringT)", 1043});
  // As a C text: a %c of 0 ends it.
  return FromUnits(out.Data(), Chars::LengthBounded(out.Data(), out.Size()));
}

namespace {

// Decimal text of magnitude with the point `decimals` digits from the right, led by
// zeros where the digits do not reach it; the sign goes first.
template <class S>
S Decimal(bool negative, uint32_t magnitude, int32_t decimals) {
  using C = typename S::Unit;
  char digits[16];
  const size_t count = size_t(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
  C text[32];
  size_t n = 0;
  if (negative) {
    text[n++] = C('-');
  }
  if (decimals < 1) {
    for (size_t i = 0; i < count; ++i) {
      text[n++] = C(digits[i]);
    }
    return S(text, uint32_t(n));
  }
  const size_t places = size_t(decimals);
  const size_t width = std::max(count, places);
  S result;
  C* data = result.Lock(uint32_t(n + width + 2));
  std::copy(text, text + n, data);
  for (size_t i = 0; i < width; ++i) {
    if (i == width - places) {
      data[n++] = C('.');
    }
    data[n++] = i < width - count ? C('0') : C(digits[i - (width - count)]);
  }
  data[n] = C(0);
  result.Unlock();
  return result;
}

} // namespace

template <class C, class O>
StringT<C, O> StringT<C, O>::FromInt(int32_t value, int32_t decimals) {
  const uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
  return Decimal<StringT>(value < 0, magnitude, decimals);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::FromUInt(uint32_t value, int32_t decimals) {
  return Decimal<StringT>(false, value, decimals);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::FromDouble(double value, int32_t decimals) {
  return decimals >= 0 ? Format(RealFormats<C>::kFixed, decimals, value) : Format(RealFormats<C>::kDefault, value);
}

template <class C, class O>
StringT<C, O> operator+(const StringT<C, O>& left, const StringT<C, O>& right) {
  StringT<C, O> result(left);
  result += right;
  return result;
}

template class StringT<char16_t, char>;
template class StringT<char, char16_t>;
template WString operator+(const WString&, const WString&);
template NString operator+(const NString&, const NString&);

WString StringToString(const WString& text) { return text; }

} // namespace QZ
