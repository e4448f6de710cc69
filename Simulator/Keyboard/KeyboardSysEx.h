#pragma once
// Simulator::KeyboardSysEx: the keyboard's side of the system-exclusive exchange with the
// editor, free of any transport: a received message in, the keyboard's replies out. It
// answers preset and global requests from a KeyboardMemory, stores received presets and
// globals into it, and answers the universal identity request.
//
//   Simulator::KeyboardMemory memory(QZ::kDeviceModel49Keys);
//   Simulator::KeyboardSysEx keyboard(memory, QZ::kDeviceModel49Keys);
//   const std::array<uint8_t, 12> request{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02,
//                                         0x62, 0x00, 0x04, 0x03, 0xF7};
//   auto replies = keyboard.Handle(request);   // one 153-byte reply: stored preset 3
//
// Maker messages are F0 <maker ID> 7F 00 <model byte> <body> F7:
//   62 00 04 <n>          preset request: replied with the preset message of slot n
//   64                    global request: replied with the global message
//   61 01 11 <n> <141>    preset: stored into slot n (0 the RAM preset, 1 to 10 stored)
//   63 00 08 <5>          global settings: stored
// and F0 7E <device> 06 01 F7 (identity request) is replied with
// F0 7E 7F 06 02 <maker ID> <family> <model byte> 00 <version> F7.
// Anything else is ignored: another model byte, a wrong length, a data byte of 0x80 or
// more, a slot above 10.
//
// Every member is safe to call from any thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Simulator/Keyboard/KeyboardMemory.h"

namespace Simulator {

// "QUORIN 25 ZTR", "QUORIN 49 ZTR" or "QUORIN 61 ZTR" for the model index 0, 1, 2: the
// device name in the keyboard's port names. std::out_of_range for another index.
std::string KeyboardDeviceName(int32_t model);

class KeyboardSysEx {
public:
  using Message = std::vector<uint8_t>;
  static constexpr std::array<uint8_t, 4> kDefaultFirmwareVersion{1, 0, 2, 0};

  // `memory` must outlive this object. `model` is the model index 0, 1 or 2;
  // std::out_of_range for any other.
  KeyboardSysEx(KeyboardMemory& memory, int32_t model);

  // The version the identity reply reports from now on (kDefaultFirmwareVersion until
  // set). Each byte must be below 0x80; std::invalid_argument otherwise.
  void SetFirmwareVersion(std::array<uint8_t, 4> version);

  // One complete received message (F0 to F7); the replies to send back, in order, none
  // for a message the keyboard ignores or only stores.
  std::vector<Message> Handle(std::span<const uint8_t> message);

  uint8_t ModelByte() const { return mModelByte; }

private:
  std::vector<Message> HandleMakerMessage(std::span<const uint8_t> body);
  Message PresetReply(uint8_t slot) const;
  Message GlobalReply() const;
  Message IdentityReply() const;
  Message Header() const;

  KeyboardMemory& mMemory;
  const uint8_t mModelByte;
  std::atomic<uint32_t> mFirmwareVersion;
};

} // namespace Simulator
