#pragma once
// Font files made in the test: sfnt fonts holding only a naming table, and collections
// made of any fonts (real ones included: their table offsets are moved to their place).

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace QZTest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t value) {
  out.push_back(uint8_t(value >> 8));
  out.push_back(uint8_t(value));
}
inline void Put32(Bytes& out, uint32_t value) {
  Put16(out, value >> 16);
  Put16(out, value & 0xFFFF);
}
inline void Set32(Bytes& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out[at + size_t(i)] = uint8_t(value >> (24 - 8 * i));
  }
}
inline uint32_t Get32(const Bytes& in, size_t at) {
  return uint32_t(in[at]) << 24 | uint32_t(in[at + 1]) << 16 | uint32_t(in[at + 2]) << 8 | in[at + 3];
}

// A naming table with a family (name 1) and a style (name 2): Windows US-English
// UTF-16 records, or Macintosh language 0 8-bit ones.
inline Bytes NameTable(const std::string& family, const std::string& style, bool windows = true) {
  const std::string texts[] = {family, style};
  Bytes strings;
  Bytes table;
  Put16(table, 0);
  Put16(table, 2);
  Put16(table, 6 + 2 * 12);
  for (uint32_t id = 1; id <= 2; ++id) {
    const size_t offset = strings.size();
    for (char c : texts[id - 1]) {
      if (windows) {
        strings.push_back(0);
      }
      strings.push_back(uint8_t(c));
    }
    Put16(table, windows ? 3 : 1);
    Put16(table, windows ? 1 : 0);
    Put16(table, windows ? 1033 : 0);
    Put16(table, id);
    Put16(table, uint32_t(strings.size() - offset));
    Put16(table, uint32_t(offset));
  }
  table.insert(table.end(), strings.begin(), strings.end());
  return table;
}

// A font whose only table is `name`.
inline Bytes NameOnlyFont(const Bytes& name) {
  Bytes font;
  Put32(font, 0x00010000);
  Put16(font, 1);
  Put16(font, 16);
  Put16(font, 0);
  Put16(font, 0);
  Put32(font, 0x6E616D65); // "name"
  Put32(font, 0);
  Put32(font, 12 + 16);
  Put32(font, uint32_t(name.size()));
  font.insert(font.end(), name.begin(), name.end());
  return font;
}

// A collection of the fonts, each copied whole with its table offsets moved.
inline Bytes Collection(const std::vector<Bytes>& fonts) {
  Bytes file;
  Put32(file, 0x74746366); // "ttcf"
  Put32(file, 0x00010000);
  Put32(file, uint32_t(fonts.size()));
  const size_t offsets = file.size();
  file.resize(file.size() + 4 * fonts.size());
  for (size_t i = 0; i < fonts.size(); ++i) {
    file.resize((file.size() + 3) / 4 * 4);
    const size_t base = file.size();
    Set32(file, offsets + 4 * i, uint32_t(base));
    file.insert(file.end(), fonts[i].begin(), fonts[i].end());
    const uint32_t tables = uint32_t(file[base + 4]) << 8 | file[base + 5];
    for (uint32_t t = 0; t < tables; ++t) {
      const size_t record = base + 12 + 16 * t + 8;
      Set32(file, record, Get32(file, record) + uint32_t(base));
    }
  }
  return file;
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace QZTest
