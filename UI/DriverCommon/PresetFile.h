#pragma once
// QZ::PresetFile: the byte format of ".QuorinZTRPreset" files, written and read without
// the engine: values in, bytes out, and back.
//
//   offset  width  field
//        0  u32    version: 2
//        4  u32    device word A: 0
//        8  u32    device word B: 0
//       12         records, back to back to the end of the file; the writer puts one per
//                  parameter, k = 0 to 144 in order:
//          +0  u32    record length L = 24 + n, this word included
//          +4  u32    reserved: 0
//          +8  u32    record index k, the parameter relative to the engine's first id
//         +12  L-12   the value record (ValueRecord.h): u32 V = 12 + n, u32 encoding 1,
//                     u32 kind, n data bytes; bytes beyond V are ignored
//
//   QZ::LPresetFileBuffer record(0, 0, false);
//   QZ::PresetFile::WriteRecord(122, tempo, record);   // 14; record holds the 26 bytes
//                                                      // 1A000000 00000000 7A000000 0E000000 ...
//
//   QZ::PresetFile::MemorySource bytes(fileBytes);
//   std::vector<QZ::PresetFile::Record> records;
//   int32_t result = QZ::PresetFile::Read(bytes, record, records);   // 0: records in file order
//
// Every integer is little-endian, written and read byte by byte. The reader checks the
// whole file before it hands any record out, and never allocates more than the bytes
// the source still holds. Nothing here throws but the record buffer on out of memory;
// nothing is shared: any thread, one call per buffer at a time.

#include <cstdint>
#include <span>
#include <vector>

#include "QZFramework/Utilities/Storage/SharedBuffer.h"
#include "QZFramework/Utilities/Storage/Variant.h"

namespace QZ::PresetFile {

// The file name extension, without its dot.
inline constexpr char16_t kExtension[] = u"QuorinZTRPreset";
inline constexpr uint32_t kVersion = 2;
inline constexpr uint32_t kHeaderSize = 12;
// Length, reserved word and index before a record's value.
inline constexpr uint32_t kRecordHeaderSize = 12;
// Records the writer puts: one per parameter of the controller.
inline constexpr uint32_t kRecordCount = 145;

// Results of Read, as the preset manager's load reports them.
inline constexpr int32_t kLoaded = 0;
inline constexpr int32_t kOlderVersion = -1;
inline constexpr int32_t kNewerVersion = -2;
inline constexpr int32_t kCorrupt = -3; // also: the file cannot be opened or read
inline constexpr int32_t kWrongDevice = -4;
// A result of the format that the reader never gives; the load boxes have a text for it.
inline constexpr int32_t kTranslationFailure = -5;

// One record as read: its index and its value.
struct Record {
  uint32_t index = 0;
  Variant value;
};

// Bytes to read, from the start.
class Source {
public:
  // Reads up to count bytes into out: the number read, fewer only where the bytes end;
  // -1 when reading failed.
  virtual int64_t Read(void* out, uint32_t count) = 0;
  // The bytes left to read. Read may still give fewer (a file cut meanwhile).
  virtual uint64_t Remaining() const = 0;

protected:
  ~Source() = default;
};

// Where the written bytes go.
class Sink {
public:
  // Writes all count bytes, or returns false.
  [[nodiscard]] virtual bool Write(const void* bytes, uint32_t count) = 0;

protected:
  ~Sink() = default;
};

// The bytes of a span, which must outlive the source.
class MemorySource final : public Source {
public:
  explicit MemorySource(std::span<const uint8_t> bytes) : mBytes(bytes) {}
  int64_t Read(void* out, uint32_t count) override;
  uint64_t Remaining() const override { return mBytes.size() - mPosition; }

private:
  std::span<const uint8_t> mBytes;
  size_t mPosition = 0;
};

// Collects the bytes in a vector.
class MemorySink final : public Sink {
public:
  [[nodiscard]] bool Write(const void* bytes, uint32_t count) override;
  const std::vector<uint8_t>& GetBytes() const { return mBytes; }

private:
  std::vector<uint8_t> mBytes;
};

// Record index's value as the file carries it: a Buffer of the parameter's width (1
// byte, 2 for the tempo) whose bytes are MIDI data bytes (below 0x80). Any value passes
// for an index of kRecordCount or more, which names no parameter.
bool IsParamValue(uint32_t index, const Variant& value);

// Fills buffer with record index of value: sizes it to L = 24 + n (contents dropped),
// writes L, 0 and index, then the value record. Returns the value record's size V, or
// QZ_E_FAIL when the value cannot be written (an external kind without data, or one too
// large for a record); the buffer then holds no record to write.
[[nodiscard]] int32_t WriteRecord(uint32_t index, const Variant& value, IBuffer& buffer);

// Reads the record at offset of buffer: index, value and reserved word. Returns L, or
// QZ_E_FAIL (value Empty) when fewer than 12 bytes are left, L goes beyond the bytes
// left or leaves no room for a value record, or the value record is not accepted: V from
// 12 to L - 12; encoding 1 with a kind below 17, or 0 with a code from 0 to 10 (the older
// numbering); V = 12 only for Empty and the empty List; a scalar of exactly its width; a
// String holding its NUL; no external kinds. The reserved word is not judged here.
[[nodiscard]] int32_t ParseRecord(const IBuffer& buffer, uint32_t offset, uint32_t& index, Variant& value,
                                  uint32_t& reserved);

// Writes the header and one record per value, value k as record k, through one record
// buffer. 0; QZ_E_FAIL when values does not hold kRecordCount values, a value cannot be
// written, or the sink fails (what was written before stays written).
[[nodiscard]] QZResult Write(std::span<const Variant> values, Sink& sink, IBuffer& recordBuffer);

// Reads a whole file through recordBuffer, which it reuses from record to record, and
// replaces records by its records in file order (repeated indexes kept). The result,
// the first that applies:
//   kCorrupt       the header is cut short;
//   kWrongDevice   a device word is not 0;
//   kNewerVersion  version above 2; kOlderVersion below 2;
//   kCorrupt       a record is cut short, 1 to 3 bytes follow the last record, a length
//                  goes beyond the bytes left, ParseRecord refuses a record, its reserved
//                  word is not 0, IsParamValue refuses its value, or the source fails;
//   kLoaded        otherwise (also for a header alone, giving no records).
// On any result but kLoaded records is left empty.
[[nodiscard]] int32_t Read(Source& source, IBuffer& recordBuffer, std::vector<Record>& records);

} // namespace QZ::PresetFile
