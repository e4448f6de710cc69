// The preset file's codec on its own: records as bytes, the value acceptance rule, and
// the reader's results in the order it checks them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Support/HexBytes.h"
#include "UI/DriverCommon/PresetFile.h"
#include "UI/DriverCommon/PresetFileBytes.h"

namespace {

namespace PresetFile = QZ::PresetFile;
using QZ::Variant;
using QZTest::PresetFileBytes;
using QZTest::ValueRecord;

// Counts what a record buffer asks of the heap.
class CountingAllocator final : public QZ::IAllocator {
public:
  void* Malloc(uint32_t size) override { return Note(size), std::malloc(size); }
  void* Calloc(uint32_t count, uint32_t size) override { return Note(count * size), std::calloc(count, size); }
  void* Realloc(void* block, uint32_t size) override { return Note(size), std::realloc(block, size); }
  void Free(void* block) override { std::free(block); }

  uint32_t largest = 0;

private:
  void Note(uint32_t size) { largest = std::max(largest, size); }
};

CountingAllocator gCounting;
QZ::IAllocator* Counting() { return &gCounting; }
using CountedRecordBuffer = QZ::BufferT<512, 512, 8, char*, &Counting>;

Variant Bytes(std::initializer_list<uint8_t> bytes) {
  Variant value;
  value.SetBuffer(std::data(bytes), uint32_t(bytes.size()));
  return value;
}

template <class Set, class T>
Variant Make(Set set, T value) {
  Variant made;
  (made.*set)(value);
  return made;
}

Variant EmptyList() {
  Variant list;
  list.SetList(nullptr, 0);
  return list;
}

int32_t ReadBytes(const std::vector<uint8_t>& bytes, std::vector<PresetFile::Record>& records) {
  PresetFile::MemorySource source(bytes);
  QZ::LPresetFileBuffer buffer(0, 0, false);
  return PresetFile::Read(source, buffer, records);
}

TEST(PresetFileTest, ARecordIsItsLengthReservedWordAndIndexBeforeTheValueRecord) {
  struct Case {
    uint32_t index;
    Variant value;
    std::string bytes;
  };
  const Case cases[] = {
      {0, Bytes({0}), "19000000 00000000 00000000 0D000000 01000000 0E000000 00"},
      {122, Bytes({1, 20}), "1A000000 00000000 7A000000 0E000000 01000000 0E000000 01 14"},
      {7, Variant(), "18000000 00000000 07000000 0C000000 01000000 00000000"},
      {0x01020304, Make(&Variant::SetInt32, 0x0A0B0C0D),
       "1C000000 00000000 04030201 10000000 01000000 06000000 0D0C0B0A"},
  };
  QZ::LPresetFileBuffer buffer(0, 0, false);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    const int32_t written = PresetFile::WriteRecord(c.index, c.value, buffer);
    EXPECT_EQ(written, int32_t(buffer.GetSize() - 12));
    EXPECT_EQ(QZTest::ToHex(buffer.GetData(), buffer.GetSize()), QZTest::Hex(c.bytes));
    EXPECT_EQ(buffer.GetCapacity(), 512u) << "one grain serves every record";
  }
  Variant unwritable;
  unwritable.SetExternalData(nullptr, 0);
  EXPECT_EQ(PresetFile::WriteRecord(3, unwritable, buffer), QZ::QZ_E_FAIL);
  EXPECT_EQ(buffer.GetSize(), 0u) << "nothing left that could be written out";
  PresetFile::MemorySink sink;
  EXPECT_EQ(PresetFile::Write({}, sink, buffer), QZ::QZ_E_FAIL) << "145 values or none";
  EXPECT_TRUE(sink.GetBytes().empty());
}

TEST(PresetFileTest, ParseRecordAcceptsAValueRecordByTheAcceptanceRule) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    uint32_t offset;
    int32_t result;
    Variant value;
  };
  const auto record = [](std::vector<uint8_t> valueRecord, uint32_t reserved = 0) {
    return PresetFileBytes().Record(9, valueRecord, reserved).Take();
  };
  const Case cases[] = {
      {"int32 in the older numbering", record(ValueRecord(2, {1, 0, 0, 0}, 0)), 0, 28, Make(&Variant::SetInt32, 1)},
      {"one-byte buffer", record(ValueRecord(14, {5})), 0, 25, Bytes({5})},
      {"empty", record(ValueRecord(0, {})), 0, 24, Variant()},
      {"empty list", record(ValueRecord(16, {})), 0, 24, EmptyList()},
      {"text", record(ValueRecord(15, {'a', 0})), 0, 26, Make(&Variant::SetString, "a")},
      {"bytes beyond V ignored", PresetFileBytes().Word(28).Word(0).Word(9).Bytes(ValueRecord(14, {5})).Word(7).Take(),
       0, 28, Bytes({5})},
      {"at an offset", PresetFileBytes().Word(0).Bytes(record(ValueRecord(14, {5}))).Take(), 4, 25, Bytes({5})},
      {"reserved word left to the caller", record(ValueRecord(14, {5}), 1), 0, 25, Bytes({5})},
      {"buffer without data", record(ValueRecord(14, {})), 0, QZ::QZ_E_FAIL, Variant()},
      {"external data", record(ValueRecord(12, {1})), 0, QZ::QZ_E_FAIL, Variant()},
      {"kind 17", record(ValueRecord(17, {1})), 0, QZ::QZ_E_FAIL, Variant()},
      {"encoding 2", record(ValueRecord(14, {1}, 2)), 0, QZ::QZ_E_FAIL, Variant()},
      {"int32 of three bytes", record(ValueRecord(6, {1, 2, 3})), 0, QZ::QZ_E_FAIL, Variant()},
      {"text without its NUL", record(ValueRecord(15, {'a'})), 0, QZ::QZ_E_FAIL, Variant()},
      {"V beyond L - 12", PresetFileBytes().Word(24).Word(0).Word(9).Bytes(ValueRecord(14, {5})).Take(), 0,
       QZ::QZ_E_FAIL, Variant()},
      {"L beyond the bytes", PresetFileBytes().Word(26).Word(0).Word(9).Bytes(ValueRecord(14, {5})).Take(), 0,
       QZ::QZ_E_FAIL, Variant()},
      {"L of 15", PresetFileBytes().Word(15).Word(0).Word(9).Word(0).Take(), 0, QZ::QZ_E_FAIL, Variant()},
      {"offset past the end", record(ValueRecord(14, {5})), 26, QZ::QZ_E_FAIL, Variant()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QZ::LPresetFileBuffer buffer(uint32_t(c.bytes.size()), 0, false);
    std::copy(c.bytes.begin(), c.bytes.end(), buffer.GetData());
    uint32_t index = 0;
    uint32_t reserved = 0xFFFFFFFF;
    Variant value = Bytes({99});
    EXPECT_EQ(PresetFile::ParseRecord(buffer, c.offset, index, value, reserved), c.result);
    EXPECT_EQ(value, c.value);
    if (c.result > 0) {
      EXPECT_EQ(index, 9u);
      EXPECT_EQ(reserved, std::string(c.what).starts_with("reserved") ? 1u : 0u);
    }
  }
}

