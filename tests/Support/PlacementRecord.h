#pragma once
// The placement record an OS window stores in the profile when it closes and reads when it
// opens: eleven little-endian 32-bit words (length 44, flags 0, the show command, no
// minimised or maximised position: -1, then the client rectangle left, top, right, bottom).
//
//   host->WriteProfileBinary(appId, u"WP", QZTest::PlacementRecord(100, 120, 900, 720));

#include <array>
#include <cstdint>
#include <vector>

#include "Platform/Window/WindowTypes.h"

namespace QZTest {

inline std::vector<uint8_t> PlacementRecord(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                            uint32_t showCmd = QZ::Platform::Window::SW_SHOWNORMAL) {
  const uint32_t none = 0xFFFFFFFFu;
  const std::array<uint32_t, 11> words = {
      44, 0, showCmd, none, none, none, none, uint32_t(left), uint32_t(top), uint32_t(right), uint32_t(bottom)};
  std::vector<uint8_t> bytes;
  for (uint32_t word : words) {
    for (int b = 0; b < 4; ++b) {
      bytes.push_back(uint8_t(word >> (8 * b)));
    }
  }
  return bytes;
}

} // namespace QZTest
