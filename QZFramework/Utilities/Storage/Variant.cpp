#include "QZFramework/Utilities/Storage/Variant.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "QZFramework/Utilities/Storage/ValueRecord.h"

namespace QZ {

// GetData exposes the value bytes as they lie in memory and Serialize copies them into
// records, which are little-endian.
static_assert(std::endian::native == std::endian::little, "value bytes are written to records as they lie in memory");

namespace {

using ValueRecord::kHeaderSize;

constexpr int32_t kNoElement = -1;

uint32_t ScalarWidth(uint32_t kind) {
  switch (kind) {
  case Variant::Bool:
  case Variant::Int8:
  case Variant::UInt8:
    return 1;
  case Variant::Int16:
  case Variant::UInt16:
    return 2;
  case Variant::Int32:
  case Variant::UInt32:
  case Variant::Float:
    return 4;
  case Variant::Double:
  case Variant::Int64:
  case Variant::UInt64:
    return 8;
  default:
    return 0;
  }
}

bool IsInteger(uint32_t kind) { return ScalarWidth(kind) != 0 && kind != Variant::Float && kind != Variant::Double; }
bool IsUnsigned(uint32_t kind) {
  return kind == Variant::Bool || kind == Variant::UInt8 || kind == Variant::UInt16 || kind == Variant::UInt32 ||
         kind == Variant::UInt64;
}
bool IsReal(uint32_t kind) { return kind == Variant::Float || kind == Variant::Double; }
bool IsExternal(uint32_t kind) { return kind == Variant::ExternalData || kind == Variant::ExternalConstData; }
bool IsDataKind(uint32_t kind) { return IsExternal(kind) || kind == Variant::Buffer; }
bool IsHeapKind(uint32_t kind) { return kind >= Variant::Buffer && kind <= Variant::List; }

float AsFloat(uint64_t valueBytes) { return std::bit_cast<float>(uint32_t(valueBytes)); }

// Rounding half away from zero, then truncation toward zero into the target type; values
// beyond the target's range saturate and NaN gives 0 (the conversion itself would be
// undefined there).
template <class Real>
Real AwayFromZero(Real value) {
  return value < 0 ? value - Real(0.5) : value + Real(0.5);
}

int32_t RoundToInt32(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  const double rounded = AwayFromZero(value);
  if (rounded >= 0x1p31) {
    return std::numeric_limits<int32_t>::max();
  }
  if (rounded <= -0x1p31 - 1) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(rounded);
}

template <class Real>
int64_t TruncateToInt64(Real value) {
  if (std::isnan(value)) {
    return 0;
  }
  if (value >= Real(0x1p63)) {
    return std::numeric_limits<int64_t>::max();
  }
  if (value < Real(-0x1p63)) {
    return std::numeric_limits<int64_t>::min();
  }
  return static_cast<int64_t>(value);
}

// Values of 2^63 and above convert through 2^63 less; negative values wrap as their
// signed rounding does.
template <class Real>
uint64_t TruncateToUInt64(Real value) {
  if (std::isnan(value)) {
    return 0;
  }
  if (value >= Real(0x1p64)) {
    return std::numeric_limits<uint64_t>::max();
  }
  if (value >= Real(0x1p63)) {
    return static_cast<uint64_t>(static_cast<int64_t>(value - Real(0x1p63))) | uint64_t(1) << 63;
  }
  return static_cast<uint64_t>(TruncateToInt64(value));
}

// --- Ordering -------------------------------------------------------------------------

int Sign(bool less, bool greater) { return less ? -1 : (greater ? 1 : 0); }

// An integer value of any kind: the bits of an int64 when negative, of a uint64 otherwise.
struct WholeNumber {
  bool negative;
  uint64_t bits;
};

int Compare(WholeNumber a, WholeNumber b) {
  if (a.negative != b.negative) {
    return a.negative ? -1 : 1;
  }
  if (a.negative) {
    return Sign(int64_t(a.bits) < int64_t(b.bits), int64_t(a.bits) > int64_t(b.bits));
  }
  return Sign(a.bits<b.bits, a.bits> b.bits);
}

// Exact comparison of a real (not NaN) with an integer.
int Compare(double real, WholeNumber whole) {
  if (real < -0x1p63) {
    return -1;
  }
  if (real >= 0x1p64) {
    return 1;
  }
  const double truncated = std::trunc(real);
  const WholeNumber head =
      truncated < 0 ? WholeNumber{true, uint64_t(int64_t(truncated))} : WholeNumber{false, uint64_t(truncated)};
  if (const int order = Compare(head, whole); order != 0) {
    return order;
  }
  return Sign(real<truncated, real> truncated);
}

struct Number {
  bool real;
  double value;
  WholeNumber whole;
};

int Compare(const Number& a, const Number& b) {
  if (a.real && b.real) {
    if (std::isnan(a.value) || std::isnan(b.value)) {
      return Sign(!std::isnan(a.value), !std::isnan(b.value));
    }
    return Sign(a.value<b.value, a.value> b.value);
  }
  if (a.real) {
    return std::isnan(a.value) ? 1 : Compare(a.value, b.whole);
  }
  if (b.real) {
    return std::isnan(b.value) ? -1 : -Compare(b.value, a.whole);
  }
  return Compare(a.whole, b.whole);
}

int CompareBytes(const uint8_t* a, uint32_t aSize, const uint8_t* b, uint32_t bSize) {
  if (aSize != bSize) {
    return aSize < bSize ? -1 : 1;
  }
  return aSize == 0 ? 0 : std::memcmp(a, b, aSize);
}

} // namespace

// --- Life cycle -----------------------------------------------------------------------

Variant::Variant(const Variant& other) { Assign(other); }

Variant& Variant::operator=(const Variant& other) {
  Assign(other);
  return *this;
}

Variant::~Variant() { Clear(); }

void* Variant::AllocateBuffer(uint32_t size) { return new (std::nothrow) uint8_t[size]; }

void Variant::FreeBuffer(void* block) { delete[] static_cast<uint8_t*>(block); }

void Variant::Clear() {
  if (IsHeapKind(mType) && mValue != 0) {
    FreeBuffer(Pointer());
  }
  mValue = 0;
  mSize = 0;
  mType = Empty;
}

Variant::Type Variant::Adopt(Type kind, void* block, uint32_t size) {
  Clear();
  mValue = reinterpret_cast<uintptr_t>(block);
  mSize = size;
  mType = kind;
  return kind;
}

Variant::Type Variant::Assign(const Variant& other) {
  if (&other == this) {
    return mType;
  }
  if (IsHeapKind(other.mType) && other.mSize != 0) {
    void* block = AllocateBuffer(other.mSize);
    if (!block) {
      Clear();
      return Empty;
    }
    std::memcpy(block, other.Pointer(), other.mSize);
    return Adopt(other.mType, block, other.mSize);
  }
  const uint64_t value = other.mValue;
  const uint32_t size = other.mSize;
  const Type kind = other.mType;
  Clear();
  mValue = value;
  mSize = size;
  mType = kind;
  return kind;
}

// --- Setters --------------------------------------------------------------------------

Variant::Type Variant::SetScalar(Type kind, uint64_t bits) {
  Clear();
  mValue = bits;
  mType = kind;
  return kind;
}

Variant::Type Variant::SetBool(bool value) { return SetScalar(Bool, value ? 1 : 0); }
Variant::Type Variant::SetInt8(int8_t value) { return SetScalar(Int8, uint8_t(value)); }
Variant::Type Variant::SetUInt8(uint8_t value) { return SetScalar(UInt8, value); }
Variant::Type Variant::SetInt16(int16_t value) { return SetScalar(Int16, uint16_t(value)); }
Variant::Type Variant::SetUInt16(uint16_t value) { return SetScalar(UInt16, value); }
Variant::Type Variant::SetInt32(int32_t value) { return SetScalar(Int32, uint32_t(value)); }
Variant::Type Variant::SetUInt32(uint32_t value) { return SetScalar(UInt32, value); }
Variant::Type Variant::SetFloat(float value) { return SetScalar(Float, std::bit_cast<uint32_t>(value)); }
Variant::Type Variant::SetDouble(double value) { return SetScalar(Double, std::bit_cast<uint64_t>(value)); }
Variant::Type Variant::SetInt64(int64_t value) { return SetScalar(Int64, uint64_t(value)); }
Variant::Type Variant::SetUInt64(uint64_t value) { return SetScalar(UInt64, value); }

Variant::Type Variant::SetExternalData(void* data, uint32_t size) {
  Clear();
  mValue = reinterpret_cast<uintptr_t>(data);
  mSize = data ? size : 0;
  mType = ExternalData;
  return mType;
}

Variant::Type Variant::SetExternalConstData(const void* data, uint32_t size) {
  SetExternalData(const_cast<void*>(data), size);
  mType = ExternalConstData;
  return mType;
}

Variant::Type Variant::SetBuffer(const void* data, uint32_t size) {
  void* block = nullptr;
  if (size != 0) {
    block = AllocateBuffer(size);
    if (!block) {
      Clear();
      return Empty;
    }
    if (data) {
      std::memcpy(block, data, size);
    } else {
      std::memset(block, 0, size);
    }
  }
  return Adopt(Buffer, block, size);
}

Variant::Type Variant::SetText(const char* text, uint32_t length) {
  void* block = AllocateBuffer(length + 1);
  if (!block) {
    Clear();
    return Empty;
  }
  std::memcpy(block, text, length);
  static_cast<char*>(block)[length] = '\0';
  return Adopt(String, block, length + 1);
}

Variant::Type Variant::SetString(const char* text) {
  if (!text) {
    Clear();
    return Empty;
  }
  const size_t length = std::strlen(text);
  if (length >= std::numeric_limits<uint32_t>::max()) {
    Clear();
    return Empty;
  }
  return SetText(text, uint32_t(length));
}

Variant::Type Variant::SetRaw(uint32_t kind, const void* data, uint32_t size) {
  if (const uint32_t width = ScalarWidth(kind); width != 0) {
    if (size != width || !data) {
      Clear();
      return Empty;
    }
    uint64_t bits = 0;
    std::memcpy(&bits, data, width);
    return SetScalar(Type(kind), bits);
  }
  switch (kind) {
  case ExternalData:
  case ExternalConstData:
  case Buffer:
    return SetBuffer(data, size);
  case List:
    if (SetBuffer(data, size) == Buffer) {
      mType = List;
    }
    return mType;
  case String: {
    const void* end = data ? std::memchr(data, '\0', size) : nullptr;
    if (!end) {
      Clear();
      return Empty;
    }
    return SetText(static_cast<const char*>(data),
                   uint32_t(static_cast<const char*>(end) - static_cast<const char*>(data)));
  }
  default:
    Clear();
    return Empty;
  }
}

// Two passes: the sizes first, so that the block is allocated once, then the records. The
// old value is freed only when the new block is complete, so items may alias this Variant.
template <class ItemAt>
Variant::Type Variant::BuildList(uint32_t count, ItemAt itemAt) {
  // The record an item is written as: an external item without data has no valid record
  // and goes in as Empty, so the list keeps one decodable record per item.
  auto recordOf = [](const Variant* item, uint32_t& size) -> const void* {
    size = 0;
    if (!item || (IsExternal(item->mType) && item->mSize == 0)) {
      return nullptr;
    }
    return item->GetData(size);
  };
  auto kindOf = [](const Variant* item) {
    return !item || (IsExternal(item->mType) && item->mSize == 0) ? Empty : item->mType;
  };

  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t size = 0;
    recordOf(itemAt(i), size);
    total += kHeaderSize + uint64_t(size);
    if (total > std::numeric_limits<uint32_t>::max()) {
      Clear();
      return Empty;
    }
  }
  if (total == 0) {
    return Adopt(List, nullptr, 0);
  }
  auto* block = static_cast<uint8_t*>(AllocateBuffer(uint32_t(total)));
  if (!block) {
    Clear();
    return Empty;
  }
  uint32_t offset = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const Variant* item = itemAt(i);
    uint32_t size = 0;
    const void* data = recordOf(item, size);
    ValueRecord::WriteHeader(block + offset, kHeaderSize + size, kindOf(item));
    if (size != 0) {
      std::memcpy(block + offset + kHeaderSize, data, size);
    }
    offset += kHeaderSize + size;
  }
  return Adopt(List, block, uint32_t(total));
}

