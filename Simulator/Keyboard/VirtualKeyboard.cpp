#include "Simulator/Keyboard/VirtualKeyboard.h"

namespace Simulator {

namespace {

// The reply as the fault makes it; empty for no reply.
VirtualKeyboard::Message Faulted(VirtualKeyboard::Message reply, KeyboardFaults::Reply fault) {
  constexpr size_t kPageByte = 7;
  switch (fault) {
  case KeyboardFaults::Reply::Normal:
    break;
  case KeyboardFaults::Reply::None:
    reply.clear();
    break;
  case KeyboardFaults::Reply::Short:
    if (reply.size() >= 3) {
      reply.erase(reply.end() - 2);
    }
    break;
  case KeyboardFaults::Reply::Long:
    if (!reply.empty()) {
      reply.insert(reply.end() - 1, 0x00);
    }
    break;
  case KeyboardFaults::Reply::WrongPageByte:
    if (reply.size() > kPageByte && reply[kPageByte] >= 0x61 && reply[kPageByte] <= 0x63) {
      reply[kPageByte] = reply[kPageByte] == 0x62 ? 0x63 : 0x62;
    }
    break;
  case KeyboardFaults::Reply::NoF7:
    reply.pop_back();
    break;
  }
  return reply;
}

} // namespace

VirtualKeyboard::VirtualKeyboard(int32_t model, QZ::Platform::Midi::VirtualMidiRegistry& registry)
    : mMemory(model), mSysEx(mMemory, model) {
  const std::string device = KeyboardDeviceName(model);
  mDecoyInputs.push_back(registry.RegisterInput(device));
  mDecoyOutputs.push_back(registry.RegisterOutput(device));
  mDecoyInputs.push_back(registry.RegisterInput("MIDIIN2 (" + device + ")"));
  mDecoyOutputs.push_back(registry.RegisterOutput("MIDIOUT2 (" + device + ")"));
  mInput = registry.RegisterInput("MIDIIN3 (" + device + ")");
  mOutput = registry.RegisterOutput("MIDIOUT3 (" + device + ")");
  mReplyThread = std::thread([this] { RunReplies(); });
  mOutput->SetReceiver([this](std::span<const uint8_t> message) { OnMessage(message); });
}

VirtualKeyboard::~VirtualKeyboard() {
  // No receiver call may run once the reply thread is gone.
  mOutput.reset();
  {
    std::lock_guard hold(mMutex);
    mStopping = true;
  }
  mRepliesChanged.notify_all();
  mReplyThread.join();
}

void VirtualKeyboard::SetFaults(const KeyboardFaults& faults) {
  std::lock_guard hold(mMutex);
  mFaults = faults;
}

void VirtualKeyboard::SetFirmwareVersion(std::array<uint8_t, 4> version) { mSysEx.SetFirmwareVersion(version); }

void VirtualKeyboard::UnplugInput() { mInput->Unplug(); }
void VirtualKeyboard::PlugInput() { mInput->Plug(); }
void VirtualKeyboard::UnplugOutput() { mOutput->Unplug(); }
void VirtualKeyboard::PlugOutput() { mOutput->Plug(); }

std::vector<VirtualKeyboard::Message> VirtualKeyboard::Received() const {
  std::lock_guard hold(mMutex);
  return mReceived;
}

bool VirtualKeyboard::WaitForReceived(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock hold(mMutex);
  return mReceivedChanged.wait_for(hold, timeout, [&] { return mReceived.size() >= count; });
}

void VirtualKeyboard::OnMessage(std::span<const uint8_t> message) {
  std::vector<Message> replies = mSysEx.Handle(message);
  {
    std::lock_guard hold(mMutex);
    mReceived.emplace_back(message.begin(), message.end());
    const auto due = std::chrono::steady_clock::now() + mFaults.delay;
    for (Message& reply : replies) {
      Message faulted = Faulted(std::move(reply), mFaults.reply);
      if (!faulted.empty()) {
        mReplies.push_back({due, std::move(faulted), mFaults.unplugMidTransfer});
      }
    }
  }
  mReceivedChanged.notify_all();
  mRepliesChanged.notify_all();
}

void VirtualKeyboard::RunReplies() {
  std::unique_lock hold(mMutex);
  while (true) {
    mRepliesChanged.wait(hold, [&] { return mStopping || !mReplies.empty(); });
    if (mStopping) {
      return;
    }
    // Replies leave in the order of their requests.
    const auto due = mReplies.front().due;
    if (mRepliesChanged.wait_until(hold, due, [&] { return mStopping; })) {
      return;
    }
    PendingReply reply = std::move(mReplies.front());
    mReplies.pop_front();
    hold.unlock();
    if (reply.unplugMidTransfer) {
      // A keyboard pulled out mid-reply: the editor sees the half it got.
      (void)mInput->Send(std::span(reply.bytes).first(reply.bytes.size() / 2));
      mInput->Unplug();
    } else {
      (void)mInput->Send(reply.bytes); // a reply nobody receives is lost, as on a real cable
    }
    hold.lock();
  }
}

} // namespace Simulator
