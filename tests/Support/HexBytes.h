#pragma once
// Byte strings written as hex in tests of byte formats:
//
//   EXPECT_EQ(QZTest::ToHex(bytes), QZTest::Hex("0C000000 01000000"));
//   std::vector<uint8_t> record = QZTest::FromHex("0C000000 01000000 00000000");

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace QZTest {

// The hex digits of `spaced` without blanks, upper-case.
inline std::string Hex(std::string_view spaced) {
  std::string digits;
  for (char c : spaced) {
    if (c != ' ') {
      digits += char(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return digits;
}

inline std::string ToHex(const void* data, size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

inline std::string ToHex(const std::vector<uint8_t>& bytes) { return ToHex(bytes.data(), bytes.size()); }

// The bytes that `spaced` spells; blanks are ignored.
inline std::vector<uint8_t> FromHex(std::string_view spaced) {
  const std::string digits = Hex(spaced);
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

} // namespace QZTest
