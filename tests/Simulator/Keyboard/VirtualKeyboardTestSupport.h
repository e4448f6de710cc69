#pragma once
// A 49-key virtual keyboard on a registry of its own, with the editor's ends of its third
// port pair opened through the virtual backend, as the MIDI manager opens them.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "Simulator/Keyboard/VirtualKeyboard.h"

namespace QZTest {

inline const Bytes kKeyboardHeader{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02};

inline Bytes KeyboardMessage(std::initializer_list<uint8_t> body) {
  Bytes message = kKeyboardHeader;
  message.insert(message.end(), body.begin(), body.end());
  return message;
}

inline Bytes PresetRequest(uint8_t slot) { return KeyboardMessage({0x62, 0x00, 0x04, slot, 0xF7}); }
inline Bytes GlobalRequest() { return KeyboardMessage({0x64, 0xF7}); }

// The index of `name` among the backend's devices of `direction`.
inline size_t IndexOf(QZ::Platform::Midi::MidiBackend& backend, QZ::Platform::Midi::MidiDirection direction,
                      const std::string& name) {
  const auto names = backend.ListDevices(direction);
  const auto found = std::find(names.begin(), names.end(), name);
  EXPECT_NE(found, names.end()) << name << " is not listed";
  return static_cast<size_t>(found - names.begin());
}

class VirtualKeyboardTestBase : public ::testing::Test {
protected:
  void SetUp() override { OpenPorts(); }

  void OpenPorts() {
    using QZ::Platform::Midi::MidiDirection;
    using QZ::Platform::Midi::MidiResult;
    mInput.reset();
    mRecorder = std::make_unique<CaptureRecorder>();
    ASSERT_EQ(
        mBackend.OpenInput(IndexOf(mBackend, MidiDirection::Input, "MIDIIN3 (QUORIN 49 ZTR)"), *mRecorder, mInput),
        MidiResult::Ok);
    mRecorder->LendBuffers(*mInput);
    ASSERT_EQ(mInput->Start(), MidiResult::Ok);
    ASSERT_EQ(mBackend.OpenOutput(IndexOf(mBackend, MidiDirection::Output, "MIDIOUT3 (QUORIN 49 ZTR)"), mDone, mOutput),
              MidiResult::Ok);
  }

  void Send(const Bytes& message) { ASSERT_EQ(mOutput->SendLong(message), QZ::Platform::Midi::MidiResult::Ok); }

  // Sends and waits until the keyboard has it: faults set afterwards do not touch its reply.
  void SendAndWait(const Bytes& message) {
    Send(message);
    ASSERT_TRUE(mKeyboard.WaitForReceived(++mSent, std::chrono::seconds(20)));
  }

  // The n-th captured system-exclusive piece, waiting for it.
  Bytes Captured(size_t n) {
    EXPECT_TRUE(mRecorder->WaitFor(n + 1));
    const auto captures = mRecorder->Captures();
    return captures.size() > n ? captures[n].bytes : Bytes{};
  }

  QZ::Platform::Midi::VirtualMidiRegistry mRegistry;
  Simulator::VirtualKeyboard mKeyboard{QZ::kDeviceModel49Keys, mRegistry};
  QZ::Platform::Midi::VirtualMidiBackend mBackend{mRegistry};
  DoneCounter mDone;
  size_t mSent = 0;
  std::unique_ptr<CaptureRecorder> mRecorder;
  std::unique_ptr<QZ::Platform::Midi::MidiInput> mInput;
  std::unique_ptr<QZ::Platform::Midi::MidiOutput> mOutput;
};

} // namespace QZTest
