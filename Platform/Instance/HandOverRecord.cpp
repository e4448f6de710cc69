#include "Platform/Instance/HandOverRecord.h"

#include <algorithm>

namespace QZ::Platform::Instance {

namespace {

void PutU32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(uint8_t(value >> shift));
  }
}

uint32_t GetU32(std::span<const uint8_t> bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

} // namespace

std::vector<uint8_t> EncodeHandOver(std::string_view commandLine) {
  commandLine = commandLine.substr(0, commandLine.find('\0'));
  std::vector<uint8_t> bytes;
  bytes.reserve(kHandOverHeaderSize + commandLine.size() + 1);
  PutU32(bytes, kHandOverTag);
  PutU32(bytes, commandLine.empty() ? 0 : uint32_t(commandLine.size() + 1));
  if (!commandLine.empty()) {
    bytes.insert(bytes.end(), commandLine.begin(), commandLine.end());
    bytes.push_back(0);
  }
  return bytes;
}

std::optional<uint32_t> ParseHandOverHeader(std::span<const uint8_t, kHandOverHeaderSize> header, uint32_t maxLength) {
  if (GetU32(header.first(4)) != kHandOverTag) {
    return std::nullopt;
  }
  const uint32_t length = GetU32(header.last(4));
  if (length > maxLength) {
    return std::nullopt;
  }
  return length;
}

std::optional<std::string> ParseHandOverBody(std::span<const uint8_t> body) {
  if (body.empty()) {
    return std::string();
  }
  if (std::find(body.begin(), body.end(), uint8_t(0)) != body.end() - 1) {
    return std::nullopt;
  }
  return std::string(body.begin(), body.end() - 1);
}

} // namespace QZ::Platform::Instance
