// The virtual backend reads what its peer sends as the MIDI standard does, however the
// bytes are cut into sends.

#include <gtest/gtest.h>

#include "Platform/Midi/MidiWireScenarios.h"

namespace {

TEST(VirtualMidiCaptureTest, RepliesSplitCutOrCarryingRealTimeBytesArriveAsTheStandardReadsThem) {
  QZTest::VirtualWire wire;
  for (const QZTest::WireScenario& scenario : QZTest::ReplyWireScenarios()) {
    EXPECT_EQ(wire.Play(scenario.events), scenario.expected) << scenario.name;
  }
}

} // namespace
