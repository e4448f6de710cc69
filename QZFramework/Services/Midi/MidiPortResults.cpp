#include "QZFramework/Services/Midi/MidiPortResults.h"

namespace QZ {

int32_t MidiErrorCode(Platform::Midi::MidiResult result) {
  using Platform::Midi::MidiResult;
  switch (result) {
  case MidiResult::Ok:
    return 0;
  case MidiResult::NoSuchDevice:
    return kMidiErrorBadDeviceId;
  case MidiResult::DeviceGone:
    return kMidiErrorDeviceGone;
  case MidiResult::MessageTooLong:
  case MidiResult::InvalidMessage:
    return kMidiErrorInvalidParameter;
  case MidiResult::BufferAlreadyAdded:
    return kMidiErrorStillQueued;
  case MidiResult::TransportError:
    return kMidiErrorGeneral;
  }
  return kMidiErrorGeneral;
}

uint32_t ShortMessageLength(uint8_t status) {
  switch (status >> 4) {
  case 0x8:
  case 0x9:
  case 0xA:
  case 0xB:
  case 0xE:
    return 3;
  case 0xC:
  case 0xD:
    return 2;
  default:
    break;
  }
  switch (status) {
  case 0xF2:
    return 3;
  case 0xF1:
  case 0xF3:
  case 0xF4:
  case 0xF5:
    return 2;
  default:
    return 1;
  }
}

} // namespace QZ
