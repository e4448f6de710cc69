// Which replies the MIDI manager takes into the engine: only the page's message whole,
// with F7 last and data bytes between, however the wire mixed it with clock bytes or
// cut it; a refused reply changes nothing and a later good one is still taken.

#include <gtest/gtest.h>

#include <mutex>

#include "Engine/PresetEditorCommon/MidiManagerTestSupport.h"
#include "QZFramework/Services/Midi/MidiCaptureNotificationData.h"
#include "Simulator/Keyboard/KeyboardSysEx.h"

namespace {

using QZ::LMidiManager;
using QZ::RCPtr;
using QZTest::EngineBytes;
using QZTest::Message;

constexpr const char* kInputName = "MIDIIN3 (QUORIN 49 ZTR)";

// One answer to a request: bytes put on the wire in these events, or a capture handed
// straight to the manager's communicator, as a backend that let anything through would.
struct Answer {
  std::vector<Message> events;
  Message captured;
};

// The keyboard's third port pair, played by the test: the n-th request is answered with
// the n-th answer of the script, the last answer again once the script is used up.
class ScriptedKeyboard {
public:
  explicit ScriptedKeyboard(QZ::Platform::Midi::VirtualMidiRegistry& registry)
      : mInput(registry.RegisterInput(kInputName)), mOutput(registry.RegisterOutput("MIDIOUT3 (QUORIN 49 ZTR)")) {
    mOutput->SetReceiver([this](std::span<const uint8_t>) { OnRequest(); });
  }
  ~ScriptedKeyboard() { mOutput->SetReceiver(nullptr); }

  void Play(std::vector<Answer> script, RCPtr<QZ::LMidiCommInterface> communicator) {
    std::lock_guard hold(mMutex);
    mScript = std::move(script);
    mCommunicator = std::move(communicator);
    mRequests = 0;
  }
  size_t Requests() {
    std::lock_guard hold(mMutex);
    return mRequests;
  }

private:
  void OnRequest() {
    std::lock_guard hold(mMutex);
    const Answer& answer = mScript.at(std::min(mRequests++, mScript.size() - 1));
    for (const Message& event : answer.events) {
      EXPECT_EQ(mInput->Send(event), QZ::Platform::Midi::MidiResult::Ok);
    }
    if (!answer.captured.empty()) {
      const RCPtr<QZ::LMidiCaptureNotificationData> data(
          new QZ::LMidiCaptureNotificationData(nullptr, QZ::WString(u"MIDIIN3 (QUORIN 49 ZTR)"), 0));
      data->Append(answer.captured.data(), uint32_t(answer.captured.size()));
      mCommunicator->NotifyDataCaptured(data);
    }
  }

  std::unique_ptr<QZ::Platform::Midi::VirtualMidiInputDevice> mInput;
  std::unique_ptr<QZ::Platform::Midi::VirtualMidiOutputDevice> mOutput;
  std::mutex mMutex;
  std::vector<Answer> mScript;
  RCPtr<QZ::LMidiCommInterface> mCommunicator;
  size_t mRequests = 0;
};

class MidiManagerReplyTest : public ::testing::Test {
protected:
  MidiManagerReplyTest() {
    for (const auto& [id, value] : std::vector<std::pair<uint32_t, Message>>{{11, {60}}, {122, {2, 5}}, {139, {6}}}) {
      EXPECT_TRUE(memory.SetParam(id, value));
    }
    const Message request{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x62, 0x00, 0x04, 0x00, 0xF7};
    good = Simulator::KeyboardSysEx(memory, QZ::kDeviceModel49Keys).Handle(request).at(0);
  }

  // A manager on the scripted ports, on the user page, waiting replyTimeoutMs per try.
  RCPtr<LMidiManager> CreateManager(uint32_t replyTimeoutMs) {
    QZ::MidiManagerOptions options = bench.Options(replyTimeoutMs);
    options.midi.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(registry);
    const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
    bench.SelectPage(*midi, 0);
    return midi;
  }

  Message With(size_t at, uint8_t byte) const {
    Message reply = good;
    reply[at] = byte;
    return reply;
  }
  Message KeyboardValues() const {
    Simulator::KeyboardMemory::PresetImage ram{};
    memory.GetPreset(0, ram);
    return Message(ram.begin(), ram.end());
  }

