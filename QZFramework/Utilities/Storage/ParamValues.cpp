#include "QZFramework/Utilities/Storage/ParamValues.h"

#include <initializer_list>
#include <limits>
#include <new>
#include <span>
#include <vector>

namespace QZ {

namespace {

constexpr uint32_t kNoId = 0xFFFFFFFF;

// Bytes of one descriptor pair built from a range: the entry's header, an Int32 record
// and an Empty record.
constexpr uint64_t kRangeDescriptorBytes = 12 + (12 + 4) + 12;

Variant IdVariant(uint32_t id) {
  Variant value;
  value.SetInt32(int32_t(id));
  return value;
}

Variant::Type MakeEntry(Variant& out, std::initializer_list<const Variant*> elements) {
  return out.SetPointerList(elements.begin(), uint32_t(elements.size()));
}

// `list` becomes `count` entries made by `fill`, called for each index in ascending order;
// QZ_E_FAIL when one could not be built.
template <class Fill>
QZResult BuildEntries(Variant& list, uint32_t count, Fill fill) {
  try {
    std::vector<Variant> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
      if (fill(i, entries[i]) != Variant::List) {
        list.SetList(nullptr, 0);
        return QZ_E_FAIL;
      }
    }
    return list.SetList(entries.data(), count) == Variant::List ? QZ_OK : QZ_E_FAIL;
  } catch (const std::bad_alloc&) {
    list.SetList(nullptr, 0);
    return QZ_E_FAIL;
  }
}

// Decodes entry `index` of `list` into `elements`: the entry must be a List of exactly
// that many records; each element is as its record decodes (Empty when refused). On -7
// every element is left Empty.
QZResult ReadEntry(const Variant& list, uint32_t index, std::span<Variant* const> elements) {
  if (list.GetType() != Variant::List || index >= list.GetListCount()) {
    return kParamListNoItem;
  }
  Variant entry;
  bool whole = Succeeded(list.GetListElement(index, entry)) && entry.GetType() == Variant::List &&
               entry.GetListCount() == elements.size();
  for (uint32_t i = 0; whole && i < elements.size(); ++i) {
    whole = Succeeded(entry.GetListElement(i, *elements[i]));
  }
  if (!whole) {
    for (Variant* element : elements) {
      element->Clear();
    }
    return kParamListBadEntry;
  }
  return QZ_OK;
}

// The id an entry's id element names: an element that did not decode names no parameter.
uint32_t IdOf(const Variant& element) {
  return element.GetType() == Variant::Empty ? kNoId : uint32_t(element.ToInt32());
}

} // namespace

// --- Records --------------------------------------------------------------------------

Variant::Type ParamDescriptor::ToValueEntry(const Variant& value, Variant& out) const {
  const Variant idValue = IdVariant(id);
  return MakeEntry(out, {&value, &idValue, &qualifier});
}

bool ParamDescriptor::operator<(const ParamDescriptor& other) const {
  if (id != other.id) {
    return id < other.id;
  }
  return qualifier < other.qualifier;
}

Variant::Type ParamValue::ToIdValuePair(Variant& out) const {
  const Variant idValue = IdVariant(descriptor.id);
  return MakeEntry(out, {&idValue, &value});
}

// --- ParamValues ----------------------------------------------------------------------

QZResult ParamValues::SetParamValues(const ParamValue* values, uint32_t count) {
  if (!values || count == 0) {
    return kParamListNoItem;
  }
  return BuildEntries(*this, count, [values](uint32_t i, Variant& entry) { return values[i].ToIdValuePair(entry); });
}

QZResult ParamValues::SetValueEntries(const ParamValue* values, uint32_t count) {
  if (!values || count == 0) {
    return kParamListNoItem;
  }
  return BuildEntries(*this, count, [values](uint32_t i, Variant& entry) {
    return values[i].descriptor.ToValueEntry(values[i].value, entry);
  });
}

