#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "Platform/Midi/MidiDiagnosticsSupport.h"
#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/RtMidi/RtMidiBackend.h"

namespace {

using namespace QZ::Platform::Midi;

using QZTest::Diagnostics;
using QZTest::NoJackServer;

void ExpectNothingListedOrOpened(RtMidiBackend& backend) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(backend.ListDevices(MidiDirection::Input).empty());
    EXPECT_TRUE(backend.ListDevices(MidiDirection::Output).empty());
  }
  QZTest::CaptureRecorder recorder;
  std::unique_ptr<MidiInput> input;
  EXPECT_EQ(backend.OpenInput(0, recorder, input), MidiResult::NoSuchDevice);
  QZTest::DoneCounter done;
  std::unique_ptr<MidiOutput> output;
  EXPECT_EQ(backend.OpenOutput(0, done, output), MidiResult::NoSuchDevice);
}

TEST(RtMidiBackendTest, WithoutASequencerOrAServerNothingIsListedAndEachReasonIsGivenOnce) {
  NoJackServer noJack;
  Diagnostics diagnostics;
  RtMidiBackendOptions options;
  options.alsaSequencer = "qz-no-such-sequencer";
  options.diagnostics = diagnostics.Sink();
  RtMidiBackend backend(options);
  ExpectNothingListedOrOpened(backend);
  EXPECT_EQ(diagnostics.CountContaining("ALSA sequencer \"qz-no-such-sequencer\" cannot be opened"), 1);
  EXPECT_EQ(diagnostics.CountContaining("no JACK server is running"), 1);
  EXPECT_EQ(diagnostics.lines.size(), 2u);
}

TEST(RtMidiBackendTest, WithoutTheSequencerDeviceTheSystemsAlsaIsReportedMissingOnce) {
  if (access("/dev/snd/seq", F_OK) == 0) {
    GTEST_SKIP() << "this machine has an ALSA sequencer";
  }
  NoJackServer noJack;
  Diagnostics diagnostics;
  RtMidiBackendOptions options;
  options.diagnostics = diagnostics.Sink();
  RtMidiBackend backend(options);
  ExpectNothingListedOrOpened(backend);
  EXPECT_EQ(diagnostics.CountContaining("ALSA sequencer \"default\" cannot be opened"), 1);
}

} // namespace
