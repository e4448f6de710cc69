#include "Platform/Midi/MidiTypes.h"

namespace QZ::Platform::Midi {

const char* MidiResultText(MidiResult result) {
  switch (result) {
  case MidiResult::Ok:
    return "done";
  case MidiResult::NoSuchDevice:
    return "no such device";
  case MidiResult::DeviceGone:
    return "the device is gone";
  case MidiResult::MessageTooLong:
    return "the message is too long for the transport";
  case MidiResult::InvalidMessage:
    return "not a valid MIDI message";
  case MidiResult::BufferAlreadyAdded:
    return "the buffer is already lent to the input";
  case MidiResult::TransportError:
    return "the MIDI transport failed";
  }
  return "unknown result";
}

bool IsValidShortMessage(const MidiShortMessage& message) {
  const uint8_t status = message.bytes[0];
  return message.size >= 1 && message.size <= 3 && status >= 0x80 && status != 0xF0 && status != 0xF7;
}

MidiClock DefaultMidiClock() {
  return [] { return std::chrono::steady_clock::now(); };
}

} // namespace QZ::Platform::Midi