Variant::Type Variant::SetList(const Variant* items, uint32_t count) {
  return BuildList(items ? count : 0, [items](uint32_t i) { return &items[i]; });
}

Variant::Type Variant::SetPointerList(const Variant* const* items, uint32_t count) {
  return BuildList(items ? count : 0, [items](uint32_t i) { return items[i]; });
}

// --- Access ---------------------------------------------------------------------------

void* Variant::Pointer() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(mValue)); }

const void* Variant::GetData(uint32_t& size) const {
  if (const uint32_t width = ScalarWidth(mType); width != 0) {
    size = width;
    return &mValue;
  }
  if (mType >= ExternalData && mType <= List) {
    size = mSize;
    return Pointer();
  }
  size = 0;
  return nullptr;
}

void* Variant::GetWritableData(uint32_t& size) {
  if (mType == ExternalConstData || mType == List) {
    size = 0;
    return nullptr;
  }
  return const_cast<void*>(GetData(size));
}

const char* Variant::GetString() const { return mType == String ? static_cast<const char*>(Pointer()) : nullptr; }

// --- Conversions ----------------------------------------------------------------------

// The value of an integer kind widened to 64 bits (UInt64 keeps its bits).
int64_t Variant::IntegerValue() const {
  switch (mType) {
  case Int8:
    return int8_t(mValue);
  case Int16:
    return int16_t(mValue);
  case Int32:
    return int32_t(mValue);
  default:
    return int64_t(mValue);
  }
}

