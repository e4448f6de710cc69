#pragma once
// The result codes and message rules that the MIDI ports share: device errors in the
// numbering of the system's MIDI interface, and the length of a short message.

#include <cstdint>

#include "Platform/Midi/MidiTypes.h"

namespace QZ {

// Results of the ports' device operations: 0 for success, else one of these.
inline constexpr int32_t kMidiErrorGeneral = 1;          // the transport failed
inline constexpr int32_t kMidiErrorBadDeviceId = 2;      // the device list changed meanwhile
inline constexpr int32_t kMidiErrorNoMatchingDevice = 6; // no device has the requested name
inline constexpr int32_t kMidiErrorInvalidParameter = 11;
inline constexpr int32_t kMidiErrorNotOpen = 12;     // the port is closed or closing
inline constexpr int32_t kMidiErrorStillQueued = 65; // the buffer is still lent
inline constexpr int32_t kMidiErrorDeviceGone = 68;  // unplugged, or its transport stopped

// The code of a backend result.
int32_t MidiErrorCode(Platform::Midi::MidiResult result);

// The bytes of the short message that starts with status: 3 for note, pressure,
// controller, pitch bend and song position; 2 for program change, channel pressure and
// the two-byte system common messages; 1 otherwise.
uint32_t ShortMessageLength(uint8_t status);

} // namespace QZ
