// Feeds untrusted bytes to the preset file reader, as a whole file and as one record.
// Beyond the sanitizers' findings it traps when the record buffer asks for more than the
// input holds (rounded up to the buffer's grain), when a refused file hands out records,
// when an accepted file holds a value the engine could not take, or when the records of
// an accepted file, written again, do not read back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "UI/DriverCommon/PresetFile.h"

namespace {

namespace PresetFile = QZ::PresetFile;

constexpr uint32_t kGrain = 512;

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// Remembers the largest block a record buffer asked for.
class CountingAllocator final : public QZ::IAllocator {
public:
  void* Malloc(uint32_t size) override { return Note(size), std::malloc(size); }
  void* Calloc(uint32_t count, uint32_t size) override { return Note(count * size), std::calloc(count, size); }
  void* Realloc(void* block, uint32_t size) override { return Note(size), std::realloc(block, size); }
  void Free(void* block) override { std::free(block); }

  uint64_t largest = 0;

private:
  void Note(uint32_t size) {
    if (size > largest) {
      largest = size;
    }
  }
};

CountingAllocator gCounting;
QZ::IAllocator* Counting() { return &gCounting; }
using RecordBuffer = QZ::BufferT<kGrain, kGrain, 8, char*, &Counting>;

int32_t ReadAll(const uint8_t* data, size_t size, RecordBuffer& buffer, std::vector<PresetFile::Record>& records) {
  PresetFile::MemorySource source({data, size});
  return PresetFile::Read(source, buffer, records);
}

void CheckRewritten(const std::vector<PresetFile::Record>& records) {
  PresetFile::MemorySink sink;
  const uint8_t header[PresetFile::kHeaderSize] = {2};
  Check(sink.Write(header, sizeof header));
  QZ::LPresetFileBuffer record(0, 0, false);
  for (const PresetFile::Record& read : records) {
    Check(PresetFile::WriteRecord(read.index, read.value, record) > 0);
    Check(sink.Write(record.GetData(), record.GetSize()));
  }
  RecordBuffer buffer;
  std::vector<PresetFile::Record> again;
  Check(ReadAll(sink.GetBytes().data(), sink.GetBytes().size(), buffer, again) == PresetFile::kLoaded);
  Check(again.size() == records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    Check(again[i].index == records[i].index && again[i].value == records[i].value);
  }
}

void ParseOneRecord(const uint8_t* data, uint32_t size) {
  QZ::LPresetFileBuffer buffer(size, 0, false);
  if (size != 0) {
    std::memcpy(buffer.GetData(), data, size);
  }
  uint32_t index = 0;
  uint32_t reserved = 0;
  QZ::Variant value;
  const int32_t length = PresetFile::ParseRecord(buffer, 0, index, value, reserved);
  if (length > 0) {
    Check(uint32_t(length) <= size);
    Check(value.GetType() != QZ::Variant::ExternalData && value.GetType() != QZ::Variant::ExternalConstData);
  } else {
    Check(value.GetType() == QZ::Variant::Empty);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) {
    return 0;
  }
  gCounting.largest = 0;
  std::vector<PresetFile::Record> records;
  int32_t result = 0;
  {
    RecordBuffer buffer;
    result = ReadAll(data, size, buffer, records);
  }
  Check(gCounting.largest <= (uint64_t(size) + kGrain - 1) / kGrain * kGrain);
  Check(result <= PresetFile::kLoaded && result >= PresetFile::kWrongDevice);
  if (result == PresetFile::kLoaded) {
    for (const PresetFile::Record& record : records) {
      Check(PresetFile::IsParamValue(record.index, record.value));
    }
    CheckRewritten(records);
  } else {
    Check(records.empty());
  }
  ParseOneRecord(data, uint32_t(size));
  return 0;
}
