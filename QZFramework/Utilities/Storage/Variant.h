#pragma once
// QZ::Variant: the framework's typed value, carried through byte streams as a value
// record (ValueRecord.h).
//
//   QZ::Variant channel;
//   channel.SetInt32(7);
//   uint8_t record[16];
//   channel.Serialize(record, sizeof record);   // 10000000 01000000 06000000 07000000
//   QZ::Variant copy;
//   copy.Deserialize(record, sizeof record);    // 0: copy is an Int32 holding 7
//
// A Variant is Empty or holds one of sixteen kinds: a scalar in eight value bytes (the
// bytes beyond the kind's width are always zero), a pointer and size of external data it
// does not own, or an owned block (Buffer, String, List) that no other Variant shares. A
// String's block holds UTF-8 text and its NUL, and its size counts the NUL. A List's block
// holds its elements' records back to back; an empty List, like any heap kind of size 0,
// has no block.
//
// Nothing here throws. Setters return the resulting kind, Empty when the value was refused
// (a size that does not fit the kind, an allocation that failed); other operations return
// result codes. No lock: one thread at a time, or under the lock of the value's holder.

#include <cstdint>

#include "QZFramework/ObjectBase/Exception.h"

namespace QZ {

class Variant {
public:
  enum Type : uint32_t {
    Empty = 0,
    Bool = 1,
    Int8 = 2,
    UInt8 = 3,
    Int16 = 4,
    UInt16 = 5,
    Int32 = 6,
    UInt32 = 7,
    Float = 8,
    Double = 9,
    Int64 = 10,
    UInt64 = 11,
    ExternalData = 12,
    ExternalConstData = 13,
    Buffer = 14,
    String = 15,
    List = 16,
  };

  Variant() noexcept = default;
  // Deep copies: heap blocks are copied through this object's own AllocateBuffer.
  Variant(const Variant& other);
  Variant& operator=(const Variant& other);
  // Frees the block through Variant::FreeBuffer. A class that overrides AllocateBuffer and
  // FreeBuffer calls Clear in its own destructor.
  virtual ~Variant();

  // Conversions. Integers: signed kinds widen with their sign, unsigned kinds with zeros,
  // wider kinds keep their low bits; ToUInt16 keeps the low 16 value bits of every integer
  // kind. Reals round half away from zero, saturating at the bounds of the integer they are
  // converted through (NaN gives 0). ExternalData, ExternalConstData and Buffer read their
  // leading bytes as a little-endian integer of the getter's width, zero-extended when the
  // data is shorter. A String gives its length in bytes. Empty and List give 0.
  // ToFloat and ToDouble give numbers their value, and convert ToInt32 (ToFloat) or
  // ToInt64 (ToDouble) for the external kinds, Buffer and String. ToBool: a non-zero
  // value, a non-null external pointer, a non-empty Buffer, List or String text.
  virtual bool ToBool() const;
  virtual int8_t ToInt8() const;
  virtual int16_t ToInt16() const;
  virtual int32_t ToInt32() const;
  virtual int64_t ToInt64() const;
  virtual uint8_t ToUInt8() const;
  virtual uint16_t ToUInt16() const;
  virtual uint32_t ToUInt32() const;
  virtual uint64_t ToUInt64() const;
  virtual float ToFloat() const;
  virtual double ToDouble() const;

  // The value's bytes and their count: 1, 2, 4 or 8 for scalars, the data and its size for
  // the kinds ExternalData to List, null and 0 for Empty. Valid until the next change.
  virtual const void* GetData(uint32_t& size) const;
  // As GetData, for the kinds that may be written in place (not ExternalConstData, not List).
  virtual void* GetWritableData(uint32_t& size);
  // The NUL-terminated text of a String; null for every other kind.
  virtual const char* GetString() const;

protected:
  // A new block of `size` (> 0) bytes, or null; every heap block comes from here and goes
  // back through FreeBuffer. A class that overrides one overrides both.
  virtual void* AllocateBuffer(uint32_t size);
  virtual void FreeBuffer(void* block);

public:
  Type GetType() const { return mType; }
  // Bytes of data for the kinds ExternalData to List; 0 for every other kind.
  uint32_t GetSize() const { return mSize; }

