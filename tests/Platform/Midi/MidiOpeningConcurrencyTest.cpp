#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Midi/MidiDiagnosticRelay.h"
#include "Platform/Midi/MidiDiagnosticsSupport.h"
#include "Platform/Midi/MidiSystem.h"
#include "Platform/Midi/RtMidi/RtMidiBackend.h"

namespace {

using namespace QZ::Platform::Midi;

TEST(MidiDiagnosticRelayTest, TextsReportedBeforeAndWhileTheSinkIsAttachedArriveOnceEachInTheirOrder) {
  auto relay = std::make_shared<MidiDiagnosticRelay>();
  const MidiDiagnosticSink sink = relay->Sink();
  sink("early 0");
  sink("early 1");
  constexpr int kThreads = 3;
  constexpr int kTexts = 200;
  std::vector<std::jthread> reporters;
  for (int t = 0; t < kThreads; ++t) {
    reporters.emplace_back([sink, t] {
      for (int i = 0; i < kTexts; ++i) {
        sink(std::to_string(t) + ":" + std::to_string(i));
      }
    });
  }
  QZTest::Diagnostics heard;
  relay->Attach(heard.Sink());
  reporters.clear();

  const std::vector<std::string> lines = heard.Lines();
  ASSERT_EQ(lines.size(), 2u + kThreads * kTexts);
  EXPECT_EQ(lines[0], "early 0");
  EXPECT_EQ(lines[1], "early 1");
  std::vector<int> next(kThreads, 0);
  for (size_t i = 2; i < lines.size(); ++i) {
    const int thread = lines[i][0] - '0';
    EXPECT_EQ(lines[i], std::to_string(thread) + ":" + std::to_string(next[thread]++));
  }
}

TEST(MidiDiagnosticRelayTest, ANullSinkDropsWhatWasHeldAndWhatFollows) {
  auto relay = std::make_shared<MidiDiagnosticRelay>();
  relay->Sink()("held");
  relay->Attach({});
  relay->Sink()("later"); // reaches nobody, and nothing breaks
}

TEST(RtMidiBackendOpeningTest, TheTransportsOpenSideBySideYetTheirReasonsComeAlsaFirst) {
  QZTest::NoJackServer noJack;
  for (int run = 0; run < 3; ++run) {
    QZTest::Diagnostics diagnostics;
    RtMidiBackendOptions options;
    options.alsaSequencer = "qz-no-such-sequencer";
    options.diagnostics = diagnostics.Sink();
    RtMidiBackend backend(options);
    const std::vector<std::string> lines = diagnostics.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("ALSA sequencer \"qz-no-such-sequencer\" cannot be opened"), std::string::npos);
    EXPECT_EQ(lines[1], "MIDI: no JACK server is running; no JACK MIDI devices are listed");
  }
}

TEST(MidiSystemBeginDefaultTest, ABegunSystemListsAndReportsAsOneMadeWhenAsked) {
  QZTest::NoJackServer noJack;
  QZTest::Diagnostics own;
  RtMidiBackendOptions options;
  options.diagnostics = own.Sink();
  { RtMidiBackend backend(options); }
  QZTest::Diagnostics direct;
  const auto made = MidiSystem::CreateDefault(direct.Sink());
  // The system loads the RtMidi backend's library at run time: it tells what the backend does.
  EXPECT_EQ(direct.Lines(), own.Lines());

  MidiSystem::BeginDefault();
  MidiSystem::BeginDefault(); // one is under way already: nothing more
  QZTest::Diagnostics taken;
  const auto begun = MidiSystem::CreateDefault(taken.Sink());
  // The second call finds nothing begun and makes one at once.
  QZTest::Diagnostics after;
  const auto again = MidiSystem::CreateDefault(after.Sink());

  EXPECT_EQ(taken.Lines(), direct.Lines());
  EXPECT_EQ(after.Lines(), direct.Lines());
  for (const MidiDirection direction : {MidiDirection::Input, MidiDirection::Output}) {
    EXPECT_EQ(begun->ListDevices(direction), made->ListDevices(direction));
  }
}

} // namespace
