#pragma once
// Simulator::VirtualKeyboard: the keyboard on the in-process virtual MIDI backend, the
// peer of the editor's MIDI manager in tests and where no keyboard is attached. It lists
// the ports a real keyboard of the model lists, decoys first, and answers on its third
// pair: what the editor sends to "MIDIOUT3 (QUORIN nn ZTR)" is handled by KeyboardSysEx,
// and the replies come back on "MIDIIN3 (QUORIN nn ZTR)". Faults can be injected into
// the replies.
//
//   Simulator::VirtualKeyboard keyboard(QZ::kDeviceModel49Keys);
//   keyboard.SetFaults({.reply = Simulator::KeyboardFaults::Reply::Short});
//   ... the editor requests a preset and gets 152 bytes back ...
//   keyboard.SetFaults({});
//   ASSERT_TRUE(keyboard.WaitForReceived(2, std::chrono::seconds(5)));
//
// Replies are sent by the keyboard's own reply thread, so an editor's send never waits
// for them, and a late reply is late without blocking anyone. Faults are taken when a
// message arrives; changing them does not touch replies already under way.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"
#include "Simulator/Keyboard/KeyboardMemory.h"
#include "Simulator/Keyboard/KeyboardSysEx.h"

namespace Simulator {

struct KeyboardFaults {
  enum class Reply {
    Normal,
    None,          // no reply at all
    Short,         // the reply less its last byte before F7 (152 bytes for a preset)
    Long,          // the reply with one more data byte before F7 (154 bytes for a preset)
    WrongPageByte, // byte 7 of a maker reply changed: 61 and 63 become 62, 62 becomes 63
    NoF7,          // the reply without its final F7
  };
  Reply reply = Reply::Normal;
  // How long after the request the reply is sent.
  std::chrono::milliseconds delay{0};
  // Sends the first half of the reply, then unplugs "MIDIIN3 (...)" (PlugInput brings
  // it back).
  bool unplugMidTransfer = false;
};

class VirtualKeyboard {
public:
  using Message = std::vector<uint8_t>;

  // Registers, in this order: inputs and outputs "QUORIN nn ZTR", "MIDIIN2 (QUORIN nn
  // ZTR)" input, "MIDIOUT2 (QUORIN nn ZTR)" output (decoys that never answer), then
  // "MIDIIN3 (QUORIN nn ZTR)" input and "MIDIOUT3 (QUORIN nn ZTR)" output, nn being 25,
  // 49 or 61 for the model index 0, 1, 2 (std::out_of_range for another). The registry
  // must outlive the keyboard. Memory starts at the model's factory values.
  explicit VirtualKeyboard(int32_t model, QZ::Platform::Midi::VirtualMidiRegistry& registry =
                                              QZ::Platform::Midi::VirtualMidiRegistry::Shared());
  // Drops the replies not yet sent, joins the reply thread and unregisters every device.
  ~VirtualKeyboard();
  VirtualKeyboard(const VirtualKeyboard&) = delete;
  VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

  // The keyboard's memory; lives as long as the keyboard. Thread-safe.
  KeyboardMemory& Memory() { return mMemory; }

  // Applies to the replies of messages received from now on.
  void SetFaults(const KeyboardFaults& faults);
  // The version of the identity reply (default 1.0.2.0).
  void SetFirmwareVersion(std::array<uint8_t, 4> version);

  // Unplug and plug "MIDIIN3 (...)" and "MIDIOUT3 (...)"; ports the editor opened before
  // an unplug stay dead after the plug and must be reopened.
  void UnplugInput();
  void PlugInput();
  void UnplugOutput();
  void PlugOutput();

  // Every message "MIDIOUT3 (...)" received, in order of arrival, including those the
  // keyboard ignored.
  std::vector<Message> Received() const;
  // True once at least `count` messages were received; false after `timeout`.
  bool WaitForReceived(size_t count, std::chrono::milliseconds timeout) const;

private:
  struct PendingReply {
    std::chrono::steady_clock::time_point due;
    Message bytes;
    bool unplugMidTransfer = false;
  };

  void OnMessage(std::span<const uint8_t> message);
  void RunReplies();

  KeyboardMemory mMemory;
  KeyboardSysEx mSysEx;

  mutable std::mutex mMutex;
  mutable std::condition_variable mReceivedChanged;
  std::condition_variable mRepliesChanged;
  KeyboardFaults mFaults;
  std::vector<Message> mReceived;
  std::deque<PendingReply> mReplies;
  bool mStopping = false;

  std::vector<std::unique_ptr<QZ::Platform::Midi::VirtualMidiInputDevice>> mDecoyInputs;
  std::vector<std::unique_ptr<QZ::Platform::Midi::VirtualMidiOutputDevice>> mDecoyOutputs;
  std::unique_ptr<QZ::Platform::Midi::VirtualMidiInputDevice> mInput;
  std::unique_ptr<QZ::Platform::Midi::VirtualMidiOutputDevice> mOutput;
  std::thread mReplyThread;
};

} // namespace Simulator