double Variant::RealValue() const { return mType == Float ? double(AsFloat(mValue)) : std::bit_cast<double>(mValue); }

// The first bytes of the data, as many as there are up to `width`, little-endian.
uint64_t Variant::LeadingData(uint32_t width) const {
  const auto* data = static_cast<const uint8_t*>(Pointer());
  if (!data) {
    return 0;
  }
  uint64_t value = 0;
  const uint32_t available = std::min(width, mSize);
  for (uint32_t i = 0; i < available; ++i) {
    value |= uint64_t(data[i]) << (8 * i);
  }
  return value;
}

bool Variant::ToBool() const {
  switch (mType) {
  case Bool:
  case Int8:
  case UInt8:
    return uint8_t(mValue) != 0;
  case Int16:
  case UInt16:
    return uint16_t(mValue) != 0;
  case Int32:
  case UInt32:
    return uint32_t(mValue) != 0;
  case Float:
  case Double:
    return RealValue() != 0;
  case Int64:
  case UInt64:
  case ExternalData:
  case ExternalConstData:
    return mValue != 0;
  case Buffer:
  case List:
    return mSize != 0;
  case String:
    return mSize > 1;
  default:
    return false;
  }
}

int8_t Variant::ToInt8() const {
  if (mType == Bool) {
    return uint8_t(mValue) != 0 ? 1 : 0;
  }
  if (IsInteger(mType)) {
    return int8_t(IntegerValue());
  }
  if (IsReal(mType)) {
    return int8_t(RoundToInt32(RealValue()));
  }
  if (IsDataKind(mType)) {
    return int8_t(LeadingData(1));
  }
  return mType == String ? int8_t(mSize - 1) : 0;
}

