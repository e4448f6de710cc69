#pragma once
// The value record: the byte form of one QZ::Variant, and the one byte format that preset
// files, the device-control library and the engine's notifications share.
//
//   offset  width  field
//        0  u32    record size in bytes: 12 + n
//        4  u32    encoding: 1 as written here; 0 is an older kind numbering still read
//        8  u32    kind code
//       12  n      the scalar in its natural width, or the bytes of a buffer, a string
//                  (its NUL included) or a list (its elements' records back to back)
//
// All words are little-endian. These functions read bytes that may come from disk or
// from another process: none reads outside the span it is given.

#include <cstdint>

namespace QZ::ValueRecord {

inline constexpr uint32_t kHeaderSize = 12;
inline constexpr uint32_t kEncoding = 1;
inline constexpr uint32_t kLegacyEncoding = 0;

struct Header {
  uint32_t size = 0;
  uint32_t encoding = 0;
  uint32_t code = 0;
};

uint32_t ReadWord(const uint8_t* at);
void WriteWord(uint8_t* at, uint32_t value);

// `at` has kHeaderSize readable (writable) bytes.
Header ReadHeader(const uint8_t* at);
void WriteHeader(uint8_t* at, uint32_t recordSize, uint32_t kind);

// The Variant kind that a header's code stands for under its encoding: encoding 1 takes
// the codes 0-16 as they are, encoding 0 maps its codes 0-10 to the kinds 0, 1, 6, 10, 8,
// 9, 12, 13, 14, 15, 16. False for any other encoding or code.
bool KindOf(const Header& header, uint32_t& kind);

// The records of a list's data are found by walking the size words from offset 0 while
// offset + 4 is below the data size; data of fewer than 5 bytes holds none. A size word
// below 12 or running past the end is counted as a record (one that will not decode) and
// ends the walk, so hostile data can neither stall the walk nor lead it outside the data.
uint32_t CountRecords(const uint8_t* data, uint32_t size);

// The offset of record `index` by the same walk; false when the walk does not reach it.
bool FindRecord(const uint8_t* data, uint32_t size, uint32_t index, uint32_t& offset);

} // namespace QZ::ValueRecord
