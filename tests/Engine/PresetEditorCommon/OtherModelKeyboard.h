#pragma once
// A keyboard that answers as a model of the test's choice from behind another model's
// ports, the peer of the tests of replies that name another model: it takes each request
// as its own (its model byte put into the request) and answers from its memory with its
// own model byte, as a keyboard of that model answers. Its memory holds values away from
// the factory ones on both pages, so that a reply taken into the engine shows there.
//
//   QZTest::OtherModelKeyboard keyboard(QZ::kDeviceModel25Keys);
//   QZTest::VirtualModelPorts ports(registry, QZ::kDeviceModel49Keys, keyboard);
//   ... a 49-key manager's request is answered with model byte 1 ...
//   QZTest::ExpectOnlyTheSelectedModelAnswered(bench, keyboard, QZ::kDeviceModel49Keys, 30, create);
//
// Answer may be called from any thread; the transport calls it for each request.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "DeviceControl/MakerMidiId.h"
#include "Engine/PresetEditorCommon/MidiManagerTestSupport.h"
#include "Simulator/Keyboard/KeyboardSysEx.h"

namespace QZTest {

class OtherModelKeyboard {
public:
  explicit OtherModelKeyboard(int32_t model) {
    for (const auto& [id, value] : std::vector<std::pair<uint32_t, Message>>{{11, {60}}, {122, {2, 5}}, {139, {6}}}) {
      EXPECT_TRUE(mMemory.SetParam(id, value));
    }
    mMemory.StoreGlobals({9, 33, 2, 3, 4});
    AnswerAs(model);
  }

  // Answers as model (0, 1 or 2) from now on.
  void AnswerAs(int32_t model) {
    std::lock_guard hold(mMutex);
    mSysEx = std::make_unique<Simulator::KeyboardSysEx>(mMemory, model);
  }

  // The replies to one request, which is counted.
  std::vector<Message> Answer(std::span<const uint8_t> request) {
    std::lock_guard hold(mMutex);
    ++mRequests;
    Message own(request.begin(), request.end());
    if (own.size() > 7 && own[0] == 0xF0 && std::equal(QZ::kMakerMidiId.begin(), QZ::kMakerMidiId.end(), &own[1])) {
      own[6] = mSysEx->ModelByte();
    }
    return mSysEx->Handle(own);
  }
  size_t Requests() const {
    std::lock_guard hold(mMutex);
    return mRequests;
  }

  // The bytes of the RAM preset (page 0) or of the globals (page 1), as the engine holds
  // them once it took them.
  Message PageBytes(int32_t page) const {
    if (page == 1) {
      const Simulator::KeyboardMemory::GlobalImage globals = mMemory.GetGlobals();
      return Message(globals.begin(), globals.end());
    }
    Simulator::KeyboardMemory::PresetImage ram{};
    mMemory.GetPreset(0, ram);
    return Message(ram.begin(), ram.end());
  }

private:
  mutable std::mutex mMutex;
  Simulator::KeyboardMemory mMemory{QZ::kDeviceModel49Keys};
  std::unique_ptr<Simulator::KeyboardSysEx> mSysEx;
  size_t mRequests = 0;
};

// The keyboard on the virtual ports "MIDIIN3 (QUORIN nn ZTR)" and "MIDIOUT3 (QUORIN nn
// ZTR)" of portsModel; replies go out while the request is being received.
class VirtualModelPorts {
public:
  VirtualModelPorts(QZ::Platform::Midi::VirtualMidiRegistry& registry, int32_t portsModel, OtherModelKeyboard& keyboard)
      : mInput(registry.RegisterInput("MIDIIN3 (" + Simulator::KeyboardDeviceName(portsModel) + ")")),
        mOutput(registry.RegisterOutput("MIDIOUT3 (" + Simulator::KeyboardDeviceName(portsModel) + ")")) {
    mOutput->SetReceiver([this, &keyboard](std::span<const uint8_t> request) {
      for (const Message& reply : keyboard.Answer(request)) {
        EXPECT_EQ(mInput->Send(reply), QZ::Platform::Midi::MidiResult::Ok);
      }
    });
  }
  ~VirtualModelPorts() { mOutput->SetReceiver(nullptr); }
  VirtualModelPorts(const VirtualModelPorts&) = delete;
  VirtualModelPorts& operator=(const VirtualModelPorts&) = delete;

private:
  std::unique_ptr<QZ::Platform::Midi::VirtualMidiInputDevice> mInput;
  std::unique_ptr<QZ::Platform::Midi::VirtualMidiOutputDevice> mOutput;
};

// A manager of the selected model with this reply wait per try, its ports open.
using ManagerMaker = std::function<QZ::RCPtr<QZ::LMidiManager>(uint32_t replyTimeoutMs)>;

// With `model` selected and the keyboard behind its ports: the keyboard answering as each
// other model gets every request of either page refused (-3 after three requests, the
// engine untouched, nothing announced); answering as `model`, it is heard on both pages,
// and the engine then holds the keyboard's values (a bench serves one call).
inline void ExpectOnlyTheSelectedModelAnswered(MidiBench& bench, OtherModelKeyboard& keyboard, int32_t model,
                                               uint32_t refusalWaitMs, const ManagerMaker& create) {
  const Message before = EngineBytes(*bench.engine, 0, 145);
  ASSERT_NE(Message(before.begin(), before.begin() + 141), keyboard.PageBytes(0)) << "a reply taken would show";
  ASSERT_NE(Message(before.begin() + 141, before.end()), keyboard.PageBytes(1)) << "a reply taken would show";
  QZ::RCPtr<QZ::LMidiManager> midi = create(refusalWaitMs);
  ASSERT_TRUE(midi && midi->ArePortsOpen()) << "model " << model;
  for (int32_t other = QZ::kDeviceModel25Keys; other <= QZ::kDeviceModel61Keys; ++other) {
    if (other == model) {
      continue;
    }
    keyboard.AnswerAs(other);
    for (const int32_t page : {0, 1}) {
      bench.SelectPage(*midi, page);
      const size_t asked = keyboard.Requests();
      EXPECT_EQ(midi->GetPresetFromMidiDevice(page == 0 ? 0 : -1), QZ::LMidiManager::kNoReply)
          << "model " << model << " selected, " << other << " answering, page " << page;
      EXPECT_EQ(keyboard.Requests() - asked, QZ::LMidiManager::kReplyTries)
          << "model " << model << " selected, " << other << " answering, page " << page;
    }
  }
  EXPECT_EQ(EngineBytes(*bench.engine, 0, 145), before) << "model " << model;
  EXPECT_EQ(bench.Drain(), 0) << "model " << model;

  // The same keyboard answering as the selected model is heard: the refusals were the model's.
  midi = nullptr;
  midi = create(1000);
  ASSERT_TRUE(midi && midi->ArePortsOpen()) << "model " << model;
  keyboard.AnswerAs(model);
  for (const int32_t page : {0, 1}) {
    bench.SelectPage(*midi, page);
    EXPECT_EQ(midi->GetPresetFromMidiDevice(page == 0 ? 0 : -1), QZ::QZ_OK) << "model " << model << ", page " << page;
    EXPECT_EQ(page == 0 ? EngineBytes(*bench.engine, 0, 140) : EngineBytes(*bench.engine, 140, 5),
              keyboard.PageBytes(page))
        << "model " << model << ", page " << page;
  }
}

} // namespace QZTest
