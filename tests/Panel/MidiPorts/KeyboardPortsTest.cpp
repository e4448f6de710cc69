// The keyboard ports that scripts/run.sh asks about: found among the port layer's devices as
// the editor's MIDI manager finds its own, over a private virtual registry.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Panel/MidiPorts/KeyboardPorts.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "Simulator/Keyboard/VirtualKeyboard.h"

namespace QZTest {
namespace {

using QZ::Platform::Midi::MidiDirection;
using QZ::Platform::Midi::VirtualMidiRegistry;

// The found ports as "input <name>" and "output <name>".
std::vector<std::string> Found(VirtualMidiRegistry& registry) {
  QZ::MidiCommOptions options;
  options.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(registry);
  const QZ::RCPtr<QZ::LMidiCommInterface> midi = QZ::LMidiCommInterface::Create(options);
  std::vector<std::string> lines;
  for (const QZ::KeyboardPort& port : QZ::FindKeyboardPorts(*midi)) {
    lines.push_back((port.direction == MidiDirection::Input ? "input " : "output ") +
                    std::string(port.name.ToUTF8().GetBuffer()));
  }
  return lines;
}

TEST(KeyboardPortsTest, AKeyboardOfAnyModelShowsItsThirdPortPairAndNothingElse) {
  VirtualMidiRegistry registry;
  EXPECT_TRUE(Found(registry).empty());
  {
    Simulator::VirtualKeyboard keyboard(QZ::kDeviceModel61Keys, registry);
    EXPECT_EQ(Found(registry),
              (std::vector<std::string>{"input MIDIIN3 (QUORIN 61 ZTR)", "output MIDIOUT3 (QUORIN 61 ZTR)"}))
        << "its decoys are no ports the editor opens";
  }
  EXPECT_TRUE(Found(registry).empty()) << "unplugged with the keyboard";
}

TEST(KeyboardPortsTest, NamesMatchAsTheEditorOpensThem) {
  VirtualMidiRegistry registry;
  std::vector<std::unique_ptr<QZ::Platform::Midi::VirtualMidiInputDevice>> inputs;
  for (const char* name : {"sim:MIDIIN3 (QUORIN 49 ZTR)", "midiin3 (quorin 25 ztr)", "MIDIIN3 (QUORIN 49 ZTR) 2",
                           "MIDIIN2 (QUORIN 49 ZTR)", "MIDIIN3 (QUORIN 88 ZTR)", "QUORIN 61 ZTR",
                           "MIDIIN3 (QUORIN 61 ZTR)", "MIDIIN3 (QUORIN 61 ZTR)"}) {
    inputs.push_back(registry.RegisterInput(name));
  }
  auto output = registry.RegisterOutput("MIDIIN3 (QUORIN 49 ZTR)");
  // A client's prefix and another letter case are the editor's match too; two keyboards of
  // one model are told apart by their numbers, as the editor's port layer names them.
  EXPECT_EQ(Found(registry),
            (std::vector<std::string>{"input sim:MIDIIN3 (QUORIN 49 ZTR)", "input midiin3 (quorin 25 ztr)",
                                      "input MIDIIN3 (QUORIN 61 ZTR) (1)", "input MIDIIN3 (QUORIN 61 ZTR) (2)"}))
      << "no output: the output device has an input's name";
}

} // namespace
} // namespace QZTest
