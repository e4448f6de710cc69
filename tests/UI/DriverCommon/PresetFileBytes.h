#pragma once
// Preset files for tests, put together word by word, so that a test states the bytes
// the reader meets without relying on the writer.
//
//   std::vector<uint8_t> tempo = QZTest::PresetFileBytes().Header()
//                                    .Record(122, QZTest::ValueRecord(0x0E, {1, 20})).Take();

#include <cstdint>
#include <vector>

namespace QZTest {

// The value record {V = 12 + n, encoding, kind, data}.
inline std::vector<uint8_t> ValueRecord(uint32_t kind, const std::vector<uint8_t>& data, uint32_t encoding = 1) {
  std::vector<uint8_t> bytes;
  for (uint32_t word : {uint32_t(12 + data.size()), encoding, kind}) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(uint8_t(word >> shift));
    }
  }
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

class PresetFileBytes {
public:
  PresetFileBytes& Word(uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) {
      mBytes.push_back(uint8_t(word >> shift));
    }
    return *this;
  }
  PresetFileBytes& Bytes(const std::vector<uint8_t>& bytes) {
    mBytes.insert(mBytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  PresetFileBytes& Header(uint32_t version = 2, uint32_t deviceA = 0, uint32_t deviceB = 0) {
    return Word(version).Word(deviceA).Word(deviceB);
  }
  // {L = 12 + the value record's size, reserved, index, value record}.
  PresetFileBytes& Record(uint32_t index, const std::vector<uint8_t>& valueRecord, uint32_t reserved = 0) {
    return Word(uint32_t(12 + valueRecord.size())).Word(reserved).Word(index).Bytes(valueRecord);
  }
  // A record of a one-byte buffer.
  PresetFileBytes& ByteRecord(uint32_t index, uint8_t value) { return Record(index, ValueRecord(0x0E, {value})); }

  std::vector<uint8_t> Take() { return std::move(mBytes); }

private:
  std::vector<uint8_t> mBytes;
};

} // namespace QZTest
