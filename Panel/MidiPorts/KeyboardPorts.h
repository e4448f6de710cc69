#pragma once
// The MIDI ports of Quorin ZTR keyboards among the system's devices, found as the editor's
// MIDI manager finds them: a device whose name ends, ignoring case, with the name a
// manager of some model opens ("MIDIIN3 (QUORIN 49 ZTR)" for input, "MIDIOUT3 (QUORIN
// 49 ZTR)" for output, and so on for the 25- and 61-key models), listed under the unique
// name the port layer gives it. Two keyboards of one model ("... ZTR) (1)", "... ZTR) (2)")
// are both found, though the editor opens neither of them until one goes.
//
//   QZ::RCPtr<QZ::LMidiCommInterface> midi = QZ::LMidiCommInterface::Create();
//   for (const QZ::KeyboardPort& port : QZ::FindKeyboardPorts(*midi)) {
//     std::printf("%s %s\n", port.direction == MidiDirection::Input ? "input" : "output", ...);
//   }
//
// Any thread (the port layer serialises its listings).

#include <vector>

#include "Platform/Midi/MidiTypes.h"
#include "QZFramework/Services/Midi/MidiCommInterface.h"

namespace QZ {

struct KeyboardPort {
  Platform::Midi::MidiDirection direction;
  WString name;
};

// The keyboard ports of midi's devices, inputs first, each direction in the port layer's
// order; empty when there are none.
std::vector<KeyboardPort> FindKeyboardPorts(LMidiCommInterface& midi);

} // namespace QZ