int16_t Variant::ToInt16() const {
  if (IsInteger(mType)) {
    return int16_t(IntegerValue());
  }
  if (IsReal(mType)) {
    return int16_t(RoundToInt32(RealValue()));
  }
  if (IsDataKind(mType)) {
    return int16_t(LeadingData(2));
  }
  return mType == String ? int16_t(mSize - 1) : 0;
}

int32_t Variant::ToInt32() const {
  if (IsInteger(mType)) {
    return int32_t(IntegerValue());
  }
  if (IsReal(mType)) {
    return RoundToInt32(RealValue());
  }
  if (IsDataKind(mType)) {
    return int32_t(LeadingData(4));
  }
  return mType == String ? int32_t(mSize - 1) : 0;
}

int64_t Variant::ToInt64() const {
  if (IsInteger(mType)) {
    return IntegerValue();
  }
  if (mType == Float) {
    return TruncateToInt64(AwayFromZero(AsFloat(mValue)));
  }
  if (mType == Double) {
    return TruncateToInt64(AwayFromZero(RealValue()));
  }
  if (IsDataKind(mType)) {
    return int64_t(LeadingData(8));
  }
  return mType == String ? int64_t(mSize - 1) : 0;
}

uint8_t Variant::ToUInt8() const { return uint8_t(ToInt8()); }

