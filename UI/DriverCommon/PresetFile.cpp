#include "UI/DriverCommon/PresetFile.h"

#include <algorithm>
#include <cstring>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "QZFramework/Utilities/Storage/ValueRecord.h"

namespace QZ::PresetFile {
namespace {

static_assert(kRecordCount == ParameterLayout::kParameterCount, "one record per parameter of the controller");

// A record must leave room for a whole value record.
constexpr uint32_t kMinimumRecordSize = kRecordHeaderSize + ValueRecord::kHeaderSize;

// Reads exactly count bytes: true; false where the source ends first or fails.
bool ReadExactly(Source& source, void* out, uint32_t count) { return source.Read(out, count) == int64_t(count); }

} // namespace

int64_t MemorySource::Read(void* out, uint32_t count) {
  const size_t bytes = std::min<size_t>(count, mBytes.size() - mPosition);
  if (bytes != 0) {
    std::memcpy(out, mBytes.data() + mPosition, bytes);
    mPosition += bytes;
  }
  return int64_t(bytes);
}

bool MemorySink::Write(const void* bytes, uint32_t count) {
  const auto* first = static_cast<const uint8_t*>(bytes);
  mBytes.insert(mBytes.end(), first, first + count);
  return true;
}

bool IsParamValue(uint32_t index, const Variant& value) {
  if (index >= kRecordCount) {
    return true;
  }
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(value.GetData(size));
  return value.GetType() == Variant::Buffer && size == ParameterLayout::kParameterTable[index].defaultValue.width &&
         std::all_of(bytes, bytes + size, [](uint8_t byte) { return byte < 0x80; });
}

int32_t WriteRecord(uint32_t index, const Variant& value, IBuffer& buffer) {
  uint32_t dataSize = 0;
  value.GetData(dataSize);
  if (dataSize > UINT32_MAX - kMinimumRecordSize) {
    buffer.SetCapacity(0);
    return QZ_E_FAIL;
  }
  const uint32_t length = kMinimumRecordSize + dataSize;
  buffer.SetCapacity(length);
  auto* bytes = reinterpret_cast<uint8_t*>(buffer.GetData());
  ValueRecord::WriteWord(bytes, length);
  ValueRecord::WriteWord(bytes + 4, 0);
  ValueRecord::WriteWord(bytes + 8, index);
  const int32_t written = value.Serialize(bytes + kRecordHeaderSize, length - kRecordHeaderSize);
  if (Failed(written)) {
    buffer.SetCapacity(0);
  }
  return written;
}

int32_t ParseRecord(const IBuffer& buffer, uint32_t offset, uint32_t& index, Variant& value, uint32_t& reserved) {
  value.Clear();
  const uint32_t size = buffer.GetSize();
  if (offset > size || size - offset < kRecordHeaderSize) {
    return QZ_E_FAIL;
  }
  const auto* record = reinterpret_cast<const uint8_t*>(buffer.GetData()) + offset;
  const uint32_t length = ValueRecord::ReadWord(record);
  if (length < kMinimumRecordSize || length > size - offset) {
    return QZ_E_FAIL;
  }
  reserved = ValueRecord::ReadWord(record + 4);
  index = ValueRecord::ReadWord(record + 8);
  if (Failed(value.Deserialize(record + kRecordHeaderSize, length - kRecordHeaderSize))) {
    // A refused record of an external kind leaves a copy of its data behind.
    value.Clear();
    return QZ_E_FAIL;
  }
  return int32_t(length);
}

QZResult Write(std::span<const Variant> values, Sink& sink, IBuffer& recordBuffer) {
  if (values.size() != kRecordCount) {
    return QZ_E_FAIL;
  }
  uint8_t header[kHeaderSize];
  ValueRecord::WriteWord(header, kVersion);
  ValueRecord::WriteWord(header + 4, 0);
  ValueRecord::WriteWord(header + 8, 0);
  if (!sink.Write(header, kHeaderSize)) {
    return QZ_E_FAIL;
  }
  for (uint32_t index = 0; index < kRecordCount; ++index) {
    if (Failed(WriteRecord(index, values[index], recordBuffer)) ||
        !sink.Write(recordBuffer.GetData(), recordBuffer.GetSize())) {
      return QZ_E_FAIL;
    }
  }
  return QZ_OK;
}

int32_t Read(Source& source, IBuffer& recordBuffer, std::vector<Record>& records) {
  records.clear();
  uint8_t header[kHeaderSize];
  if (!ReadExactly(source, header, kHeaderSize)) {
    return kCorrupt;
  }
  if (ValueRecord::ReadWord(header + 4) != 0 || ValueRecord::ReadWord(header + 8) != 0) {
    return kWrongDevice;
  }
  const uint32_t version = ValueRecord::ReadWord(header);
  if (version != kVersion) {
    return version > kVersion ? kNewerVersion : kOlderVersion;
  }

  std::vector<Record> read;
  for (;;) {
    uint8_t lengthWord[4];
    const int64_t got = source.Read(lengthWord, sizeof lengthWord);
    if (got == 0) {
      break;
    }
    if (got != int64_t(sizeof lengthWord)) {
      return kCorrupt;
    }
    const uint32_t length = ValueRecord::ReadWord(lengthWord);
    // Compared before anything is allocated for it: a length word is untrusted.
    if (length < kMinimumRecordSize || length - sizeof lengthWord > source.Remaining()) {
      return kCorrupt;
    }
    recordBuffer.SetSize(length);
    auto* bytes = reinterpret_cast<uint8_t*>(recordBuffer.GetData());
    std::memcpy(bytes, lengthWord, sizeof lengthWord);
    if (!ReadExactly(source, bytes + sizeof lengthWord, length - uint32_t(sizeof lengthWord))) {
      return kCorrupt;
    }
    Record record;
    uint32_t reserved = 0;
    if (Failed(ParseRecord(recordBuffer, 0, record.index, record.value, reserved)) || reserved != 0 ||
        !IsParamValue(record.index, record.value)) {
      return kCorrupt;
    }
    read.push_back(std::move(record));
  }
  records = std::move(read);
  return kLoaded;
}

} // namespace QZ::PresetFile
