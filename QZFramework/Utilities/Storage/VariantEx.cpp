#include "QZFramework/Utilities/Storage/VariantEx.h"

#include <new>
#include <utility>

#include "QZFramework/Utilities/Storage/Array.h"

namespace QZ {

// Built empty, then assigned: only then does Assign allocate through this class.
VariantEx::VariantEx(const Variant& other) : Variant(), IStringable() { Assign(other); }

VariantEx::VariantEx(const VariantEx& other) : Variant(), IStringable() { Assign(other); }

VariantEx& VariantEx::operator=(const Variant& other) {
  Assign(other);
  return *this;
}

VariantEx& VariantEx::operator=(const VariantEx& other) {
  Assign(other);
  return *this;
}

VariantEx::~VariantEx() { Clear(); }

// --- Buffers --------------------------------------------------------------------------

void* VariantEx::AllocateBuffer(uint32_t size) {
  RCPtr<LIBuffer> buffer;
  try {
    buffer = LStringBuffer::Create(size, 0, true);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  void* data = buffer->GetData();
  (mBuffer ? mIncoming : mBuffer) = std::move(buffer);
  return data;
}

void VariantEx::FreeBuffer(void* block) {
  if (!block) {
    return;
  }
  if (mBuffer && mBuffer->GetData() == block) {
    mBuffer = std::move(mIncoming);
  } else if (mIncoming && mIncoming->GetData() == block) {
    mIncoming = nullptr;
  }
}

const RCPtr<LIBuffer>& VariantEx::GetBuffer() const {
  if (GetType() != Buffer && GetType() != String) {
    Throw<std::runtime_error>({"QZ::VariantEx::GetBuffer", R"(Utilities\Storage\VariantEx)", 464});
  }
  return mBuffer;
}

void* VariantEx::GetWritableData(uint32_t& size) {
  if ((GetType() == Buffer || GetType() == String) && mBuffer && mBuffer->GetRefCount() > 1) {
    const Type kind = GetType();
    const uint32_t bytes = GetSize();
    RCPtr<LIBuffer> own;
    try {
      own = mBuffer->Duplicate(bytes, 0);
    } catch (const std::bad_alloc&) {
      size = 0;
      return nullptr;
    }
    Clear();
    void* data = own->GetData();
    mBuffer = std::move(own);
    Adopt(kind, data, bytes);
  }
  return Variant::GetWritableData(size);
}

Variant::Type VariantEx::SetString(const NString& text) {
  if (text.IsLocked()) {
    return Variant::SetString(text.GetBuffer());
  }
  // Taken before the old value goes: the text may be this value's own buffer.
  RCPtr<LIBuffer> shared = text.GetSharedBuffer();
  Clear();
  void* data = shared->GetData();
  const uint32_t size = shared->GetSize();
  mBuffer = std::move(shared);
  return Adopt(String, data, size);
}

Variant::Type VariantEx::SetString(const WString& text) { return SetString(text.ToUTF8()); }

// --- Text -----------------------------------------------------------------------------

WString VariantEx::WideText() const { return WString(NString(mBuffer)); }

WString VariantEx::ToStringByType(int32_t indent) const {
  switch (GetType()) {
  case Empty:
    return WString(u"<empty>");
  case Bool:
    return WString(Variant::ToBool() ? u"true" : u"false");
  case Int8:
    return WString::Format(u"%I32d (0x%02X)", int32_t(Variant::ToInt8()), int32_t(Variant::ToInt8()));
  case UInt8:
    return WString::Format(u"%I32u (0x%02X)", uint32_t(Variant::ToUInt8()), uint32_t(Variant::ToUInt8()));
  case Int16:
    return WString::Format(u"%I32d (0x%04X)", int32_t(Variant::ToInt16()), int32_t(Variant::ToInt16()));
  case UInt16:
    return WString::Format(u"%I32u (0x%04X)", uint32_t(Variant::ToUInt16()), uint32_t(Variant::ToUInt16()));
  case Int32:
    return WString::Format(u"%I32d (0x%08X)", Variant::ToInt32(), Variant::ToInt32());
  case UInt32:
    return WString::Format(u"%I32u (0x%08X)", Variant::ToUInt32(), Variant::ToUInt32());
  case Float:
    return WString::Format(u"%f", double(Variant::ToFloat()));
  case Double:
    return WString::Format(u"%lf", Variant::ToDouble());
  case Int64:
    return WString::Format(u"%I64d (0x%016I64X)", Variant::ToInt64(), Variant::ToInt64());
  case UInt64:
    return WString::Format(u"%I64X", Variant::ToUInt64());
  case ExternalData:
  case ExternalConstData:
  case Buffer: {
    uint32_t size = 0;
    return WString::Format(u"%I64X", uint64_t(reinterpret_cast<uintptr_t>(GetData(size))));
  }
  case String:
    return WideText();
  case List:
    return ToStringIndented(indent < 0 ? 0 : uint32_t(indent));
  }
  return WString();
}

WString VariantEx::ToStringIndented(uint32_t indent) const {
  if (GetType() != List) {
    return ToStringByType(-1);
  }
  Array<VariantEx> items;
  GetListItems(items); // what is no list shows no items
  const uint32_t count = items.GetCount();
  if (count == 0) {
    return WString(u"<empty array>");
  }
  WString prefix;
  for (uint32_t level = 0; level <= indent; ++level) {
    prefix += WString(u"  ");
  }
  WString text = WString::Format(u"array(%u):", count);
  for (uint32_t i = 0; i < count; ++i) {
    text += WString(u"\n");
    text += prefix;
    text += WString(u"[");
    text += WString::FromUInt(i);
    text += WString(u"] ");
    text += items.GetAt(i).ToStringIndented(indent + 1);
  }
  return text;
}

WString VariantEx::ToString() const { return ToStringByType(-1); }

QZResult VariantEx::GetListItems(IArray<VariantEx>& out) const {
  out.RemoveAll();
  if (GetType() == Empty) {
    return QZ_OK;
  }
  if (GetType() != List) {
    return QZ_E_INVALIDARG;
  }
  const uint32_t count = GetListCount();
  if (count == 0) {
    return QZ_OK;
  }
  if (out.SetCount(count) != count) {
    return QZ_E_FAIL;
  }
  VariantEx* items = out.GetData();
  for (uint32_t i = 0; i < count; ++i) {
    GetListElement(i, items[i]); // an element it cannot read stays empty
  }
  return QZ_OK;
}

// --- Conversions ----------------------------------------------------------------------

bool VariantEx::ToBool() const {
  if (GetType() != String) {
    return Variant::ToBool();
  }
  return Chars::CompareNoCase(WideText().GetBuffer(), u"True") == 0;
}

int8_t VariantEx::ToInt8() const { return GetType() == String ? int8_t(ToInt32()) : Variant::ToInt8(); }

int16_t VariantEx::ToInt16() const { return GetType() == String ? int16_t(ToInt32()) : Variant::ToInt16(); }

int32_t VariantEx::ToInt32() const {
  return GetType() == String ? Chars::ToInt32(WideText().GetBuffer()) : Variant::ToInt32();
}

int64_t VariantEx::ToInt64() const {
  return GetType() == String ? Chars::ToInt64(NString(mBuffer).GetBuffer()) : Variant::ToInt64();
}

uint8_t VariantEx::ToUInt8() const { return GetType() == String ? uint8_t(ToInt32()) : Variant::ToUInt8(); }

uint16_t VariantEx::ToUInt16() const { return GetType() == String ? uint16_t(ToInt32()) : Variant::ToUInt16(); }

uint32_t VariantEx::ToUInt32() const { return GetType() == String ? uint32_t(ToInt64()) : Variant::ToUInt32(); }

uint64_t VariantEx::ToUInt64() const { return GetType() == String ? uint64_t(ToInt64()) : Variant::ToUInt64(); }

float VariantEx::ToFloat() const { return GetType() == String ? float(ToDouble()) : Variant::ToFloat(); }

double VariantEx::ToDouble() const {
  return GetType() == String ? Chars::ToDouble(WideText().GetBuffer()) : Variant::ToDouble();
}

} // namespace QZ
