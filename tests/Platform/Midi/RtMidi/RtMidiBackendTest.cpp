#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/RtMidi/RtMidiBackend.h"

namespace {

using namespace QZ::Platform::Midi;

// Points JACK clients at a server that does not exist, for the test's duration.
class NoJackServer {
public:
  NoJackServer() {
    if (const char* value = std::getenv("JACK_DEFAULT_SERVER")) {
      mSaved = value;
    }
    setenv("JACK_DEFAULT_SERVER", "qz-no-such-jack-server", 1);
  }
  ~NoJackServer() {
    if (mSaved) {
      setenv("JACK_DEFAULT_SERVER", mSaved->c_str(), 1);
    } else {
      unsetenv("JACK_DEFAULT_SERVER");
    }
  }

private:
  std::optional<std::string> mSaved;
};

struct Diagnostics {
  MidiDiagnosticSink Sink() {
    return [this](const std::string& text) {
      std::lock_guard lock(mutex);
      lines.push_back(text);
    };
  }
  int CountContaining(const std::string& part) {
    std::lock_guard lock(mutex);
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; }));
  }

  std::mutex mutex;
  std::vector<std::string> lines;
};

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
