#pragma once
// Reading the family and style names of the faces of a TrueType font file (".ttf") or
// TrueType collection (".ttc") from their naming tables.
//
//   QZ::FontFileBytes file(path);
//   for (const QZ::FontFaceName& face : QZ::ReadFontFaceNames(file)) {
//     Register(face.family, face.style, path, face.faceIndex);
//   }
//
// Only what a font scan needs: per face, the first non-empty family (name 1) and style
// (name 2) of a record for Macintosh language 0 (8-bit text, read as UTF-8) or Windows
// language 1033 (UTF-16 big-endian). A face without both names is left out.
//
// The bytes come from a file or from memory and are untrusted: every count, offset and
// length is checked against the data before it is used. A face whose tables do not fit
// is left out; a collection header that does not fit gives no face at all. Nothing is
// thrown. Any thread; a FontBytes belongs to one thread at a time.

#include <cstdint>
#include <span>
#include <vector>

#include "QZFramework/Utilities/Storage/QZFile.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// Random access to the bytes of a font file.
class FontBytes {
public:
  virtual ~FontBytes() = default;
  virtual uint64_t GetSize() const = 0;
  // Reads count bytes at offset into out: false, out unspecified, unless all of them lie
  // inside the data and could be read.
  virtual bool Read(uint64_t offset, uint32_t count, uint8_t* out) = 0;
};

// Bytes in memory, which must outlive the reader.
class FontMemoryBytes : public FontBytes {
public:
  explicit FontMemoryBytes(std::span<const uint8_t> bytes) : mBytes(bytes) {}
  uint64_t GetSize() const override { return mBytes.size(); }
  bool Read(uint64_t offset, uint32_t count, uint8_t* out) override;

private:
  std::span<const uint8_t> mBytes;
};

// The bytes of a file, opened for reading at construction: a file that cannot be
// opened or read reads as empty.
class FontFileBytes : public FontBytes {
public:
  explicit FontFileBytes(const WString& path);
  uint64_t GetSize() const override { return mSize; }
  bool Read(uint64_t offset, uint32_t count, uint8_t* out) override;

private:
  File mFile;
  uint64_t mSize = 0;
};

struct FontFaceName {
  int32_t faceIndex = 0; // the face's number in a collection; 0 in a single font
  WString family;
  WString style;
};

// Collections name at most this many faces; a larger count is taken as damage.
inline constexpr uint32_t kMaxCollectionFaces = 1024;

// The named faces of the font data, in face order.
std::vector<FontFaceName> ReadFontFaceNames(FontBytes& bytes);

} // namespace QZ
