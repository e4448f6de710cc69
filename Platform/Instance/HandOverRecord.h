#pragma once
// The record a second start sends to the running instance: its command line.
//
//   u32 tag     1125
//   u32 length  bytes that follow: the UTF-8 command line and a closing NUL; 0 when there
//               is nothing to hand over (the running instance only comes to the front)
//   length bytes
// Both numbers little-endian.
//
//   const std::vector<uint8_t> bytes = EncodeHandOver("/usr/bin/editor a b");
//   std::optional<uint32_t> length = ParseHandOverHeader(first8Bytes, kMaxHandOverLength);
//   std::optional<std::string> text = ParseHandOverBody(theRestOfTheBytes);
//
// Any thread.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace QZ::Platform::Instance {

inline constexpr uint32_t kHandOverTag = 1125;
inline constexpr size_t kHandOverHeaderSize = 8;
// The most bytes a record may carry after its header.
inline constexpr uint32_t kMaxHandOverLength = 64 * 1024;

// The record of a command line (the empty line: length 0). A line holding a NUL is cut
// at it.
std::vector<uint8_t> EncodeHandOver(std::string_view commandLine);

// The length a header announces; nothing when its tag is not 1125 or the length exceeds
// maxLength.
std::optional<uint32_t> ParseHandOverHeader(std::span<const uint8_t, kHandOverHeaderSize> header, uint32_t maxLength);
// The command line of the bytes after the header (exactly as many as it announced): the
// empty line for none; nothing when the bytes do not end with a NUL or hold another one.
std::optional<std::string> ParseHandOverBody(std::span<const uint8_t> body);

} // namespace QZ::Platform::Instance
