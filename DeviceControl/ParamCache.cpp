#include "DeviceControl/ParamCache.h"

#include <algorithm>

#include "QZFramework/Utilities/Storage/ValueRecord.h"

using QZ::ParamDescriptor;
using QZ::ParamValue;
using QZ::Variant;

namespace {

// The records of one keyed list, in list order.
using KeyedList = std::vector<ParamValue>;

// records becomes the records of list; false when list is not a keyed list (Empty is an
// empty one).
bool ReadKeyedList(const Variant& list, KeyedList& records) {
  records.clear();
  if (list.GetType() == Variant::Empty) {
    return true;
  }
  if (list.GetType() != Variant::List) {
    return false;
  }
  records.resize(list.GetListCount());
  for (uint32_t i = 0; i < records.size(); ++i) {
    Variant entry;
    Variant id;
    ParamValue& record = records[i];
    if (list.GetListElement(i, entry) != QZ::QZ_OK || entry.GetType() != Variant::List || entry.GetListCount() != 3 ||
        entry.GetListElement(1, id) != QZ::QZ_OK || id.GetType() != Variant::Int32 ||
        entry.GetListElement(0, record.value) != QZ::QZ_OK ||
        entry.GetListElement(2, record.descriptor.qualifier) != QZ::QZ_OK) {
      return false;
    }
    record.descriptor.id = static_cast<uint32_t>(id.ToInt32());
  }
  return true;
}

Variant WriteKeyedList(const KeyedList& records) {
  QZ::ParamValues list;
  if (!records.empty()) {
    list.SetValueEntries(records.data(), static_cast<uint32_t>(records.size()));
  }
  return list;
}

// GetValue's results beside kError.
constexpr int32_t kFound = 0;
constexpr int32_t kAbsent = 1;

// The value of the first record named descriptor: kFound, or kAbsent (value Empty).
int32_t Find(const KeyedList& records, const ParamDescriptor& descriptor, Variant& value) {
  for (const ParamValue& record : records) {
    if (record.descriptor == descriptor) {
      value = record.value;
      return kFound;
    }
  }
  value.Clear();
  return kAbsent;
}

// Gives descriptor value, keeping the records sorted: kChanged, or kUnchanged when the
// record held an equal value.
int32_t Put(KeyedList& records, const ParamDescriptor& descriptor, const Variant& value) {
  for (ParamValue& record : records) {
    if (record.descriptor == descriptor) {
      if (record.value == value) {
        return LParamCache::kUnchanged;
      }
      record.value = value;
      return LParamCache::kChanged;
    }
  }
  const auto place = std::find_if(records.begin(), records.end(),
                                  [&](const ParamValue& record) { return !(record.descriptor < descriptor); });
  records.insert(place, ParamValue(descriptor, value));
  return LParamCache::kChanged;
}

// Removes the last record named descriptor: kChanged, or kUnchanged when there is none.
int32_t Remove(KeyedList& records, const ParamDescriptor& descriptor) {
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->descriptor == descriptor) {
      records.erase(std::next(record).base());
      return LParamCache::kChanged;
    }
  }
  return LParamCache::kUnchanged;
}

bool IsExternal(uint32_t kind) { return kind == Variant::ExternalData || kind == Variant::ExternalConstData; }

// The kind that record `index` of a List names; Empty when it has no such record.
uint32_t RecordKind(const Variant& list, uint32_t index) {
  uint32_t size = 0;
  const auto* data = static_cast<const uint8_t*>(list.GetData(size));
  uint32_t offset = 0;
  uint32_t kind = Variant::Empty;
  if (list.GetType() == Variant::List && QZ::ValueRecord::FindRecord(data, size, index, offset) &&
      size - offset >= QZ::ValueRecord::kHeaderSize) {
    QZ::ValueRecord::KindOf(QZ::ValueRecord::ReadHeader(data + offset), kind);
  }
  return kind;
}

// The levels a qualifier addresses; false for a List without elements, an Empty element
// or one that does not decode, or external data (as the qualifier or as an element's
// record, which would decode to a copy of the bytes, not the data it pointed at).
bool PathOf(const Variant& qualifier, std::vector<Variant>& path) {
  if (qualifier.GetType() != Variant::List) {
    path.assign(1, qualifier);
    return !IsExternal(qualifier.GetType());
  }
  path.resize(qualifier.GetListCount());
  for (uint32_t i = 0; i < path.size(); ++i) {
    if (qualifier.GetListElement(i, path[i]) != QZ::QZ_OK || path[i].GetType() == Variant::Empty ||
        IsExternal(RecordKind(qualifier, i))) {
      return false;
    }
  }
  return !path.empty();
}

} // namespace

LParamCache::LParamCache(uint32_t count) : mEntries(count) {}

int32_t LParamCache::SetValue(const ParamDescriptor& descriptor, const Variant& value, bool notify) {
  const uint32_t id = descriptor.id;
  if (id >= GetCount()) {
    return kError;
  }
  QZ::EventLock::ScopedLock hold(mLock);
  Variant& entry = mEntries[id];
  if (descriptor.qualifier.GetType() == Variant::Empty) {
    if (entry == value) {
      return kUnchanged;
    }
    entry = value;
    if (notify) {
      OnValueChanged(id, entry);
    }
    return kChanged;
  }
  std::vector<Variant> path;
  if (!PathOf(descriptor.qualifier, path)) {
    return kError;
  }
  // levels[i] holds the keyed list that path[i] is looked up in; a level that is not a
  // keyed list is replaced by an empty one. The entry changes only when the value does.
  std::vector<KeyedList> levels(path.size());
  Variant node = entry;
  for (size_t level = 0; level < path.size(); ++level) {
    if (!ReadKeyedList(node, levels[level])) {
      levels[level].clear();
    }
    Find(levels[level], ParamDescriptor(id, path[level]), node);
  }
  const ParamDescriptor last(id, path.back());
  if ((value.GetType() == Variant::Empty ? Remove(levels.back(), last) : Put(levels.back(), last, value)) ==
      kUnchanged) {
    return kUnchanged;
  }
  Variant rebuilt = WriteKeyedList(levels.back());
  for (size_t level = path.size() - 1; level-- > 0;) {
    Put(levels[level], ParamDescriptor(id, path[level]), rebuilt);
    rebuilt = WriteKeyedList(levels[level]);
  }
  entry = rebuilt;
  if (notify) {
    OnValueChanged(id, entry);
  }
  return kChanged;
}

int32_t LParamCache::GetValue(const ParamDescriptor& descriptor, Variant& value) const {
  value.Clear();
  const uint32_t id = descriptor.id;
  if (id >= GetCount()) {
    return kError;
  }
  QZ::EventLock::ScopedLock hold(mLock);
  const Variant& entry = mEntries[id];
  if (descriptor.qualifier.GetType() == Variant::Empty) {
    value = entry;
    return kFound;
  }
  std::vector<Variant> path;
  if (!PathOf(descriptor.qualifier, path)) {
    return kError;
  }
  Variant node = entry;
  KeyedList records;
  for (const Variant& key : path) {
    if (!ReadKeyedList(node, records)) {
      return kError;
    }
    if (Find(records, ParamDescriptor(id, key), node) == kAbsent) {
      return kAbsent;
    }
  }
  value = node;
  return kFound;
}

QZ::QZResult LParamCache::OnValueChanged(uint32_t, const Variant&) { return QZ::QZ_E_NOTIMPL; }