uint16_t Variant::ToUInt16() const {
  if (IsInteger(mType)) {
    return uint16_t(mValue);
  }
  if (IsReal(mType)) {
    return uint16_t(RoundToInt32(RealValue()));
  }
  if (IsDataKind(mType)) {
    return uint16_t(LeadingData(2));
  }
  return mType == String ? uint16_t(mSize - 1) : 0;
}

uint32_t Variant::ToUInt32() const {
  if (IsInteger(mType)) {
    return uint32_t(IntegerValue());
  }
  if (mType == Float) {
    return uint32_t(TruncateToInt64(AwayFromZero(AsFloat(mValue))));
  }
  if (mType == Double) {
    return uint32_t(TruncateToInt64(AwayFromZero(RealValue())));
  }
  if (IsDataKind(mType)) {
    return uint32_t(LeadingData(4));
  }
  return mType == String ? mSize - 1 : 0;
}

uint64_t Variant::ToUInt64() const {
  if (IsInteger(mType)) {
    return uint64_t(IntegerValue());
  }
  if (mType == Float) {
    return TruncateToUInt64(AwayFromZero(AsFloat(mValue)));
  }
  if (mType == Double) {
    return TruncateToUInt64(AwayFromZero(RealValue()));
  }
  if (IsDataKind(mType)) {
    return LeadingData(8);
  }
  return mType == String ? uint64_t(mSize - 1) : 0;
}

float Variant::ToFloat() const {
  if (IsUnsigned(mType)) {
    return float(mValue);
  }
  if (IsInteger(mType)) {
    return float(IntegerValue());
  }
  if (IsReal(mType)) {
    return float(RealValue());
  }
  if (IsDataKind(mType) || mType == String) {
    return float(ToInt32());
  }
  return 0;
}

double Variant::ToDouble() const {
  if (IsUnsigned(mType)) {
    return double(mValue);
  }
  if (IsInteger(mType)) {
    return double(IntegerValue());
  }
  if (IsReal(mType)) {
    return RealValue();
  }
  if (IsDataKind(mType) || mType == String) {
    return double(ToInt64());
  }
  return 0;
}

// --- Comparison -----------------------------------------------------------------------

bool Variant::operator==(const Variant& other) const {
  if (mType != other.mType) {
    return false;
  }
  if (IsReal(mType)) {
    return RealValue() == other.RealValue();
  }
  if (IsHeapKind(mType)) {
    return CompareBytes(static_cast<const uint8_t*>(Pointer()), mSize, static_cast<const uint8_t*>(other.Pointer()),
                        other.mSize) == 0;
  }
  // Scalars keep the bytes beyond their width zero, so all eight bytes compare; external
  // data compares by pointer and size.
  return mValue == other.mValue && mSize == other.mSize;
}