// The manager's tests load the common refusals from files; these are the finer points.
TEST(PresetFileTest, ReadChecksHeaderThenVersionThenEveryRecordBeforeGivingAny) {
  const auto header = [](uint32_t version = 2, uint32_t b = 0) { return PresetFileBytes().Header(version, 0, b); };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t result;
  };
  const Case cases[] = {
      {"version 0", header(0).ByteRecord(3, 1).Take(), PresetFile::kOlderVersion},
      {"device word B 1, version 1", header(1, 1).Take(), PresetFile::kWrongDevice},
      {"eleven bytes", std::vector<uint8_t>(11, 0), PresetFile::kCorrupt},
      {"good, then L = 0", header().ByteRecord(3, 1).Word(0).Take(), PresetFile::kCorrupt},
      {"good, then two stray bytes", header().ByteRecord(3, 1).Bytes({0x19, 0}).Take(), PresetFile::kCorrupt},
      {"a record cut short", header().ByteRecord(3, 1).Word(25).Word(0).Word(4).Take(), PresetFile::kCorrupt},
      {"a tempo byte of 0xFF", header().Record(122, ValueRecord(14, {1, 0xFF})).Take(), PresetFile::kCorrupt},
      {"a uint8 for id 3", header().Record(3, ValueRecord(3, {1})).Take(), PresetFile::kCorrupt},
      {"index 145 holds anything", header().Record(145, ValueRecord(6, {1, 0, 0, 0})).Take(), PresetFile::kLoaded},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<PresetFile::Record> records(1);
    EXPECT_EQ(ReadBytes(c.bytes, records), c.result);
    EXPECT_EQ(records.size(), c.result == PresetFile::kLoaded ? 1u : 0u);
  }
}

TEST(PresetFileTest, ARecordLengthIsTrustedOnlyAsFarAsTheBytesLeft) {
  const auto allocatedFor = [](const std::vector<uint8_t>& bytes, int32_t result) {
    gCounting.largest = 0;
    CountedRecordBuffer buffer;
    PresetFile::MemorySource source(bytes);
    std::vector<PresetFile::Record> records;
    EXPECT_EQ(PresetFile::Read(source, buffer, records), result);
    return gCounting.largest;
  };
  for (const uint32_t length : {0xFFFFFFF0u, 0x7FFFFFF0u, 26u}) {
    SCOPED_TRACE(length);
    const auto bytes = PresetFileBytes().Header().Word(length).Word(0).Word(1).Bytes(ValueRecord(14, {1})).Take();
    EXPECT_EQ(allocatedFor(bytes, PresetFile::kCorrupt), 0u);
  }
  // A long record grows the buffer to the grain above it, within the file rounded up.
  std::vector<uint8_t> text(599, 'a');
  text.push_back(0);
  const auto bytes = PresetFileBytes().Header().Record(300, ValueRecord(15, text)).Take();
  EXPECT_EQ(allocatedFor(bytes, PresetFile::kLoaded), 1024u) << bytes.size() << " bytes";
}

TEST(PresetFileTest, ASourceThatFailsAtARecordBoundaryIsNotTakenForTheEnd) {
  class FailingSource final : public PresetFile::Source {
  public:
    explicit FailingSource(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)), mInner(mBytes) {}
    int64_t Read(void* out, uint32_t count) override { return mInner.Remaining() == 0 ? -1 : mInner.Read(out, count); }
    uint64_t Remaining() const override { return 1000; }

  private:
    std::vector<uint8_t> mBytes;
    PresetFile::MemorySource mInner;
  };
  FailingSource source(PresetFileBytes().Header().ByteRecord(3, 1).Take());
  QZ::LPresetFileBuffer buffer(0, 0, false);
  std::vector<PresetFile::Record> records;
  EXPECT_EQ(PresetFile::Read(source, buffer, records), PresetFile::kCorrupt);
  EXPECT_TRUE(records.empty());
}

} // namespace
