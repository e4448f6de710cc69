#include "QZFramework/Renderer/FontRenderer/FontNameTable.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace QZ {

namespace {

constexpr uint32_t kTagCollection = 0x74746366; // "ttcf"
constexpr uint32_t kTagName = 0x6E616D65;       // "name"
constexpr uint32_t kOffsetTableSize = 12;
constexpr uint32_t kTableRecordSize = 16;
constexpr uint32_t kNameHeaderSize = 6;
constexpr uint32_t kNameRecordSize = 12;
constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kLanguageEnglishUS = 1033;
constexpr uint16_t kNameFamily = 1;
constexpr uint16_t kNameStyle = 2;

uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// Whether [offset, offset + length) lies inside size bytes.
bool Inside(uint64_t offset, uint64_t length, uint64_t size) { return offset <= size && length <= size - offset; }

WString DecodeName(uint16_t platform, const uint8_t* text, uint32_t length) {
  WString name;
  if (platform == kPlatformMacintosh) {
    name.AssignUTF8(reinterpret_cast<const char*>(text), length);
    return name;
  }
  std::u16string units(length / 2, u'\0'); // an odd last byte is no unit
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = char16_t(Be16(text + 2 * i));
  }
  name.Assign(units.c_str(), uint32_t(units.size()));
  return name;
}

// The family and style of the naming table `table`; empty names when it has none.
void ReadNames(const std::vector<uint8_t>& table, FontFaceName& face) {
  if (table.size() < kNameHeaderSize) {
    return;
  }
  const uint8_t* data = table.data();
  const uint32_t count = Be16(data + 2);
  const uint32_t stringOffset = Be16(data + 4);
  if (!Inside(kNameHeaderSize, uint64_t(count) * kNameRecordSize, table.size())) {
    return;
  }
  for (uint32_t i = 0; i < count && (face.family.IsEmpty() || face.style.IsEmpty()); ++i) {
    const uint8_t* record = data + kNameHeaderSize + i * kNameRecordSize;
    const uint16_t platform = Be16(record);
    const uint16_t language = Be16(record + 4);
    const uint16_t nameId = Be16(record + 6);
    const uint32_t length = Be16(record + 8);
    const uint64_t offset = uint64_t(stringOffset) + Be16(record + 10);
    const bool wantedLanguage = (platform == kPlatformMacintosh && language == 0) ||
                                (platform == kPlatformWindows && language == kLanguageEnglishUS);
    if (!wantedLanguage || (nameId != kNameFamily && nameId != kNameStyle) || length == 0 ||
        !Inside(offset, length, table.size())) {
      continue;
    }
    WString& target = nameId == kNameFamily ? face.family : face.style;
    if (target.IsEmpty()) {
      target = DecodeName(platform, data + offset, length);
    }
  }
}

// The names of the font whose offset table starts at `offset`; empty when they cannot
// be read.
FontFaceName ReadFace(FontBytes& bytes, uint64_t offset, int32_t faceIndex) {
  FontFaceName face;
  face.faceIndex = faceIndex;
  std::array<uint8_t, kOffsetTableSize> header{};
  if (!bytes.Read(offset, kOffsetTableSize, header.data())) {
    return face;
  }
  const uint32_t tableCount = Be16(header.data() + 4);
  // A damaged count would otherwise cost an allocation of up to 1 MB per face.
  if (!Inside(offset + kOffsetTableSize, uint64_t(tableCount) * kTableRecordSize, bytes.GetSize())) {
    return face;
  }
  std::vector<uint8_t> records(size_t(tableCount) * kTableRecordSize);
  if (!bytes.Read(offset + kOffsetTableSize, uint32_t(records.size()), records.data())) {
    return face;
  }
  for (uint32_t i = 0; i < tableCount; ++i) {
    const uint8_t* record = records.data() + i * kTableRecordSize;
    if (Be32(record) != kTagName) {
      continue;
    }
    const uint32_t tableOffset = Be32(record + 8);
    const uint32_t tableLength = Be32(record + 12);
    if (!Inside(tableOffset, tableLength, bytes.GetSize())) {
      return face;
    }
    std::vector<uint8_t> table(tableLength);
    if (bytes.Read(tableOffset, tableLength, table.data())) {
      ReadNames(table, face);
    }
    return face;
  }
  return face;
}

// The offsets of the fonts of the data: those of a collection's header, or one at 0.
std::vector<uint32_t> FontOffsets(FontBytes& bytes) {
  std::array<uint8_t, 12> header{};
  if (!bytes.Read(0, uint32_t(header.size()), header.data())) {
    return {};
  }
  if (Be32(header.data()) != kTagCollection) {
    return {0};
  }
  const uint32_t count = Be32(header.data() + 8);
  if (count > kMaxCollectionFaces) {
    return {};
  }
  std::vector<uint8_t> table(size_t(count) * 4);
  if (!bytes.Read(header.size(), uint32_t(table.size()), table.data())) {
    return {};
  }
  std::vector<uint32_t> offsets(count);
  for (uint32_t i = 0; i < count; ++i) {
    offsets[i] = Be32(table.data() + 4 * i);
  }
  return offsets;
}

} // namespace

bool FontMemoryBytes::Read(uint64_t offset, uint32_t count, uint8_t* out) {
  if (!Inside(offset, count, mBytes.size())) {
    return false;
  }
  if (count > 0) {
    std::memcpy(out, mBytes.data() + offset, count);
  }
  return true;
}

FontFileBytes::FontFileBytes(const WString& path) : mFile(path, WString(), File::kRead) {
  if (mFile.IsOpen()) {
    mSize = mFile.GetLength();
  }
}

bool FontFileBytes::Read(uint64_t offset, uint32_t count, uint8_t* out) {
  if (!Inside(offset, count, mSize)) {
    return false;
  }
  if (count == 0) {
    return true;
  }
  try {
    return mFile.Read(out, count, uint32_t(offset)) == int32_t(count);
  } catch (const std::runtime_error&) {
    return false; // the file changed or went away under us
  }
}

std::vector<FontFaceName> ReadFontFaceNames(FontBytes& bytes) {
  std::vector<FontFaceName> faces;
  const std::vector<uint32_t> offsets = FontOffsets(bytes);
  for (size_t i = 0; i < offsets.size(); ++i) {
    FontFaceName face = ReadFace(bytes, offsets[i], int32_t(i));
    if (!face.family.IsEmpty() && !face.style.IsEmpty()) {
      faces.push_back(std::move(face));
    }
  }
  return faces;
}

} // namespace QZ
