// quorin-ztr-midi-ports: lists the MIDI ports of the Quorin ZTR keyboards the editor would
// find now, one a line ("input <name>", "output <name>"), through the editor's own MIDI
// layer. Exits 0 when it listed at least one, 1 when there is none. scripts/run.sh asks it
// whether to start the editor with the virtual keyboard.
//
//   quorin-ztr-midi-ports        # input MIDIIN3 (QUORIN 49 ZTR) ...

#include <cstdio>

#include "Panel/MidiPorts/KeyboardPorts.h"
#include "QZFramework/Utilities/Storage/StringT.h"

int main() {
  const QZ::RCPtr<QZ::LMidiCommInterface> midi = QZ::LMidiCommInterface::Create();
  const std::vector<QZ::KeyboardPort> ports = midi ? QZ::FindKeyboardPorts(*midi) : std::vector<QZ::KeyboardPort>();
  for (const QZ::KeyboardPort& port : ports) {
    std::printf("%s %s\n", port.direction == QZ::Platform::Midi::MidiDirection::Input ? "input" : "output",
                port.name.ToUTF8().GetBuffer());
  }
  return ports.empty() ? 1 : 0;
}
