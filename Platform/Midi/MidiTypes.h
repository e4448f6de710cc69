#pragma once
// Small value types shared by every MIDI backend: directions, results, short messages,
// capture buffers, the clock that stamps captured messages and the diagnostic sink.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace QZ::Platform::Midi {

// Seen from the editor: an input captures what a device sends, an output renders to it.
enum class MidiDirection { Input, Output };

// (clang-format 14 misreads an attribute on an enum.)
// clang-format off
enum class [[nodiscard]] MidiResult {
  Ok,
  NoSuchDevice,       // no device at that index (the list changed since it was read)
  DeviceGone,         // the device was unplugged or its transport stopped: reopen it
  MessageTooLong,     // more bytes than the transport carries in one message
  InvalidMessage,     // empty, or a short message that does not start with a status byte
  BufferAlreadyAdded, // the capture buffer is still lent to the input
  TransportError,     // the transport refused; its own text went to the diagnostic sink
};
// clang-format on

// A fixed English text for logs and test output, e.g. "the device is gone".
const char* MidiResultText(MidiResult result);

// One channel, system-common or real-time message of 1 to 3 bytes, status byte first.
struct MidiShortMessage {
  std::array<uint8_t, 3> bytes{};
  uint8_t size = 0;
  // Captured messages only: milliseconds between the input's Start and the arrival.
  uint32_t timestampMs = 0;
};

// 1 to 3 bytes, starting with a status byte other than the system-exclusive F0 and F7.
bool IsValidShortMessage(const MidiShortMessage& message);

inline constexpr size_t kMidiCaptureBufferSize = 256;

// A buffer the owner lends to an input for system-exclusive bytes. The input fills it
// and hands it back with `recorded` set; the owner keeps it alive while it is lent.
struct MidiCaptureBuffer {
  std::array<uint8_t, kMidiCaptureBufferSize> data{};
  size_t recorded = 0;
};

// Where captured messages get their arrival time. Default: the steady clock.
using MidiClock = std::function<std::chrono::steady_clock::time_point()>;
MidiClock DefaultMidiClock();

// Receives one line of text about a backend that cannot work as asked (no sequencer,
// no server, a transport error). May be called on any thread; null: the text is dropped.
using MidiDiagnosticSink = std::function<void(const std::string& text)>;

} // namespace QZ::Platform::Midi
