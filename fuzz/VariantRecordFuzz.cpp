// Feeds untrusted bytes to everything that reads value records, the way a preset file or
// the device-control library hands them over: as one record, as the data of a list (its
// walk and its elements, nested), and as the entries of the three parameter lists. Beyond
// the sanitizers' findings it traps when a decoded value does not serialize to a record
// that decodes to the same bytes, when a failed read leaves anything but an empty output,
// or when the ordering stops being strict.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "QZFramework/Utilities/Storage/ParamValues.h"

namespace {

using QZ::Variant;

// What one input may cost: every element read walks its list from the start, and every
// nested list is walked again, so the elements read and the nesting followed are capped.
// Three levels hold a parameter list, its entries and their records; the elements past
// the first 16 exercise no code the first ones do not.
constexpr uint32_t kMaxElements = 16;
constexpr int kMaxDepth = 3;
// Descriptor lists from ranges grow with the ranges' counts. Every read by index walks
// the list from its start, so reading all of a long list costs its length squared:
// expand at most the keyboard's whole parameter table and read a sample of it.
constexpr uint64_t kMaxExpandedIds = 256;

volatile uint64_t gSink;

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

void Consume(uint64_t value) { gSink = gSink ^ value; }

void Exercise(const Variant& value, const Variant& other) {
  Consume(value.ToBool());
  Consume(uint64_t(value.ToInt8()) ^ uint64_t(value.ToInt16()) ^ uint64_t(value.ToInt32()));
  Consume(uint64_t(value.ToInt64()) ^ value.ToUInt8() ^ value.ToUInt16() ^ value.ToUInt32() ^ value.ToUInt64());
  Consume(std::bit_cast<uint32_t>(value.ToFloat()) ^ std::bit_cast<uint64_t>(value.ToDouble()));
  uint32_t size = 0;
  Consume(value.GetData(size) != nullptr ? size : 0);
  Consume(value.GetString() != nullptr);
  Check(!(value < value));
  Check(!(value < other && other < value));
  Consume(value == other);
}

void CheckRoundTrip(const Variant& value) {
  uint32_t size = 0;
  value.GetData(size);
  std::vector<uint8_t> first(12 + uint64_t(size));
  const int32_t written = value.Serialize(first.data(), uint32_t(first.size()));
  Check(written == int32_t(first.size()));
  Variant copy;
  Check(copy.Deserialize(first.data(), uint32_t(first.size())) == 0);
  std::vector<uint8_t> second(first.size());
  Check(copy.Serialize(second.data(), uint32_t(second.size())) == written);
  Check(first == second);
}

void Walk(const Variant& list, int depth) {
  const uint32_t count = list.GetListCount();
  Variant previous;
  for (uint32_t i = 0; i < count && i < kMaxElements; ++i) {
    Variant element;
    if (list.GetListElement(i, element) == 0) {
      CheckRoundTrip(element);
      Exercise(element, previous);
      if (element.GetType() == Variant::List && depth < kMaxDepth) {
        Walk(element, depth + 1);
      }
    } else {
      Check(element.GetType() == Variant::Empty || element.GetType() == Variant::Buffer);
    }
    previous = element;
  }
  Variant beyond;
  Check(list.GetListElement(count, beyond) == -1 && beyond.GetType() == Variant::Empty);
}

void ReadParamLists(const uint8_t* data, uint32_t size) {
  QZ::ParamValues values;
  values.SetRaw(Variant::List, data, size);
  const uint32_t count = std::min(values.GetListCount(), kMaxElements);
  for (uint32_t i = 0; i < count; ++i) {
    Variant value;
    Variant qualifier;
    uint32_t id = 0;
    if (values.GetParamValue(i, value, id, qualifier) == 0) {
      Exercise(value, qualifier);
    } else {
      Check(id == 0xFFFFFFFF && value.GetType() == Variant::Empty && qualifier.GetType() == Variant::Empty);
    }
  }

  QZ::ParamRanges ranges;
  ranges.SetRaw(Variant::List, data, size);
  uint64_t ids = 0;
  for (uint32_t i = 0; i < count; ++i) {
    QZ::ParamIdRange range;
    if (ranges.GetRange(i, range) == 0) {
      ids += range.count;
    }
  }
  if (ranges.GetListCount() <= kMaxElements && ids <= kMaxExpandedIds) {
    QZ::ParamDescriptors descriptors;
    (void)descriptors.SetFromRanges(ranges); // a refusal leaves it empty, as the check below allows
    const uint32_t expanded = descriptors.GetListCount();
    Check(expanded == ids || (expanded == 0 && ids != 0));
    QZ::ParamDescriptor descriptor;
    for (uint32_t i = 0; i < expanded && i < kMaxElements; ++i) {
      Check(descriptors.GetDescriptor(i, descriptor) == 0);
      Consume(descriptor.id);
    }
    if (expanded != 0) {
      Check(descriptors.GetDescriptor(expanded - 1, descriptor) == 0);
      Check(descriptors.GetDescriptor(expanded, descriptor) != 0 && descriptor.id == 0xFFFFFFFF);
    }
  }

  QZ::ParamDescriptors descriptors;
  descriptors.SetRaw(Variant::List, data, size);
  for (uint32_t i = 0; i < count; ++i) {
    QZ::ParamDescriptor descriptor;
    if (descriptors.GetDescriptor(i, descriptor) != 0) {
      Check(descriptor.id == 0xFFFFFFFF && descriptor.qualifier.GetType() == Variant::Empty);
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t length) {
  if (length > std::numeric_limits<uint32_t>::max()) {
    return 0;
  }
  const auto size = uint32_t(length);

  Variant record;
  if (record.Deserialize(data, size) == 0) {
    CheckRoundTrip(record);
    if (record.GetType() == Variant::List) {
      Walk(record, 1);
    }
  } else {
    Check(record.GetType() == Variant::Empty || record.GetType() == Variant::Buffer);
  }

  Variant list;
  list.SetRaw(Variant::List, data, size);
  Walk(list, 1);

  ReadParamLists(data, size);

  // The first byte as a kind and the rest as its raw bytes reach every conversion.
  if (size != 0) {
    Variant raw;
    raw.SetRaw(data[0] % 18, data + 1, size - 1);
    Exercise(raw, record);
  }
  return 0;
}