  QZTest::MidiBench bench;
  QZ::Platform::Midi::VirtualMidiRegistry registry;
  ScriptedKeyboard keyboard{registry};
  Simulator::KeyboardMemory memory{QZ::kDeviceModel49Keys};
  Message good;
};

TEST_F(MidiManagerReplyTest, AReplyWithAByteOfEightyOrMoreOrWithoutItsF7ChangesNothingAndTheRetryIsTaken) {
  ASSERT_EQ(good.size(), 153u);
  Message noF7 = good;
  noF7.back() = 0x11;
  const std::vector<std::pair<const char*, Answer>> faults{
      {"0x85 inside, on the wire", {{With(50, 0x85)}, {}}},
      {"F7 inside, on the wire", {{With(50, 0xF7)}, {}}},
      {"no F7, ended by a note-on on the wire", {{noF7, {0x90, 0x3C, 0x40}}, {}}},
      {"0x85 inside, captured as it is", {{}, With(50, 0x85)}},
      {"F7 inside, captured as it is", {{}, With(50, 0xF7)}},
      {"no F7, captured as it is", {{}, noF7}},
  };
  const Message before = EngineBytes(*bench.engine, 0, 145);
  ASSERT_NE(Message(before.begin(), before.begin() + 141), KeyboardValues());
  // Refusals take three whole tries; a retry's good reply is taken even when it comes
  // during the try after it.
  RCPtr<LMidiManager> midi = CreateManager(50);
  for (const auto& [name, fault] : faults) {
    keyboard.Play({fault}, midi->GetCommunicator());
    EXPECT_EQ(midi->GetPresetFromMidiDevice(0), LMidiManager::kNoReply) << name;
    EXPECT_EQ(keyboard.Requests(), 3u) << name;
    EXPECT_EQ(EngineBytes(*bench.engine, 0, 145), before) << name;
  }
  midi = CreateManager(300);
  for (const auto& [name, fault] : faults) {
    bench.engine->SetParamValue(QZ::ParamDescriptor(11), QZTest::BufferOf({1}));
    keyboard.Play({fault, {{good}, {}}}, midi->GetCommunicator());
    EXPECT_EQ(midi->GetPresetFromMidiDevice(0), 0) << name;
    EXPECT_GE(keyboard.Requests(), 2u) << name;
    EXPECT_EQ(EngineBytes(*bench.engine, 0, 140), KeyboardValues()) << name;
    EXPECT_EQ(EngineBytes(*bench.engine, 140, 5), Message(before.begin() + 141, before.end())) << name;
  }
}

TEST_F(MidiManagerReplyTest, ClockAndOtherRealTimeBytesInsideAReplyOrACutReplyBeforeItDoNotSpoilIt) {
  const auto split = [&](size_t at, Message between) {
    return std::vector<Message>{Message(good.begin(), good.begin() + long(at)), std::move(between),
                                Message(good.begin() + long(at), good.end())};
  };
  std::vector<std::pair<std::string, std::vector<Message>>> wires;
  for (const size_t at : {1, 8, 11, 100, 152}) {
    Message inside = good;
    inside.insert(inside.begin() + long(at), {0xF8, 0xFE});
    wires.push_back({"clock inside at " + std::to_string(at), {inside}});
    wires.push_back({"clock between events at " + std::to_string(at), split(at, {0xF8})});
    Message cut(good.begin(), good.begin() + long(at));
    cut.insert(cut.end(), good.begin(), good.end());
    wires.push_back({"cut at " + std::to_string(at) + " before the reply", {cut}});
  }
  const RCPtr<LMidiManager> midi = CreateManager(5000);
  for (const auto& [name, events] : wires) {
    bench.engine->SetParamValue(QZ::ParamDescriptor(11), QZTest::BufferOf({1}));
    keyboard.Play({{events, {}}}, midi->GetCommunicator());
    EXPECT_EQ(midi->GetPresetFromMidiDevice(0), 0) << name << ": every try gets the same bytes";
    EXPECT_EQ(EngineBytes(*bench.engine, 0, 140), KeyboardValues()) << name;
  }
}

} // namespace
