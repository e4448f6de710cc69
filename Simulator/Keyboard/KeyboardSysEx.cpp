#include "Simulator/Keyboard/KeyboardSysEx.h"

#include <algorithm>
#include <stdexcept>

#include "DeviceControl/MakerMidiId.h"

namespace Simulator {

namespace {

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;
// F0, the maker ID, 7F 00 and the model byte.
constexpr size_t kHeaderSize = 7;

constexpr uint8_t kPresetMessage = 0x61;
constexpr uint8_t kPresetRequest = 0x62;
constexpr uint8_t kGlobalMessage = 0x63;
constexpr uint8_t kGlobalRequest = 0x64;
constexpr std::array<uint8_t, 3> kPresetPrefix{kPresetMessage, 0x01, 0x11};
constexpr std::array<uint8_t, 3> kPresetRequestPrefix{kPresetRequest, 0x00, 0x04};
constexpr std::array<uint8_t, 3> kGlobalPrefix{kGlobalMessage, 0x00, 0x08};

// Bodies by exact length: everything between the header and F7.
constexpr size_t kPresetBodySize = kPresetPrefix.size() + 1 + KeyboardMemory::kPresetSize;
constexpr size_t kPresetRequestBodySize = kPresetRequestPrefix.size() + 1;
constexpr size_t kGlobalBodySize = kGlobalPrefix.size() + KeyboardMemory::kGlobalSize;
constexpr size_t kGlobalRequestBodySize = 1;

constexpr uint8_t kUniversalNonRealTime = 0x7E;
constexpr uint8_t kAllDevices = 0x7F;
constexpr uint8_t kGeneralInformation = 0x06;
constexpr uint8_t kIdentityRequest = 0x01;
constexpr uint8_t kIdentityReply = 0x02;

bool StartsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

uint32_t PackVersion(std::array<uint8_t, 4> version) {
  return uint32_t{version[0]} << 24 | uint32_t{version[1]} << 16 | uint32_t{version[2]} << 8 | version[3];
}

} // namespace

std::string KeyboardDeviceName(int32_t model) {
  static constexpr const char* kKeys[] = {"25", "49", "61"};
  if (model < 0 || model > 2) {
    throw std::out_of_range("keyboard model index out of range");
  }
  return std::string("QUORIN ") + kKeys[model] + " ZTR";
}

KeyboardSysEx::KeyboardSysEx(KeyboardMemory& memory, int32_t model)
    : mMemory(memory), mModelByte(QZ::KeyboardModelByte(model)),
      mFirmwareVersion(PackVersion(kDefaultFirmwareVersion)) {
  if (mModelByte == 0xFF) {
    throw std::out_of_range("keyboard model index out of range");
  }
}

void KeyboardSysEx::SetFirmwareVersion(std::array<uint8_t, 4> version) {
  if (std::any_of(version.begin(), version.end(), [](uint8_t byte) { return byte >= 0x80; })) {
    throw std::invalid_argument("firmware version bytes must be MIDI data bytes");
  }
  mFirmwareVersion = PackVersion(version);
}

std::vector<KeyboardSysEx::Message> KeyboardSysEx::Handle(std::span<const uint8_t> message) {
  if (message.size() < 2 || message.front() != kSysExStart || message.back() != kSysExEnd) {
    return {};
  }
  const std::span<const uint8_t> data = message.subspan(1, message.size() - 2);
  if (std::any_of(data.begin(), data.end(), [](uint8_t byte) { return byte >= 0x80; })) {
    return {};
  }
  // The identity request is addressed to any device id, or to all (7F).
  if (data.size() == 4 && data[0] == kUniversalNonRealTime && data[2] == kGeneralInformation &&
      data[3] == kIdentityRequest) {
    return {IdentityReply()};
  }
  const Message header = Header();
  if (!StartsWith(message, header)) {
    return {};
  }
  return HandleMakerMessage(message.subspan(kHeaderSize, message.size() - kHeaderSize - 1));
}

std::vector<KeyboardSysEx::Message> KeyboardSysEx::HandleMakerMessage(std::span<const uint8_t> body) {
  if (body.size() == kPresetRequestBodySize && StartsWith(body, kPresetRequestPrefix)) {
    const uint8_t slot = body.back();
    if (slot > KeyboardMemory::kStoredPresetCount) {
      return {};
    }
    return {PresetReply(slot)};
  }
  if (body.size() == kGlobalRequestBodySize && body[0] == kGlobalRequest) {
    return {GlobalReply()};
  }
  if (body.size() == kPresetBodySize && StartsWith(body, kPresetPrefix)) {
    KeyboardMemory::PresetImage image;
    std::copy(body.end() - KeyboardMemory::kPresetSize, body.end(), image.begin());
    // A slot above 10 is refused and the keyboard stays silent, as it does for requests.
    (void)mMemory.StorePreset(body[kPresetPrefix.size()], image);
    return {};
  }
  if (body.size() == kGlobalBodySize && StartsWith(body, kGlobalPrefix)) {
    KeyboardMemory::GlobalImage image;
    std::copy(body.end() - KeyboardMemory::kGlobalSize, body.end(), image.begin());
    mMemory.StoreGlobals(image);
  }
  return {};
}

KeyboardSysEx::Message KeyboardSysEx::Header() const {
  // Built whole: growing a short vector by inserts trips a false bounds warning at -O3.
  return {kSysExStart, QZ::kMakerMidiId[0], QZ::kMakerMidiId[1], QZ::kMakerMidiId[2], 0x7F, 0x00, mModelByte};
}

KeyboardSysEx::Message KeyboardSysEx::PresetReply(uint8_t slot) const {
  KeyboardMemory::PresetImage image;
  mMemory.GetPreset(slot, image);
  Message reply = Header();
  reply.insert(reply.end(), kPresetPrefix.begin(), kPresetPrefix.end());
  reply.push_back(slot);
  reply.insert(reply.end(), image.begin(), image.end());
  reply.push_back(kSysExEnd);
  return reply;
}

KeyboardSysEx::Message KeyboardSysEx::GlobalReply() const {
  const KeyboardMemory::GlobalImage globals = mMemory.GetGlobals();
  Message reply = Header();
  reply.insert(reply.end(), kGlobalPrefix.begin(), kGlobalPrefix.end());
  reply.insert(reply.end(), globals.begin(), globals.end());
  reply.push_back(kSysExEnd);
  return reply;
}

KeyboardSysEx::Message KeyboardSysEx::IdentityReply() const {
  const uint32_t version = mFirmwareVersion;
  return {kSysExStart,
          kUniversalNonRealTime,
          kAllDevices,
          kGeneralInformation,
          kIdentityReply,
          QZ::kMakerMidiId[0],
          QZ::kMakerMidiId[1],
          QZ::kMakerMidiId[2],
          QZ::kKeyboardFamilyId[0],
          QZ::kKeyboardFamilyId[1],
          mModelByte,
          0x00,
          static_cast<uint8_t>(version >> 24),
          static_cast<uint8_t>(version >> 16),
          static_cast<uint8_t>(version >> 8),
          static_cast<uint8_t>(version),
          kSysExEnd};
}

} // namespace Simulator
