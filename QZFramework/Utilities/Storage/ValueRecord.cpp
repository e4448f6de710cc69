#include "QZFramework/Utilities/Storage/ValueRecord.h"

#include <array>

namespace QZ::ValueRecord {

namespace {

constexpr uint32_t kCurrentKindCount = 17;
constexpr std::array<uint32_t, 11> kLegacyKinds = {0, 1, 6, 10, 8, 9, 12, 13, 14, 15, 16};

// Moves `offset` past the record there; false, with `offset` unchanged, when that record's
// size word is below the header size or runs past the end of the data.
bool Step(const uint8_t* data, uint32_t size, uint32_t& offset) {
  const uint32_t recordSize = ReadWord(data + offset);
  if (recordSize < kHeaderSize || recordSize > size - offset) {
    return false;
  }
  offset += recordSize;
  return true;
}

bool HasSizeWordAt(uint32_t size, uint32_t offset) { return uint64_t(offset) + 4 < size; }

} // namespace

uint32_t ReadWord(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

void WriteWord(uint8_t* at, uint32_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
  at[2] = uint8_t(value >> 16);
  at[3] = uint8_t(value >> 24);
}

Header ReadHeader(const uint8_t* at) { return {ReadWord(at), ReadWord(at + 4), ReadWord(at + 8)}; }

void WriteHeader(uint8_t* at, uint32_t recordSize, uint32_t kind) {
  WriteWord(at, recordSize);
  WriteWord(at + 4, kEncoding);
  WriteWord(at + 8, kind);
}

bool KindOf(const Header& header, uint32_t& kind) {
  if (header.encoding == kEncoding && header.code < kCurrentKindCount) {
    kind = header.code;
    return true;
  }
  if (header.encoding == kLegacyEncoding && header.code < kLegacyKinds.size()) {
    kind = kLegacyKinds[header.code];
    return true;
  }
  return false;
}

uint32_t CountRecords(const uint8_t* data, uint32_t size) {
  uint32_t count = 0;
  uint32_t offset = 0;
  while (HasSizeWordAt(size, offset)) {
    ++count;
    if (!Step(data, size, offset)) {
      break;
    }
  }
  return count;
}

bool FindRecord(const uint8_t* data, uint32_t size, uint32_t index, uint32_t& offset) {
  offset = 0;
  for (uint32_t i = 0; HasSizeWordAt(size, offset); ++i) {
    if (i == index) {
      return true;
    }
    if (!Step(data, size, offset)) {
      return false;
    }
  }
  return false;
}

} // namespace QZ::ValueRecord
