#pragma once
// The bytes by which the maker's keyboards and the editor recognise each other in
// system-exclusive messages. The editor and the virtual keyboard share these constants,
// so the two ends of the exchange cannot drift apart.
//
//   // F0 <kMakerMidiId> 7F 00 <KeyboardModelByte(model)> <body> F7
//   std::vector<uint8_t> message{0xF0};
//   message.insert(message.end(), QZ::kMakerMidiId.begin(), QZ::kMakerMidiId.end());

#include <array>
#include <cstdint>

namespace QZ {

// The maker's three-byte MIDI manufacturer ID: bytes 1 to 3 of every maker message.
inline constexpr std::array<uint8_t, 3> kMakerMidiId{0x00, 0x7F, 0x7D};

// The device family the keyboards report in their universal identity reply.
inline constexpr std::array<uint8_t, 2> kKeyboardFamilyId{0x01, 0x00};

// The byte that names the keyboard model in maker messages (and the first family-member
// byte of the identity reply): 1, 2, 3 for the model indexes 0, 1, 2 (25, 49, 61 keys),
// 0xFF for any other index.
constexpr uint8_t KeyboardModelByte(int32_t modelIndex) {
  return modelIndex >= 0 && modelIndex <= 2 ? static_cast<uint8_t>(modelIndex + 1) : uint8_t{0xFF};
}

} // namespace QZ