bool Variant::operator<(const Variant& other) const {
  if (other.mType == Empty) {
    return false;
  }
  if (mType == Empty) {
    return true;
  }
  if (mType >= ExternalData || other.mType >= ExternalData) {
    auto bytesOf = [](const Variant& v, uint32_t& size) -> const uint8_t* {
      if (v.mType >= ExternalData) {
        size = v.mSize;
        return static_cast<const uint8_t*>(v.Pointer());
      }
      size = sizeof v.mValue;
      return reinterpret_cast<const uint8_t*>(&v.mValue);
    };
    uint32_t size = 0;
    uint32_t otherSize = 0;
    const uint8_t* bytes = bytesOf(*this, size);
    const uint8_t* otherBytes = bytesOf(other, otherSize);
    return CompareBytes(bytes, size, otherBytes, otherSize) < 0;
  }
  auto numberOf = [](const Variant& v) {
    if (IsReal(v.mType)) {
      return Number{true, v.RealValue(), {}};
    }
    const int64_t value = v.IntegerValue();
    return Number{false, 0, {!IsUnsigned(v.mType) && value < 0, uint64_t(value)}};
  };
  return Compare(numberOf(*this), numberOf(other)) < 0;
}

// --- Records --------------------------------------------------------------------------

int32_t Variant::Serialize(void* out, uint32_t capacity) const {
  uint32_t size = 0;
  const void* data = GetData(size);
  if ((IsExternal(mType) && size == 0) || !out) {
    return QZ_E_FAIL;
  }
  if (size > uint32_t(std::numeric_limits<int32_t>::max()) - kHeaderSize || capacity < kHeaderSize + size) {
    return QZ_E_FAIL;
  }
  auto* bytes = static_cast<uint8_t*>(out);
  ValueRecord::WriteHeader(bytes, kHeaderSize + size, mType);
  if (size != 0) {
    std::memcpy(bytes + kHeaderSize, data, size);
  }
  return int32_t(kHeaderSize + size);
}

QZResult Variant::Deserialize(const void* record, uint32_t length) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  if (!bytes || length < kHeaderSize) {
    Clear();
    return QZ_E_FAIL;
  }
  const ValueRecord::Header header = ValueRecord::ReadHeader(bytes);
  uint32_t kind = Empty;
  if (header.size < kHeaderSize || header.size > length || !ValueRecord::KindOf(header, kind)) {
    Clear();
    return QZ_E_FAIL;
  }
  if (header.size == kHeaderSize) {
    if (kind == List) {
      return SetList(nullptr, 0) == List ? QZ_OK : QZ_E_FAIL;
    }
    Clear();
    return kind == Empty ? QZ_OK : QZ_E_FAIL;
  }
  if (kind == Empty) {
    Clear();
    return QZ_E_FAIL;
  }
  return SetRaw(kind, bytes + kHeaderSize, header.size - kHeaderSize) == kind ? QZ_OK : QZ_E_FAIL;
}

uint32_t Variant::GetListCount() const {
  if (mType != List) {
    return 0;
  }
  return ValueRecord::CountRecords(static_cast<const uint8_t*>(Pointer()), mSize);
}

QZResult Variant::GetListElement(uint32_t index, Variant& out) const {
  if (&out == this) {
    const Variant list(*this);
    return list.GetListElement(index, out);
  }
  out.Clear();
  if (mType != List) {
    return kNoElement;
  }
  const auto* data = static_cast<const uint8_t*>(Pointer());
  uint32_t offset = 0;
  if (!ValueRecord::FindRecord(data, mSize, index, offset) || mSize - offset < kHeaderSize) {
    return kNoElement;
  }
  // The element as decoded, whatever the decoding said: a record of external data comes
  // back as an owned Buffer, a refused one as Empty.
  (void)out.Deserialize(data + offset, mSize - offset);
  return QZ_OK;
}

} // namespace QZ