QZResult ParamValues::SetParamValue(const ParamDescriptor& descriptor, const Variant& value) {
  return BuildEntries(*this, 1, [&](uint32_t, Variant& entry) { return descriptor.ToValueEntry(value, entry); });
}

QZResult ParamValues::GetParamValue(uint32_t index, Variant& value, uint32_t& id, Variant& qualifier) const {
  Variant idElement;
  Variant* const elements[] = {&value, &idElement, &qualifier};
  const QZResult result = ReadEntry(*this, index, elements);
  if (Failed(result)) {
    value.Clear();
    qualifier.Clear();
    id = kNoId;
    return result;
  }
  id = IdOf(idElement);
  return QZ_OK;
}

// --- ParamDescriptors -----------------------------------------------------------------

ParamDescriptors::ParamDescriptors(const ParamIdRange& range) {
  ParamRanges ranges;
  ranges.SetRanges(&range, 1);
  SetFromRanges(ranges);
}

QZResult ParamDescriptors::SetDescriptors(const ParamDescriptor* descriptors, uint32_t count) {
  if (!descriptors || count == 0) {
    return kParamListNoItem;
  }
  return BuildEntries(*this, count, [descriptors](uint32_t i, Variant& entry) {
    const Variant idValue = IdVariant(descriptors[i].id);
    return MakeEntry(entry, {&idValue, &descriptors[i].qualifier});
  });
}

QZResult ParamDescriptors::SetFromRanges(const ParamRanges& ranges) {
  const uint32_t rangeCount = ranges.GetListCount();
  std::vector<ParamIdRange> items(rangeCount);
  uint64_t total = 0;
  for (uint32_t i = 0; i < rangeCount; ++i) {
    if (const QZResult result = ranges.GetRange(i, items[i]); Failed(result)) {
      SetList(nullptr, 0);
      return result;
    }
    total += items[i].count;
  }
  if (total * kRangeDescriptorBytes > std::numeric_limits<uint32_t>::max()) {
    SetList(nullptr, 0);
    return QZ_E_FAIL;
  }
  // Entries are built in order, so the generator walks the ranges alongside.
  size_t range = 0;
  uint32_t step = 0;
  const Variant empty;
  return BuildEntries(*this, uint32_t(total), [&](uint32_t, Variant& entry) {
    while (step == items[range].count) {
      ++range;
      step = 0;
    }
    const Variant idValue = IdVariant(items[range].first + step++);
    return MakeEntry(entry, {&idValue, &empty});
  });
}

QZResult ParamDescriptors::GetDescriptor(uint32_t index, ParamDescriptor& out) const {
  Variant idElement;
  Variant* const elements[] = {&idElement, &out.qualifier};
  const QZResult result = ReadEntry(*this, index, elements);
  if (Failed(result)) {
    out.qualifier.Clear();
    out.id = kNoId;
    return result;
  }
  out.id = IdOf(idElement);
  return QZ_OK;
}

// --- ParamRanges ----------------------------------------------------------------------

QZResult ParamRanges::SetRanges(const ParamIdRange* ranges, uint32_t count) {
  if (!ranges || count == 0) {
    return kParamListNoItem;
  }
  return BuildEntries(*this, count, [ranges](uint32_t i, Variant& entry) {
    const Variant first = IdVariant(ranges[i].first);
    const Variant length = IdVariant(ranges[i].count);
    return MakeEntry(entry, {&first, &length});
  });
}

QZResult ParamRanges::GetRange(uint32_t index, ParamIdRange& out) const {
  Variant first;
  Variant count;
  Variant* const elements[] = {&first, &count};
  const QZResult result = ReadEntry(*this, index, elements);
  if (result == kParamListNoItem) {
    out = {kNoId, 0};
  }
  if (Failed(result)) {
    return result;
  }
  out = {uint32_t(first.ToInt32()), uint32_t(count.ToInt32())};
  return QZ_OK;
}

} // namespace QZ
