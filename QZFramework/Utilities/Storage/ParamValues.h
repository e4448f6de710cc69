#pragma once
// Parameter identities and values, and the three list kinds that carry them between the
// panels, the engine and the device-control library.
//
//   QZ::ParamDescriptors ids(QZ::ParamIdRange{100, 3});   // [100, Empty] [101, Empty] [102, Empty]
//
//   QZ::ParamValues values;
//   values.SetParamValue(QZ::ParamDescriptor(5), level);  // one value entry
//   QZ::Variant value, qualifier;
//   uint32_t id = 0;
//   values.GetParamValue(0, value, id, qualifier);        // 0: id 5, value == level
//
// Each list is a List Variant whose elements are entries, each itself a List:
//
//   list               entry            elements
//   ParamValues        value entry      [value, Int32 id, qualifier]
//   ParamValues        id-value pair    [Int32 id, value]
//   ParamDescriptors   descriptor pair  [Int32 id, qualifier]
//   ParamRanges        range pair       [Int32 first id, Int32 count]
//
// Result codes of the lists: 0 success, -4 a missing or empty argument or an index out of
// range, -7 an entry of the wrong shape (not a List of the entry's number of records),
// QZ_E_FAIL a list that could not be built. The elements of an entry are read as their
// records decode (Variant::GetListElement): external data comes back as a Buffer, a
// refused record as Empty. Not synchronised, like Variant.

#include <cstdint>

#include "QZFramework/Utilities/Storage/Pair.h"
#include "QZFramework/Utilities/Storage/Variant.h"

namespace QZ {

inline constexpr int32_t kParamListNoItem = -4;
inline constexpr int32_t kParamListBadEntry = -7;

// Consecutive parameter ids first .. first + count - 1.
struct ParamIdRange {
  uint32_t first = 0;
  uint32_t count = 0;

  bool operator==(const ParamIdRange&) const = default;
};

// Names a parameter: its id (negative pseudo-ids are stored in the same word) and a
// qualifier that addresses a sub-value of it, Empty for the parameter itself.
struct ParamDescriptor {
  uint32_t id = 0;
  Variant qualifier;

  ParamDescriptor() = default;
  explicit ParamDescriptor(uint32_t paramId) : id(paramId) {}
  ParamDescriptor(uint32_t paramId, const Variant& subKey) : id(paramId), qualifier(subKey) {}

  // `out` becomes the value entry [value, Int32 id, qualifier]; returns its kind (List, or
  // Empty when it could not be built). `out` may be `value`.
  Variant::Type ToValueEntry(const Variant& value, Variant& out) const;

  bool operator==(const ParamDescriptor& other) const { return id == other.id && qualifier == other.qualifier; }
  // By id (unsigned), then by qualifier in Variant order.
  bool operator<(const ParamDescriptor& other) const;
};

// A parameter's value together with the descriptor that names it.
struct ParamValue {
  ParamDescriptor descriptor;
  Variant value;

  ParamValue() = default;
  // Names parameter `id` with an Empty qualifier and an Empty value.
  explicit ParamValue(uint32_t id) : descriptor(id) {}
  ParamValue(const ParamDescriptor& name, const Variant& data) : descriptor(name), value(data) {}

  uint32_t GetId() const { return descriptor.id; }

  // `out` becomes the id-value pair [Int32 id, value]; returns its kind, as ToValueEntry.
  Variant::Type ToIdValuePair(Variant& out) const;

  bool operator==(const ParamValue& other) const = default;
};

// A descriptor and a value (the list form of which is the value entry).
template <>
struct Pair<ParamDescriptor, Variant> {
  ParamDescriptor first;
  Variant second;

  Pair() = default;
  Pair(const ParamDescriptor& name, const Variant& value) : first(name), second(value) {}
  Pair(uint32_t id, const Variant& qualifier, const Variant& value) : first(id, qualifier), second(value) {}
};

// A list of parameter values; starts as an empty List.
class ParamValues : public Variant {
public:
  ParamValues() { SetList(nullptr, 0); }

  // The list becomes one id-value pair [Int32 id, value] per item, in order (the items'
  // qualifiers are not written). -4 when `values` is null or `count` is 0.
  QZResult SetParamValues(const ParamValue* values, uint32_t count);
  // The list becomes one value entry [value, Int32 id, qualifier] per item, in order.
  // -4 when `values` is null or `count` is 0.
  QZResult SetValueEntries(const ParamValue* values, uint32_t count);
  // The list becomes the one value entry of `descriptor` and `value`.
  QZResult SetParamValue(const ParamDescriptor& descriptor, const Variant& value);

  // Decodes value entry `index`. Clears `value` and `qualifier` and sets `id` to 0xFFFFFFFF
  // unless it succeeds; -4 when this is not a List or has no entry `index`, -7 when the
  // entry is not a List of exactly three records. The id is element 1's ToInt32, or
  // 0xFFFFFFFF when that element did not decode (the entry names no parameter). The
  // outputs may be this list.
  QZResult GetParamValue(uint32_t index, Variant& value, uint32_t& id, Variant& qualifier) const;
};

class ParamRanges;

// A list of parameter descriptors; starts as an empty List.
class ParamDescriptors : public Variant {
public:
  ParamDescriptors() { SetList(nullptr, 0); }
  // The descriptors of every id of `range`, ascending, with Empty qualifiers (an empty
  // List when they would not fit in 4 GB).
  explicit ParamDescriptors(const ParamIdRange& range);

  // The list becomes one descriptor pair [Int32 id, qualifier] per item, in order. -4 when
  // `descriptors` is null or `count` is 0.
  QZResult SetDescriptors(const ParamDescriptor* descriptors, uint32_t count);
  // The list becomes one descriptor pair [Int32 id, Empty] for every id of every range:
  // ranges in list order, each range's ids ascending. -7 when a range entry is malformed,
  // QZ_E_FAIL when the list would not fit in 4 GB; the list is then an empty List.
  QZResult SetFromRanges(const ParamRanges& ranges);

  // Decodes descriptor pair `index`; -4 or -7 as ParamValues::GetParamValue, which leave
  // `out` with id 0xFFFFFFFF and an Empty qualifier.
  QZResult GetDescriptor(uint32_t index, ParamDescriptor& out) const;
};

// A list of parameter id ranges; starts as an empty List.
class ParamRanges : public Variant {
public:
  ParamRanges() { SetList(nullptr, 0); }

  // The list becomes one range pair [Int32 first, Int32 count] per item, in order. -4 when
  // `ranges` is null or `count` is 0.
  QZResult SetRanges(const ParamIdRange* ranges, uint32_t count);
  // Decodes range pair `index`: -4 with `out` set to {0xFFFFFFFF, 0} when this is not a
  // List or has no entry `index`; -7, leaving `out` untouched, when the entry is not a List
  // of exactly two records. The fields are the elements' ToInt32.
  QZResult GetRange(uint32_t index, ParamIdRange& out) const;
};

} // namespace QZ