  // Becomes a copy of `other` (external data keeps pointing at the same bytes). Returns
  // the resulting kind; Empty when a block could not be allocated.
  Type Assign(const Variant& other);
  void Clear();

  Type SetBool(bool value);
  Type SetInt8(int8_t value);
  Type SetUInt8(uint8_t value);
  Type SetInt16(int16_t value);
  Type SetUInt16(uint16_t value);
  Type SetInt32(int32_t value);
  Type SetUInt32(uint32_t value);
  Type SetFloat(float value);
  Type SetDouble(double value);
  Type SetInt64(int64_t value);
  Type SetUInt64(uint64_t value);
  // Points at data that the caller keeps alive while the Variant or a copy uses it. A null
  // pointer is taken with size 0.
  Type SetExternalData(void* data, uint32_t size);
  Type SetExternalConstData(const void* data, uint32_t size);

  // Takes `size` bytes at `data` as a value of `kind`. Scalars need exactly their width.
  // ExternalData, ExternalConstData and Buffer become an owned Buffer copy, List an owned
  // copy of the records as given. A String needs its NUL within the `size` bytes and takes
  // the text up to it. Anything else, or kind Empty or above List, leaves the Variant Empty.
  Type SetRaw(uint32_t kind, const void* data, uint32_t size);
  // An owned Buffer of `size` bytes copied from `data`, or zero-filled when `data` is null.
  Type SetBuffer(const void* data, uint32_t size);
  // An owned String copy of the NUL-terminated UTF-8 text; null leaves the Variant Empty.
  Type SetString(const char* text);
  // A List of the items' records in order (an empty List for count 0). An item of
  // external kind with no data, or a null pointer item, is written as an Empty record.
  // Empty when the records would not fit in 4 GB or the block could not be allocated.
  // The items may include this Variant itself.
  Type SetList(const Variant* items, uint32_t count);
  Type SetPointerList(const Variant* const* items, uint32_t count);

  // Same kind and value: integers by their bits, reals by IEEE comparison (NaN equals
  // nothing), external data by pointer and size (identity), blocks by size and bytes.
  bool operator==(const Variant& other) const;
  // A strict order for sorting keys: Empty first; numbers (Bool to UInt64) by their exact
  // value across kinds, NaN after every number; when either kind is ExternalData or above,
  // both compare as byte strings (a scalar as its eight value bytes), shorter first, then
  // byte by byte unsigned.
  bool operator<(const Variant& other) const;

  // Writes the record (encoding 1) and returns its size, 12 + n; QZ_E_FAIL, writing
  // nothing, when `out` is null, `capacity` is below 12 + n, or the kind is external with
  // no data.
  int32_t Serialize(void* out, uint32_t capacity) const;
  // Reads one record from `length` available bytes; 0 or QZ_E_FAIL. A refused record
  // leaves the Variant Empty, except a record of an external kind with data, which is
  // refused but leaves a Buffer holding a copy of the data.
  [[nodiscard]] QZResult Deserialize(const void* record, uint32_t length);

  // The number of records of a List (ValueRecord::CountRecords); 0 for any other kind.
  uint32_t GetListCount() const;
  // Clears `out`, then decodes record `index` of this List into it with Deserialize and
  // returns 0 whatever the decoding gave (a refused record leaves `out` Empty, one of
  // external data a Buffer); -1 when this is not a List or has no record `index` with a
  // whole header. `out` may be this Variant.
  QZResult GetListElement(uint32_t index, Variant& out) const;

protected:
  // Frees the current block, then holds `block` of `size` bytes as `kind`. A class that
  // keeps its blocks elsewhere hands one over this way; it is later freed through its
  // FreeBuffer like any other.
  Type Adopt(Type kind, void* block, uint32_t size);

private:
  template <class ItemAt>
  Type BuildList(uint32_t count, ItemAt itemAt);
  Type SetScalar(Type kind, uint64_t bits);
  Type SetText(const char* text, uint32_t length);
  void* Pointer() const;
  int64_t IntegerValue() const;
  double RealValue() const;
  uint64_t LeadingData(uint32_t width) const;

  uint64_t mValue = 0;
  uint32_t mSize = 0;
  Type mType = Empty;
};

} // namespace QZ
