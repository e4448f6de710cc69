// A reply naming another keyboard model than the selected one is not the manager's, over
// the RtMidi backend: the JACK server of the test fixture (the ctest
// EngineMidiManagerJackOtherModel), a keyboard of the test's own on JACK ports named as the
// selected model's. Skipped outside that fixture.

#include <gtest/gtest.h>

#include <RtMidi.h>

#include <cstdlib>

#include "Engine/PresetEditorCommon/OtherModelKeyboard.h"
#include "Platform/Midi/MidiSystem.h"

namespace {

// The keyboard as two JACK clients of RtMidi: the port "MIDIOUT3 (QUORIN nn ZTR)" that the
// editor sends to, and "MIDIIN3 (QUORIN nn ZTR)" that carries the replies, sent from the
// callback that receives the request.
class JackModelPorts {
public:
  JackModelPorts(int32_t portsModel, QZTest::OtherModelKeyboard& keyboard)
      : mKeyboard(keyboard), mReplies(RtMidi::UNIX_JACK, "qzothermodel-replies"),
        mRequests(RtMidi::UNIX_JACK, "qzothermodel-requests") {
    const std::string device = Simulator::KeyboardDeviceName(portsModel);
    mReplies.openVirtualPort("MIDIIN3 (" + device + ")");
    mRequests.ignoreTypes(false, true, true);
    mRequests.setCallback(&JackModelPorts::OnRequest, this);
    mRequests.openVirtualPort("MIDIOUT3 (" + device + ")");
  }

private:
  static void OnRequest(double, std::vector<unsigned char>* request, void* ports) {
    auto& self = *static_cast<JackModelPorts*>(ports);
    for (std::vector<unsigned char> reply : self.mKeyboard.Answer(*request)) {
      self.mReplies.sendMessage(&reply);
    }
  }

  QZTest::OtherModelKeyboard& mKeyboard;
  RtMidiOut mReplies;
  RtMidiIn mRequests; // last: its callback ends before the rest goes
};

TEST(MidiManagerOtherModelJackTest, RepliesNamingAnotherModelAreIgnoredOnBothPagesAndTheSelectedModelsAreTaken) {
  if (std::getenv("JACK_DEFAULT_SERVER") == nullptr) {
    GTEST_SKIP() << "needs the JACK server fixture: run the ctest EngineMidiManagerJackOtherModel";
  }
  QZ::Platform::Midi::MidiSystem::SetVirtualKeyboardEnabled(false);
  for (int32_t model = QZ::kDeviceModel25Keys; model <= QZ::kDeviceModel61Keys; ++model) {
    QZTest::MidiBench bench;
    bench.application.SetDeviceModel(model);
    QZTest::OtherModelKeyboard keyboard(model);
    JackModelPorts ports(model, keyboard);
    QZTest::ExpectOnlyTheSelectedModelAnswered(bench, keyboard, model, 100, [&](uint32_t replyTimeoutMs) {
      QZ::MidiManagerOptions options = bench.Options(replyTimeoutMs);
      options.midi.backend = nullptr; // the system's: RtMidi
      const QZ::RCPtr<QZ::LMidiManager> midi = QZ::LMidiManager::Create(options);
      EXPECT_TRUE(QZTest::WaitUntil([&] { return midi->OpenPorts() != QZ::QZ_E_FAIL; })) << "the ports are listed";
      return midi;
    });
  }
  QZ::Platform::Midi::MidiSystem::SetVirtualKeyboardEnabled(std::nullopt);
}

} // namespace
